// The aspect rule over all eight sizing edges, the edge told from a settled resize, the client
// height rule, centring and the desktop override, and frame pacing.
#include <gtest/gtest.h>

#include "Orv/core/window/window_geometry.h"
#include "orv/orv.h"

namespace {

bool same(const OrvRect& a, const OrvRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string text(const OrvRect& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
         std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

TEST(WindowGeometry, AspectRuleForEveryEdge) {
  // A 16:9 screen. Tall: 800 x 600 at (100, 100), taller than 16:9 (the screen is wider);
  // wide: 1000 x 400, wider than 16:9. Fitted sizes: tall -> width 1066 or height 450;
  // wide -> width 711 or height 562.
  const OrvRect tall{100, 100, 900, 700};
  const OrvRect wide{100, 100, 1100, 500};
  struct Case {
    SizingEdge edge;
    OrvRect from, to;
  };
  const Case cases[] = {
      {SizingEdge::kLeft, tall, {100, 100, 900, 550}},
      {SizingEdge::kRight, tall, {100, 100, 900, 550}},
      {SizingEdge::kTop, tall, {100, 100, 1166, 700}},
      {SizingEdge::kBottom, tall, {100, 100, 1166, 700}},
      {SizingEdge::kTopLeft, tall, {-166, 100, 900, 700}},
      {SizingEdge::kTopRight, tall, {100, 100, 1166, 700}},
      {SizingEdge::kBottomLeft, tall, {-166, 100, 900, 700}},
      // The bottom-right corner dragged taller keeps the height and widens the window.
      {SizingEdge::kBottomRight, tall, {100, 100, 1166, 700}},
      {SizingEdge::kLeft, wide, {100, 100, 1100, 662}},
      {SizingEdge::kTop, wide, {100, 100, 811, 500}},
      {SizingEdge::kTopLeft, wide, {100, -62, 1100, 500}},
      {SizingEdge::kTopRight, wide, {100, -62, 1100, 500}},
      {SizingEdge::kBottomLeft, wide, {100, 100, 1100, 662}},
      {SizingEdge::kBottomRight, wide, {100, 100, 1100, 662}},
      // Already 16:9: the corner leaves it alone.
      {SizingEdge::kBottomRight, {0, 0, 1280, 720}, {0, 0, 1280, 720}},
  };
  for (const Case& c : cases) {
    OrvRect got = aspect_sizing(c.edge, c.from, 1280, 720, 0, 0);
    EXPECT_TRUE(same(got, c.to)) << int(c.edge) << " " << text(c.from) << " -> " << text(got);
  }
  // The frame is taken off before the ratio and put back after: a 16 x 39 frame around the
  // tall client.
  OrvRect framed = aspect_sizing(SizingEdge::kRight, {100, 100, 916, 739}, 1280, 720, 16, 39);
  EXPECT_TRUE(same(framed, {100, 100, 916, 589})) << text(framed);
}

TEST(WindowGeometry, EdgeToldFromTheSettledRectangle) {
  const OrvRect before{100, 100, 740, 460};
  struct Case {
    OrvRect after;
    SizingEdge edge;
  };
  const Case cases[] = {
      {{90, 100, 740, 460}, SizingEdge::kLeft},
      {{100, 100, 760, 460}, SizingEdge::kRight},
      {{100, 80, 740, 460}, SizingEdge::kTop},
      {{100, 100, 740, 500}, SizingEdge::kBottom},
      {{90, 80, 740, 460}, SizingEdge::kTopLeft},
      {{100, 80, 760, 460}, SizingEdge::kTopRight},
      {{90, 100, 740, 500}, SizingEdge::kBottomLeft},
      {{100, 100, 760, 500}, SizingEdge::kBottomRight},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(sizing_edge_between(before, c.after), c.edge) << text(c.after);
  }
}

TEST(WindowGeometry, ClientHeightFollowsTheScreenRatio) {
  EXPECT_EQ(client_height_for_width(960, 1280, 720), 540);
  EXPECT_EQ(client_height_for_width(1001, 1280, 720), 563);  // truncated
  EXPECT_EQ(client_height_for_width(800, 800, 600), 600);
  EXPECT_EQ(client_height_for_width(800, 0, 600), 0);
}

TEST(WindowGeometry, DesktopOverrideDrivesCentringAndFullScreen) {
  OrvSetDesktopRect(1, 1280, 720);
  EXPECT_EQ(OrvIsDesktopRectFix(), 1);
  int32_t pos[2] = {-1, -1};
  EXPECT_EQ(OrvWindowGetPosCenter(pos, 1280, 720), 1);
  EXPECT_EQ(pos[0], 0);
  EXPECT_EQ(pos[1], 0);
  EXPECT_EQ(OrvWindowGetPosCenter(nullptr, 1, 1), 0);
  OrvRect r{};
  EXPECT_EQ(OrvGetDesktopRect(&r), 1);
  EXPECT_TRUE(same(r, {0, 0, 1280, 720}));
  OrvSetDesktopRect(1, 1000, 700);
  EXPECT_EQ(OrvWindowGetPosCenter(pos, 1281, 720), 1);
  EXPECT_EQ(pos[0], -141);  // arithmetic shift: (1000 - 1281) >> 1
  EXPECT_EQ(pos[1], -10);
  OrvSetDesktopRect(0, 0, 0);
  EXPECT_EQ(OrvIsDesktopRectFix(), 0);

  EXPECT_TRUE(client_fills_desktop({0, 0, 1280, 1024}, 1280, 720));
  EXPECT_TRUE(client_fills_desktop({0, 0, 1920, 720}, 1280, 720));
  EXPECT_FALSE(client_fills_desktop({0, 0, 1920, 1080}, 1280, 720));
}

TEST(WindowGeometry, FullScreenAspectRectangles) {
  const OrvRect current{1, 2, 3, 4};
  struct Case {
    int32_t mode, mw, mh;
    OrvRect rect;
  };
  const Case cases[] = {
      {0, 1920, 1200, {0, 0, 1920, 1200}},
      {1, 1920, 1200, {0, 60, 1920, 1140}},    // bars above and below
      {3, 1920, 1200, {-107, 0, 2026, 1200}},  // covers, cropped left and right
      {2, 1920, 1200, {320, 240, 1600, 960}},  // game size, centred
      {1, 1920, 1080, {0, 0, 1920, 1080}},
      {1, 1024, 768, {0, 96, 1024, 672}},  // a smaller 4:3 monitor
      {1, 1600, 1200, {0, 150, 1600, 1050}},
      {3, 1600, 1200, {-267, 0, 1866, 1200}},  // the shift rounds down
      {7, 1920, 1200, current},                // unknown mode: unchanged
  };
  for (const Case& c : cases) {
    OrvRect got = aspect_rect(c.mode, 1280, 720, c.mw, c.mh, current);
    EXPECT_TRUE(same(got, c.rect)) << c.mode << " on " << c.mw << "x" << c.mh << ": " << text(got);
  }
  EXPECT_TRUE(same(client_area_rect(false, 1, 1280, 720, 800, 450, current), {0, 0, 800, 450}));
}

}  // namespace
