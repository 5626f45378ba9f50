// The library's edit boxes and dialogs under the GL renderer: a shown widget's picture blended
// over the presented window by its straight alpha, uploaded only when it changed, gone once
// hidden; a modal dialog that holds the game thread shows itself while it waits.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "Orv/core/widgets/widgets.h"
#include "Orv/core_record.h"
#include "Orv/render/gl/gl_device.h"
#include "Orv/render/gl/gl_renderer.h"
#include "Orv/render/render_lock.h"
#include "Orv/render/render_state.h"
#include "Orv/render/render_system.h"
#include "orv/orv.h"
#include "platform/gl_context.h"
#include "platform/window.h"
#include "support/gl_available.h"
#include "support/render_fixture.h"

namespace {

constexpr int32_t kW = 96, kH = 72;
constexpr uint32_t kClear = 0xFF203040u;

platform::GlContext* context() {
  return testsupport::hidden_gl_context(kW, kH);
}

// The blend of a straight-alpha pixel over an opaque one, as the window's present makes it.
uint32_t over(uint32_t src, uint32_t dst) {
  const uint32_t a = src >> 24;
  uint32_t out = 0xFF000000u;
  for (int sh = 0; sh < 24; sh += 8) {
    const uint32_t s = (src >> sh) & 255, d = (dst >> sh) & 255;
    out |= ((s * a + d * (255 - a) + 127) / 255) << sh;
  }
  return out;
}

bool near(uint32_t a, uint32_t b) {
  for (int sh = 0; sh < 24; sh += 8) {
    const int d = static_cast<int>((a >> sh) & 255) - static_cast<int>((b >> sh) & 255);
    if (d > 2 || d < -2) return false;
  }
  return true;
}

class GlOverlay : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!context()) GTEST_SKIP() << "no GL 3.3 core context";
    ASSERT_TRUE(platform::gl_context_make_current(context(), nullptr));
    gl_renderer_use_context(context());
    bool ok = false;
    rendertest::render_system_start(kW, kH, &gl_renderer(), &ok);
    ASSERT_TRUE(ok);
    clear_before_ = orv_core().render.clear_color;
    orv_core().render.clear_color = kClear;
    list_ = OrvRenderInit();
    OrvRenderSetActive(list_);
  }
  void TearDown() override {
    if (!context()) return;
    widgets_reset();
    OrvRenderUninit(list_);
    render_system_uninit();
    orv_core().render.clear_color = clear_before_;
    orv_core().alive = false;
    gl_renderer_use_context(nullptr);
  }

  // The window as presented, top row first.
  static std::vector<uint32_t> window() {
    const platform::GlFunctions& f = gl_device()->f;
    std::vector<uint32_t> px(static_cast<size_t>(kW) * kH);
    f.BindFramebuffer(platform::gl::kFramebuffer, 0);
    f.PixelStorei(platform::gl::kPackAlignment, 4);
    f.ReadPixels(0, 0, kW, kH, platform::gl::kBgra, platform::gl::kUnsignedByte, px.data());
    std::vector<uint32_t> top_first(px.size());
    for (int32_t y = 0; y < kH; ++y) {
      std::copy_n(px.begin() + static_cast<ptrdiff_t>(kH - 1 - y) * kW, kW,
                  top_first.begin() + static_cast<ptrdiff_t>(y) * kW);
    }
    return top_first;
  }

  // Pixels of the window that differ from the widgets' pictures laid over the clear colour.
  static int wrong_pixels() {
    std::vector<uint32_t> want(static_cast<size_t>(kW) * kH, kClear);
    std::vector<platform::Overlay> overlays;
    std::vector<std::shared_ptr<const std::vector<uint32_t>>> keep;
    widgets_overlays(kW, kH, &overlays, &keep);
    for (const platform::Overlay& o : overlays) {
      for (int32_t y = 0; y < o.height; ++y) {
        for (int32_t x = 0; x < o.width; ++x) {
          const int32_t wx = o.x + x, wy = o.y + y;
          if (wx < 0 || wy < 0 || wx >= kW || wy >= kH) continue;
          uint32_t& d = want[static_cast<size_t>(wy) * kW + wx];
          d = over(o.pixels[static_cast<size_t>(y) * o.width + x], d);
        }
      }
    }
    const std::vector<uint32_t> got = window();
    int wrong = 0;
    for (size_t i = 0; i < got.size(); ++i) wrong += near(got[i], want[i]) ? 0 : 1;
    return wrong;
  }

  static bool box_has_translucent_pixels() {
    std::vector<platform::Overlay> overlays;
    std::vector<std::shared_ptr<const std::vector<uint32_t>>> keep;
    widgets_overlays(kW, kH, &overlays, &keep);
    const std::vector<uint32_t>& px = *keep.at(0);
    return std::any_of(px.begin(), px.end(),
                       [](uint32_t p) { return (p >> 24) > 0 && (p >> 24) < 255; });
  }

  static uint64_t uploads_of_a_frame() {
    gl_renderer_reset_stats();
    EXPECT_TRUE(render_frame_draw());
    return gl_renderer_stats().uploads;
  }

  OrvHandle list_ = 0;
  uint32_t clear_before_ = 0;
};

// A box (an edit and a static text) and a dialog with a caption's text: their pictures
// blend over the frame where they stand; each picture is uploaded when it changes and not in a
// steady frame; once hidden nothing of them is left and nothing is uploaded.
TEST_F(GlOverlay, ShownWidgetsLieOverThePresentedFrame) {
  EXPECT_EQ(uploads_of_a_frame(), 0u);
  const std::vector<uint32_t> bare = window();
  EXPECT_EQ(bare[0], kClear);

  // The static's text stands on nothing: its edges are translucent.
  const OrvHandle box = OrvWidgetCreate(0, 2, 2, 30, 28, 12, 0, nullptr);
  ASSERT_TRUE(OrvWidgetAddControl(box, 10, 2, 0, 0, 30, 14, 0, 0, "ab"));
  ASSERT_TRUE(OrvWidgetAddControl(box, 11, 3, 0, 14, 30, 14, 0, 0, "Wq"));
  const OrvHandle dialog = OrvWidgetCreate(1, 0, 0, 40, 20, 12, 0, "Wq");
  ASSERT_TRUE(OrvWidgetAddControl(dialog, 1, 1, 4, 2, 30, 14, 1, 0, "OK"));
  ASSERT_TRUE(OrvWidgetShow(box, 0));
  ASSERT_TRUE(OrvWidgetShow(dialog, 0));

  EXPECT_EQ(uploads_of_a_frame(), 2u);
  EXPECT_TRUE(box_has_translucent_pixels());
  EXPECT_EQ(wrong_pixels(), 0);
  std::vector<uint32_t> shown = window();
  EXPECT_EQ(shown[static_cast<size_t>(10) * kW + 22], 0xFFFFFFFFu);  // inside the edit
  EXPECT_EQ(uploads_of_a_frame(), 0u);

  ASSERT_TRUE(OrvWidgetSetText(box, 10, "abc"));
  EXPECT_EQ(uploads_of_a_frame(), 1u);
  EXPECT_EQ(wrong_pixels(), 0);

  ASSERT_TRUE(OrvWidgetDestroy(dialog));
  EXPECT_EQ(uploads_of_a_frame(), 0u);
  EXPECT_EQ(wrong_pixels(), 0);
  ASSERT_TRUE(OrvWidgetDestroy(box));
  EXPECT_EQ(uploads_of_a_frame(), 0u);
  EXPECT_EQ(window(), bare);
}

// A modal dialog waited for on the game thread (a script command, inside the task pass under
// the render lock) stops the frames: the wait shows the last frame with the dialog over it. A
// wait that does not wait (a poll) shows nothing.
TEST_F(GlOverlay, DialogWaitedForOnTheGameThreadShowsItself) {
  ASSERT_TRUE(render_frame_draw());
  const OrvHandle dialog = OrvWidgetCreate(1, 0, 0, 40, 20, 12, 0, "Wq");
  ASSERT_TRUE(OrvWidgetAddControl(dialog, 1, 1, 4, 2, 30, 14, 1, 0, "OK"));
  ASSERT_TRUE(OrvWidgetShow(dialog, 0));
  ASSERT_GT(wrong_pixels(), 0);  // not shown yet: no frame since

  ASSERT_TRUE(render_lock_enter());
  gl_renderer_reset_stats();
  EXPECT_EQ(OrvWidgetWait(dialog, 0), 0u);
  EXPECT_EQ(gl_renderer_stats().draws, 0u);
  EXPECT_EQ(OrvWidgetWait(dialog, 1), 0u);
  render_lock_leave();
  EXPECT_EQ(wrong_pixels(), 0);
  EXPECT_EQ(window()[0], kClear);  // the frame is there around it
}

// While the game thread waits in a dialog, each change of its picture that brings no
// notification (the caret moved by a key) is shown at once, not when the wait ends.
TEST_F(GlOverlay, ADialogWaitingOnTheGameThreadShowsEachChangeOfItsPicture) {
  ASSERT_TRUE(render_frame_draw());
  const OrvHandle dialog = OrvWidgetCreate(1, 0, 0, 60, 30, 12, 0, "Wq");
  ASSERT_TRUE(OrvWidgetAddControl(dialog, 10, 2, 2, 2, 50, 14, 0, 0, "abcd"));
  ASSERT_TRUE(OrvWidgetShow(dialog, 10));
  const auto key = [](uint32_t vk) {
    platform::WindowEvent ev;
    ev.kind = platform::WindowEventKind::kKeyDown;
    ev.vk = vk;
    return ev;
  };
  std::thread player([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    widgets_take_event(key(0x24));  // Home: the caret moves, nothing is notified
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    widgets_take_event(key(0x1B));  // Escape ends the wait
  });
  ASSERT_TRUE(render_lock_enter());
  const uint32_t answer = OrvWidgetWait(dialog, 5000);
  render_lock_leave();
  player.join();
  EXPECT_EQ(answer, 2u);
  EXPECT_EQ(wrong_pixels(), 0);  // the caret where Home put it
}

// The same dialog waited for on another thread that holds the render lock (a script on the
// work thread): the frame draw cannot draw, and shows the last frame with the dialog instead.
TEST_F(GlOverlay, DialogWaitedForUnderTheRenderLockElsewhereIsShownByTheFrameDraw) {
  ASSERT_TRUE(render_frame_draw());
  const OrvHandle dialog = OrvWidgetCreate(1, 0, 0, 40, 20, 12, 0, "Wq");
  ASSERT_TRUE(OrvWidgetAddControl(dialog, 1, 1, 4, 2, 30, 14, 1, 0, "OK"));
  ASSERT_TRUE(OrvWidgetShow(dialog, 0));
  ASSERT_GT(wrong_pixels(), 0);

  std::atomic<bool> waiting{false};
  uint32_t answer = 0;
  std::thread script([&] {
    if (!render_lock_enter()) return;
    waiting = true;
    answer = OrvWidgetWait(dialog, -1);
    render_lock_leave();
  });
  while (!waiting || orv_render().dialog_waits_locked.load() == 0) std::this_thread::yield();
  EXPECT_FALSE(render_frame_draw());
  EXPECT_EQ(wrong_pixels(), 0);
  EXPECT_EQ(window()[0], kClear);

  ASSERT_TRUE(OrvWidgetDestroy(dialog));  // the wait ends with cancel
  script.join();
  EXPECT_EQ(answer, 2u);
  EXPECT_EQ(orv_render().dialog_waits_locked.load(), 0);
}

}  // namespace
