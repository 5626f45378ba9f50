// Pixel operations between sprites, on tiny sprites with pixels worked out by hand.
#include <climits>
#include <map>
#include <string>
#include <vector>

#include "Orv/render/render_state.h"
#include "Orv/render/image_store.h"
#include "Orv/render/last_error.h"
#include "ge_writer/ge_writer.h"
#include "support/render_fixture.h"

namespace rendertest {
namespace {

using Px = std::vector<uint32_t>;

class PixelOps : public RenderTest {
 protected:
  OrvHandle make(int32_t w, int32_t h, const Px& px = {}) {
    OrvHandle s = OrvSpriteCreate(list, w, h, 0);
    EXPECT_NE(s, 0u);
    if (!px.empty()) put(s, px);
    return s;
  }
  void put(OrvHandle s, const Px& px) {
    int32_t pitch = 0, rows = 0;
    uint32_t* p = OrvSpriteLock(s, &pitch, &rows);
    int32_t w = OrvSpriteGetWidth(s), h = OrvSpriteGetHeight(s);
    ASSERT_EQ(px.size(), size_t(w * h));
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) p[y * pitch + x] = px[y * w + x];
    OrvSpriteUnlock(s);
  }
  Px get(OrvHandle s) {
    int32_t pitch = 0, rows = 0;
    uint32_t* p = OrvSpriteLock(s, &pitch, &rows);
    int32_t w = OrvSpriteGetWidth(s), h = OrvSpriteGetHeight(s);
    Px out;
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) out.push_back(p[y * pitch + x]);
    OrvSpriteUnlock(s);
    return out;
  }
  // A 4 x 3 source numbered 0x10 + index, so that a copied pixel names its source place.
  Px numbered() {
    Px p;
    for (uint32_t i = 0; i < 12; ++i) p.push_back(0x10 + i);
    return p;
  }
};

// Rectangles crossing every edge, through the copy family's origin rule and the clip.
TEST_F(PixelOps, CopyRectanglesAreClippedToBothImages) {
  struct Case {
    const char* what;
    int32_t dx, dy, sx, sy, w, h;
    OrvBool result;
    Px expected;  // destination 4 x 3, 0 where nothing was copied
  };
  const uint32_t _ = 0;
  const std::vector<Case> cases = {
      {"inside", 1, 1, 0, 0, 2, 2, 1, {_, _, _, _, _, 0x10, 0x11, _, _, 0x14, 0x15, _}},
      {"negative destination x moves the source",
       -1,
       0,
       0,
       0,
       3,
       1,
       1,
       {0x11, 0x12, _, _, _, _, _, _, _, _, _, _}},
      // the width is kept: the given destination x is replaced, not shifted
      {"negative source x moves the destination to -sx",
       3,
       0,
       -1,
       0,
       2,
       1,
       1,
       {_, 0x10, 0x11, _, _, _, _, _, _, _, _, _}},
      {"negative source y likewise", 0, 2, 0, -2, 1, 2, 1, {_, _, _, _, _, _, _, _, 0x10, _, _, _}},
      {"past right and bottom", 3, 2, 0, 0, 5, 5, 1, {_, _, _, _, _, _, _, _, _, _, _, 0x10}},
      {"source past its right edge", 0, 0, 3, 0, 4, 1, 1, {0x13, _, _, _, _, _, _, _, _, _, _, _}},
      {"huge sizes take the whole image",
       0,
       0,
       0,
       0,
       INT_MAX,
       INT_MAX,
       1,
       {0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B}},
      {"extreme origins copy nothing", INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 1,
       Px(12, 0)},
      {"zero width", 0, 0, 0, 0, 0, 3, 0, Px(12, 0)},
      {"negative height", 0, 0, 0, 0, 2, -1, 1, Px(12, 0)},
  };
  for (const Case& c : cases) {
    OrvHandle dst = make(4, 3), src = make(4, 3, numbered());
    EXPECT_EQ(OrvCopySpriteToSpriteRGB(dst, c.dx, c.dy, src, c.sx, c.sy, c.w, c.h), c.result)
        << c.what;
    EXPECT_EQ(get(dst), c.expected) << c.what;
    put(dst, Px(12, 0));
    EXPECT_EQ(OrvCopySpriteToSpriteRGBStr(dst, c.dx, c.dy, 7, 7, src, c.sx, c.sy, c.w, c.h),
              c.result);
    EXPECT_EQ(get(dst), c.expected) << c.what << " (Str)";
    OrvSpriteRelease(list, dst);
    OrvSpriteRelease(list, src);
  }
}

TEST_F(PixelOps, CopyWithinOneSpriteReadsRowsBeforeOverwritingThem) {
  OrvHandle s = make(4, 3, numbered());
  EXPECT_EQ(OrvCopySpriteToSpriteRGB(s, 1, 1, s, 0, 0, 3, 2), 1);
  EXPECT_EQ(get(s), (Px{0x10, 0x11, 0x12, 0x13, 0x14, 0x10, 0x11, 0x12, 0x18, 0x14, 0x15, 0x16}));
}

TEST_F(PixelOps, CopyRectRgbUsesTheSourcePositionRectangleAndCell) {
  OrvHandle dst = make(4, 3), src = make(4, 3, numbered());
  OrvSpriteSetPos(src, 2.9f, 1.2f, 0);
  OrvSpriteSetOffsetRect(src, 2, 1);
  OrvSpriteRectSetPos(src, 1, 1);  // rectangle at (2, 1)
  EXPECT_EQ(OrvCopySpriteToSpriteRectRGB(dst, src), 1);
  Px want(12, 0);
  want[1 * 4 + 2] = 0x16;
  want[1 * 4 + 3] = 0x17;
  EXPECT_EQ(get(dst), want);
  orv_set_last_error(0);
  EXPECT_EQ(OrvCopySpriteToSpriteRectRGB(dst, 0), 0);
  EXPECT_EQ(orv_last_error(), kErrorInvalidHandle);
}

TEST_F(PixelOps, ChannelCopyMovesOneByteAndRefusesBadChannels) {
  OrvHandle dst = make(4, 3, Px(12, 0x11223344)), src = make(4, 3, Px(12, 0xAABBCCDD));
  EXPECT_EQ(OrvCopySpriteToSpriteChannel(dst, -1, 0, 3, src, 0, 0, 2, 1, 0), 1);
  Px want(12, 0x11223344);
  want[0] = 0xDD223344;
  EXPECT_EQ(get(dst), want);
  EXPECT_EQ(OrvCopySpriteToSpriteChannel(dst, 0, 0, 4, src, 0, 0, 2, 1, 0), 0);
  EXPECT_EQ(OrvCopySpriteToSpriteChannel(dst, 0, 0, 0, src, 0, 0, 2, 1, -1), 0);
  EXPECT_EQ(OrvCopySpriteToSpriteChannel(dst, 0, 0, 0, src, 0, 0, 0, 1, 0), 0);
  EXPECT_EQ(get(dst), want);
}

TEST_F(PixelOps, MixAndCompositeFollowTheirFormulas) {
  struct Case {
    uint32_t dst, src, mix, composite;
  };
  const std::vector<Case> cases = {
      // source alpha 0: the mix keeps the destination; both alphas 0 composite to 0
      {0x00102030, 0x00FFFFFF, 0x00102030, 0x00000000},
      {0x40102030, 0x00FFFFFF, 0x40102030, 0x40102030},
      // source alpha 255 replaces the colour, the mix keeps the destination alpha
      {0x40102030, 0xFFABCDEF, 0x40ABCDEF, 0xFFABCDEF},
      // a = 128: (128 s + 127 d) >> 8 per colour; composite u = 255 * 127 / 255 = 127
      {0xFF0000FF, 0x80FF0000, 0xFF7F007E, 0xFF80007F},
      // u = 64 * 127 / 255 = 31: alpha 159, R (255 * 128 + 16 * 31) / 159 = 208
      {0x40102030, 0x80FF0000, 0x40870F17, 0x9FD00609},
  };
  for (const Case& c : cases) {
    OrvHandle d = make(1, 1, {c.dst}), s = make(1, 1, {c.src});
    EXPECT_EQ(OrvMixSpriteToSprite(d, 0, 0, 1, 1, s, 0, 0), 1);
    EXPECT_EQ(get(d)[0], c.mix) << std::hex << c.dst << " " << c.src;
    put(d, {c.dst});
    EXPECT_EQ(OrvMixSpriteToSpriteEx(d, 0, 0, 1, 1, s, 0, 0), 1);
    EXPECT_EQ(get(d)[0], c.composite) << std::hex << c.dst << " " << c.src;
  }
  OrvHandle d = make(2, 1, {1, 2}), s = make(2, 1, {0xFF000009, 0xFF000008});
  EXPECT_EQ(OrvMixSpriteToSprite(d, 0, 0, 0, 1, s, 0, 0), 0);
  EXPECT_EQ(OrvMixSpriteToSprite(d, 0, 0, 1, 1, 0, 0, 0), 0);
  // A negative destination origin moves the source, as in the clip of the other operations.
  EXPECT_EQ(OrvMixSpriteToSprite(d, -1, 0, 2, 1, s, 0, 0), 1);
  EXPECT_EQ(get(d), (Px{0x00000008, 2}));
}

TEST_F(PixelOps, DeleteNoAlphaClearsTransparentPixels) {
  const Px in = {0x00123456, 0x80123456, 0xFF123456};
  OrvHandle s = make(3, 1, in);
  EXPECT_EQ(OrvSpriteDeleteNoAlpha(s, 0, 0, 3, 1), 1);
  EXPECT_EQ(get(s), (Px{0, 0x80123456, 0xFF123456}));
  put(s, in);
  EXPECT_EQ(OrvSpriteDeleteNoAlpha255(s, -1, 0, 3, 5), 1);  // covers columns 0 and 1
  EXPECT_EQ(get(s), (Px{0, 0xFF123456, 0xFF123456}));
  put(s, in);
  EXPECT_EQ(OrvSpriteDeleteNoAlpha255(s, 2, 0, INT_MAX, 1), 1);
  EXPECT_EQ(get(s), (Px{0x00123456, 0x80123456, 0xFF123456}));
  EXPECT_EQ(OrvSpriteDeleteNoAlpha(s, 0, 0, 3, 0), 0);
  EXPECT_EQ(OrvSpriteDeleteNoAlpha(0, 0, 0, 3, 1), 0);
}

TEST_F(PixelOps, ChannelCopyExModesAndCellBounds) {
  struct Case {
    uint8_t s, d;
    int32_t mode;
    OrvBool result;
    uint8_t out;
  };
  const std::vector<Case> cases = {
      {255, 255, 2, 1, 255}, {255, 128, 2, 1, 128}, {0, 200, 2, 1, 0},  {200, 100, 1, 1, 255},
      {10, 20, 1, 1, 30},    {10, 20, 0, 1, 10},    {10, 20, 3, 0, 20}, {10, 20, -1, 0, 20},
  };
  for (const Case& c : cases) {
    OrvHandle d = make(1, 1, {uint32_t{c.d} << 16}), s = make(1, 1, {c.s});
    OrvRect r{0, 0, 1, 1};
    EXPECT_EQ(OrvChannelCopyEx(d, &r, 2, s, 0, 0, 0, c.mode), c.result);
    EXPECT_EQ(get(d)[0], uint32_t{c.out} << 16) << int(c.s) << " " << int(c.d) << " " << c.mode;
  }
  // Cells set far above the image are bounded by it; a negative source start moves the
  // destination; one sprite may be both sides.
  OrvHandle s = make(4, 3, numbered());
  OrvSpriteSetOffsetRect(s, 1000, 1000);
  OrvRect all{-5, -5, 1000, 1000};
  // The rectangle is cut to (0, 0)-(4, 3) and the source start follows to (4, 10), past the
  // source: nothing is left.
  EXPECT_EQ(OrvChannelCopyEx(s, &all, 1, s, -1, 5, 0, 0), 0);
  Px want = numbered();
  EXPECT_EQ(get(s), want);
  OrvRect part{0, 0, 4, 1};
  EXPECT_EQ(OrvChannelCopyEx(s, &part, 1, s, -2, 1, 0, 0), 1);
  want[2] |= 0x14 << 8;
  want[3] |= 0x15 << 8;
  EXPECT_EQ(get(s), want);
  EXPECT_EQ(OrvChannelCopyEx(s, nullptr, 1, s, 0, 0, 0, 0), 0);
  OrvRect empty{2, 2, 2, 3};
  EXPECT_EQ(OrvChannelCopyEx(s, &empty, 1, s, 0, 0, 0, 0), 0);
  EXPECT_EQ(OrvChannelCopyEx(s, &part, 4, s, 0, 0, 0, 0), 0);
}

TEST_F(PixelOps, SinglePixelsStayInsideCellAndImage) {
  OrvHandle s = make(3, 2, {1, 2, 3, 4, 5, 6});
  OrvSpriteSetOffsetRect(s, 2, 2);
  EXPECT_EQ(OrvGetPixel(s, 1, 1), 5u);
  EXPECT_EQ(OrvGetPixel(s, 2, 0), 0u);  // x = cell width
  EXPECT_EQ(OrvGetPixel(s, -1, 0), 0u);
  OrvSetPixel(s, 2, 0, 9);
  OrvSetPixel(s, 0, 0, 7);
  OrvSpriteSetOffsetRect(s, 100, 100);  // a cell above the image size
  EXPECT_EQ(OrvGetPixel(s, 3, 0), 0u);
  EXPECT_EQ(OrvGetPixel(s, 0, 2), 0u);
  OrvSetPixel(s, 50, 50, 9);
  EXPECT_EQ(get(s), (Px{7, 2, 3, 4, 5, 6}));
  EXPECT_EQ(OrvGetPixel(0, 0, 0), 0u);
}

TEST_F(PixelOps, FillsCutAtTheEdges) {
  const uint32_t X = 0xFF00FF00;
  OrvHandle s = make(5, 5);
  OrvSpriteCircleFill(s, 2, 2, 1, X);
  EXPECT_EQ(get(s), (Px{0, 0, 0, 0, 0,  //
                        0, 0, X, 0, 0,  //
                        0, X, X, X, 0,  //
                        0, 0, X, 0, 0,  //
                        0, 0, 0, 0, 0}));
  put(s, Px(25, 0));
  OrvSpriteCircleFill(s, 1, 1, 2, X);   // rows -1..3, spans cut at column 0
  EXPECT_EQ(get(s), (Px{X, X, X, X, 0,  //
                        X, X, X, X, 0,  //
                        X, X, X, X, 0,  //
                        X, X, X, 0, 0,  //
                        0, 0, 0, 0, 0}));
  put(s, Px(25, 0));
  OrvSpriteCircleFill(s, 2, 2, 0, X);
  OrvSpriteBoxFill(s, 0, 0, 0, 5, X);
  EXPECT_EQ(get(s), Px(25, 0));
  OrvSpriteBoxFill(s, -1, 3, 2, INT_MAX, X);
  OrvSpriteBoxFill(s, 4, -5, INT_MAX, 6, X);
  EXPECT_EQ(get(s), (Px{0, 0, 0, 0, X,  //
                        0, 0, 0, 0, 0,  //
                        0, 0, 0, 0, 0,  //
                        X, 0, 0, 0, 0,  //
                        X, 0, 0, 0, 0}));
}

TEST_F(PixelOps, SetBufferCopiesOnlyWhatFitsTheImage) {
  OrvHandle s = make(2, 2);
  const Px buffer = {1, 2, 3, 4, 5, 6, 7, 8, 9};  // 3 x 3
  EXPECT_EQ(OrvSpriteSetBuffer(s, buffer.data(), 3, 3), 1);
  EXPECT_EQ(get(s), (Px{1, 2, 4, 5}));
  const Px small = {7};
  EXPECT_EQ(OrvSpriteSetBuffer(s, small.data(), 1, 1), 1);
  EXPECT_EQ(get(s), (Px{7, 2, 4, 5}));
  EXPECT_EQ(OrvSpriteSetBuffer(0, small.data(), 1, 1), 0);
}

TEST_F(PixelOps, StretchBltClipsInProportion) {
  const uint32_t A = 0xA, B = 0xB, C = 0xC, D = 0xD;
  struct Case {
    const char* what;
    int32_t dx, dy, dw, dh, sx, sy, sw, sh;
    Px expected;  // destination 4 x 1
  };
  const std::vector<Case> cases = {
      {"double", 0, 0, 4, 1, 0, 0, 2, 1, {A, A, B, B}},
      {"halve", 0, 0, 2, 1, 0, 0, 4, 1, {A, C, 0, 0}},
      {"negative destination x cuts the source in proportion",
       -2,
       0,
       4,
       1,
       0,
       0,
       2,
       1,
       {B, B, 0, 0}},
      {"past the right edge", 2, 0, 4, 1, 0, 0, 2, 1, {0, 0, A, A}},
      {"source past its right edge", 0, 0, 4, 1, 2, 0, 4, 1, {C, D, 0, 0}},
      {"negative source x", 0, 0, 4, 1, -2, 0, 4, 1, {0, 0, A, B}},
      {"zero size", 0, 0, 0, 1, 0, 0, 4, 1, {0, 0, 0, 0}},
      {"huge", 0, 0, INT_MAX, INT_MAX, 0, 0, INT_MAX, INT_MAX, {A, B, C, D}},
  };
  for (const Case& c : cases) {
    OrvHandle dst = make(4, 1), src = make(4, 1, {A, B, C, D});
    OrvSpriteStretchBlt(dst, c.dx, c.dy, c.dw, c.dh, src, c.sx, c.sy, c.sw, c.sh);
    EXPECT_EQ(get(dst), c.expected) << c.what;
    OrvSpriteRelease(list, dst);
    OrvSpriteRelease(list, src);
  }
}

TEST_F(PixelOps, AlphaMasks) {
  const Px mask_px = {128, 0, 255, 0x80};
  OrvAlphaMask mask{2, 2, mask_px.data()};
  OrvHandle s = make(3, 1, Px(3, 0xFF000000));
  // The rectangle starts left of the image: the mask moves with it.
  OrvSpriteMaskAlpha(s, -1, 0, 4, 1, &mask, 0, 0);
  EXPECT_EQ(get(s), (Px{0, 0xFF000000, 0xFF000000}));  // 255 * 0 >> 8, then the mask ends
  put(s, Px(3, 0xFF000000));
  OrvSpriteMaskAlpha2(s, 0, 0, 3, 1, &mask, 0, 1);  // 255 - {255, 128}
  EXPECT_EQ(get(s), (Px{0x00000000, 0x7E000000, 0xFF000000}));
  OrvHandle m = make(2, 1, {128, 255});
  put(s, Px(3, 0xFF000000));
  OrvSpriteMaskAlphaEx(s, 1, 0, 9, 9, m, 0, 0, 0);
  EXPECT_EQ(get(s), (Px{0xFF000000, 0x7F000000, 0xFE000000}));
  put(s, Px(3, 0xFF000000));
  OrvSpriteMaskAlphaEx(s, 0, 0, 3, 1, m, 0, 0, 1);
  EXPECT_EQ(get(s), (Px{0x7E000000, 0x00000000, 0xFF000000}));
}

TEST_F(PixelOps, ApplyAlphaMaskTilesAndStretches) {
  OrvHandle m = make(2, 1, {0, 255});
  OrvHandle s = make(5, 1, Px(5, 0xFF000000));
  // Divisor 2: columns 0, 1 read mask 0; 2, 3 read mask 1; 4 wraps to mask 0.
  OrvSpriteApplyAlphaMask(s, 0, 0, 5, 1, m, 0, 0, 2, 1);
  EXPECT_EQ(get(s), (Px{0, 0, 0xFE000000, 0xFE000000, 0}));
  put(s, Px(5, 0xFF000000));
  // A rectangle left of the image keeps its mask place; a negative mask start wraps.
  OrvSpriteApplyAlphaMask(s, -1, 0, 3, 9, m, -2, 0, 1, 1);
  EXPECT_EQ(get(s), (Px{0xFE000000, 0, 0xFF000000, 0xFF000000, 0xFF000000}));
  put(s, Px(5, 0xFF000000));
  OrvSpriteApplyAlphaMask(s, 0, 0, 5, 1, m, 0, 0, 0, 1);
  OrvSpriteApplyAlphaMask(s, 0, 0, 5, 1, m, 0, 0, 1, -3);
  EXPECT_EQ(get(s), Px(5, 0xFF000000));
}

TEST_F(PixelOps, DisplacementMap) {
  const Px src_px = {0xA, 0xB, 0xC};
  OrvHandle src = make(3, 1, src_px);
  OrvHandle dst = make(3, 1, {1, 2, 3});
  // B = G = 128: no displacement, the source at the same offset.
  OrvHandle flat = make(1, 1, {0x8080});
  OrvSpriteDisplacementMap(dst, 0, 0, 3, 1, flat, 0, 0, 1, 1, src, 0, 0, 100, 100);
  EXPECT_EQ(get(dst), src_px);
  // B = 0 with amplitude 1: (1 * -128 * 257) >> 16 = -1, one pixel from the left; the first
  // pixel's source is outside and it stays.
  OrvHandle left = make(1, 1, {0x8000});
  put(dst, {1, 2, 3});
  OrvSpriteDisplacementMap(dst, 0, 0, 3, 1, left, 0, 0, 1, 1, src, 0, 0, 1, 0);
  EXPECT_EQ(get(dst), (Px{1, 0xA, 0xB}));
  put(dst, {1, 2, 3});
  OrvSpriteDisplacementMap(dst, -1, 0, INT_MAX, 1, flat, 0, 0, 1, 1, src, 0, 0, 0, 0);
  EXPECT_EQ(get(dst), (Px{0xB, 0xC, 3}));
  put(dst, {1, 2, 3});
  OrvSpriteDisplacementMap(dst, 0, 0, 3, 1, flat, 0, 0, 0, 1, src, 0, 0, 0, 0);
  EXPECT_EQ(get(dst), (Px{1, 2, 3}));
}

TEST_F(PixelOps, BackBufferCopyNeedsRoomForTheFrame) {
  solid(kW, kH, 0xFF336699);
  ASSERT_TRUE(render_frame_draw());
  OrvHandle big = make(kW + 1, kH + 1), small = make(kW - 1, kH);
  EXPECT_EQ(OrvSpriteBackBafferCopy(big), 1);
  EXPECT_EQ(OrvSpriteBackBafferCopy(small), 1);
  Px b = get(big);
  for (int32_t y = 0; y < kH; ++y)
    for (int32_t x = 0; x < kW; ++x) ASSERT_EQ(b[y * (kW + 1) + x], pixel(x, y)) << x << "," << y;
  EXPECT_EQ(b[kW], 0u);  // the column past the frame
  EXPECT_EQ(get(small), Px((kW - 1) * kH, 0));
  EXPECT_EQ(OrvSpriteRenderCopy(big), 1);
  EXPECT_EQ(OrvSpriteBackBafferCopy(0), 0);
}

TEST_F(PixelOps, WritesMarkTheImageChanged) {
  OrvHandle s = make(2, 2);
  uint32_t before = image_revision(sprite_from(s)->image);
  OrvSetPixel(s, 0, 0, 1);
  EXPECT_NE(image_revision(sprite_from(s)->image), before);
  before = image_revision(sprite_from(s)->image);
  OrvGetPixel(s, 0, 0);
  EXPECT_EQ(image_revision(sprite_from(s)->image), before);
}

// ---- OrvCopyFileToSpriteRGB ----

std::map<std::string, std::string> g_files;
int32_t fake_read(const char* path, std::vector<uint8_t>* out, size_t) {
  auto it = g_files.find(path);
  if (it == g_files.end()) return 0;
  out->assign(it->second.begin(), it->second.end());
  return 1;
}

void le(std::string& s, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 255));
}

// A 3 x 2 BMP, rows bottom-up; 24-bit rows padded to 12 bytes.
std::string bmp(int bits, const Px& px) {
  const int row = 12;  // 9 bytes of 24-bit pixels padded, or 12 of 32-bit ones
  std::string s = "BM";
  le(s, 54 + row * 2, 4);
  le(s, 0, 4);
  le(s, 54, 4);
  le(s, 40, 4);
  le(s, 3, 4);
  le(s, 2, 4);
  le(s, 1, 2);
  le(s, bits, 2);
  s.append(24, '\0');
  for (int y = 1; y >= 0; --y) {
    for (int x = 0; x < 3; ++x) le(s, px[y * 3 + x], bits / 8);
    if (bits == 24) s.append(3, '\0');
  }
  return s;
}

std::string tga(int bits, const Px& px) {
  std::string s;
  le(s, 0, 2);
  s.push_back(2);  // true colour
  s.append(9, '\0');
  le(s, 3, 2);
  le(s, 2, 2);
  s.push_back(static_cast<char>(bits));
  s.push_back(bits == 32 ? 8 : 0);
  for (int y = 1; y >= 0; --y)
    for (int x = 0; x < 3; ++x) le(s, px[y * 3 + x], bits / 8);
  return s;
}

class FileBlend : public PixelOps {
 protected:
  void SetUp() override {
    PixelOps::SetUp();
    saved_ = orv_render().read_file;
    orv_render().read_file = fake_read;
  }
  void TearDown() override {
    orv_render().read_file = saved_;
    g_files.clear();
    PixelOps::TearDown();
  }
  FileReader saved_ = nullptr;
};

TEST_F(FileBlend, EachFormatBlendsItsPixels) {
  // Alphas 0, 255, 128 over a grey sprite: keep, take, (128 f + 127 s) >> 8.
  const Px file = {0x00FFFFFF, 0xFF102030, 0x80FF0000, 0xFF000001, 0xFF000002, 0xFF000003};
  const uint32_t g = 0x40404040;
  const Px blended = {g, 0x40102030, 0x409F1F1F, 0x40000001, 0x40000002, 0x40000003};
  Px opaque_file = file;
  for (uint32_t& p : opaque_file) p |= 0xFF000000;
  const Px opaque_blend = {0x40FFFFFF, 0x40102030, 0x40FF0000, 0x40000001, 0x40000002, 0x40000003};
  struct Case {
    std::string name, bytes;
    Px expected;
  };
  auto ge = [&](int type) {
    gewriter::GeOptions o;
    o.type = type;
    return gewriter::ge_write(3, 2, file, o);
  };
  const std::vector<Case> cases = {
      {"bmp24", bmp(24, file), opaque_blend},
      {"bmp32", bmp(32, file), blended},
      {"tga24", tga(24, file), opaque_blend},
      {"tga32", tga(32, file), blended},
      {"ge0", ge(0), blended},
      {"ge1", ge(1), blended},
      {"ge3", ge(3), blended},
  };
  for (const Case& c : cases) {
    g_files[c.name] = c.bytes;
    OrvHandle s = make(3, 2, Px(6, g));
    EXPECT_EQ(OrvCopyFileToSpriteRGB(s, 0, 0, c.name.c_str(), 0, 0, -1, -1), 1) << c.name;
    EXPECT_EQ(get(s), c.expected) << c.name;
    OrvSpriteRelease(list, s);
  }
  // A luma/chroma picture is decoded as such, not as planes.
  gewriter::GeOptions o2;
  o2.type = 2;
  Px grey(36, 0xFF808080);
  g_files["ge2"] = gewriter::ge_write(6, 6, grey, o2);
  OrvHandle s = make(6, 6);
  EXPECT_EQ(OrvCopyFileToSpriteRGB(s, 0, 0, "ge2", 0, 0, -1, -1), 1);
  for (uint32_t p : get(s)) EXPECT_NEAR(double(p & 255), 128.0, 2.0);
}

TEST_F(FileBlend, RectanglesAndBadFiles) {
  const Px file = {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004, 0xFF000005, 0xFF000006};
  g_files["f"] = tga(32, file);
  struct Case {
    const char* what;
    int32_t dx, dy, sx, sy, w, h;
    OrvBool result;
    Px expected;  // sprite 2 x 2, alpha 0 background
  };
  const std::vector<Case> cases = {
      {"source x > 0 with a wide w stops at the file's edge",
       0,
       0,
       2,
       0,
       -1,
       1,
       1,
       {0x03, 0, 0, 0}},
      {"negative destination clipped", -1, -1, 0, 0, 3, 2, 1, {0x05, 0x06, 0, 0}},
      {"past the sprite", 1, 1, 0, 0, 3, 2, 1, {0, 0, 0, 0x01}},
      {"source x past the file", 0, 0, 4, 0, 1, 1, 0, {0, 0, 0, 0}},
      {"source x at the file's edge copies nothing", 0, 0, 3, 0, 1, 1, 1, {0, 0, 0, 0}},
      {"negative source y", 0, 0, 0, -1, 1, 1, 0, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    OrvHandle s = make(2, 2);
    EXPECT_EQ(OrvCopyFileToSpriteRGB(s, c.dx, c.dy, "f", c.sx, c.sy, c.w, c.h), c.result) << c.what;
    Px got = get(s);
    for (uint32_t& p : got) p &= 0xFFFFFF;
    EXPECT_EQ(got, c.expected) << c.what;
    OrvSpriteRelease(list, s);
  }
  std::string b16 = bmp(24, file);
  b16[28] = 16;
  std::string t8 = tga(24, file);
  t8[16] = 8;
  g_files["b16"] = b16;
  g_files["t8"] = t8;
  g_files["cut"] = bmp(24, file).substr(0, 60);
  g_files["header"] = std::string("BM\x10", 3);
  OrvHandle s = make(2, 2);
  for (const char* name : {"b16", "t8", "cut", "header", "missing"}) {
    EXPECT_EQ(OrvCopyFileToSpriteRGB(s, 0, 0, name, 0, 0, -1, -1), 0) << name;
  }
  EXPECT_EQ(get(s), Px(4, 0));
  EXPECT_EQ(OrvCopyFileToSpriteRGB(0, 0, 0, "f", 0, 0, -1, -1), 0);
}

}  // namespace
}  // namespace rendertest
