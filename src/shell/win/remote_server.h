// RemoteServer: the running copy's end of the command line's controls, the
// named pipe of platform/win/win_named_pipe.h speaking the line protocol of
// shell/remote_protocol.h.
//
// A thread of its own waits in ConnectNamedPipe, with no timeout, for the
// next client, so an idle program is never woken by it; each client gets a
// thread for its request. Every answer is made on the GUI thread: the
// client's thread sends the window kRemoteCallMessage and the window's
// owner answers it with AnswerRemoteCall, through the same functions as the
// tray menu. A --watch client's thread then sleeps until StatusChanged and
// writes a line when ShowsChange says so, until the client goes or Stop.
//
// Start, Stop and the destructor on the GUI thread; StatusChanged from any
// thread. The window must outlive the server or be destroyed first (calls
// to a destroyed window fail at once).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "platform/status.h"
#include "shell/remote_protocol.h"
#include "shell/status_report.h"

namespace tolvi::win {

// WPARAM 0, LPARAM a call for AnswerRemoteCall.
inline constexpr UINT kRemoteCallMessage = WM_APP + 16;

struct RemoteCall {
  std::optional<RemoteRequest> request;
  // Filled in by the GUI thread: the answer line and the status it was
  // made from.
  std::string answer;
  StatusReport report;
};

// The window's handling of kRemoteCallMessage: answer fills in the call.
// Takes over the call the message carries.
void AnswerRemoteCall(LPARAM carried, const std::function<void(RemoteCall&)>& answer);

class RemoteServer {
 public:
  explicit RemoteServer(HWND window);
  ~RemoteServer();
  RemoteServer(const RemoteServer&) = delete;
  RemoteServer& operator=(const RemoteServer&) = delete;

  // Creates the pipe and starts serving it; an error (the name taken by
  // another program, no SID) leaves the program without the controls.
  [[nodiscard]] Status Start();
  // Ends the serving: watchers are told, waiting threads let go.
  void Stop();
  void StatusChanged();

  struct Shared;

 private:
  std::shared_ptr<Shared> shared_;
  std::thread listener_;
};

}  // namespace tolvi::win
