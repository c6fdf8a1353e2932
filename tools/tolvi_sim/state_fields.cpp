#include "state_fields.h"

#include <charconv>
#include <cstdint>
#include <span>
#include <type_traits>
#include <utility>

#include "settings/settings.h"
#include "text/text.h"

namespace tolvi::sim {
namespace {

enum class FieldKind { kDataNumber, kDataText, kNumber, kSigned, kFlag, kText, kCode };

struct Field {
  std::string_view name;
  FieldKind kind;
  std::uint32_t ProgramData::*data_number = nullptr;
  std::span<char> (*data_text)(ProgramData&) = nullptr;
  std::span<const char> (*const_data_text)(const ProgramData&) = nullptr;
  std::uint32_t ActivityState::*number = nullptr;
  std::int32_t ActivityState::*signed_number = nullptr;
  bool ActivityState::*flag = nullptr;
  std::string ActivityState::*text = nullptr;
  // kCode: an enum of the state, shown and set as its number.
  std::uint32_t (*get_code)(const ActivityState&) = nullptr;
  void (*set_code)(ActivityState&, std::uint32_t) = nullptr;
};

constexpr Field DataNumber(std::string_view name, std::uint32_t ProgramData::*member) {
  return Field{.name = name, .kind = FieldKind::kDataNumber, .data_number = member};
}
constexpr Field DataText(std::string_view name, std::span<char> (*access)(ProgramData&),
                         std::span<const char> (*const_access)(const ProgramData&)) {
  return Field{.name = name,
               .kind = FieldKind::kDataText,
               .data_text = access,
               .const_data_text = const_access};
}
constexpr Field Number(std::string_view name, std::uint32_t ActivityState::*member) {
  return Field{.name = name, .kind = FieldKind::kNumber, .number = member};
}
constexpr Field Signed(std::string_view name, std::int32_t ActivityState::*member) {
  return Field{.name = name, .kind = FieldKind::kSigned, .signed_number = member};
}
constexpr Field Flag(std::string_view name, bool ActivityState::*member) {
  return Field{.name = name, .kind = FieldKind::kFlag, .flag = member};
}
template <auto Member>
constexpr Field Code(std::string_view name) {
  using Enum = std::remove_cvref_t<decltype(std::declval<ActivityState&>().*Member)>;
  return Field{
      .name = name,
      .kind = FieldKind::kCode,
      .get_code =
          [](const ActivityState& activity) {
            return static_cast<std::uint32_t>(activity.*Member);
          },
      .set_code = [](ActivityState& activity,
                     std::uint32_t value) { activity.*Member = static_cast<Enum>(value); }};
}
constexpr Field Text(std::string_view name, std::string ActivityState::*member) {
  return Field{.name = name, .kind = FieldKind::kText, .text = member};
}

std::span<char> TodayText(ProgramData& data) {
  return data.today_text;
}
std::span<const char> ConstTodayText(const ProgramData& data) {
  return data.today_text;
}
std::span<char> CurrentName(ProgramData& data) {
  return data.current_name;
}
std::span<const char> ConstCurrentName(const ProgramData& data) {
  return data.current_name;
}

// ProgramData fields that are running state rather than settings, and the
// ActivityState.
constexpr Field kFields[] = {
    DataNumber("DayOfMonth", &ProgramData::day_of_month),
    DataNumber("WorkTodayMs", &ProgramData::work_today_ms),
    DataNumber("BreakTodayMs", &ProgramData::break_today_ms),
    DataNumber("AwayTodayMs", &ProgramData::away_today_ms),
    DataNumber("SuspendedTodayMs", &ProgramData::suspended_today_ms),
    DataNumber("WorkYesterdayMs", &ProgramData::work_yesterday_ms),
    DataNumber("BreakYesterdayMs", &ProgramData::break_yesterday_ms),
    DataNumber("AwayYesterdayMs", &ProgramData::away_yesterday_ms),
    DataNumber("SuspendedYesterdayMs", &ProgramData::suspended_yesterday_ms),
    DataNumber("BreakTotal", &ProgramData::break_total),
    DataNumber("AwayTotal", &ProgramData::away_total),
    DataNumber("SuspendedTotal", &ProgramData::suspended_total),
    DataNumber("TotalDays", &ProgramData::total_days),
    DataNumber("CurrentWorkType", &ProgramData::current_work_type),
    DataNumber("LastCloseStamp", &ProgramData::last_close_stamp),
    DataText("TodayText", TodayText, ConstTodayText),
    DataText("CurrentName", CurrentName, ConstCurrentName),
    Code<&ActivityState::working_flag>("WorkingFlag"),
    Flag("Away", &ActivityState::away),
    Flag("Meeting", &ActivityState::meeting),
    Code<&ActivityState::max_break_state>("MaxBreakState"),
    Number("BreakCountdownMs", &ActivityState::break_countdown_ms),
    Number("MicroCountdownMs", &ActivityState::micro_countdown_ms),
    Number("BreakMark", &ActivityState::break_mark),
    Number("AwayMark", &ActivityState::away_mark),
    Number("CurrentTodayMs", &ActivityState::current_today_ms),
    Number("CurrentMaximumMs", &ActivityState::current_maximum_ms),
    Number("CurrentTotal", &ActivityState::current_total),
    Text("CurrentNotes", &ActivityState::current_notes),
    Signed("CurrentSlot", &ActivityState::current_slot),
    Number("GrandTotal", &ActivityState::grand_total),
    Number("TodayTarget", &ActivityState::today_target),
    Number("TargetRemainingMs", &ActivityState::target_remaining_ms),
    Text("TargetText", &ActivityState::target_text),
    Number("Phase", &ActivityState::phase),
    Number("LastTickCount", &ActivityState::last_tick_count),
    Number("TickElapsedMs", &ActivityState::tick_elapsed_ms),
    Number("RequestCode", &ActivityState::request_code),
    Signed("RequestValue", &ActivityState::request_value),
    Flag("TrayRefreshPending", &ActivityState::tray_refresh_pending),
    Flag("WindowShown", &ActivityState::window_shown),
};

const Field* FindField(std::string_view name) {
  for (const Field& field : kFields) {
    if (field.name == name) return &field;
  }
  return nullptr;
}

template <typename T>
std::optional<T> ParseNumber(std::string_view text) {
  T value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<std::string> ShowField(const SharedState& state, std::string_view name) {
  if (const SettingInfo* setting = FindSetting(name)) return SettingValueText(*setting, state.data);
  const Field* field = FindField(name);
  if (field == nullptr) return std::nullopt;
  const ProgramData& data = state.data;
  const ActivityState& activity = state.activity;
  switch (field->kind) {
    case FieldKind::kDataNumber:
      return std::to_string(data.*(field->data_number));
    case FieldKind::kDataText:
      return FieldText(field->const_data_text(data));
    case FieldKind::kNumber:
      return std::to_string(activity.*(field->number));
    case FieldKind::kSigned:
      return std::to_string(activity.*(field->signed_number));
    case FieldKind::kFlag:
      return activity.*(field->flag) ? "1" : "0";
    case FieldKind::kText:
      return activity.*(field->text);
    case FieldKind::kCode:
      return std::to_string(field->get_code(activity));
  }
  return std::nullopt;
}

std::string SetField(SharedState& state, std::string_view name, std::string_view value) {
  if (const SettingInfo* setting = FindSetting(name)) {
    const Status set = SetSettingFromText(*setting, state.data, value);
    return set.ok() ? std::string() : set.message();
  }
  const Field* field = FindField(name);
  if (field == nullptr) return "unknown field " + std::string(name);
  ActivityState& activity = state.activity;
  const std::string bad_number =
      "not a number for " + std::string(name) + ": " + std::string(value);
  switch (field->kind) {
    case FieldKind::kDataNumber:
    case FieldKind::kNumber:
    case FieldKind::kCode: {
      const auto number = ParseNumber<std::uint32_t>(value);
      if (!number) return bad_number;
      if (field->kind == FieldKind::kDataNumber) {
        state.data.*(field->data_number) = *number;
      } else if (field->kind == FieldKind::kCode) {
        field->set_code(activity, *number);
      } else {
        activity.*(field->number) = *number;
      }
      return {};
    }
    case FieldKind::kSigned: {
      const auto number = ParseNumber<std::int32_t>(value);
      if (!number) return bad_number;
      activity.*(field->signed_number) = *number;
      return {};
    }
    case FieldKind::kFlag: {
      const auto number = ParseNumber<std::uint32_t>(value);
      if (!number || *number > 1) return "expected 0 or 1 for " + std::string(name);
      activity.*(field->flag) = *number == 1;
      return {};
    }
    case FieldKind::kDataText:
      SetFieldText(field->data_text(state.data), value);
      return {};
    case FieldKind::kText:
      activity.*(field->text) = std::string(value);
      return {};
  }
  return {};
}

std::vector<std::string> FieldNames() {
  std::vector<std::string> names;
  for (const SettingInfo& setting : SettingsTable()) names.emplace_back(setting.name);
  for (const Field& field : kFields) names.emplace_back(field.name);
  return names;
}

}  // namespace tolvi::sim
