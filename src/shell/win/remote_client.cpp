#include "shell/win/remote_client.h"

#include <optional>
#include <string>

#include "platform/win/win_handle.h"
#include "platform/win/win_named_pipe.h"
#include "shell/remote_protocol.h"

namespace tolvi::win {
namespace {

int Fail(const ConsoleWriters& console, const std::string& message) {
  console.errors("tolvi: " + message + "\n");
  return kExitNotRunning;
}

// Reads the pipe line by line; false at its end.
class LineReader {
 public:
  explicit LineReader(HANDLE pipe) : pipe_(pipe) {}
  bool Next(std::string& line) {
    for (;;) {
      if (const std::size_t end = buffered_.find('\n'); end != std::string::npos) {
        line = buffered_.substr(0, end);
        buffered_.erase(0, end + 1);
        return true;
      }
      char chunk[512];
      DWORD read = 0;
      if (::ReadFile(pipe_, chunk, sizeof chunk, &read, nullptr) == 0 || read == 0) return false;
      buffered_.append(chunk, read);
    }
  }

 private:
  HANDLE pipe_;
  std::string buffered_;
};

// "ok TEXT" gives TEXT; "error WHY" gives nullopt and WHY.
std::optional<std::string> Payload(const std::string& answer, std::string& why) {
  const std::string ok(kAnswerOk);
  if (answer == ok) return std::string();
  if (answer.rfind(ok + " ", 0) == 0) return answer.substr(ok.size() + 1);
  const std::string error = std::string(kAnswerError) + " ";
  why = answer.rfind(error, 0) == 0 ? answer.substr(error.size()) : "an unknown answer";
  return std::nullopt;
}

}  // namespace

int RunRemoteControl(const CommandLine& line, const ConsoleWriters& console) {
  const std::wstring name = RemotePipeName();
  if (name.empty()) return Fail(console, "Tolvi is not running (the user is not known)");
  WinHandle pipe;
  if (const Status opened = OpenRemotePipe(name, pipe); !opened.ok()) {
    if (opened.code() == Status::Code::kNotFound) return Fail(console, "Tolvi is not running");
    return Fail(console, "cannot reach the running copy: " + opened.message());
  }
  const RemoteRequest request = RequestFor(line);
  const std::string text = RequestLine(request) + "\n";
  DWORD written = 0;
  if (::WriteFile(pipe.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ==
          0 ||
      written != text.size()) {
    return Fail(console, "the running copy did not answer");
  }
  LineReader reader(pipe.get());
  const bool watch = request.action == RemoteAction::kWatch;
  bool answered = false;
  std::string answer;
  while (reader.Next(answer)) {
    answered = true;
    std::string why;
    const std::optional<std::string> payload = Payload(answer, why);
    if (!payload) return Fail(console, why);
    const bool prints = watch || request.action == RemoteAction::kStatus;
    if (prints && !console.out(*payload + "\n")) return 1;  // the reader went
    if (!watch) return 0;
  }
  if (!answered) return Fail(console, "the running copy did not answer");
  return Fail(console, "the running copy has ended");
}

}  // namespace tolvi::win
