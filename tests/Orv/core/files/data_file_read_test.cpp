// Whole data files through the search folders, for the renderer and the cursor images.
#include <gtest/gtest.h>

#include "Orv/core/files/data_file_read.h"
#include "Orv/core/files/file_access.h"
#include "orv/orv.h"
#include "platform/file.h"
#include "support/temp_dir.h"

namespace {

TEST(DataFileRead, ReadsWholeFilesAndRefusesOversizedOnes) {
  testsupport::TempDir dir;
  testsupport::write_file(dir / "cursor.tga", "0123456789");
  testsupport::write_file(dir / "empty.dat", "");
  ASSERT_TRUE(file_set_base_folder(dir.path().c_str()));
  ASSERT_EQ(OrvSystemPathInit(), 1);
  platform::file_cache_clear();

  std::vector<uint8_t> bytes{1, 2, 3};
  EXPECT_EQ(data_file_read("any\\folder\\CURSOR.TGA", &bytes, 64), 1);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "0123456789");
  EXPECT_EQ(data_file_read("empty.dat", &bytes, 64), 1);
  EXPECT_TRUE(bytes.empty());
  EXPECT_EQ(data_file_read("cursor.tga", &bytes, 9), -1);  // one byte over the limit
  EXPECT_TRUE(bytes.empty());
  EXPECT_EQ(data_file_read("missing.tga", &bytes, 64), 0);
  EXPECT_EQ(data_file_read(nullptr, &bytes, 64), 0);

  OrvSystemPathUninit();
  file_set_base_folder("");
}

}  // namespace
