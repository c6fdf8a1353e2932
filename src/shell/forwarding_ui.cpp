#include "shell/forwarding_ui.h"

#include <cstdio>
#include <utility>

namespace tolvi {

void ForwardingUi::SetTarget(UiTarget* target) {
  target_ = target;
  if (target_ == nullptr) return;
  for (const std::string& text : std::exchange(early_notices_, {})) target_->OnNotice(text);
}

void ForwardingUi::RunOnGuiThread(std::function<void()> call) {
  if (OnGuiThread()) {
    call();
  } else {
    Queue(std::move(call));
  }
}

void ForwardingUi::PostClose() {
  Queue([this] {
    if (target_ != nullptr) target_->OnClose();
  });
}

void ForwardingUi::RequestRepaint() {
  if (repaint_queued_.exchange(true)) return;
  Queue([this] {
    repaint_queued_.store(false);
    if (target_ != nullptr) target_->OnRepaint();
  });
}

void ForwardingUi::SetTray(TrayIcon icon, const std::string& tooltip) {
  RunOnGuiThread([this, icon, tooltip] {
    if (target_ != nullptr) target_->OnSetTray(icon, tooltip);
  });
}

bool ForwardingUi::AddTray(TrayIcon icon, const std::string& tooltip) {
  RunOnGuiThread([this, icon, tooltip] {
    tray_shown_.store(target_ != nullptr && target_->OnAddTray(icon, tooltip));
  });
  return tray_shown_.load();
}

void ForwardingUi::ShowBalloon(const std::string& title, const std::string& text, TrayIcon icon) {
  RunOnGuiThread([this, title, text, icon] {
    if (target_ != nullptr) target_->OnBalloon(title, text, icon);
  });
}

void ForwardingUi::Notify(const std::string& text) {
  RunOnGuiThread([this, text] {
    if (target_ != nullptr) {
      target_->OnNotice(text);
    } else {
      std::fprintf(stderr, "tolvi: %s\n", text.c_str());
      early_notices_.push_back(text);
    }
  });
}

}  // namespace tolvi
