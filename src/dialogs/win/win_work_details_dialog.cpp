#include "dialogs/win/win_work_details_dialog.h"

#include "dialog_ids.h"
#include "platform/win/wide_text.h"
#include "reminders/win/win_modal_dialog.h"

namespace tolvi::win {
namespace {

namespace wc = work_details_control;

int Id(std::uint32_t id) {
  return static_cast<int>(id);
}

void FillList(HWND list, const std::vector<std::string>& names) {
  ::SendMessageW(list, CB_RESETCONTENT, 0, 0);
  for (const std::string& name : names) {
    ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromUtf8(name).c_str()));
  }
}

std::int32_t ListSelection(HWND dialog) {
  return static_cast<std::int32_t>(
      ::SendDlgItemMessageW(dialog, Id(wc::kName), CB_GETCURSEL, 0, 0));
}

class WorkDetailsWindow final : public ModalDialog {
 public:
  WorkDetailsWindow(WorkDetailsModel& model, const std::function<void(HWND)>& on_open)
      : model_(model), on_open_(on_open) {}

 private:
  bool OnInit() override {
    const HWND tooltip = CreateTooltipWindow(window());
    for (const WorkDetailsTooltip& entry : kWorkDetailsTooltips) {
      AddTooltip(tooltip, window(), Id(entry.control), entry.text);
    }
    ::SendDlgItemMessageW(window(), Id(wc::kName), CB_LIMITTEXT, kWorkNameMaxBytes, 0);
    ::SendDlgItemMessageW(window(), Id(wc::kNotes), EM_LIMITTEXT, kWorkNotesMaxBytes, 0);
    Refresh();
    if (on_open_) on_open_(window());
    return true;
  }

  void OnCommand(int id, int code) override {
    if (refreshing_) return;
    if (id == Id(wc::kName)) {
      if (code == CBN_SELCHANGE) {
        model_.SelectEntry(ListSelection(window()));
        Refresh();
      } else if (code == CBN_EDITCHANGE) {
        model_.SetName(ItemText(window(), id));
      }
      return;
    }
    if (code == EN_CHANGE && id == Id(wc::kMaximum))
      return model_.SetMaximum(ItemText(window(), id));
    if (code == EN_CHANGE && id == Id(wc::kNotes)) return model_.SetNotes(ItemText(window(), id));
    if (code != BN_CLICKED) return;
    if (!Press(static_cast<std::uint32_t>(id))) return;
    Refresh();
    if (model_.closed()) End(id);
  }

  // IDCANCEL is both "Cancel" and Escape or the close box.
  bool Press(std::uint32_t id) {
    switch (id) {
      case wc::kOk:
        model_.Ok();
        return true;
      case wc::kCancel:
        model_.Cancel();
        return true;
      case wc::kSelect:
        model_.Select();
        return true;
      case wc::kNext:
        model_.Next();
        return true;
      case wc::kPrevious:
        model_.Previous();
        return true;
      case wc::kDelete:
        model_.Delete();
        return true;
      case wc::kCopy:
        model_.Copy();
        return true;
      case wc::kNew:
        model_.New();
        return true;
      default:
        return false;
    }
  }

  void Refresh() {
    refreshing_ = true;
    const WorkDetailsView& view = model_.view();
    const bool has_record = model_.has_record();
    const HWND list = Item(Id(wc::kName));
    if (view.names != shown_names_) {
      FillList(list, view.names);
      shown_names_ = view.names;
    }
    ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(view.shown), 0);
    UpdateItemText(window(), Id(wc::kName), view.name);
    UpdateItemText(window(), Id(wc::kMaximum), view.maximum);
    UpdateItemText(window(), Id(wc::kNotes), WithCrLf(view.notes));
    for (std::uint32_t day = 0; day < view.days.size(); ++day) {
      SetItemText(window(), Id(wc::kToday + day), view.days[day]);
    }
    for (std::uint32_t i = 0; i < view.day_labels.size(); ++i) {
      SetItemText(window(), Id(wc::kFirstDayLabel + i), view.day_labels[i]);
    }
    SetItemText(window(), Id(wc::kTotal), view.total);
    SetItemText(window(), Id(wc::kAverage), view.average);
    SetItemText(window(), Id(wc::kShare), view.share);
    for (const std::uint32_t id :
         {wc::kName, wc::kMaximum, wc::kNotes, wc::kDelete, wc::kCopy, wc::kSelect}) {
      ::EnableWindow(Item(Id(id)), has_record ? TRUE : FALSE);
    }
    ::EnableWindow(Item(Id(wc::kPrevious)), view.can_previous ? TRUE : FALSE);
    ::EnableWindow(Item(Id(wc::kNext)), view.can_next ? TRUE : FALSE);
    refreshing_ = false;
  }

  WorkDetailsModel& model_;
  const std::function<void(HWND)>& on_open_;
  std::vector<std::string> shown_names_;
  bool refreshing_ = false;
};

class SelectWorkWindow final : public ModalDialog {
 public:
  explicit SelectWorkWindow(SelectWorkModel& model) : model_(model) {}

 private:
  bool OnInit() override {
    const HWND list = Item(Id(wc::kName));
    FillList(list, model_.names());
    ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(model_.selection()), 0);
    AddTooltip(CreateTooltipWindow(window()), window(), Id(wc::kName),
               kWorkDetailsTooltips[2].text);
    return true;
  }

  void OnCommand(int id, int code) override {
    if (id == Id(wc::kName) && code == CBN_SELCHANGE) {
      model_.SelectEntry(ListSelection(window()));
    } else if (id == IDOK) {
      model_.Ok();
      End(IDOK);
    } else if (id == IDCANCEL) {
      model_.Cancel();
      End(IDCANCEL);
    }
  }

  SelectWorkModel& model_;
};

class ImportWindow final : public ModalDialog {
 public:
  explicit ImportWindow(const ImportConfirmation& confirmation) : confirmation_(confirmation) {}

 private:
  bool OnInit() override {
    SetItemText(window(), Id(wc::kNotes), WithCrLf(confirmation_.text));
    return true;
  }

  void OnCommand(int id, int) override {
    if (id == IDOK || id == IDCANCEL) End(id);
  }

  const ImportConfirmation& confirmation_;
};

}  // namespace

void RunWorkDetailsWindow(WorkDetailsModel& model, HINSTANCE instance, HWND owner,
                          const std::function<void(HWND)>& on_open) {
  WorkDetailsWindow window(model, on_open);
  window.Run(instance, TOLVI_IDD_WORK_DETAILS, owner);
}

void RunSelectWorkWindow(SelectWorkModel& model, HINSTANCE instance, HWND owner) {
  SelectWorkWindow window(model);
  window.Run(instance, TOLVI_IDD_SELECT_WORK, owner);
}

bool RunImportWindow(const ImportConfirmation& confirmation, HINSTANCE instance, HWND owner) {
  ImportWindow window(confirmation);
  return window.Run(instance, TOLVI_IDD_IMPORT_WORK, owner) == IDOK;
}

}  // namespace tolvi::win
