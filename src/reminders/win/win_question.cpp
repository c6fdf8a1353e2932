#include "reminders/win/win_question.h"

#include <optional>

#include "dialog_ids.h"
#include "reminders/choice_layout.h"
#include "reminders/win/win_modal_dialog.h"

namespace tolvi::win {
namespace {

constexpr int kFirstButton = static_cast<int>(ChoiceResult::kFirst);
constexpr int kSecondButton = static_cast<int>(ChoiceResult::kSecond);
constexpr int kFontWeight = 50;
constexpr wchar_t kFontFace[] = L"Arial";

HFONT MakeFont(std::int32_t height) {
  return ::CreateFontW(height, 0, 0, 0, kFontWeight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                       kFontFace);
}

class ChoiceWindow final : public ModalDialog {
 public:
  ChoiceWindow(const ChoiceRequest& request, ChoiceOpenFlag& open_flag, HICON icon)
      : request_(request), open_flag_(open_flag), icon_(icon) {}

  ChoiceResult answer() const { return answer_; }

 private:
  bool OnInit() override {
    open_scope_.emplace(open_flag_);
    if (request_.on_top) {
      ::SetWindowPos(window(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (icon_ != nullptr) {
      ::SendDlgItemMessageW(window(), TOLVI_IDC_CHOICE_ICON, STM_SETICON,
                            reinterpret_cast<WPARAM>(icon_), 0);
      ::SendMessageW(window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    }
    SetItemText(window(), TOLVI_IDC_CHOICE_MESSAGE, WithCrLf(request_.message));
    SetItemText(window(), kFirstButton, request_.first_caption);
    SetItemText(window(), kSecondButton, request_.second_caption);
    large_font_.Reset(MakeFont(kChoiceLargeFontHeight));
    small_font_.Reset(MakeFont(kChoiceSmallFontHeight));
    const HFONT message_font =
        request_.message_font == QuestionFont::kSmall ? small_font_.get() : large_font_.get();
    SetFont(TOLVI_IDC_CHOICE_MESSAGE, message_font);
    SetFont(kFirstButton, large_font_.get());
    SetFont(kSecondButton, large_font_.get());
    // The focus starts on the message, not on a button: a reminder that
    // pops up while the user types must not be answered by a keystroke.
    ::SetFocus(Item(TOLVI_IDC_CHOICE_MESSAGE));
    return false;
  }

  void OnCommand(int id, int) override {
    // IDCANCEL (Escape, the close box) is the second button's id.
    if (id != kFirstButton && id != kSecondButton) return;
    answer_ = id == kFirstButton ? ChoiceResult::kFirst : ChoiceResult::kSecond;
    open_scope_.reset();
    End(id);
  }

  bool OnMessage(UINT message, WPARAM, LPARAM, INT_PTR* result) override {
    if (message == WM_DESTROY) {
      // The controls let go of the fonts before they are deleted.
      SetFont(TOLVI_IDC_CHOICE_MESSAGE, nullptr);
      SetFont(kFirstButton, nullptr);
      SetFont(kSecondButton, nullptr);
      large_font_.Reset();
      small_font_.Reset();
      open_scope_.reset();
      return false;
    }
    if (message != DM_GETDEFID) return false;
    // No default button: Enter in the window presses nothing.
    *result = MAKELONG(TOLVI_IDC_NO_DEFAULT, DC_HASDEFID);
    return true;
  }

  void SetFont(int id, HFONT font) {
    ::SendDlgItemMessageW(window(), id, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }

  const ChoiceRequest& request_;
  ChoiceOpenFlag& open_flag_;
  HICON icon_;
  std::optional<ChoiceOpenScope> open_scope_;
  FontHandle large_font_;
  FontHandle small_font_;
  ChoiceResult answer_ = ChoiceResult::kSecond;
};

}  // namespace

ChoiceResult AskChoice(const ChoiceRequest& request, ChoiceOpenFlag& open_flag, HICON program_icon,
                       HWND owner) {
  ChoiceWindow window(request, open_flag, program_icon);
  window.Run(nullptr, TOLVI_IDD_CHOICE, owner);
  return window.answer();
}

}  // namespace tolvi::win
