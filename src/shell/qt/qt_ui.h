// QtUi: the Ui port on Qt, over the toolkit-free forwarding of
// shell/forwarding_ui.h (the threading rules are there). Here:
// - Ask from another thread waits on a blocking queued call for the answer
//   (the core never holds the state lock while it asks);
// - questions asked before a target is set (the data files' questions at
//   start-up) get a question window of their own;
// - timers are QTimers by id, periodic until killed, firing into the
//   target's OnTimer; commands go to its OnCommand; sounds to DesktopSound;
//   files to the desktop's default application (a missing file, or no
//   program to open it, is told through Notify).
//
// Ownership: created on the GUI thread, which owns it; it must outlive
// every thread that calls it. The target is borrowed and set before the
// first call that needs it.
#pragma once

#include <QObject>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/linux/desktop_sound.h"
#include "platform/ui.h"
#include "reminders/choice.h"
#include "shell/forwarding_ui.h"

class QTimer;

namespace tolvi {

// What the Qt main window side provides besides the common target.
class DesktopUiTarget : public UiTarget {
 public:
  virtual void OnTimer(TimerId id) = 0;
  virtual void OnCommand(std::uint32_t command_id) = 0;
};

class QtUi final : public QObject, public ForwardingUi {
  Q_OBJECT

 public:
  explicit QtUi(QObject* parent = nullptr);
  ~QtUi() override;

  // Notices told while no target was set are handed to the next one.
  void SetTarget(DesktopUiTarget* target);
  DesktopSound& sound() { return sound_; }
  [[nodiscard]] bool TimerArmed(TimerId id) const;

  void ArmTimer(TimerId id, std::uint32_t period_ms) override;
  void KillTimer(TimerId id) override;
  void PostCommand(std::uint32_t command_id) override;
  int Ask(const Question& question) override;
  void Beep() override;
  void PlaySoundFile(const std::filesystem::path& file) override;
  void StopSound() override;
  void OpenWithDefaultApp(const std::filesystem::path& file) override;

 private:
  [[nodiscard]] DesktopUiTarget* desktop_target() const;
  [[nodiscard]] bool OnGuiThread() const override;
  void Queue(std::function<void()> call) override;

  QTimer& TimerFor(TimerId id);

  DesktopSound sound_;
  std::map<TimerId, std::unique_ptr<QTimer>> timers_;
  ChoiceOpenFlag early_choice_open_;
};

}  // namespace tolvi
