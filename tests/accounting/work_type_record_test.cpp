#include "accounting/work_type_record.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fakes/fake_file_system.h"

namespace tolvi {
namespace {

namespace field = work_type_field;

class WorkTypeRecordTest : public ::testing::Test {
 protected:
  const std::filesystem::path path_ = "/data/TlvDB.lbf";
  FakeFileSystem files_;
  RecordDatabase records_{files_};
};

TEST_F(WorkTypeRecordTest, CreatedDatabaseHasTheFourteenFieldSchemaAndAPlaceholder) {
  ASSERT_TRUE(CreateWorkTypeDatabase(records_, path_).ok());
  EXPECT_TRUE(records_.is_open());
  EXPECT_TRUE(records_.writable());
  EXPECT_EQ(records_.live_count(), 1u);
  EXPECT_EQ(records_.LiveRecords(), std::vector<std::int32_t>{kPlaceholderSlot});
  EXPECT_EQ(records_.record_size(), 416u);
  EXPECT_EQ(records_.field_count(), 14u);
  // Name, twelve numbers, notes: a type swapped inside the schema moves the notes.
  EXPECT_TRUE(records_.WriteText(kPlaceholderSlot, field::kNotes, std::string(299, 'n')).ok());
  EXPECT_EQ(records_.ReadText(kPlaceholderSlot, field::kNotes), std::string(299, 'n'));
}

TEST_F(WorkTypeRecordTest, UnnamedInitKeepsNameAndNotesAndResetsTheRest) {
  ASSERT_TRUE(CreateWorkTypeDatabase(records_, path_).ok());
  const std::int32_t id = records_.NewRecord();
  ASSERT_GE(id, 0);
  ASSERT_TRUE(records_.WriteText(id, field::kName, "Copy of Proj A").ok());
  ASSERT_TRUE(records_.WriteText(id, field::kNotes, "quarterly").ok());
  for (std::uint32_t f = field::kTotal; f <= field::kLastReserved; ++f) {
    ASSERT_TRUE(records_.WriteNumber(id, f, 7200000 + f).ok());
  }
  EXPECT_TRUE(InitWorkType(records_, id, /*named=*/false).ok());
  EXPECT_EQ(records_.ReadText(id, field::kName), "Copy of Proj A");
  EXPECT_EQ(records_.ReadText(id, field::kNotes), "quarterly");
  EXPECT_EQ(records_.ReadNumber(id, field::kMaximum), 18000000u) << "120 minutes becomes 300";
  EXPECT_EQ(records_.ReadNumber(id, field::kToday), 0u);
  for (std::uint32_t f = field::kTotal; f <= field::kLastReserved; ++f) {
    if (f != field::kMaximum) {
      EXPECT_EQ(records_.ReadNumber(id, f), 0u) << "field " << f;
    }
  }
}

TEST_F(WorkTypeRecordTest, AFailedCreationLeavesTheDatabaseClosedAndItsTypesUnwritten) {
  files_.FailRenames(true);  // the atomic create cannot put its file in place
  EXPECT_FALSE(CreateWorkTypeDatabase(records_, path_).ok());
  EXPECT_FALSE(records_.is_open());
  EXPECT_FALSE(CreateInitialWorkTypes(records_).ok());
  EXPECT_TRUE(files_.AllFiles().empty());
}

}  // namespace
}  // namespace tolvi
