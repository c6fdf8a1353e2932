#include "shell/display_list.h"

#include <algorithm>

#include "accounting/statistics.h"
#include "engine/tick.h"
#include "settings/settings.h"
#include "text/text.h"

namespace tolvi {
namespace {

constexpr std::uint32_t kNarrowestRight = 410;
constexpr std::uint32_t kShortestBottom = 280;
constexpr std::uint32_t kTableTopHeight = 230;
constexpr std::uint32_t kRowsBelowHeight = 220;
constexpr std::uint32_t kFewestRows = 2;
constexpr std::uint32_t kMostRows = 20;
constexpr std::uint32_t kRowHeight = 20;
constexpr std::int32_t kTableTop = 100;
constexpr std::int32_t kFigureColumns = 270;
constexpr std::uint32_t kMsHoursDivisor = 36'000;
constexpr std::uint32_t kTenthsHoursDivisor = 6;
constexpr std::uint32_t kMsPerTenthMinute = 6'000;
constexpr std::uint32_t kMsPerMinute = 60'000;
constexpr std::uint64_t kTenthsPerDay = 14'400;

constexpr char kTableHeading[] = "Tod   Yes    Avg    Tot           %";

std::int32_t Int(std::uint32_t value) {
  return static_cast<std::int32_t>(std::min<std::uint32_t>(value, 0x7FFF'FFFF));
}

// Builds the list in drawing order; every text is bold or regular as the
// font selected at that point.
class DisplayBuilder {
 public:
  DisplayBuilder(const DisplayState& state, std::uint32_t width, std::uint32_t height)
      : data_(state.data),
        activity_(state.activity),
        recent_(state.recent),
        layout_(LayoutFor(width, height)),
        style_(TimeStyleFor(state.data.decimal_hours)) {
    list_.width = Int(width);
    list_.height = Int(height);
  }

  DisplayList Build() {
    AddPanels();
    AddTopFigures();
    Add({layout_.right - kFigureColumns, 80, layout_.right, 100}, kTableHeading);
    AddLineNames();
    font_ = DisplayFont::kRegular;
    AddLabels();
    AddTableNumbers();
    return std::move(list_);
  }

 private:
  [[nodiscard]] bool Resting() const {
    return activity_.away || activity_.working_flag == WorkingFlag::kOnBreak;
  }
  [[nodiscard]] std::uint32_t ShownLines() const {
    return std::min<std::uint32_t>(layout_.rows + 1, static_cast<std::uint32_t>(recent_.size()));
  }

  void Add(DisplayRect rect, std::string text, Rgb colour = kTextColour) {
    list_.texts.push_back(DisplayText{rect, std::move(text), font_, colour});
  }

  void AddPanels() {
    list_.panels.push_back(DisplayPanel{{5, 5, layout_.right, 65}});
    list_.panels.push_back(DisplayPanel{{5, 70, layout_.right, layout_.bottom}});
  }

  void AddTopFigures() {
    const std::int32_t r = layout_.right;
    const std::string name = FieldText(data_.current_name);
    if (Resting()) {
      const bool away = activity_.away;
      const std::uint32_t day_ms = away ? data_.away_today_ms : data_.break_today_ms;
      const std::uint32_t mark = away ? activity_.away_mark : activity_.break_mark;
      Add({9, 15, r / 2, 35}, std::string(away ? "Away" : "On Break") + " (" + name + ")");
      // A mark above the day's time (a day closed since) reads as a fresh start.
      Add({r - 150, 15, r - 20, 35}, FormatDuration(SaturatingSubtract(day_ms, mark), true),
          activity_.max_break_state == MaxBreakState::kFired ? kAlertTextColour : kTextColour);
      Add({100, 35, r - 165, 55}, FormatDuration(day_ms, true));
    } else {
      Add({55, 15, r / 2, 35}, name);
      Add({r - 150, 15, r - 20, 35}, FormatDuration(activity_.current_today_ms, true));
      Add({140, 35, r / 2 + 35, 55}, CountdownText());
    }
    const std::uint32_t target = activity_.target_remaining_ms;
    Add({r - 122, 35, r - 5, 55}, FormatDuration(target != 0 ? target : data_.work_today_ms, true));
  }

  [[nodiscard]] std::string CountdownText() const {
    std::string text = Minutes(activity_.break_countdown_ms);
    if (MicroBreakModeOf(data_) != MicroBreakMode::kNone)
      text += " (" + Minutes(activity_.micro_countdown_ms) + ")";
    return text + " Mns";
  }
  static std::string Minutes(std::uint32_t countdown_ms) {
    // Unsigned 32-bit arithmetic, as the tooltip does it.
    return FormatDecimal(Int((countdown_ms + 9) / kMsPerMinute + 1));
  }

  void AddLineNames() {
    const std::int32_t right = layout_.right - 260;
    std::int32_t y = kTableTop;
    for (std::uint32_t slot = 0; slot < ShownLines(); ++slot, y += 20) {
      Add({9, y, right, y + 20}, recent_[slot].name);
    }
    y += 10;
    Add({9, y, right, y + 20}, "Away");
    y += 20;
    Add({9, y, right, y + 20}, "Break");
    y += 20;
    Add({9, y, right, y + 20}, "Total Work");
    y += 30;
    Add({9, y, right, y + 20}, "Total Days");
  }

  void AddLabels() {
    const std::int32_t r = layout_.right;
    const std::size_t first = list_.texts.size();
    if (Resting()) {
      Add({r - 200, 15, r - 150, 35}, "Time:");
      Add({8, 35, 100, 55}, "Total Time:");
    } else {
      Add({8, 15, 48, 35}, "Task:");
      Add({r - 220, 15, r - 150, 35}, "Time:");
      Add({8, 35, 135, 55}, "Time until break: ");
    }
    Add({r - 160, 35, r - 125, 55}, activity_.target_remaining_ms != 0 ? "TTG:" : " Tot:");
    for (std::size_t i = first; i < list_.texts.size(); ++i) list_.texts[i].fit_to_box = true;
  }

  void AddTableNumbers() {
    std::int32_t y = kTableTop;
    for (std::uint32_t slot = 0; slot < ShownLines(); ++slot, y += 20) {
      const RecentWorkEntry& entry = recent_[slot];
      const std::uint32_t total = WorkTypeTotal(entry.total, entry.today_ms);
      if (total != 0)
        AddFigureLine(y, entry.today_ms, entry.yesterday_ms, total, activity_.grand_total);
    }
    const std::uint64_t day_base = kTenthsPerDay * data_.total_days;
    y += 10;
    AddFigureLine(y, data_.away_today_ms, data_.away_yesterday_ms,
                  data_.away_total + data_.away_today_ms / kMsPerTenthMinute, day_base);
    y += 20;
    AddFigureLine(y, data_.break_today_ms, data_.break_yesterday_ms,
                  data_.break_total + data_.break_today_ms / kMsPerTenthMinute, day_base);
    y += 20;
    AddFigureLine(y, data_.work_today_ms, data_.work_yesterday_ms, activity_.grand_total, day_base);
    Add({130, y + 30, 170, y + 50}, FormatDecimal(Int(data_.total_days)));
  }

  void AddFigureLine(std::int32_t y, std::uint32_t today_ms, std::uint32_t yesterday_ms,
                     std::uint32_t total, std::uint64_t share_base) {
    const std::int32_t x0 = layout_.right - kFigureColumns;
    const std::uint32_t days = data_.total_days;
    const std::uint32_t average =
        WorkTypeAverage(total, days).value_or(today_ms / kMsPerTenthMinute);
    const std::uint32_t share = ShareOf(total, share_base, days);
    if (share > kWholeShare) list_.refresh_totals = true;
    Add({x0, y, x0 + 45, y + 20}, FormatHours(today_ms, kMsHoursDivisor, style_));
    Add({x0 + 45, y, x0 + 90, y + 20}, FormatHours(yesterday_ms, kMsHoursDivisor, style_));
    Add({x0 + 90, y, x0 + 140, y + 20}, FormatHours(average, kTenthsHoursDivisor, style_));
    Add({x0 + 140, y, x0 + 220, y + 20}, FormatHours(total, kTenthsHoursDivisor, style_));
    Add({x0 + 220, y, x0 + 270, y + 20},
        FormatHours(share, kTenthsHoursDivisor, TimeStyle::kShare));
  }

  const ProgramData& data_;
  const ActivityState& activity_;
  const RecentWorkTable& recent_;
  const MainWindowLayout layout_;
  const TimeStyle style_;
  DisplayFont font_ = DisplayFont::kBold;
  DisplayList list_;
};

}  // namespace

MainWindowLayout LayoutFor(std::uint32_t width, std::uint32_t height) {
  MainWindowLayout layout;
  layout.right = width > kNarrowestRight ? Int(width - 10) : 400;
  layout.bottom = height > kShortestBottom ? Int(height - 5) : 270;
  // A height of 221 to 229 would wrap below the table's top: 2 rows. A
  // window taller than 20 rows shows 20, not a panel with 2 of them.
  const std::uint32_t rows = height >= kTableTopHeight && height > kRowsBelowHeight
                                 ? (height - kTableTopHeight) / kRowHeight
                                 : kFewestRows;
  layout.rows = std::clamp(rows, kFewestRows, kMostRows);
  return layout;
}

DisplayList BuildDisplayList(const DisplayState& state, std::uint32_t width, std::uint32_t height) {
  return DisplayBuilder(state, width, height).Build();
}

}  // namespace tolvi
