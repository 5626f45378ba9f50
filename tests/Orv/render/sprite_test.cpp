#include <cstring>
#include <map>
#include <string>

#include "Orv/render/image_store.h"
#include "Orv/render/last_error.h"
#include "Orv/render/sprite_info.h"
#include "support/render_fixture.h"

namespace rendertest {
namespace {

using SpriteTest = RenderTest;

TEST_F(SpriteTest, CreationDefaultsAndNodeKeys) {
  OrvHandle s = OrvSpriteCreate(list, 64, 32, 100);
  ASSERT_NE(s, 0u);
  OrvSpriteInfo info{};
  ASSERT_TRUE(OrvSpriteGetInfo(s, &info));
  EXPECT_EQ(info.visible, 0);
  EXPECT_EQ(info.width, 64);
  EXPECT_EQ(info.height, 32);
  EXPECT_EQ(info.cell_width, 64);
  EXPECT_EQ(info.cell_height, 32);
  EXPECT_EQ(info.color, 0xFFFFFFFFu);
  EXPECT_EQ(info.scale_x, 1.0f);
  EXPECT_EQ(info.render_mode, 1);
  EXPECT_EQ(info.rotation_resolution, 512.0f);
  OrvRect r{};
  OrvSpriteGetRect(s, &r);
  EXPECT_EQ((std::vector<int32_t>{r.left, r.top, r.right, r.bottom}),
            (std::vector<int32_t>{0, 0, 64, 32}));

  auto key = [&] { return render_node_from(sprite_from(s)->node)->key; };
  EXPECT_EQ(key(), 100);
  OrvSpriteSetPos(s, 10.5f, 20.9f, -3.7f);
  EXPECT_EQ(key(), 97);
  OrvSpriteMovePos(s, 0, 0, 1.0f);
  EXPECT_EQ(key(), 98);
  OrvSpriteSetPos(s, 0, 0, 5);
  OrvSpriteChangePriority(s, 50);
  EXPECT_EQ(key(), 50);
  OrvSpriteSetPos(s, 0, 0, 5);
  EXPECT_EQ(key(), 55);
  // Out-of-range z from a script saturates instead of overflowing.
  OrvSpriteSetPos(s, 0, 0, 1e20f);
  EXPECT_EQ(key(), INT32_MAX);
}

TEST_F(SpriteTest, NullAndReleasedHandlesFailWithInvalidHandle) {
  OrvHandle s = OrvSpriteCreate(list, 4, 4, 0);
  ASSERT_TRUE(OrvSpriteRelease(list, s));
  for (OrvHandle h : {OrvHandle{0}, s}) {
    orv_set_last_error(0);
    EXPECT_EQ(OrvSpriteSetPos(h, 1, 2, 3), 0);
    EXPECT_EQ(orv_last_error(), kErrorInvalidHandle);
    EXPECT_EQ(OrvSpriteRelease(list, h), 0);
    EXPECT_EQ(OrvSpriteLock(h, nullptr, nullptr), nullptr);
    EXPECT_EQ(OrvSpriteGetWidth(h), 0);
  }
  EXPECT_EQ(OrvSpriteCreate(0, 4, 4, 0), 0u);
  EXPECT_EQ(OrvSpriteCreate(list, 0, 4, 0), 0u);
  EXPECT_EQ(OrvSpriteCreate(list, 4, 100000, 0), 0u);
}

TEST_F(SpriteTest, CellSelectionKeepsInsideTheSheet) {
  struct Case {
    int32_t sheet_w, cell_w, column, left;
  };
  const Case cases[] = {
      {301, 100, 1, 100}, {301, 100, 5, 200},  // one spare pixel is ignored
      {350, 100, 5, 250},                      // else the last cell ends at the edge
      {50, 100, 0, 0},    {50, 100, 3, 0},     // a cell wider than the sheet starts at 0
      {1, 2, 4, 0},
  };
  for (const Case& c : cases) {
    OrvHandle s = OrvSpriteCreate(list, c.sheet_w, 10, 0);
    OrvSpriteSetOffsetRect(s, c.cell_w, 10);
    OrvSpriteRectSetPos(s, c.column, 0);
    OrvRect r{};
    OrvSpriteGetRect(s, &r);
    EXPECT_EQ(r.left, c.left) << c.sheet_w << "/" << c.cell_w << " column " << c.column;
    EXPECT_EQ(r.right, c.left + c.cell_w);
    OrvSpriteRelease(list, s);
  }
}

TEST_F(SpriteTest, HitTestsAndTheForegroundSprite) {
  OrvHandle a = solid(10, 10, 0xFFFFFFFFu, 5, 5, 10);
  OrvRect hole{2, 2, 3, 3};
  OrvSpritePaint(a, &hole, 0x00000000u);
  EXPECT_EQ(OrvSpriteHit(a, 5, 5, 1), 1);
  EXPECT_EQ(OrvSpriteHit(a, 7, 7, 1), 0);  // transparent pixel with alpha test
  EXPECT_EQ(OrvSpriteHit(a, 7, 7, 0), 1);
  EXPECT_EQ(OrvSpriteHit(a, 15, 5, 0), 0);
  OrvSpriteViewCtrl(a, 0);
  EXPECT_EQ(OrvSpriteHit(a, 5, 5, 0), 0);
  OrvSpriteViewCtrl(a, 1);

  OrvHandle b = solid(10, 10, 0xFFFFFFFFu, 5, 5, 10);  // same priority, nearer the tail
  solid(10, 10, 0xFFFFFFFFu, 50, 5, 1);
  EXPECT_EQ(OrvSpriteGetForeground(6, 6, 0), b);
  OrvHandle c = solid(10, 10, 0xFFFFFFFFu, 5, 5, 20);
  OrvSpriteSetPos(c, 5, 5, -15);  // the key says front, but priority decides
  EXPECT_EQ(OrvSpriteGetForeground(6, 6, 0), b);
  EXPECT_EQ(OrvSpriteGetForeground(200, 6, 0), 0u);
}

TEST_F(SpriteTest, ReleaseArrayReleasesFromTheLastEntryAndNullsThem) {
  OrvHandle a = OrvSpriteCreate(list, 4, 4, 0), b = OrvSpriteCreate(list, 4, 4, 0);
  int32_t used = image_pool_used();
  OrvHandle arr[3] = {a, 0, b};
  EXPECT_EQ(OrvSpriteReleaseArray(list, arr, 3), 0);
  EXPECT_EQ(arr[0], 0u);
  EXPECT_EQ(arr[2], 0u);
  EXPECT_EQ(image_pool_used(), used - 2);
  OrvHandle stale[1] = {a};
  EXPECT_EQ(OrvSpriteReleaseArray(list, stale, 1), 1);
}

TEST_F(SpriteTest, InfoRoundTripsAndKeepsItsNameTerminated) {
  OrvHandle s = OrvSpriteCreate(list, 30, 20, 7);
  OrvSpriteSetPos(s, 1.5f, 2.5f, 3.0f);
  OrvSpriteSetColor(s, 0x80112233u);
  OrvSpriteSetCenterOffset(s, 4, 5);
  OrvSpriteInfo info{};
  ASSERT_TRUE(OrvSpriteGetInfo(s, &info));
  EXPECT_EQ(info.center_x, -4);
  EXPECT_EQ(info.texture_width, 30);
  EXPECT_EQ(info.name[0], '\0');

  // The record survives its byte form unchanged.
  uint8_t bytes[kSpriteInfoBytes];
  sprite_info_to_bytes(info, bytes);
  EXPECT_EQ(bytes[4], 0x33);  // colour, little-endian
  EXPECT_EQ(bytes[7], 0x80);
  OrvSpriteInfo back;
  sprite_info_from_bytes(bytes, &back);
  EXPECT_EQ(std::memcmp(&back, &info, sizeof info), 0);

  // Set then get gives the same record; a changed priority does not move the node.
  info.priority = 99;
  std::memset(info.name, 'N', sizeof info.name);  // 260 characters, no terminator
  ASSERT_TRUE(OrvSpriteSetInfo(s, &info));
  EXPECT_EQ(render_node_from(sprite_from(s)->node)->key, 10);
  OrvSpriteInfo again;
  std::memset(&again, 0x55, sizeof again);
  ASSERT_TRUE(OrvSpriteGetInfo(s, &again));
  EXPECT_EQ(std::strlen(again.name), 259u);
  info.name[259] = '\0';
  EXPECT_EQ(std::memcmp(&again, &info, sizeof info), 0);
  EXPECT_EQ(OrvSpriteGetInfo(0xCCCCCCCCu, &again), 0);
}

TEST_F(SpriteTest, ThePoolRefusesThe257thImageUntilOneIsReleased) {
  std::vector<OrvHandle> sprites;
  for (int i = 0; i < 256; ++i) {
    sprites.push_back(OrvSpriteCreate(list, 1, 1, 0));
    ASSERT_NE(sprites.back(), 0u) << i;
  }
  int32_t allocs = OrvGetAllocCount();
  EXPECT_EQ(OrvSpriteCreate(list, 1, 1, 0), 0u);
  EXPECT_EQ(OrvGetAllocCount(), allocs);  // the failed creator freed what it took
  OrvSpriteRelease(list, sprites[100]);
  EXPECT_NE(OrvSpriteCreate(list, 1, 1, 0), 0u);
}

TEST_F(SpriteTest, PowerOfTwoStorageOnRequest) {
  image_store_set_pow2(true);
  OrvHandle s = OrvSpriteCreate(list, 100, 50, 0);
  image_store_set_pow2(false);
  int32_t w = 0, h = 0;
  uint32_t* px = OrvSpriteLock(s, &w, &h);
  ASSERT_NE(px, nullptr);
  EXPECT_EQ(w, 128);
  EXPECT_EQ(h, 64);
  px[1 * w + 0] = 0xFFFFFFFFu;  // rows are 128 pixels apart: this is image pixel (0, 1)
  OrvSpriteUnlock(s);
  OrvSpriteInfo info{};
  OrvSpriteGetInfo(s, &info);
  EXPECT_EQ(info.texture_width, 128);
  EXPECT_EQ(info.width, 100);
  OrvSpriteViewCtrl(s, 1);
  ASSERT_TRUE(render_frame_draw());
  EXPECT_NE(pixel(0, 1), 0xFF000000u);
  EXPECT_EQ(pixel(0, 0), 0xFF000000u);
  EXPECT_EQ(pixel(28, 0), 0xFF000000u);
}

TEST_F(SpriteTest, CopyScalesTheClippedSourceRectangle) {
  OrvHandle src = OrvSpriteCreate(list, 4, 2, 0);
  int32_t w = 0;
  uint32_t* px = OrvSpriteLock(src, &w, nullptr);
  for (int i = 0; i < 8; ++i) px[i] = 0xFF000000u | (i * 16);
  OrvSpriteUnlock(src);
  OrvRect from{2, 0, 4, 2}, to{0, 0, 2, 2};
  OrvHandle same = OrvSpriteCopy(list, src, &from, &to, 0);
  px = OrvSpriteLock(same, &w, nullptr);
  EXPECT_EQ(px[0], 0xFF000020u);
  EXPECT_EQ(px[3], 0xFF000070u);
  OrvSpriteUnlock(same);
  OrvRect wide{0, 0, 8, 2};
  OrvHandle big = OrvSpriteCopy(list, src, &from, &wide, 0);
  EXPECT_EQ(OrvSpriteGetWidth(big), 8);
  px = OrvSpriteLock(big, &w, nullptr);
  EXPECT_EQ(px[0], 0xFF000020u);
  EXPECT_EQ(px[2], 0xFF000028u);  // halfway between 0x20 and 0x30
  OrvSpriteUnlock(big);
  OrvRect outside{10, 10, 20, 20};
  EXPECT_EQ(OrvSpriteCopy(list, src, &outside, &to, 0), 0u);
}

std::map<std::string, std::string> g_files;

int32_t read_fake(const char* path, std::vector<uint8_t>* out, size_t limit) {
  auto it = g_files.find(path);
  if (std::string(path) == "huge") return -1;  // larger than the scratch buffer
  if (it == g_files.end()) return 0;
  if (it->second.size() > limit) return -1;
  out->assign(it->second.begin(), it->second.end());
  return 1;
}

// A test format: "RAW" w h x y cw ch (one byte each), then w x h grey bytes.
ImageObject* decode_fake(const char*, const uint8_t* data, size_t size, DecodedImageInfo* info) {
  if (size < 9 || std::memcmp(data, "RAW", 3) != 0) return nullptr;
  int32_t w = data[3], h = data[4];
  if (size < 9u + static_cast<size_t>(w * h)) return nullptr;
  std::vector<uint32_t> px(w * h);
  for (int i = 0; i < w * h; ++i) px[i] = 0xFF000000u | data[9 + i];
  info->has_header = data[5] != 0;
  info->x = data[5];
  info->y = data[6];
  info->cell_width = data[7];
  info->cell_height = data[8];
  return image_create_from_bgra(w, h, px.data(), w, "raw");
}

TEST_F(SpriteTest, LoadingFillsTheInfoCache) {
  orv_core().render.read_file = read_fake;
  orv_core().render.decode_image = decode_fake;
  g_files["data\\bg01.raw"] = std::string("RAW\x04\x02\x07\x09\x02\x02", 9) + std::string(8, 'a');
  g_files["#fill"] = std::string("RAW\x01\x01\0\0\0\0a", 10);

  OrvHandle s = OrvSpriteLoad(list, "data\\bg01.raw", 3);
  ASSERT_NE(s, 0u);
  OrvSpriteInfo info{};
  OrvSpriteGetInfo(s, &info);
  EXPECT_EQ(info.x, 7.0f);
  EXPECT_EQ(info.cell_width, 2);
  OrvRect r{};
  OrvSpriteGetRect(s, &r);
  EXPECT_EQ(r.right, 2);  // the first cell

  OrvHandle from_cache = OrvSpriteInfoCreateFromCache("DATA\\BG01.RAW", 0, 0, 5);
  ASSERT_NE(from_cache, 0u);
  OrvSpriteGetInfo(from_cache, &info);
  EXPECT_EQ(info.width, 4);
  EXPECT_EQ(info.y, 9.0f);
  EXPECT_STREQ(info.name, "DATA\\BG01.RAW");
  EXPECT_EQ(OrvSpriteLock(from_cache, nullptr, nullptr), nullptr);  // no image

  EXPECT_NE(OrvSpriteLoad(list, "#fill", 0), 0u);
  EXPECT_EQ(OrvSpriteInfoCreateFromCache("#fill", 0, 0, 0), 0u);
  EXPECT_EQ(OrvSpriteLoad(list, "missing", 0), 0u);
  EXPECT_EQ(OrvSpriteLoad(list, "huge", 0), 0u);
  EXPECT_EQ(OrvSpriteLoadMemory(list, "bad", "RAW\xff\xff", 5, 0), 0u);

  orv_core().render.read_file = nullptr;
  orv_core().render.decode_image = nullptr;
}

TEST_F(SpriteTest, AspectCorrectionMovesTowardsTheCropOnlyWhileCropped) {
  RenderState& st = orv_core().render;
  OrvHandle s = OrvSpriteCreate(list, 4, 4, 0);
  auto place = [&](float x, float y, int32_t mode) {
    OrvSpriteSetPos(s, x, y, 0);
    OrvSpriteConvertAspectPosition(s, mode);
    OrvSpriteInfo info{};
    OrvSpriteGetInfo(s, &info);
    return std::vector<float>{info.x, info.y};
  };
  EXPECT_EQ(place(10, 10, 1), (std::vector<float>{10, 10}));  // not cropped: unchanged
  // A 1280 x 720 game whose picture (1600 x 900) is cropped to a 1280 x 900 monitor:
  // ex = 0.8, ey = 1, so x moves 640 - 512 = 128 towards the centre.
  st.crop_active = true;
  st.game_w = 1280;
  st.game_h = 720;
  st.monitor_w = 1280;
  st.monitor_h = 900;
  st.picture_w = 1600;
  st.picture_h = 900;
  EXPECT_EQ(place(10, 10, 1), (std::vector<float>{138, 10}));
  EXPECT_EQ(place(1000, 10, 2), (std::vector<float>{872, 10}));
  EXPECT_EQ(place(1000, 10, 3), (std::vector<float>{1000, 10}));
  EXPECT_EQ(place(0, 10, 4), (std::vector<float>{128, 10}));
  EXPECT_EQ(place(10, 10, 0), (std::vector<float>{10, 10}));
  st.crop_active = false;
}

TEST_F(SpriteTest, TheTextTagReadsBackgroundAndSize) {
  struct Case {
    const char* text;
    uint32_t background;
    int32_t size;
    const char* rest;
  };
  const Case cases[] = {
      {"<bkcolor=FF000000,size=32>abc", 0xFF000000u, 32, "abc"},  // opaque black
      {"<size=32>", 0, 32, ""},                                   // nothing follows
      {"<>x", 0, 0, "x"},
      {"plain", 0, 0, "plain"},
      {"<bkcolor=80ff0000", 0x80FF0000u, 0, ""},  // unterminated tag: stops at the end
  };
  for (const Case& c : cases) {
    uint32_t bg = 0;
    int32_t size = 0;
    const char* rest = sprite_text_tag(c.text, &bg, &size);
    EXPECT_EQ(bg, c.background) << c.text;
    EXPECT_EQ(size, c.size) << c.text;
    EXPECT_STREQ(rest, c.rest);
  }
}

}  // namespace
}  // namespace rendertest
