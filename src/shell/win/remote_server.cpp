#include "shell/win/remote_server.h"

#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <utility>

#include "platform/win/win_handle.h"
#include "platform/win/win_named_pipe.h"

namespace tolvi::win {

struct RemoteServer::Shared {
  HWND window = nullptr;
  std::wstring name;
  std::mutex mutex;
  std::condition_variable changed;
  std::uint64_t generation = 0;  // counts StatusChanged
  bool stopping = false;
};

namespace {

using Shared = RemoteServer::Shared;

// Longer than a work-type change waits for the monitor, shorter than a
// script's patience.
constexpr UINT kCallTimeoutMs = 4000;
// A request line is short; a client that sends more is not one of ours.
constexpr std::size_t kMaxRequestBytes = 4096;

bool Stopping(Shared& shared) {
  const std::lock_guard lock(shared.mutex);
  return shared.stopping;
}

// Has the GUI thread answer; nullopt when the window is gone or busy past
// the timeout (the call it may still answer is its own then).
std::optional<RemoteCall> Call(Shared& shared, const std::optional<RemoteRequest>& request) {
  if (Stopping(shared)) return std::nullopt;
  auto call = std::make_shared<RemoteCall>();
  call->request = request;
  // The message carries its own reference: AnswerRemoteCall takes it over.
  auto carried = std::make_unique<std::shared_ptr<RemoteCall>>(call);
  DWORD_PTR result = 0;
  if (::SendMessageTimeoutW(shared.window, kRemoteCallMessage, 0,
                            reinterpret_cast<LPARAM>(carried.get()), SMTO_NORMAL, kCallTimeoutMs,
                            &result) == 0) {
    // Timed out, the window may still answer later and free it then; not
    // delivered at all, it is freed here.
    if (::GetLastError() == ERROR_TIMEOUT) static_cast<void>(carried.release());
    return std::nullopt;
  }
  static_cast<void>(carried.release());
  return *call;
}

void Watch(Shared& shared, HANDLE pipe, StatusFormat format) {
  RemoteRequest status;
  status.format = format;
  std::uint64_t seen = 0;
  {
    const std::lock_guard lock(shared.mutex);
    seen = shared.generation;
  }
  std::optional<StatusReport> told;
  for (;;) {
    const std::optional<RemoteCall> call = Call(shared, status);
    if (!call) return;  // the client reads the end of the pipe: the copy ended
    if (!told || ShowsChange(*told, call->report)) {
      if (!WritePipeLine(pipe, call->answer)) return;  // the client went
      told = call->report;
    }
    std::unique_lock lock(shared.mutex);
    shared.changed.wait(lock, [&] { return shared.stopping || shared.generation != seen; });
    if (shared.stopping) return;
    seen = shared.generation;
  }
}

void ServeClient(const std::shared_ptr<Shared>& shared, const WinHandle& pipe) {
  PipeLineReader reader(pipe.get(), kMaxRequestBytes);
  std::string line;
  if (!reader.Next(line)) return;
  const std::optional<RemoteRequest> request = ParseRequest(line);
  if (request && request->action == RemoteAction::kWatch) {
    Watch(*shared, pipe.get(), request->format);
    return;
  }
  const std::optional<RemoteCall> call = Call(*shared, request);
  const std::string answer =
      call ? call->answer : std::string(kAnswerError) + " the running copy is ending";
  if (WritePipeLine(pipe.get(), answer)) ::FlushFileBuffers(pipe.get());
}

void Listen(const std::shared_ptr<Shared>& shared, WinHandle pipe) {
  for (;;) {
    const bool connected =
        ::ConnectNamedPipe(pipe.get(), nullptr) != 0 || ::GetLastError() == ERROR_PIPE_CONNECTED;
    if (Stopping(*shared)) return;
    WinHandle next;
    const Status created = CreateRemotePipe(shared->name, false, next);
    if (connected) {
      std::thread([shared, client = std::move(pipe)] { ServeClient(shared, client); }).detach();
    }
    if (!created.ok()) {
      std::fprintf(stderr, "tolvi: the command line controls end: %s\n", created.message().c_str());
      return;
    }
    pipe = std::move(next);
  }
}

}  // namespace

void AnswerRemoteCall(LPARAM carried, const std::function<void(RemoteCall&)>& answer) {
  const std::unique_ptr<std::shared_ptr<RemoteCall>> call(
      reinterpret_cast<std::shared_ptr<RemoteCall>*>(carried));
  if (call && *call) answer(**call);
}

RemoteServer::RemoteServer(HWND window) : shared_(std::make_shared<Shared>()) {
  shared_->window = window;
}

RemoteServer::~RemoteServer() {
  Stop();
}

Status RemoteServer::Start() {
  shared_->name = RemotePipeName();
  if (shared_->name.empty()) return Status::IoError("the user's SID cannot be read");
  WinHandle first;
  if (Status created = CreateRemotePipe(shared_->name, true, first); !created.ok()) return created;
  listener_ = std::thread(
      [shared = shared_, pipe = std::move(first)]() mutable { Listen(shared, std::move(pipe)); });
  return Status::Ok();
}

void RemoteServer::Stop() {
  {
    const std::lock_guard lock(shared_->mutex);
    shared_->stopping = true;
  }
  shared_->changed.notify_all();
  if (!listener_.joinable()) return;
  // The listener waits for a client: one that connects lets it see the end.
  WinHandle wake;
  if (OpenRemotePipe(shared_->name, wake).ok()) {
    listener_.join();
  } else {
    listener_.detach();  // it ends with the process
  }
}

void RemoteServer::StatusChanged() {
  {
    const std::lock_guard lock(shared_->mutex);
    ++shared_->generation;
  }
  shared_->changed.notify_all();
}

}  // namespace tolvi::win
