#include "platform/linux/termination_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <atomic>
#include <csignal>
#include <cstdint>

namespace tolvi {
namespace {

constexpr std::array<int, 3> kWatchedSignals = {SIGTERM, SIGHUP, SIGINT};

// A signal handler can reach nothing but globals: the write end of the
// pipe, -1 while no watcher exists.
std::atomic<int> g_signal_pipe_write{-1};

extern "C" void WriteSignalToPipe(int signal_number) {
  const int saved_errno = errno;
  const int fd = g_signal_pipe_write.load();
  if (fd >= 0) {
    const auto byte = static_cast<std::uint8_t>(signal_number);
    // A full pipe already holds a wake-up; losing this byte loses nothing.
    [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
  }
  errno = saved_errno;
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
  if (::pipe2(pipe_.data(), O_CLOEXEC | O_NONBLOCK) != 0) return;
  g_signal_pipe_write.store(pipe_[1]);
  notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, &TerminationSignals::OnReadable);
  struct sigaction action {};
  action.sa_handler = WriteSignalToPipe;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  installed_ = true;
  for (const int signal_number : kWatchedSignals) {
    if (::sigaction(signal_number, &action, nullptr) != 0) installed_ = false;
  }
}

TerminationSignals::~TerminationSignals() {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  for (const int signal_number : kWatchedSignals) ::sigaction(signal_number, &action, nullptr);
  g_signal_pipe_write.store(-1);
  notifier_.reset();
  for (const int fd : pipe_) {
    if (fd >= 0) ::close(fd);
  }
}

void TerminationSignals::OnReadable() {
  std::uint8_t byte = 0;
  while (::read(pipe_[0], &byte, 1) == 1) emit Received(byte);
}

}  // namespace tolvi
