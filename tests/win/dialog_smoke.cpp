// Opens each Win32 dialog of Tolvi on a fake core and drives it from a
// second thread the way a user would (clicks, typing, Enter, Escape), then
// checks what the dialog left behind. Run under Wine by
// scripts/test-windows.sh; with a folder argument it also saves a picture
// of each dialog there (BMP, as the screen shows it).
//   tolvi_dialog_smoke.exe [SHOT_DIR]

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "accounting/work_type_record.h"
#include "accounting/work_types.h"
#include "dialogs/win/win_dialogs.h"
#include "dialogs/work_details_model.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_file_system.h"
#include "fakes/recording_ui.h"
#include "fakes/scripted_random.h"
#include "platform/win/wide_text.h"
#include "reminders/win/win_question.h"
#include "settings/settings.h"
#include "state/command_ids.h"
#include "worklog/log_import.h"

namespace tolvi::win {
namespace {

constexpr int kWaitMs = 5'000;
constexpr int kPollMs = 50;
constexpr int kPaintMs = 400;

struct Search {
  std::wstring title;
  HWND found = nullptr;
};

BOOL CALLBACK Match(HWND window, LPARAM parameter) {
  auto& search = *reinterpret_cast<Search*>(parameter);
  wchar_t title[128] = {};
  ::GetWindowTextW(window, title, 128);
  if (search.title != title || !::IsWindowVisible(window)) return TRUE;
  search.found = window;
  return FALSE;
}

// A visible window of that title, here or on the lock desktop.
HWND WaitForWindow(const std::string& title) {
  Search search{WideFromUtf8(title)};
  for (int waited = 0; waited < kWaitMs; waited += kPollMs) {
    ::EnumWindows(&Match, reinterpret_cast<LPARAM>(&search));
    // The lock desktop's windows are seen from a thread attached to it.
    const HDESK home = ::GetThreadDesktop(::GetCurrentThreadId());
    if (const HDESK lock = ::OpenDesktopW(L"Tolvi.exe", 0, FALSE, GENERIC_ALL)) {
      if (search.found == nullptr && ::SetThreadDesktop(lock)) {
        ::EnumWindows(&Match, reinterpret_cast<LPARAM>(&search));
        ::SetThreadDesktop(home);
      }
      ::CloseDesktop(lock);
    }
    if (search.found != nullptr) return search.found;
    ::Sleep(kPollMs);
  }
  return nullptr;
}

// Control ids as the models number them.
std::string Text(HWND dialog, std::uint32_t id) {
  wchar_t text[512] = {};
  ::GetDlgItemTextW(dialog, static_cast<int>(id), text, 512);
  return Utf8FromWide(text);
}

HWND Item(HWND dialog, std::uint32_t id) {
  return ::GetDlgItem(dialog, static_cast<int>(id));
}

// A control's notification as the dialog receives it.
void Notify(HWND dialog, std::uint32_t id, WORD code) {
  ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, code),
                 reinterpret_cast<LPARAM>(Item(dialog, id)));
}

void Click(HWND dialog, std::uint32_t id) {
  Notify(dialog, id, BN_CLICKED);
}

bool Enabled(HWND dialog, std::uint32_t id) {
  return ::IsWindowEnabled(Item(dialog, id)) != 0;
}

// Saves what the screen shows of the window's client area as a 24-bit BMP.
void Shoot(HWND window, const std::string& folder, const char* name) {
  if (folder.empty()) return;
  ::Sleep(kPaintMs);
  // The client area: without a window manager under Xvfb nobody draws the frame.
  RECT rect{};
  ::GetClientRect(window, &rect);
  ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  const HDC screen = ::GetDC(nullptr);
  const HDC memory = ::CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  ::GdiFlush();
  const DWORD row = static_cast<DWORD>((width * 3 + 3) & ~3);
  const DWORD size = row * static_cast<DWORD>(height);
  BITMAPFILEHEADER file{
      0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + size), 0, 0,
      static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER))};
  std::ofstream out(folder + "/" + name + ".bmp", std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof(file));
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(info.bmiHeader));
  out.write(static_cast<const char*>(bits), size);
  if (!out) std::fprintf(stderr, "could not save the picture %s\n", name);
  ::SelectObject(memory, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
}

class Smoke {
 public:
  explicit Smoke(std::string shots) : shots_(std::move(shots)) {
    clock_.SetLocalTime(2026, 12, 6, 14, 3, 27);
    clock_.SetFileTimeHigh(31'000'000);
    SetDefaultSettings(context_.state.data, clock_);
    Expect(CreateWorkTypeDatabase(context_.records, "/data/TlvDB.lbf").ok(), "database");
    Expect(context_.records.SetRecordStatus(kPlaceholderSlot, SlotStatus::kDeleted).ok(), "slot");
    for (const char* name : {"Alpha", "Beta"}) {
      const std::int32_t id = context_.records.NewRecord();
      Expect(id >= 0 && InitWorkType(context_.records, id, /*named=*/false).ok() &&
                 context_.records.WriteText(id, work_type_field::kName, name).ok(),
             name);
      ids_.push_back(id);
    }
    services_.save_program_data = [] {};
  }

  // Runs the dialog on this thread while drive works it from another.
  void Case(const char* name, std::string_view title, const std::function<void()>& open,
            const std::function<void(HWND)>& drive) {
    std::thread driver([&] {
      const HWND window = WaitForWindow(std::string(title));
      if (window == nullptr) {
        Expect(false, std::string(name) + ": no window \"" + std::string(title) + "\"");
        return;
      }
      Shoot(window, shots_, name);
      drive(window);
    });
    open();
    driver.join();
  }

  void Expect(bool ok, const std::string& what) {
    if (!ok) {
      std::fprintf(stderr, "FAIL %s\n", what.c_str());
      ++failures_;
    }
  }

  int failures() const { return failures_; }
  CoreContext& context() { return context_; }
  WinDialogServices& services() { return services_; }
  ChoiceOpenFlag& choice_open() { return choice_open_; }

 private:
  std::string shots_;
  FakeClock clock_;
  RecordingUi ui_;
  FakeFileSystem files_;
  ScriptedRandom random_;
  CoreContext context_{CorePorts{clock_, ui_, files_, random_}, "/data", "/program"};
  ChoiceOpenFlag choice_open_;
  OptionsOpenFlag options_open_;
  WinDialogServices services_{context_, choice_open_, options_open_};
  int failures_ = 0;

 public:
  std::vector<std::int32_t> ids_;  // Alpha, Beta
};

void SetRequest(CoreContext& context, std::uint32_t code, std::int32_t value) {
  const StateLock lock(context.state.mutex);
  context.state.activity.request_code = code;
  context.state.activity.request_value = value;
}

ActivityState Activity(CoreContext& context) {
  const StateLock lock(context.state.mutex);
  return context.state.activity;
}

std::wstring DesktopName(HDESK desktop) {
  wchar_t name[256] = {};
  DWORD needed = 0;
  if (desktop != nullptr) {
    ::GetUserObjectInformationW(desktop, UOI_NAME, name, sizeof(name) - sizeof(wchar_t), &needed);
  }
  return name;
}

std::wstring InputDesktopName() {
  const HDESK input = ::OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS);
  std::wstring name = DesktopName(input);
  if (input != nullptr) ::CloseDesktop(input);
  return name;
}

void QuestionCases(Smoke& smoke) {
  const ChoiceRequest request{"Take a Break!", "I'll take a break now.",
                              "Snooze; I need more time!"};
  ChoiceResult answer = ChoiceResult::kFirst;
  bool open_while_shown = false;
  smoke.Case(
      "question", kChoiceCaption,
      [&] { answer = AskChoice(request, smoke.choice_open(), nullptr, nullptr); },
      [&](HWND dialog) {
        open_while_shown = smoke.choice_open().IsOpen();
        smoke.Expect(Text(dialog, 1) == request.first_caption, "question: first caption");
        // Enter presses no button; Escape answers with the second.
        ::PostMessageW(dialog, WM_KEYDOWN, VK_RETURN, 0);
        ::PostMessageW(dialog, WM_KEYUP, VK_RETURN, 0);
        ::Sleep(300);
        smoke.Expect(::IsWindow(dialog) != 0, "question: Enter answered it");
        ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      });
  smoke.Expect(answer == ChoiceResult::kSecond, "question: Enter or Escape gave the wrong answer");
  smoke.Expect(open_while_shown && !smoke.choice_open().IsOpen(), "question: open flag");
}

void OptionsCase(Smoke& smoke) {
  namespace oc = options_control;
  const bool was_enabled = Activity(smoke.context()).request_code == 0 &&
                           smoke.context().state.data.reminder_enabled != 0;
  smoke.Case(
      "options", kOptionsTitle, [&] { RunOptionsDialog(nullptr, smoke.services()); },
      [&](HWND dialog) {
        for (const OptionsControlInfo& info : OptionsControls()) {
          smoke.Expect(Item(dialog, info.id) != nullptr,
                       "options: no control " + std::to_string(info.id));
        }
        const std::uint32_t action = oc::kReminderAction;
        smoke.Expect(Enabled(dialog, action) == was_enabled, "options: action list state");
        // The edit reports EN_CHANGE.
        ::SetWindowTextW(Item(dialog, oc::kIntervalBox), L"3");
        ::SendMessageW(Item(dialog, oc::kEnable), BM_CLICK, 0, 0);
        smoke.Expect(Enabled(dialog, action) != was_enabled, "options: Enable greys");
        ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        ::Sleep(300);
        smoke.Expect(::IsWindow(dialog) != 0, "options: Escape closed it");
        Click(dialog, IDOK);
      });
  const ProgramData& data = smoke.context().state.data;
  smoke.Expect((data.reminder_enabled != 0) != was_enabled, "options: Enable not applied");
  smoke.Expect(data.break_interval == 5 * 60'000, "options: interval not limited to 5");
  smoke.Expect(!smoke.services().options_open.IsOpen(), "options: still marked open");
}

void WorkTypeCases(Smoke& smoke) {
  namespace wc = work_details_control;
  SetRequest(smoke.context(), request::kEditWorkType, smoke.ids_[0]);
  smoke.Case(
      "work_details", kWorkDetailsTitle, [&] { RunWorkTypeDialog(nullptr, smoke.services()); },
      [&](HWND dialog) {
        smoke.Expect(Text(dialog, wc::kName) == "Alpha", "details: name");
        Click(dialog, wc::kNext);
        smoke.Expect(Text(dialog, wc::kName) == "Beta", "details: next");
        Click(dialog, IDOK);
      });
  smoke.Expect(Activity(smoke.context()).request_code == request::kWorkDetailsClosed,
               "details: result not handed back");

  SetRequest(smoke.context(), request::kSelectWorkType, request::kSelectCurrentValue);
  smoke.Case(
      "select_work", kSelectWorkTitle, [&] { RunWorkTypeDialog(nullptr, smoke.services()); },
      [&](HWND dialog) {
        ::SendMessageW(Item(dialog, wc::kName), CB_SETCURSEL, 1, 0);
        Notify(dialog, wc::kName, CBN_SELCHANGE);
        Click(dialog, IDOK);
      });
  const ActivityState after = Activity(smoke.context());
  smoke.Expect(
      after.request_code == request::kSelectWorkClosed && after.request_value == smoke.ids_[1],
      "select: choice not handed back");
}

void ImportAndLockCases(Smoke& smoke) {
  const Question import{std::string(kImportHeading) + "\r\n\r\nDays 3", std::string(kImportConfirm),
                        std::string(kImportCancel)};
  int answer = 0;
  smoke.Case(
      "import", kImportTitle,
      [&] { answer = AskQuestion(import, true, smoke.services(), nullptr); },
      [&](HWND dialog) {
        smoke.Expect(Text(dialog, work_details_control::kNotes) == "Days 3", "import: report");
        Click(dialog, IDOK);
      });
  smoke.Expect(answer == 1, "import: OK is 1");

  DesktopLock lock;
  bool switched = false;
  const Question reminder{"Take a Break!", "I'll take a break now.", "Snooze; I need more time!",
                          QuestionFont::kSmall};
  smoke.Case(
      "locked_reminder", kChoiceCaption,
      [&] { answer = ShowLockedReminder(lock, reminder, smoke.choice_open(), nullptr); },
      [&](HWND dialog) {
        const DWORD thread = ::GetWindowThreadProcessId(dialog, nullptr);
        smoke.Expect(DesktopName(::GetThreadDesktop(thread)) == L"Tolvi.exe",
                     "lock: the question is not on the lock desktop");
        switched = InputDesktopName() == L"Tolvi.exe";
        Click(dialog, 1);
      });
  smoke.Expect(answer == 1 && lock.idle(), "lock: answer");
  // Wine keeps the input on the first desktop; Windows switches it.
  if (switched) smoke.Expect(InputDesktopName() != L"Tolvi.exe", "lock: display not given back");
  if (!switched) std::printf("note: the input desktop did not change; its return is unchecked\n");
}

}  // namespace
}  // namespace tolvi::win

int main(int argc, char** argv) {
  using namespace tolvi;
  using namespace tolvi::win;
  Smoke smoke(argc > 1 ? argv[1] : "");
  QuestionCases(smoke);
  OptionsCase(smoke);
  WorkTypeCases(smoke);
  ImportAndLockCases(smoke);
  std::printf("dialog smoke test: %d failures\n", smoke.failures());
  return smoke.failures() == 0 ? 0 : 1;
}
