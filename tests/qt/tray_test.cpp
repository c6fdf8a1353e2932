// The tray icon on a desktop whose tray host starts after the program:
// under an X server (the xvfb.tray test) without a tray, the added icon
// waits, and shows by itself once trayer takes the tray selection.
#include "shell/qt/tray.h"

#include <QGuiApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

namespace tolvi {

class TrayTest : public QObject {
  Q_OBJECT

 private slots:
  void IconAddedWithoutAHostShowsWhenOneAppears() {
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) QSKIP("needs an X server");
    const QString trayer = QStandardPaths::findExecutable(QStringLiteral("trayer"));
    if (trayer.isEmpty()) QSKIP("trayer is not installed");
    Tray tray(TrayHooks{});
    QSignalSpy shown_late(&tray, &Tray::ShownLate);
    QVERIFY(!Tray::HostAvailable());
    QVERIFY(tray.Add(TrayIcon::kWorking, "Tolvi"));  // no retry needed
    QVERIFY(!tray.shown());
    QProcess host;
    host.start(trayer, {QStringLiteral("--edge"), QStringLiteral("top")});
    QTRY_VERIFY_WITH_TIMEOUT(tray.shown(), 10'000);
    QCOMPARE(shown_late.count(), 1);
    host.kill();
    host.waitForFinished();
  }
};

}  // namespace tolvi

QTEST_MAIN(tolvi::TrayTest)
#include "tray_test.moc"
