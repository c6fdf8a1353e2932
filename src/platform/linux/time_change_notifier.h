// TimeChangeNotifier: tells the GUI thread when the wall clock was set (by
// the user, NTP stepping it, or a time-zone change that steps the clock),
// so the day check can run at once instead of at the next midnight timer.
//
// A CLOCK_REALTIME timerfd armed far ahead with TFD_TIMER_CANCEL_ON_SET:
// the kernel cancels it whenever the clock is set, which makes the
// descriptor readable; the notifier then re-arms it and emits
// WallClockChanged. Where timerfd is unavailable it stays silent
// (available() is false).
//
// GUI thread only (it owns a QSocketNotifier); owns its descriptor.
#pragma once

#include <QObject>
#include <memory>

class QSocketNotifier;

namespace tolvi {

class TimeChangeNotifier : public QObject {
  Q_OBJECT

 public:
  explicit TimeChangeNotifier(QObject* parent = nullptr);
  ~TimeChangeNotifier() override;

  [[nodiscard]] bool available() const { return fd_ >= 0; }

 signals:
  void WallClockChanged();

 private:
  bool Arm();
  void OnReadable();

  int fd_ = -1;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace tolvi
