// QtUi: the Ui port on Qt. The core calls it from the monitor thread and
// from the GUI thread; every call is carried out on the GUI thread:
// - calls made on the GUI thread run at once (so a handler that stops its
//   own timer cannot be called again before the stop takes effect);
// - calls from another thread are queued to the GUI thread and return at
//   once, in the order they were made; repaint requests are coalesced;
// - Ask from another thread waits on a blocking queued call for the answer
//   (the core never holds the state lock while it asks);
// - AddTray from another thread queues the add and returns what the last
//   add found, so the monitor's retry loop never waits for the GUI thread.
//
// Questions asked before a target is set (the data files' questions at
// start-up) get a question window of their own; notices told then go to
// standard error and to the target once it is set.
//
// Timers are QTimers by id, periodic until killed, firing into the
// target's OnTimer. Commands, closes, repaints, the tray and questions go
// to the UiTarget; sounds to DesktopSound; files to the desktop's default
// application (a missing file, or no program to open it, is told through
// Notify).
//
// Ownership: created on the GUI thread, which owns it; it must outlive
// every thread that calls it. The target is borrowed and set before the
// first call that needs it.
#pragma once

#include <QObject>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/desktop_sound.h"
#include "platform/ui.h"
#include "reminders/choice.h"

class QTimer;

namespace tolvi {

// What the main window side provides. GUI thread only.
class UiTarget {
 public:
  virtual ~UiTarget() = default;
  virtual void OnTimer(TimerId id) = 0;
  virtual void OnCommand(std::uint32_t command_id) = 0;
  virtual void OnClose() = 0;
  virtual void OnRepaint() = 0;
  virtual void OnSetTray(TrayIcon icon, const std::string& tooltip) = 0;
  // True when the tray icon is (now) shown.
  virtual bool OnAddTray(TrayIcon icon, const std::string& tooltip) = 0;
  virtual void OnBalloon(const std::string& title, const std::string& text, TrayIcon icon) = 0;
  virtual int OnAsk(const Question& question) = 0;
  virtual void OnNotice(const std::string& text) = 0;
};

class QtUi final : public QObject, public Ui {
  Q_OBJECT

 public:
  explicit QtUi(QObject* parent = nullptr);
  ~QtUi() override;

  // Notices told while no target was set are handed to the next one.
  void SetTarget(UiTarget* target);
  DesktopSound& sound() { return sound_; }
  [[nodiscard]] bool TimerArmed(TimerId id) const;

  void ArmTimer(TimerId id, std::uint32_t period_ms) override;
  void KillTimer(TimerId id) override;
  void PostCommand(std::uint32_t command_id) override;
  void PostClose() override;
  void RequestRepaint() override;
  void SetTray(TrayIcon icon, const std::string& tooltip) override;
  bool AddTray(TrayIcon icon, const std::string& tooltip) override;
  void ShowBalloon(const std::string& title, const std::string& text, TrayIcon icon) override;
  void Notify(const std::string& text) override;
  int Ask(const Question& question) override;
  void Beep() override;
  void PlaySoundFile(const std::filesystem::path& file) override;
  void StopSound() override;
  void OpenWithDefaultApp(const std::filesystem::path& file) override;

 private:
  [[nodiscard]] bool OnGuiThread() const;
  // Runs at once on the GUI thread, else queued to it.
  template <typename Call>
  void RunOnGuiThread(Call call);
  template <typename Call>
  void Queue(Call call);

  QTimer& TimerFor(TimerId id);

  UiTarget* target_ = nullptr;
  DesktopSound sound_;
  std::map<TimerId, std::unique_ptr<QTimer>> timers_;
  std::atomic<bool> repaint_queued_{false};
  std::atomic<bool> tray_shown_{false};
  ChoiceOpenFlag early_choice_open_;
  std::vector<std::string> early_notices_;
};

}  // namespace tolvi
