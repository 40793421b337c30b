#include "model/LoadStatus.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace tolmira;

TEST(StatusName, FirstMatchingBitInOrder) {
  struct Case {
    std::uint32_t status;
    const char* name;
  };
  const std::vector<Case> cases = {
      {0x200, "LSF_ERROR"},
      {0x600, "LSF_ERROR"},  // 0x200 wins over 0x400
      {0x400, "LSF_ERROR_ID"},
      {0x500, "LSF_ERROR_ID"},
      {0x100, "LSF_ERROR_VERSION"},
      {0x900, "LSF_ERROR_VERSION"},
      {0x800, "LSF_DISK_IS_FULL"},
      {0x1800, "LSF_DISK_IS_FULL"},
      {0x1000, "LSF_CAN_NOT_OPEN"},
      {0x2000, "LSF_BUFFER_IS_FULL"},
      {0x4000, "LSF_DATA_IS_NOT_CORRECT"},
      {0x8000, "LSF_UNKNOWN"},
      {0x10000, "LSF_UNKNOWN"},
      {0x2000000, "LSF_UNKNOWN"},
      {0x17, "LSF_UNKNOWN"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    const char* name = statusName(c.status);
    ASSERT_NE(nullptr, name);
    EXPECT_EQ(std::string(c.name), name);
  }
  EXPECT_EQ(nullptr, statusName(LSF_OK));
}

TEST(StatusMasks, SplitErrorsWarningsAndTheMissingFileBit) {
  EXPECT_EQ(0x00FFFE00u, LSF_ERROR_MASK);
  EXPECT_EQ(0xFF000000u, LSF_WARNING_MASK);
  EXPECT_FALSE(hasErrorBit(LSF_ERROR_VERSION));
  EXPECT_FALSE(hasWarningBit(LSF_ERROR_VERSION));
  EXPECT_TRUE(hasErrorBit(LSF_ERROR));
  EXPECT_TRUE(hasErrorBit(LSF_MEASUREMENT_ERROR));
  EXPECT_TRUE(hasErrorBit(0x10017));
  EXPECT_EQ(0x17u, 0x10017u & LSF_POSITION_MASK);
  EXPECT_FALSE(hasErrorBit(LSF_CABLE_WARNING_NAME_IS_SO_BIGGER));
  EXPECT_TRUE(hasWarningBit(LSF_CABLE_WARNING_NAME_IS_SO_BIGGER));
  EXPECT_TRUE(hasWarningBit(0x80000000u));
  EXPECT_FALSE(hasErrorBit(0xFFu));
}
