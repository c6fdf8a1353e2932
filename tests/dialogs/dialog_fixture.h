// DialogFixture: the core on fakes of CoreFixture, for the tests of the
// dialog models, with the new database's placeholder record gone, as at
// first start.
#pragma once

#include <string>
#include <string_view>

#include "accounting/work_type_record.h"
#include "worklog/core_fixture.h"

namespace tolvi {

class DialogFixture : public CoreFixture {
 protected:
  DialogFixture() {
    EXPECT_TRUE(records().SetRecordStatus(kPlaceholderSlot, SlotStatus::kDeleted).ok());
  }

  // A new record with the given name, maximum, total and today's time.
  std::int32_t AddWorkType(std::string_view name, std::uint32_t maximum_ms = kDefaultMaximumMs,
                           std::uint32_t total = 0, std::uint32_t today_ms = 0) {
    const std::int32_t id = CoreFixture::AddWorkType(name, total, today_ms);
    EXPECT_TRUE(records().WriteNumber(id, work_type_field::kMaximum, maximum_ms).ok());
    EXPECT_TRUE(records().WriteText(id, work_type_field::kNotes, "").ok());
    return id;
  }

  std::string Name(std::int32_t id) {
    return records().ReadText(id, work_type_field::kName).value_or("(none)");
  }
  ActivityState& activity() { return context_.state.activity; }
};

}  // namespace tolvi
