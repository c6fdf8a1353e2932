// TerminationSignals: turns SIGTERM, SIGHUP and SIGINT (the session ending,
// the terminal closing, Ctrl+C) into a Qt signal on the GUI thread, so the
// program can save its data and end through its normal exit path instead
// of dying mid-write.
//
// The handler only writes the signal number into a pipe (async-signal-safe);
// a QSocketNotifier on the GUI thread reads it and emits Received. Child
// processes keep the default dispositions (exec resets caught signals).
//
// One instance for the program, created on the GUI thread; it restores the
// previous handlers when destroyed.
#pragma once

#include <QObject>
#include <array>
#include <memory>

class QSocketNotifier;

namespace tolvi {

class TerminationSignals : public QObject {
  Q_OBJECT

 public:
  explicit TerminationSignals(QObject* parent = nullptr);
  ~TerminationSignals() override;
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

  // False when the pipe or a handler could not be installed.
  [[nodiscard]] bool installed() const { return installed_; }

 signals:
  void Received(int signal_number);

 private:
  void OnReadable();

  std::array<int, 2> pipe_{-1, -1};
  std::unique_ptr<QSocketNotifier> notifier_;
  bool installed_ = false;
};

}  // namespace tolvi
