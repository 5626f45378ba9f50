// The step list of scripted input: what parses, and what is refused with its step named.
#include <gtest/gtest.h>

#include "platform/input_script.h"

namespace {

TEST(InputScript, ParsesStepsAndRefusesMalformedOnes) {
  std::vector<platform::InputStep> steps;
  std::string error;
  ASSERT_TRUE(platform::input_script_parse("60:0@200,220;62:800000@200,220;64:0;", &steps, &error))
      << error;
  ASSERT_EQ(steps.size(), 3u);
  EXPECT_EQ(steps[1].frame, 62u);
  EXPECT_EQ(steps[1].keys, 0x800000u);
  EXPECT_TRUE(steps[1].move);
  EXPECT_EQ(steps[1].x, 200);
  EXPECT_EQ(steps[1].y, 220);
  EXPECT_FALSE(steps[2].move);
  EXPECT_TRUE(platform::input_script_parse("", &steps, &error));
  EXPECT_TRUE(steps.empty());

  for (const char* bad :
       {"x:0", "5:zz", "5", "5:0@1", "5:0@1,2,3", "9:0;5:0", "-1:0", "5:0@1,999999999999"}) {
    EXPECT_FALSE(platform::input_script_parse(bad, &steps, &error)) << bad;
    EXPECT_NE(error.find("bad step"), std::string::npos) << bad;
    EXPECT_TRUE(steps.empty()) << bad;
  }
}

}  // namespace
