// QtUi on the offscreen platform: what it tells the user when the desktop
// cannot open a file.
#include "shell/qt/qt_ui.h"

#include <QTemporaryDir>
#include <QTest>
#include <string>
#include <vector>

namespace tolvi {
namespace {

class NoticeTarget final : public UiTarget {
 public:
  void OnTimer(TimerId) override {}
  void OnCommand(std::uint32_t) override {}
  void OnClose() override {}
  void OnRepaint() override {}
  void OnSetTray(TrayIcon, const std::string&) override {}
  bool OnAddTray(TrayIcon, const std::string&) override { return true; }
  void OnBalloon(const std::string&, const std::string&, TrayIcon) override {}
  int OnAsk(const Question&) override { return 2; }
  void OnNotice(const std::string& text) override { notices.push_back(text); }

  std::vector<std::string> notices;
};

}  // namespace

class QtUiTest : public QObject {
  Q_OBJECT

 private slots:
  // The welcome question's "Open ReadMe" comes before the main window.
  void AMissingFileIsNamedInANoticeEvenBeforeTheWindowExists() {
    QTemporaryDir directory;
    const std::filesystem::path missing =
        std::filesystem::path(directory.path().toStdString()) / "ReadMe.htm";
    NoticeTarget target;
    QtUi ui;
    ui.OpenWithDefaultApp(missing);
    ui.SetTarget(&target);
    QCOMPARE(target.notices.size(), 1u);
    QVERIFY(target.notices[0].find(missing.string()) != std::string::npos);
    QVERIFY(target.notices[0].find("missing") != std::string::npos);
  }
};

}  // namespace tolvi

QTEST_MAIN(tolvi::QtUiTest)
#include "qt_ui_test.moc"
