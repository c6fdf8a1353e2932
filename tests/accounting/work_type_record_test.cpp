#include "accounting/work_type_record.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fakes/fake_file_system.h"

namespace tolvi {
namespace {

namespace field = work_type_field;

// The unnamed initialisation of a copy is the work-details copy test's.
class WorkTypeRecordTest : public ::testing::Test {
 protected:
  const std::filesystem::path path_ = "/data/TlvDB.lbf";
  FakeFileSystem files_;
  RecordDatabase records_{files_};
};

TEST_F(WorkTypeRecordTest, CreatedDatabaseHasTheFourteenFieldSchemaAndAPlaceholder) {
  ASSERT_TRUE(CreateWorkTypeDatabase(records_, path_).ok());
  EXPECT_EQ(records_.LiveRecords(), std::vector<std::int32_t>{kPlaceholderSlot});
  EXPECT_EQ(records_.record_size(), 416u);
  EXPECT_EQ(records_.field_count(), 14u);
  // Name, twelve numbers, notes: a type swapped inside the schema moves the notes.
  EXPECT_TRUE(records_.WriteText(kPlaceholderSlot, field::kNotes, std::string(299, 'n')).ok());
  EXPECT_EQ(records_.ReadText(kPlaceholderSlot, field::kNotes), std::string(299, 'n'));
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
