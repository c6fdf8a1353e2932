#include "dialogs/win/win_options_dialog.h"

#include <commctrl.h>

#include <algorithm>

#include "dialog_ids.h"
#include "platform/win/wide_text.h"
#include "reminders/win/win_modal_dialog.h"

namespace tolvi::win {
namespace {

namespace oc = options_control;
using Kind = OptionsControlKind;

int Id(std::uint32_t id) {
  return static_cast<int>(id);
}

class OptionsWindow final : public ModalDialog {
 public:
  OptionsWindow(OptionsModel& model, HICON icon, const std::function<void(HWND)>& on_open)
      : model_(model), icon_(icon), on_open_(on_open) {}

 private:
  bool OnInit() override {
    if (icon_ != nullptr) {
      ::SendMessageW(window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    }
    const HWND tooltip = CreateTooltipWindow(window());
    for (const OptionsControlInfo& info : OptionsControls()) {
      Prepare(info);
      if (!info.tooltip.empty()) AddTooltip(tooltip, window(), Id(info.id), info.tooltip);
    }
    Refresh();
    if (on_open_) on_open_(window());
    return true;
  }

  // List entries, ranges and text limits: what the model fixes once.
  void Prepare(const OptionsControlInfo& info) {
    const HWND item = Item(Id(info.id));
    if (item == nullptr) return;
    const OptionsControlState& state = model_.Control(info.id);
    switch (info.kind) {
      case Kind::kList:
      case Kind::kEditableList:
        for (const std::string& entry : state.entries) {
          ::SendMessageW(item, CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(WideFromUtf8(entry).c_str()));
        }
        if (info.max_bytes > 0) ::SendMessageW(item, CB_LIMITTEXT, info.max_bytes, 0);
        break;
      case Kind::kSlider:
        ::SendMessageW(item, TBM_SETRANGE, FALSE, MAKELONG(info.range_minimum, info.range_maximum));
        ::SendMessageW(item, TBM_SETTICFREQ, info.tick_interval, 0);
        break;
      case Kind::kNumberBox:
        if (info.range_maximum > 0) {
          ::SendDlgItemMessageW(window(), Id(info.id) + TOLVI_IDC_SPIN_OFFSET, UDM_SETRANGE32,
                                info.range_minimum, info.range_maximum);
        }
        break;
      case Kind::kEdit:
        ::SendMessageW(item, EM_LIMITTEXT, info.max_bytes, 0);
        break;
      default:
        break;
    }
  }

  void Refresh() {
    refreshing_ = true;
    for (const OptionsControlInfo& info : OptionsControls()) Refresh(info);
    refreshing_ = false;
  }

  void Refresh(const OptionsControlInfo& info) {
    const int id = Id(info.id);
    const HWND item = Item(id);
    if (item == nullptr) return;
    const OptionsControlState& state = model_.Control(info.id);
    ::EnableWindow(item, state.enabled ? TRUE : FALSE);
    const HWND spin = Item(id + TOLVI_IDC_SPIN_OFFSET);
    if (spin != nullptr) ::EnableWindow(spin, state.enabled ? TRUE : FALSE);
    switch (info.kind) {
      case Kind::kCheckBox:
        ::CheckDlgButton(window(), id, state.checked ? BST_CHECKED : BST_UNCHECKED);
        break;
      case Kind::kSlider:
        ::SendMessageW(item, TBM_SETPOS, TRUE, static_cast<LPARAM>(state.position));
        break;
      case Kind::kList:
        ::SendMessageW(item, CB_SETCURSEL, static_cast<WPARAM>(state.selection), 0);
        break;
      case Kind::kEditableList:
        if (ItemText(window(), id) != state.text) {
          ::SendMessageW(item, CB_SETCURSEL, static_cast<WPARAM>(state.selection), 0);
          SetItemText(window(), id, state.text);
        }
        break;
      case Kind::kNumberBox:
      case Kind::kEdit:
      case Kind::kText:
        UpdateItemText(window(), id, state.text);
        break;
      case Kind::kButton:
        break;
    }
  }

  void OnCommand(int id, int code) override {
    const OptionsControlInfo* info = FindOptionsControl(static_cast<std::uint32_t>(id));
    if (info == nullptr || refreshing_) return;  // Escape (IDCANCEL) among them
    const std::uint32_t control = info->id;
    switch (info->kind) {
      case Kind::kCheckBox:
        model_.SetChecked(control, ::IsDlgButtonChecked(window(), id) == BST_CHECKED);
        break;
      case Kind::kList:
      case Kind::kEditableList:
        if (code == CBN_SELCHANGE) {
          const auto index =
              static_cast<std::int32_t>(::SendDlgItemMessageW(window(), id, CB_GETCURSEL, 0, 0));
          model_.Select(control, index);
        } else if (code == CBN_EDITCHANGE) {
          model_.SetText(control, ItemText(window(), id));
          return;  // typing changes no other control
        } else {
          return;
        }
        break;
      case Kind::kNumberBox:
      case Kind::kEdit:
        if (code == EN_CHANGE) model_.SetText(control, ItemText(window(), id));
        return;
      case Kind::kButton:
        if (code != BN_CLICKED) return;
        model_.Press(control);
        break;
      default:
        return;
    }
    AfterAction();
  }

  bool OnMessage(UINT message, WPARAM, LPARAM lparam, INT_PTR* result) override {
    if (message != WM_HSCROLL || reinterpret_cast<HWND>(lparam) != Item(Id(oc::kIntervalSlider))) {
      return false;
    }
    const auto position = static_cast<std::uint32_t>(
        ::SendDlgItemMessageW(window(), Id(oc::kIntervalSlider), TBM_GETPOS, 0, 0));
    model_.MoveSlider(position);
    AfterAction();
    *result = 0;
    return true;
  }

  void AfterAction() {
    Refresh();
    if (model_.closed()) End(IDOK);
  }

  OptionsModel& model_;
  HICON icon_;
  const std::function<void(HWND)>& on_open_;
  bool refreshing_ = false;
};

}  // namespace

void RunOptionsWindow(OptionsModel& model, HINSTANCE instance, HICON icon, HWND owner,
                      const std::function<void(HWND)>& on_open) {
  OptionsWindow window(model, icon, on_open);
  window.Run(instance, TOLVI_IDD_OPTIONS, owner);
}

}  // namespace tolvi::win
