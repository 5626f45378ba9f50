// Tips words as the renderer records them, and the two hooks of the text wait.
#include <gtest/gtest.h>

#include <string>

#include "engine/orv_calls.h"
#include "engine/orv_static_bind.h"
#include "engine/vm_services.h"
#include "tests/program/text/render/fake_font.h"
#include "text/render/text_render.h"
#include "text/render/text_tips.h"

namespace {

using textrendertest::FakeFontTest;
using namespace engine;

#define A "\x82\xA0"
#define I "\x82\xA2"
#define U "\x82\xA4"
#define E "\x82\xA6"

class TipsTest : public FakeFontTest {
 protected:
  textrender::TextDrawResult draw(const std::string& text, int32_t width = 240) {
    textrender::TextDrawRequest req{1, text.c_str(), 0, 0, width, 200, 24, 0, 0xFFFFFF, 0};
    return textrender::draw_text_tagged(vm(), settings, req, nullptr);
  }
  textrender::TextRenderSettings settings = textrender::text_render_settings_default();
};

TEST_F(TipsTest, AWordOnOneLine) {
  settings.nPitch = 2;
  font.effect = 3;
  draw(A "<d12>" I U "</d>");
  const TextTipsState& t = vm().tips;
  EXPECT_EQ(t.nCount, 1);
  EXPECT_EQ(t.dwState, 0x0101u);
  const TextTip& tip = t.tips[0];
  // Start x 24 + pitch 2 = 26; drawn at 26 (x), 52 (right + pitch - step 2 of effect 3).
  EXPECT_EQ(tip.fields[kTipKey], 12);
  EXPECT_EQ(tip.fields[kTipX], 24 + 2);
  EXPECT_EQ(tip.fields[kTipY], 0);
  EXPECT_EQ(tip.fields[kTipRight], 52 + 24 + 2);
  EXPECT_EQ(tip.fields[kTipBottom], 26);  // line pitch 24 + 2 for effect 3
  EXPECT_EQ(tip.fields[kTipWrapped], 0);
  EXPECT_EQ(tip.fields[kTipCharSize], 24);
  EXPECT_EQ(tip.fields[kTipLinePitch], 26);
  EXPECT_EQ(tip.fields[kTipFontSize], 24);
  EXPECT_EQ(tip.fields[kTipFontEffect], 3);
  EXPECT_STREQ(tip.strings[0], I U);
  EXPECT_STREQ(tip.strings[1], "");
  EXPECT_STREQ(tip.strings[2], "");
}

TEST_F(TipsTest, AWrappingWordKeepsBothParts) {
  draw(A "<d>" I U E "</d>", 60);
  const TextTip& tip = vm().tips.tips[0];
  EXPECT_EQ(tip.fields[kTipKey], -1);
  EXPECT_EQ(tip.fields[kTipWrapped], 1);
  EXPECT_EQ(tip.fields[kTipX], 24);
  EXPECT_EQ(tip.fields[kTipRight], 72);
  EXPECT_EQ(tip.fields[kTipBottom], 24);
  EXPECT_EQ(tip.fields[kTipX2], 0);
  EXPECT_EQ(tip.fields[kTipY2], 24);
  EXPECT_EQ(tip.fields[kTipRight2], 24);
  EXPECT_EQ(tip.fields[kTipBottom2], 48);
  EXPECT_STREQ(tip.strings[0], I U E);
  EXPECT_STREQ(tip.strings[1], I U);
  EXPECT_STREQ(tip.strings[2], E);
}

TEST_F(TipsTest, TheThirtySecondWordOverwritesRecordZero) {
  for (int i = 0; i < 31; ++i) draw("<d" + std::to_string(i) + ">" A "</d>");
  EXPECT_EQ(vm().tips.nCount, 31);
  EXPECT_EQ(vm().tips.tips[30].fields[kTipKey], 30);
  draw("<d99>" I "</d>");
  EXPECT_EQ(vm().tips.nCount, 1);
  EXPECT_EQ(vm().tips.tips[0].fields[kTipKey], 99);
  EXPECT_STREQ(vm().tips.tips[0].strings[0], I);
  EXPECT_EQ(vm().tips.tips[31].fields[kTipKey], 0);  // never written
}

TEST_F(TipsTest, TipsColoursAndTheOpenBacklog) {
  vm().tips.bColoursOn = 1;
  vm().tips.dwColour1 = 0x00FF00;
  vm().tips.dwColour2 = 0x0000FF;
  draw(A "<d1>" I "</d>" U);
  ASSERT_EQ(font.draws.size(), 3u);
  EXPECT_EQ(font.draws[1].colour, 0x00FF00u);
  EXPECT_EQ(font.draws[1].shadow, 0x0000FFu);
  EXPECT_EQ(font.draws[2].colour, 0xFFFFFFu);
  font.draws.clear();
  settings.bBacklogOpen = 1;
  draw("<d2>" I "</d>");
  EXPECT_EQ(vm().tips.nCount, 1);
  EXPECT_EQ(font.draws[0].colour, 0xFFFFFFu);
}

TEST_F(TipsTest, EachCallClearsTheBeginFlag) {
  draw("<d1>" I "</d>");
  EXPECT_EQ(vm().tips.dwState, 0x0101u);
  draw(A);
  EXPECT_EQ(vm().tips.dwState, 0x0100u);
}

TEST_F(TipsTest, LongWordsAreCutOnACharacterBoundary) {
  std::string word = "a";
  while (word.size() < 3000) word += A;  // "a" then characters: byte 2046 is a lead byte
  draw("<d1>" + word + "</d>", 1 << 30);
  const TextTip& tip = vm().tips.tips[0];
  EXPECT_EQ(std::string(tip.strings[0]).size(), 2045u);
  EXPECT_EQ(std::string(tip.strings[0]), word.substr(0, 2045));
}

class TipsHookTest : public FakeFontTest {
 protected:
  void SetUp() override {
    FakeFontTest::SetUp();
    orv_static_bind();
    vm().hReturnStack = orv_list_create();
    vm().runner.dwBase = 12;
    vm().runner.dwPc = 500;
  }
  void TearDown() override {
    return_stack_clear(vm());
    orv_list_release(vm().hReturnStack);
    FakeFontTest::TearDown();
  }
};

TEST_F(TipsHookTest, BeginHookCallsItsLabelOnceUntilTheEndHook) {
  TextTipsState& t = vm().tips;
  t.dwBeginLabel = 100;
  t.dwEndLabel = 200;
  tips_begin_hook(vm());  // begin not enabled
  EXPECT_EQ(vm().runner.dwPc, 500u);
  t.dwState = 0x0101;
  tips_begin_hook(vm());
  EXPECT_EQ(vm().runner.dwPc, 112u);
  EXPECT_EQ(t.bHookRunning, 1);
  DataEntry e{};
  ASSERT_TRUE(data_entry_pop(vm(), kChannelReturns, &e));
  EXPECT_EQ(e.dwValue, 500u);
  EXPECT_EQ(e.dwKind, 0u);
  vm().runner.dwPc = 600;
  tips_begin_hook(vm());  // already running
  EXPECT_EQ(vm().runner.dwPc, 600u);
  tips_end_hook(vm());
  EXPECT_EQ(vm().runner.dwPc, 212u);
  EXPECT_EQ(t.bHookRunning, 0);
  EXPECT_EQ(t.dwState, 0x0101u);  // neither hook changes the state
}

TEST_F(TipsHookTest, HooksNeedALabelAndACountNotNegative) {
  TextTipsState& t = vm().tips;
  t.dwState = 0x0101;
  tips_begin_hook(vm());
  tips_end_hook(vm());
  EXPECT_EQ(vm().runner.dwPc, 500u);
  t.dwBeginLabel = 100;
  t.dwEndLabel = 200;
  t.nCount = -1;
  tips_begin_hook(vm());
  tips_end_hook(vm());
  EXPECT_EQ(vm().runner.dwPc, 500u);
  t.nCount = 0;
  t.dwState = 0x0001;
  tips_end_hook(vm());  // end not requested
  EXPECT_EQ(vm().runner.dwPc, 500u);
}

}  // namespace
