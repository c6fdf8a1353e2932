// The About box: the program's name, version and purpose. One at a time:
// asking again while it is open brings it to the front.
//
// GUI thread only.
#pragma once

class QIcon;
class QWidget;

namespace tolvi {

inline constexpr char kProgramName[] = "Tolvi";
inline constexpr char kProgramVersion[] = "1.91";

// Runs the box modally unless one is open already.
void RunAboutBox(QWidget* owner, const QIcon& program_icon);

}  // namespace tolvi
