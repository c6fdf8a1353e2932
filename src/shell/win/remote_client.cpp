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

// A status line is a few hundred bytes; far more is not our program.
constexpr std::size_t kMaxAnswerBytes = 64 * 1024;

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
  if (!WritePipeLine(pipe.get(), RequestLine(request))) {
    return Fail(console, "the running copy did not answer");
  }
  PipeLineReader reader(pipe.get(), kMaxAnswerBytes);
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
