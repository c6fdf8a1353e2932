// The main window's picture as a model: a display list of rounded panels and
// single-line texts, each with its rectangle, font and colour, computed from
// the running state and the window's client size. A front end paints the
// list in order (background, panels, texts) into a back buffer; nothing is
// decided while painting.
//
// Pure functions of a state the caller holds still (a snapshot); any thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "accounting/recent_work.h"
#include "state/activity_state.h"
#include "storage/program_data.h"

namespace tolvi {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kWindowBackground{255, 255, 255};
inline constexpr Rgb kPanelColour{213, 215, 183};
inline constexpr Rgb kTextColour{0, 0, 0};
inline constexpr Rgb kAlertTextColour{255, 0, 0};

// Both fonts: a sans-serif face ("Arial") with a 20-pixel cell height.
inline constexpr char kDisplayFontFace[] = "Arial";
inline constexpr std::int32_t kDisplayFontCellHeight = 20;
inline constexpr std::int32_t kBoldFontWeight = 800;
inline constexpr std::int32_t kPanelCornerDiameter = 30;

// Left, top, right, bottom in client pixels; right and bottom exclusive.
struct DisplayRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  friend bool operator==(const DisplayRect&, const DisplayRect&) = default;
};

enum class DisplayFont { kBold, kRegular };

// A rounded rectangle filled with its colour and outlined by a 1-pixel
// black pen.
struct DisplayPanel {
  DisplayRect rect;
  Rgb fill = kPanelColour;
};

// One line, vertically centred and left-aligned in its rectangle and cut
// off at its edges, over the panel colour. A label is narrowed to fit its
// box instead: the substitute fonts run a few pixels wider than the boxes,
// and a cut label would lose its colon.
struct DisplayText {
  DisplayRect rect;
  std::string text;
  DisplayFont font = DisplayFont::kBold;
  Rgb colour = kTextColour;
  bool fit_to_box = false;
};

struct DisplayList {
  std::int32_t width = 0;
  std::int32_t height = 0;
  Rgb background = kWindowBackground;
  Rgb text_background = kPanelColour;
  std::vector<DisplayPanel> panels;
  std::vector<DisplayText> texts;
  // A work share above 100 %: the totals are out of step and the window
  // should ask for a refresh (command 2017).
  bool refresh_totals = false;
};

// The layout values of a client size.
struct MainWindowLayout {
  std::int32_t right = 400;   // R: W - 10 above 410, else 400
  std::int32_t bottom = 270;  // B: H - 5 above 280, else 270
  std::uint32_t rows = 2;     // N: (H - 230) / 20, 2 when out of 2..20
};
MainWindowLayout LayoutFor(std::uint32_t width, std::uint32_t height);

// What the window shows: the saved and running state and the Recent Work
// table, as copied together under the shared-state lock.
struct DisplayState {
  const ProgramData& data;
  const ActivityState& activity;
  const RecentWorkTable& recent;
};

DisplayList BuildDisplayList(const DisplayState& state, std::uint32_t width, std::uint32_t height);

}  // namespace tolvi
