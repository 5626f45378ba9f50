// The choice of renderer at OrvInit: with the Direct3D display bit and a 3.3 core context the
// GL renderer draws and the bit stays set; without a context (SDL's dummy driver) the software
// renderer draws and the bit is cleared.
#include <gtest/gtest.h>

#include <string>

#include "Orv/core/window/process.h"
#include "Orv/render/render_system.h"
#include "orv/orv.h"
#include "platform/gl_context.h"
#include "platform/window.h"
#include "support/gl_available.h"

namespace {

using testsupport::gl_available;

int32_t start_ends_at_once() {
  return 0;
}

TEST(GlStart, DirectBitKeptOnlyWithAContext) {
  bool gl = gl_available();
  OrvSetDesktopRect(1, 1920, 1080);
  StartParams params;
  OrvDefaultCreate(&params);
  params.client_width = 640;
  params.client_height = 360;
  params.screen_width = 640;
  params.screen_height = 360;
  params.start_func = &start_ends_at_once;
  params.display_flags = 0x441B;
  ASSERT_EQ(OrvInit(&params), 1);
  EXPECT_EQ(Orv3DIs() != 0, gl);
  ASSERT_NE(render_renderer(), nullptr);
  EXPECT_STREQ(render_renderer()->name, gl ? "gl" : "software");
  StartParams now;
  OrvGetSystemParameters(&now);
  EXPECT_EQ(now.display_flags, gl ? 0x441Bu : 0x4413u);
  // The game thread starts, makes the context current, ends at once and lets it go.
  EXPECT_EQ(OrvRun(), 0);
  EXPECT_EQ(OrvUninit(), 1);
  OrvSetDesktopRect(0, 0, 0);
}

TEST(GlStart, SoftwareWhenAskedFor) {
  OrvSetDesktopRect(1, 1920, 1080);
  StartParams params;
  OrvDefaultCreate(&params);
  params.client_width = 320;
  params.client_height = 240;
  params.start_func = &start_ends_at_once;
  params.display_flags = 0x4413;
  ASSERT_EQ(OrvInit(&params), 1);
  EXPECT_EQ(Orv3DIs(), 0u);
  EXPECT_STREQ(render_renderer()->name, "software");
  EXPECT_EQ(OrvUninit(), 1);
  OrvSetDesktopRect(0, 0, 0);
}

}  // namespace
