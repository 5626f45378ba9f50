// The mix lists the demo build writes read back as the game reads them.
#include <gtest/gtest.h>

#include "mix_list_writer/mix_list.h"
#include "text/sound/voice_mix_list.h"

namespace {

TEST(MixListWriter, NamesReadBackAndOverlongNamesAreRefused) {
  std::string bytes;
  ASSERT_TRUE(mixlist::mix_list_bytes({"VO01_002", "vo02_001", std::string(31, 'A')}, &bytes));
  ASSERT_EQ(bytes.size(), 96u);
  const auto names =
      engine::voice_mix_list_parse(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  EXPECT_EQ(names, (std::vector<std::string>{"VO01_002", "VO02_001", std::string(31, 'A')}));
  EXPECT_FALSE(mixlist::mix_list_bytes({"OK", std::string(32, 'B')}, &bytes));
  EXPECT_FALSE(mixlist::mix_list_bytes({""}, &bytes));
  EXPECT_EQ(bytes.size(), 96u);  // untouched
}

}  // namespace
