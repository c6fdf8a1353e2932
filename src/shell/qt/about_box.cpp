#include "shell/qt/about_box.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

#include "dialogs/qt/window_placement.h"
#include "engine/tray_updates.h"

namespace tolvi {
namespace {

constexpr int kIconPixels = 48;
constexpr char kAboutObjectName[] = "about_box";

QString AboutText() {
  return QStringLiteral(
             "<p><b>%1</b><br>Version %2</p>"
             "<p>Break reminder and work logger.</p>")
      .arg(QLatin1String(kProgramName), QLatin1String(kProgramVersion));
}

}  // namespace

void RunAboutBox(QWidget* owner, const QIcon& program_icon) {
  // The open box is found by name, so nothing outside the box keeps state.
  if (RaiseOpenDialog(owner, QLatin1String(kAboutObjectName))) return;
  QDialog box(owner);
  box.setObjectName(QLatin1String(kAboutObjectName));
  box.setWindowTitle(QStringLiteral("About ") +
                     QString::fromUtf8(kProgramTitle.data(), kProgramTitle.size()));
  auto* icon = new QLabel(&box);
  icon->setPixmap(program_icon.pixmap(kIconPixels, kIconPixels));
  auto* text = new QLabel(AboutText(), &box);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
  auto* row = new QHBoxLayout;
  row->addWidget(icon, 0, Qt::AlignTop);
  row->addWidget(text, 1);
  auto* column = new QVBoxLayout(&box);
  column->addLayout(row);
  column->addWidget(buttons);
  ExecOwned(box);
}

}  // namespace tolvi
