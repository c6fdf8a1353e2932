#include "platform/linux/time_change_notifier.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <cstdint>
#include <ctime>

namespace tolvi {
namespace {

// The timer only exists to be cancelled; should it ever expire, it is
// simply armed again.
constexpr std::time_t kArmAheadSeconds = 10LL * 365 * 24 * 60 * 60;

}  // namespace

TimeChangeNotifier::TimeChangeNotifier(QObject* parent) : QObject(parent) {
  fd_ = ::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
  if (fd_ < 0) return;
  if (!Arm()) {
    ::close(fd_);
    fd_ = -1;
    return;
  }
  notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, &TimeChangeNotifier::OnReadable);
}

TimeChangeNotifier::~TimeChangeNotifier() {
  notifier_.reset();
  if (fd_ >= 0) ::close(fd_);
}

bool TimeChangeNotifier::Arm() {
  itimerspec when{};
  when.it_value.tv_sec = std::time(nullptr) + kArmAheadSeconds;
  return ::timerfd_settime(fd_, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &when, nullptr) == 0;
}

void TimeChangeNotifier::OnReadable() {
  std::uint64_t expirations = 0;
  const ssize_t got = ::read(fd_, &expirations, sizeof(expirations));
  const bool clock_set = got < 0 && errno == ECANCELED;
  // A cancelled timer stays cancelled (and readable) until it is set again.
  if (!Arm()) {
    notifier_->setEnabled(false);
    return;
  }
  if (clock_set) emit WallClockChanged();
}

}  // namespace tolvi
