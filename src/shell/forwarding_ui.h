// ForwardingUi: the part of a desktop shell's Ui port that is the same on
// every toolkit. The core calls the port from the monitor thread and from
// the GUI thread; every call is carried out on the GUI thread:
// - calls made on the GUI thread run at once (so a handler that stops its
//   own timer cannot be called again before the stop takes effect);
// - calls from another thread are queued to the GUI thread and return at
//   once, in the order they were made; repaint requests are coalesced;
// - AddTray from another thread queues the add and returns what the last
//   add found, so the monitor's retry loop never waits for the GUI thread.
// Closes, repaints, the tray and notices go to the UiTarget. Notices told
// while no target is set go to standard error and to the next target.
//
// A toolkit's Ui derives from it and says how to tell the GUI thread and
// how to queue a call to it; timers, commands, questions, sounds and files
// are its own.
//
// Ownership: the target is borrowed and set before the first call that
// needs it; the Ui must outlive every thread that calls it.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace tolvi {

// What the main window side provides. GUI thread only.
class UiTarget {
 public:
  virtual ~UiTarget() = default;
  virtual void OnClose() = 0;
  virtual void OnRepaint() = 0;
  virtual void OnSetTray(TrayIcon icon, const std::string& tooltip) = 0;
  // True when the tray icon is (now) shown.
  virtual bool OnAddTray(TrayIcon icon, const std::string& tooltip) = 0;
  virtual void OnBalloon(const std::string& title, const std::string& text, TrayIcon icon) = 0;
  virtual int OnAsk(const Question& question) = 0;
  virtual void OnNotice(const std::string& text) = 0;
};

class ForwardingUi : public Ui {
 public:
  void PostClose() override;
  void RequestRepaint() override;
  void SetTray(TrayIcon icon, const std::string& tooltip) override;
  bool AddTray(TrayIcon icon, const std::string& tooltip) override;
  void ShowBalloon(const std::string& title, const std::string& text, TrayIcon icon) override;
  void Notify(const std::string& text) override;

 protected:
  // GUI thread. Notices told while no target was set are handed to it.
  void SetTarget(UiTarget* target);
  [[nodiscard]] UiTarget* target() const { return target_; }

  // Runs at once on the GUI thread, else queued to it.
  void RunOnGuiThread(std::function<void()> call);
  [[nodiscard]] virtual bool OnGuiThread() const = 0;
  // Hands the call to the GUI thread, after every call queued before it.
  virtual void Queue(std::function<void()> call) = 0;

 private:
  UiTarget* target_ = nullptr;
  std::atomic<bool> repaint_queued_{false};
  std::atomic<bool> tray_shown_{false};
  std::vector<std::string> early_notices_;
};

}  // namespace tolvi
