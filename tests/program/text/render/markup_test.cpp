// The renderer's geometry with a fake font of fixed metrics (fake_font.h): where each glyph
// goes, where the text ends and the reveal distance, for each piece of markup.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "tests/program/text/render/fake_font.h"
#include "text/render/text_render.h"

namespace {

using textrender::draw_text_tagged;
using textrender::RevealState;
using textrender::TextDrawRequest;
using textrender::TextDrawResult;
using textrender::TextRenderSettings;
using textrendertest::FakeFontTest;

// Shift-JIS: あいうえお, the kinsoku "。" and a kanji.
#define A "\x82\xA0"
#define I "\x82\xA2"
#define U "\x82\xA4"
#define E "\x82\xA6"
#define O "\x82\xA8"
#define MARU "\x81\x42"

constexpr int32_t kRevealWidth = 248;

struct Placed {
  std::string text;
  int32_t x, y;
  bool operator==(const Placed&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Placed& p) {
  return os << "\"" << p.text << "\"@(" << p.x << "," << p.y << ")";
}

struct MarkupCase {
  const char* what;
  std::string text;
  int32_t width, height;
  int32_t ruby;
  uint32_t wrap;
  std::vector<Placed> draws;  // every OrvFontDrawText, ruby readings included
  int32_t end_x, end_y;
  int32_t distance;  // line wipe over a 248-pixel reveal; -1: not checked
  bool cut;
};

class MarkupTest : public FakeFontTest {
 protected:
  TextDrawResult draw(const std::string& text, int32_t width, int32_t height, int32_t ruby = 0) {
    TextDrawRequest req{1, text.c_str(), 0, 0, width, height, 24, ruby, 0xFFFFFF, 0x123456};
    return draw_text_tagged(vm(), settings, req, &reveal);
  }
  std::vector<Placed> placed() const {
    std::vector<Placed> out;
    for (const auto& d : font.draws) out.push_back({d.text, d.x, d.y});
    return out;
  }
  void TearDown() override {
    textrender::glyph_rects_free(reveal.lineRects);
    textrender::glyph_rects_free(reveal.keptRects);
    FakeFontTest::TearDown();
  }

  TextRenderSettings settings = textrender::text_render_settings_default();
  RevealState reveal{};
};

TEST_F(MarkupTest, TableOfMarkup) {
  const MarkupCase cases[] = {
      {"<br> puts the next glyph at x 0 one line pitch lower",
       A "<br>" I,
       240,
       100,
       0,
       0,
       {{A, 0, 0}, {I, 0, 24}},
       24,
       24,
       64 + kRevealWidth + 25,
       false},
      {"wrap 0: the third glyph overhangs, the fourth breaks",
       A A A A,
       60,
       100,
       0,
       0,
       {{A, 0, 0}, {A, 24, 0}, {A, 48, 0}, {A, 0, 24}},
       24,
       24,
       64 + kRevealWidth + 25,
       false},
      {"wrap 1: a glyph that would cross the edge breaks",
       A A A A,
       60,
       100,
       0,
       1,
       {{A, 0, 0}, {A, 24, 0}, {A, 0, 24}, {A, 24, 24}},
       48,
       24,
       64 + kRevealWidth + 49,
       false},
      {"kinsoku: a full stop at the edge hangs into the margin",
       A A A MARU,
       72,
       100,
       0,
       0,
       {{A, 0, 0}, {A, 24, 0}, {A, 48, 0}, {MARU, 72, 0}},
       96,
       0,
       64 + 97,
       false},
      {"kinsoku: a full stop past width + size breaks",
       A A A MARU,
       70,
       100,
       0,
       0,
       {{A, 0, 0}, {A, 24, 0}, {A, 48, 0}, {MARU, 0, 24}},
       24,
       24,
       64 + kRevealWidth + 25,
       false},
      {"<center>: the line centred in the area, first glyph one step left",
       "<center>" A I,
       240,
       100,
       0,
       0,
       {{A, 95, 38}, {I, 119, 38}},
       143,
       38,
       64 + 144,
       false},
      {"<s36> raises the pitch for the rest, also after </s>, until <reset>",
       A "<s36>" I "</s>" U "<br>" E "<reset><br>" O,
       240,
       200,
       0,
       0,
       {{A, 0, 0}, {I, 24, 0}, {U, 60, 0}, {E, 0, 36}, {O, 0, 60}},
       24,
       60,
       64 + 2 * kRevealWidth + 25,
       false},
      {"a smaller size stands on the line's baseline",
       "<s36>" A "<s24>" I,
       240,
       100,
       0,
       0,
       {{A, 0, 0}, {I, 36, 12}},
       60,
       0,
       -1,
       false},
      {"ruby: the reading centred over the base, the base below the band",
       "<rab>" A "</r>" I,
       240,
       100,
       10,
       0,
       {{"ab", 7, 0}, {A, 0, 11}, {I, 24, 11}},
       48,
       0,
       64 + 49,
       false},
      {"ruby: a reading wider than the rest of the line breaks it first",
       A A "<rabcdefgh>" I "</r>",
       60,
       100,
       10,
       0,
       {{A, 0, 11}, {A, 24, 11}, {"abcdefgh", 0, 35}, {I, 0, 46}},
       24,
       35,
       -1,
       false},
      {"ruby without </r: the reading is not drawn, the base is",
       "<rab>" A,
       240,
       100,
       10,
       0,
       {{A, 0, 11}},
       24,
       0,
       -1,
       false},
      {"an escape draws the byte after the backslash",
       "a\\<b",
       240,
       100,
       0,
       0,
       {{"a", 0, 0}, {"\\<", 12, 0}, {"b", 24, 0}},
       39,
       0,
       -1,
       false},
      {"a backslash at the end is an ordinary character",
       "a\\",
       240,
       100,
       0,
       0,
       {{"a", 0, 0}, {"\\", 12, 0}},
       15,
       0,
       -1,
       false},
      {"a value field of 7 bytes is one glyph",
       "%123456",
       240,
       100,
       0,
       0,
       {{"%123456", 0, 0}},
       24,
       0,
       -1,
       false},
      {"a value field of 9 bytes: 7 bytes, then the digits as characters",
       "%12345678",
       240,
       100,
       0,
       0,
       {{"%123456", 0, 0}, {"7", 24, 0}, {"8", 36, 0}},
       51,
       0,
       -1,
       false},
      {"text past the bottom stops at the line that would cross it",
       A A "<br>" I "<br>" U,
       240,
       50,
       0,
       0,
       {{A, 0, 0}, {A, 24, 0}, {I, 0, 24}},
       0,
       48,
       -1,
       true},
      {"a wrapped line that would cross the bottom stops the text",
       A A A A A A A,
       60,
       50,
       0,
       0,
       {{A, 0, 0}, {A, 24, 0}, {A, 48, 0}, {A, 0, 24}, {A, 24, 24}, {A, 48, 24}},
       0,
       48,
       -1,
       true},
      {"a tips word wrapping onto the next line",
       A "<d5>" I U E "</d>",
       60,
       100,
       0,
       0,
       {{A, 0, 0}, {I, 24, 0}, {U, 48, 0}, {E, 0, 24}},
       24,
       24,
       -1,
       false},
      {"unknown tags and an unclosed tag draw nothing",
       A "<zz>" I "<c",
       240,
       100,
       0,
       0,
       {{A, 0, 0}, {I, 24, 0}},
       48,
       0,
       -1,
       false},
      {"tags only: 64 and nothing else", "<br><reset>", 240, 100, 0, 0, {}, 0, 24, 64, false},
  };
  for (const MarkupCase& c : cases) {
    SCOPED_TRACE(c.what);
    font.draws.clear();
    settings.bWrap = c.wrap;
    reveal.nWidth = kRevealWidth;
    const TextDrawResult r = draw(c.text, c.width, c.height, c.ruby);
    EXPECT_EQ(placed(), c.draws);
    EXPECT_EQ(r.x, c.end_x);
    EXPECT_EQ(r.y, c.end_y);
    EXPECT_EQ(r.bCut != 0, c.cut);
    if (c.distance >= 0) {
      EXPECT_EQ(r.distance, c.distance);
    }
    EXPECT_EQ(font.size, 24);
    EXPECT_EQ(font.begun, 0);
  }
}

TEST_F(MarkupTest, GlyphOrderDistanceIsTheGlyphSumAndPitchWidensEveryGlyph) {
  settings.dwRevealType = 1;
  settings.nPitch = 2;
  const TextDrawResult r = draw(A "a", 240, 100);
  // あ: 24 wide + pitch 2; a: 12 wide + 2, drawn at the previous right + pitch - step.
  EXPECT_EQ(placed(), (std::vector<Placed>{{A, 0, 0}, {"a", 26, 0}}));
  EXPECT_EQ(r.glyphSum, 26 + 14);
  EXPECT_EQ(r.distance, 26 + 14 + 64);
  ASSERT_EQ(reveal.lineRects.nCount, 2u);
  EXPECT_EQ(reveal.lineRects.pItems[1].left, 27);
  EXPECT_EQ(reveal.lineRects.pItems[1].right, 41);
}

TEST_F(MarkupTest, KeptRectanglesCountInTheLineWipe) {
  reveal.nWidth = kRevealWidth;
  textrender::glyph_rects_push(reveal.keptRects, {1, 0, 25, 24});
  textrender::GlyphRect old{99, 99, 99, 99};
  textrender::glyph_rects_push(reveal.lineRects, old);  // cleared by the call
  TextDrawRequest req{1, A, 0, 24, 240, 100, 24, 0, 0xFFFFFF, 0};
  const TextDrawResult r = draw_text_tagged(vm(), settings, req, &reveal);
  ASSERT_EQ(reveal.lineRects.nCount, 1u);
  EXPECT_EQ(reveal.lineRects.pItems[0].top, 24);
  EXPECT_EQ(r.distance, 64 + kRevealWidth + 25);
}

TEST_F(MarkupTest, CentreMakesTheRevealOneLineAndSizesGrowItsPitch) {
  reveal.nLinePitch = 24;
  draw("<s30>" A, 240, 100);
  EXPECT_EQ(reveal.nLinePitch, 30);
  draw("<center>" A, 240, 100);
  EXPECT_EQ(reveal.nLinePitch, 100);
}

TEST_F(MarkupTest, SpriteShowsExactlyTheTextArea) {
  settings.nWidthOffset = 5;
  settings.nHeightOffset = 7;
  draw(A "<br>" I, 240, 100);
  // right = width offset + width + char size; bottom = height offset + line pitch + end y.
  EXPECT_EQ(font.sprite_rect.left, 0);
  EXPECT_EQ(font.sprite_rect.top, 0);
  EXPECT_EQ(font.sprite_rect.right, 5 + 240 + 24);
  EXPECT_EQ(font.sprite_rect.bottom, 7 + 24 + 24);
  EXPECT_EQ(font.locks, 1);
  EXPECT_EQ(font.unlocks, 1);
}

TEST_F(MarkupTest, MeasuringDrawsNothingAndBreaksAlike) {
  TextDrawRequest req{0, A A A A "<br>" I, 0, 0, 60, 100, 24, 0, 0xFFFFFF, 0};
  const TextDrawResult r = draw_text_tagged(vm(), settings, req, &reveal);
  EXPECT_TRUE(font.draws.empty());
  EXPECT_EQ(font.locks, 0);
  EXPECT_EQ(r.x, 24);
  EXPECT_EQ(r.y, 48);
  EXPECT_EQ(font.sprite_rect.right, -1);  // no sprite, no source rectangle
}

TEST_F(MarkupTest, ColourTagsSetTextAndShadowAndComeBack) {
  draw("<c#FF0000>" A "<c#00FF00#0000FF>" I "<c#0000FF>" U "</c>" E "<c>" O, 240, 100);
  ASSERT_EQ(font.draws.size(), 5u);
  EXPECT_EQ(font.draws[0].colour, 0xFF0000u);
  EXPECT_EQ(font.draws[0].shadow, 0x123456u);  // one colour keeps the call's shadow
  EXPECT_EQ(font.draws[1].colour, 0x00FF00u);
  EXPECT_EQ(font.draws[1].shadow, 0x0000FFu);
  EXPECT_EQ(font.draws[2].colour, 0x0000FFu);
  EXPECT_EQ(font.draws[2].shadow, 0x123456u);  // also after a two-colour tag
  EXPECT_EQ(font.draws[3].colour, 0xFFFFFFu);
  EXPECT_EQ(font.draws[3].shadow, 0x123456u);
  EXPECT_EQ(font.draws[4].colour, 0xFFFFFFu);  // "<c>" without "#" changes nothing
}

TEST_F(MarkupTest, FontStateBeforeTheCallComesBackEvenAfterAFailedGlyph) {
  font.size = 30;
  font.type = 1;
  font.colour = 0xABCDEF;
  font.shadow = 0x010203;
  font.fail_on = I;
  reveal.nWidth = kRevealWidth;
  const TextDrawResult r = draw("<s40><g><c#FF0000>" A "</g><s20>" I U, 240, 100);  // fails at い
  EXPECT_EQ(placed(), (std::vector<Placed>{{A, 0, 0}, {I, 40, 20}}));
  EXPECT_EQ(r.distance, 0);
  EXPECT_TRUE(r.bFontFailed);
  EXPECT_EQ(font.size, 30);
  EXPECT_EQ(font.type, 1);
  EXPECT_EQ(font.colour, 0xABCDEFu);
  EXPECT_EQ(font.shadow, 0x010203u);
  EXPECT_EQ(font.begun, 0);
  EXPECT_EQ(font.unlocks, 1);
}

TEST_F(MarkupTest, GlyphTypeTagKeepsFacesZeroAndOneAndReturns) {
  font.type = 3;
  draw("<g>" A "</g>" I, 240, 100);
  ASSERT_EQ(font.draws.size(), 2u);
  EXPECT_EQ(font.draws[0].type, 0);
  EXPECT_EQ(font.draws[1].type, 3);
  font.draws.clear();
  font.type = 1;
  draw("<g>" A, 240, 100);
  EXPECT_EQ(font.draws[0].type, 1);
}

TEST_F(MarkupTest, RubyReadingDrawnSmallInFaceZero) {
  font.type = 1;
  draw("<r" I ">" A "</r>", 240, 100, 10);
  ASSERT_EQ(font.draws.size(), 2u);
  EXPECT_EQ(font.draws[0].size, 10);
  EXPECT_EQ(font.draws[0].type, 0);
  EXPECT_EQ(font.draws[1].size, 24);
  EXPECT_EQ(font.draws[1].type, 1);
  // Type 1: fixed widths (pitch + size) x bytes / 2: base 24, reading 10 -> offset 7.
  EXPECT_EQ(font.draws[0].x, 7);
}

TEST_F(MarkupTest, LogsOverflowingFieldsAndRubyWithoutClose) {
  draw("%12345678<rab>" A, 240, 100, 10);
  EXPECT_EQ(lines, (std::vector<std::string>{"0:### ERROR: TEXT %VALUE overflow: %12345678",
                                             "0:ruby error : not </r> : ab>" A}));
}

TEST_F(MarkupTest, SceneOrHistorySkipDrawsNothing) {
  for (int history = 0; history < 2; ++history) {
    vm().run.bSceneSkip = !history;
    vm().run.bHistorySkip = history;
    int32_t x = 7, y = 9;
    reveal.nWidth = kRevealWidth;
    const int32_t d =
        draw_text_tagged(vm(), settings, 1, A I, &x, &y, 240, 100, 24, 0, 0xFFFFFF, 0, &reveal);
    EXPECT_EQ(d, 0);
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, 9);
    EXPECT_TRUE(font.draws.empty());
    EXPECT_EQ(font.locks, 0);
    EXPECT_EQ(font.begins, 0);
  }
}

}  // namespace

namespace {

// Sizes, pitches and positions come from scripts: extreme values draw what they can without
// an overflow (the sanitizer build checks) and leave the font as it was.
TEST_F(MarkupTest, ExtremeNumbersStayInRange) {
  const int32_t extremes[] = {INT32_MIN, -1, 0, INT32_MAX};
  const std::string text = "<center>" A "<rab>" I "</r>a<s99999>%123<d1>" U "</d><br>" E;
  for (int32_t v : extremes) {
    SCOPED_TRACE(v);
    settings.nPitch = v;
    settings.nLineInterval = v;
    settings.nWidthOffset = v;
    settings.bWrap = v & 1;
    reveal.nWidth = v;
    for (int32_t ruby : {0, v}) {
      TextDrawRequest req{1, text.c_str(), v, v, v, v, v, ruby, 0xFFFFFF, 0};
      draw_text_tagged(vm(), settings, req, &reveal);
      req.hSprite = 0;
      draw_text_tagged(vm(), settings, req, &reveal);
      EXPECT_EQ(font.size, 24);
      EXPECT_EQ(font.begun, 0);
    }
  }
}

}  // namespace
