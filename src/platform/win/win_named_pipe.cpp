#include "platform/win/win_named_pipe.h"

#include <sddl.h>

#include <memory>

#include "platform/win/wide_text.h"
#include "platform/win/win_error.h"

namespace tolvi {
namespace {

constexpr DWORD kBufferBytes = 4096;
// A busy pipe (every instance taken for a moment) is waited for this long.
constexpr DWORD kBusyWaitMs = 1000;

struct LocalFreer {
  void operator()(void* memory) const { ::LocalFree(memory); }
};

std::wstring UserSid() {
  HANDLE raw_token = nullptr;
  if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw_token) == 0) return {};
  const WinHandle token(raw_token);
  DWORD size = 0;
  ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  if (size == 0) return {};
  auto buffer = std::make_unique<unsigned char[]>(size);
  if (::GetTokenInformation(token.get(), TokenUser, buffer.get(), size, &size) == 0) return {};
  LPWSTR text = nullptr;
  if (::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.get())->User.Sid, &text) == 0) {
    return {};
  }
  const std::unique_ptr<void, LocalFreer> owned(text);
  return text;
}

Status PipeError(const std::string& what, const std::wstring& name, DWORD error) {
  return WinErrorStatus(what, std::filesystem::path(name), error);
}

}  // namespace

std::wstring RemotePipeName() {
  const std::wstring sid = UserSid();
  if (sid.empty()) return {};
  DWORD session = 0;
  ::ProcessIdToSessionId(::GetCurrentProcessId(), &session);
  return L"\\\\.\\pipe\\Tolvi-" + std::to_wstring(session) + L"-" + sid;
}

Status CreateRemotePipe(const std::wstring& name, bool first_instance, WinHandle& pipe) {
  const std::wstring sid = UserSid();
  // Protected DACL: full access for the user, nobody else.
  const std::wstring descriptor_text = L"D:P(A;;GA;;;" + sid + L")";
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (sid.empty() || ::ConvertStringSecurityDescriptorToSecurityDescriptorW(
                         descriptor_text.c_str(), SDDL_REVISION_1, &descriptor, nullptr) == 0) {
    return PipeError("cannot limit the pipe to this user:", name, ::GetLastError());
  }
  const std::unique_ptr<void, LocalFreer> owned(descriptor);
  SECURITY_ATTRIBUTES attributes{};
  attributes.nLength = sizeof attributes;
  attributes.lpSecurityDescriptor = descriptor;
  const DWORD open_mode =
      PIPE_ACCESS_DUPLEX | (first_instance ? static_cast<DWORD>(FILE_FLAG_FIRST_PIPE_INSTANCE) : 0);
  WinHandle created(::CreateNamedPipeW(
      name.c_str(), open_mode,
      PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS,
      PIPE_UNLIMITED_INSTANCES, kBufferBytes, kBufferBytes, 0, &attributes));
  if (!created.valid()) return PipeError("cannot create the pipe", name, ::GetLastError());
  pipe = std::move(created);
  return Status::Ok();
}

Status OpenRemotePipe(const std::wstring& name, WinHandle& pipe) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    WinHandle opened(::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
    if (opened.valid()) {
      pipe = std::move(opened);
      return Status::Ok();
    }
    const DWORD error = ::GetLastError();
    if (error != ERROR_PIPE_BUSY || ::WaitNamedPipeW(name.c_str(), kBusyWaitMs) == 0) {
      return PipeError("cannot open the pipe", name, error);
    }
  }
  return PipeError("cannot open the pipe", name, ERROR_PIPE_BUSY);
}

bool PipeLineReader::Next(std::string& line) {
  for (;;) {
    if (const std::size_t end = buffered_.find('\n'); end != std::string::npos) {
      line = buffered_.substr(0, end);
      buffered_.erase(0, end + 1);
      return true;
    }
    if (buffered_.size() >= max_bytes_) return false;
    char chunk[512];
    DWORD read = 0;
    if (::ReadFile(pipe_, chunk, sizeof chunk, &read, nullptr) == 0 || read == 0) return false;
    buffered_.append(chunk, read);
  }
}

bool WritePipeLine(HANDLE pipe, std::string_view line) {
  std::string text(line);
  text += '\n';
  DWORD written = 0;
  return ::WriteFile(pipe, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != 0 &&
         written == text.size();
}

}  // namespace tolvi
