#include "shared/sjis_units.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case {
  const char* what;
  const SjisUnits* units;
  std::string text;
  size_t limit;     // for sjis_fit
  size_t fit;       // expected sjis_fit
  size_t tail_cut;  // expected sjis_cut_incomplete_tail over the whole text
};

TEST(SjisUnits, FitAndTailCutPerTable) {
  const Case cases[] = {
      {"ascii", &kSjisRendererUnits, "abcd", 3, 3, 4},
      {"fit stops before a split pair", &kSjisRendererUnits,
       "a\x82\xA0"
       "b",
       2, 1, 4},
      {"pair fits whole", &kSjisRendererUnits, "a\x82\xA0", 3, 3, 3},
      {"lead cut off at the end", &kSjisBacklogUnits, "ab\x82", 9, 3, 2},
      {"lead before a non-trail ends at that byte", &kSjisBacklogUnits,
       "\x82\x7F"
       "cd",
       9, 4, 1},
      {"0x80 leads only for the backlog", &kSjisBacklogUnits, "\x80\x40", 1, 0, 2},
      {"0x80 is a single byte for the renderer", &kSjisRendererUnits, "\x80\x40", 1, 1, 2},
      {"0xF0 leads for the renderer", &kSjisRendererUnits, "\xF0\x40x", 1, 0, 3},
      {"0xF0 is single for the backlog", &kSjisBacklogUnits, "\xF0\x40", 1, 1, 2},
      {"0x7F is no backlog trail", &kSjisBacklogUnits, "\x88\x7F", 2, 2, 1},
      {"empty", &kSjisDialogUnits, "", 5, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(sjis_fit(*c.units, c.text.data(), c.text.size(), c.limit), c.fit);
    EXPECT_EQ(sjis_cut_incomplete_tail(*c.units, c.text.data(), c.text.size()), c.tail_cut);
  }
}

TEST(SjisUnits, UnitLengthNeverReadsPastSize) {
  const char lead_only[] = {'\x82'};
  EXPECT_EQ(sjis_unit_length(kSjisRendererUnits, lead_only, 1), 1u);
  EXPECT_EQ(sjis_unit_length(kSjisRendererUnits, lead_only, 0), 0u);
  EXPECT_EQ(sjis_unit_length(kSjisDialogUnits, "\xE0\x00", 2), 2u);
}

}  // namespace
