// Golden back buffers of the software renderer, worked out from its formulas by hand (a small
// script of the written rules, not this code): turns other than quarter turns, fractional and
// unequal scales, and each render mode's blend on a block of several rows.
#include <vector>

#include "support/render_fixture.h"

namespace rendertest {
namespace {

// A 4 x 3 picture: distinct colours, one clear pixel and two half-transparent ones.
const uint32_t kPicture[12] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu,
                               0xFF808080u, 0x00FFFFFFu, 0xFF102030u, 0xFFC08040u,
                               0x80FF8000u, 0xFF000000u, 0x4000FF00u, 0xFF00FFFFu};

using Rows = std::vector<std::vector<uint32_t>>;

class SoftwareGoldens : public RenderTest {
 protected:
  Rows region(int32_t x0, int32_t y0, int32_t w, int32_t h) {
    Rows rows(h);
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) rows[y].push_back(pixel(x0 + x, y0 + y));
    return rows;
  }
};

TEST_F(SoftwareGoldens, TurnsAndScales) {
  // Colour 0xFFFFFFFF, render mode 1: an opaque channel v shows as ((v * 255) >> 8) * 254 >> 8.
  struct Case {
    const char* what;
    int32_t rotation;
    float sx, sy;
    float x, y;
    int32_t left, top;  // the golden starts one pixel outside the box
    Rows golden;
  };
  const Case cases[] = {
      {"eighth turn",
       64,
       1.0f,
       1.0f,
       10,
       10,
       9,
       8,
       {
           {0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u,
            0xFF000000u},
           {0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u,
            0xFF000000u},
           {0xFF000000u, 0xFF000000u, 0xFF7E7E7Eu, 0xFF00FC00u, 0xFF000000u, 0xFF000000u,
            0xFF000000u},
           {0xFF000000u, 0xFF7E3F00u, 0xFF000000u, 0xFF0E1E2Eu, 0xFF0000FCu, 0xFF000000u,
            0xFF000000u},
           {0xFF000000u, 0xFF000000u, 0xFF003E00u, 0xFF0E1E2Eu, 0xFFBD7E3Eu, 0xFF000000u,
            0xFF000000u},
           {0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF00FCFCu, 0xFF000000u, 0xFF000000u,
            0xFF000000u},
           {0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u,
            0xFF000000u},
       }},
      {"fractional scale",
       0,
       1.5f,
       0.5f,
       20,
       20,
       18,
       20,
       {
           {0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u,
            0xFF000000u, 0xFF000000u, 0xFF000000u},
           {0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u,
            0xFF000000u, 0xFF000000u, 0xFF000000u},
           {0xFF000000u, 0xFF7E7E7Eu, 0xFF7E7E7Eu, 0xFF000000u, 0xFF0E1E2Eu, 0xFF0E1E2Eu,
            0xFFBD7E3Eu, 0xFFBD7E3Eu, 0xFF000000u},
           {0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u,
            0xFF000000u, 0xFF000000u, 0xFF000000u},
       }},
      {"sixteenth turn at twice the size",
       32,
       2.0f,
       2.0f,
       40,
       20,
       36,
       16,
       {
           {0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u,
            0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u},
           {0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u,
            0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u},
           {0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u,
            0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u},
           {0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFFFC0000u, 0xFF000000u, 0xFF000000u,
            0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u},
           {0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFFFC0000u, 0xFFFC0000u, 0xFF00FC00u,
            0xFF00FC00u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u},
           {0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF7E7E7Eu, 0xFFFC0000u, 0xFF00FC00u,
            0xFF00FC00u, 0xFF0000FCu, 0xFF0000FCu, 0xFF000000u, 0xFF000000u, 0xFF000000u},
           {0xFF000000u, 0xFF000000u, 0xFF7E7E7Eu, 0xFF7E7E7Eu, 0xFF000000u, 0xFF000000u,
            0xFF0E1E2Eu, 0xFF0000FCu, 0xFF0000FCu, 0xFFFCFCFCu, 0xFFFCFCFCu, 0xFF000000u},
           {0xFF000000u, 0xFF000000u, 0xFF7E3F00u, 0xFF7E3F00u, 0xFF000000u, 0xFF000000u,
            0xFF0E1E2Eu, 0xFF0E1E2Eu, 0xFFBD7E3Eu, 0xFFFCFCFCu, 0xFF000000u, 0xFF000000u},
           {0xFF000000u, 0xFF7E3F00u, 0xFF7E3F00u, 0xFF7E3F00u, 0xFF000000u, 0xFF000000u,
            0xFF0E1E2Eu, 0xFF0E1E2Eu, 0xFFBD7E3Eu, 0xFFBD7E3Eu, 0xFF000000u, 0xFF000000u},
           {0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF003E00u,
            0xFF003E00u, 0xFF00FCFCu, 0xFF00FCFCu, 0xFFBD7E3Eu, 0xFF000000u, 0xFF000000u},
           {0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u,
            0xFF003E00u, 0xFF00FCFCu, 0xFF00FCFCu, 0xFF000000u, 0xFF000000u, 0xFF000000u},
           {0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u,
            0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u},
       }},
      {"three eighths, scale 0.75 by 1.25",
       -192,
       0.75f,
       1.25f,
       30,
       34,
       30,
       32,
       {
           {0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u},
           {0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u},
           {0xFF000000u, 0xFF000000u, 0xFF00FCFCu, 0xFF003E00u, 0xFF000000u},
           {0xFF000000u, 0xFFBD7E3Eu, 0xFF0E1E2Eu, 0xFF003E00u, 0xFF000000u},
           {0xFF000000u, 0xFF0000FCu, 0xFF0E1E2Eu, 0xFF000000u, 0xFF000000u},
           {0xFF000000u, 0xFF000000u, 0xFF00FC00u, 0xFF7E7E7Eu, 0xFF000000u},
           {0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u},
           {0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u},
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const OrvHandle s = sprite_create_from_bgra(list, 4, 3, kPicture, 4, 0);
    ASSERT_NE(s, 0u);
    OrvSpriteSetPos(s, c.x, c.y, 0);
    OrvSpriteSetRotate(s, c.rotation);
    OrvSpriteSetScale(s, c.sx, c.sy);
    OrvSpriteViewCtrl(s, 1);
    ASSERT_TRUE(render_frame_draw());
    EXPECT_EQ(region(c.left, c.top, int32_t(c.golden[0].size()), int32_t(c.golden.size())),
              c.golden);
    OrvSpriteRelease(list, s);
  }
}

TEST_F(SoftwareGoldens, RenderModesPickTheirBlendOnABlock) {
  // The picture with colour 0xC0FF8040 over a background sprite of 0xFF806040 (priority 1,
  // drawn first; it shows as 0xFF7E5E3E): modes 1 alpha, 2 add, 3 multiply; every other mode
  // blends as alpha.
  const Rows alpha = {{0xFFDD170Fu, 0xFF1F760Fu, 0xFF1F173Eu, 0xFFDD763Eu},
                      {0xFF7E4727u, 0xFF7E5E3Eu, 0xFF2B2318u, 0xFFAE471Bu},
                      {0xFFAE5226u, 0xFF1F170Fu, 0xFF666432u, 0xFF1F763Eu}};
  const Rows add = {{0xFFFF5E3Eu, 0xFF7EFF3Eu, 0xFF7E5EFCu, 0xFFFFFFFCu},
                    {0xFFDDBD9Du, 0xFF7E5E3Eu, 0xFF897561u, 0xFFFFBD6Du},
                    {0xFFDD8E3Eu, 0xFF7E5E3Eu, 0xFF7E8D3Eu, 0xFF7EFFFCu}};
  const Rows multiply = {{0xFF5D0000u, 0xFF004500u, 0xFF00002Eu, 0xFF5D452Eu},
                         {0xFF2E2217u, 0xFF7E5E3Eu, 0xFF050808u, 0xFF46220Bu},
                         {0xFF2E1100u, 0xFF000000u, 0xFF001100u, 0xFF00452Eu}};
  const Rows* by_mode[7] = {&alpha, &alpha, &add, &multiply, &alpha, &alpha, &alpha};
  const OrvHandle background = solid(kW, kH, 0xFF806040u, 0, 0, 1);
  for (int32_t mode = 0; mode < 7; ++mode) {
    SCOPED_TRACE(mode);
    const OrvHandle s = sprite_create_from_bgra(list, 4, 3, kPicture, 4, 0);
    OrvSpriteSetPos(s, 5, 5, 0);
    OrvSpriteSetColor(s, 0xC0FF8040u);
    OrvSpriteSetRenderMode(s, mode);
    OrvSpriteViewCtrl(s, 1);
    ASSERT_TRUE(render_frame_draw());
    EXPECT_EQ(region(5, 5, 4, 3), *by_mode[mode]);
    EXPECT_EQ(pixel(4, 5), 0xFF7E5E3Eu);  // around it the background stays
    OrvSpriteRelease(list, s);
  }
  OrvSpriteRelease(list, background);
}

}  // namespace
}  // namespace rendertest
