// Pictures and text in sprites: loading by format (VKX through its base), header-only records,
// writing sprites as PNG and JPEG, text sprites.
#include "Orv/render/image/sprite_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "Orv/render/image/image_load.h"
#include "Orv/render/image_store.h"
#include "Orv/render/last_error.h"
#include "ge_writer/ge_writer.h"
#include "support/render_fixture.h"
#include "support/temp_dir.h"

namespace {

std::map<std::string, std::string> g_files;

int32_t g_whole_reads = 0;
size_t g_longest_head = 0;

int32_t read_files(const char* path, std::vector<uint8_t>* out, size_t) {
  ++g_whole_reads;
  auto it = g_files.find(path);
  if (it == g_files.end()) return 0;
  out->assign(it->second.begin(), it->second.end());
  return 1;
}

// The first `limit` bytes, as the file layer's head reader gives them.
int32_t read_heads(const char* path, std::vector<uint8_t>* out, size_t limit) {
  g_longest_head = std::max(g_longest_head, limit);
  auto it = g_files.find(path);
  if (it == g_files.end()) return 0;
  out->assign(it->second.begin(), it->second.begin() + std::min(limit, it->second.size()));
  return 1;
}

std::vector<uint32_t> gradient(int w, int h) {
  std::vector<uint32_t> p(static_cast<size_t>(w) * h);
  for (size_t i = 0; i < p.size(); ++i)
    p[i] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8);
  return p;
}

std::vector<uint32_t> sprite_pixels(OrvHandle s, int* w = nullptr, int* h = nullptr) {
  int32_t pitch = 0, rows = 0;
  const uint32_t* px = OrvSpriteLock(s, &pitch, &rows);
  std::vector<uint32_t> out(px, px + static_cast<size_t>(pitch) * rows);
  OrvSpriteUnlock(s);
  if (w) *w = pitch;
  if (h) *h = rows;
  return out;
}

class SpritePictures : public rendertest::RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    orv_core().render.read_file = read_files;
    orv_core().render.read_file_head = read_heads;
    orv_core().render.decode_image = decode_image_object;
    g_files.clear();
    gewriter::GeOptions o;
    o.type = 3;
    o.x = 12;
    o.y = -4;
    o.cell_width = 3;
    o.cell_height = 2;
    o.filters = {1, 2};
    g_files["BASE.GE"] = gewriter::ge_write(6, 4, gradient(6, 4), o);
  }
  void TearDown() override {
    orv_core().render.read_file = game_file_read;
    orv_core().render.read_file_head = game_file_read_head;
    RenderTest::TearDown();
  }
};

TEST_F(SpritePictures, LoadsGeAndVkxThroughTheSpriteLoader) {
  const OrvHandle ge = OrvSpriteLoad(list, "BASE.GE", 1);
  ASSERT_NE(ge, 0u);
  OrvSpriteInfo info{};
  ASSERT_TRUE(OrvSpriteGetInfo(ge, &info));
  EXPECT_EQ(info.x, 12.0f);
  EXPECT_EQ(info.y, -4.0f);
  EXPECT_EQ(info.width, 6);
  EXPECT_EQ(info.cell_width, 3);
  EXPECT_EQ(sprite_pixels(ge), gradient(6, 4));

  gewriter::VkxOptions v;
  v.x = 4;
  v.y = 3;
  v.bits = 24;
  v.base_name = "BASE.GE";
  g_files["DIFF.VKX"] = gewriter::vkx_write(5, 5, std::vector<uint32_t>(25, 0xAA0000FFu), v);
  const OrvHandle diff = OrvSpriteLoad(list, "DIFF.VKX", 1);
  ASSERT_NE(diff, 0u);
  std::vector<uint32_t> want = gradient(6, 4);
  want[3 * 6 + 4] ^= 0xFF;  // the rectangle is clipped to the base; alpha stays
  want[3 * 6 + 5] ^= 0xFF;
  EXPECT_EQ(sprite_pixels(diff), want);

  // A missing base, and a corrupt difference (its base sprite does not stay behind).
  v.base_name = "NONE.GE";
  g_files["LOST.VKX"] = gewriter::vkx_write(1, 1, {1}, v);
  EXPECT_EQ(OrvSpriteLoad(list, "LOST.VKX", 1), 0u);
  g_files["CUT.VKX"] = g_files["DIFF.VKX"].substr(0, 60);
  const uint32_t images = image_pool_used();
  EXPECT_EQ(OrvSpriteLoad(list, "CUT.VKX", 1), 0u);
  EXPECT_EQ(image_pool_used(), images);
}

TEST_F(SpritePictures, InfoRecordsFromHeaders) {
  gewriter::VkxOptions v;
  v.base_name = "BASE.GE";
  g_files["DIFF.VKX"] = gewriter::vkx_write(1, 1, {1}, v);
  g_files["SHORT.JPG"] = std::string("\xFF\xD8\xFF\xE0\x00\x10", 6) + std::string(3000, '\0');
  // A large picture: only its first bytes are read for the record.
  g_files["BIG.GE"] = g_files["BASE.GE"] + std::string(1 << 20, '\0');
  g_whole_reads = 0;
  g_longest_head = 0;
  for (const char* path : {"BASE.GE", "DIFF.VKX", "BIG.GE"}) {
    const OrvHandle s = OrvSpriteInfoCreate(path, 0, 0, 7);
    ASSERT_NE(s, 0u) << path;
    OrvSpriteInfo info{};
    ASSERT_TRUE(OrvSpriteGetInfo(s, &info));
    EXPECT_EQ(info.x, 12.0f) << path;
    EXPECT_EQ(info.width, 6) << path;
    EXPECT_EQ(info.cell_height, 2) << path;
    EXPECT_STREQ(info.name, path);
    EXPECT_EQ(OrvSpriteLock(s, nullptr, nullptr), nullptr);
    EXPECT_NE(OrvSpriteInfoCreateFromCache(path, 0, 0, 0), 0u) << path;
  }
  EXPECT_EQ(OrvSpriteInfoCreate("SHORT.JPG", 0, 0, 0), 0u);
  EXPECT_EQ(OrvSpriteInfoCreate("MISSING.PNG", 0, 0, 0), 0u);
  EXPECT_EQ(g_whole_reads, 0);
  EXPECT_LE(g_longest_head, 2052u);
  const OrvHandle blank = OrvSpriteInfoCreate(nullptr, 30, 20, 0);
  OrvSpriteInfo info{};
  ASSERT_TRUE(OrvSpriteGetInfo(blank, &info));
  EXPECT_EQ(info.width * 100 + info.height, 3020);
  EXPECT_EQ(info.cell_width * 100 + info.cell_height, 3020);
}

TEST_F(SpritePictures, WritesSpritesAndReadsThemBack) {
  testsupport::TempDir dir;
  const OrvHandle s = OrvSpriteLoad(list, "BASE.GE", 1);
  ASSERT_NE(s, 0u);
  const std::string png = dir / "s.png", png24 = dir / "s24.png", jpg = dir / "s.jpg";
  EXPECT_EQ(OrvSpriteSaveTextureToPngFile(s, png.c_str()), 1);
  EXPECT_EQ(OrvSpriteSaveTextureToPng24File(s, png24.c_str()), 1);
  EXPECT_EQ(OrvSpriteSaveTextureToFile(s, jpg.c_str()), 1);
  for (const std::string& f : {png, png24, jpg}) {
    const std::string bytes = testsupport::read_file(f);
    ImageBuffer img;
    std::string error;
    ASSERT_TRUE(image_decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                             BmpTgaMode::kFollowHeaders, &img, &error))
        << f << ": " << error;
    EXPECT_EQ(img.width * 10 + img.height, 64) << f;
    if (f != jpg) {
      EXPECT_EQ(img.to_vector(), gradient(6, 4)) << f;
    }
  }
  // The picture replaces the sprite's image.
  const OrvHandle other = OrvSpriteCreate(list, 2, 2, 0);
  ASSERT_EQ(OrvSpriteLoadTextureToFile(other, png.c_str()), 1);
  int w = 0, h = 0;
  EXPECT_EQ(sprite_pixels(other, &w, &h), gradient(6, 4));
  EXPECT_EQ(OrvSpriteLoadTextureToFile(other, (dir / "none.png").c_str()), 0);

  orv_set_last_error(0);
  EXPECT_EQ(OrvSpriteSaveTextureToPngFile(0, png.c_str()), 0);
  EXPECT_EQ(orv_last_error(), kErrorInvalidHandle);
  EXPECT_EQ(OrvSpriteSaveTextureToPngFile(s, (dir / "no/such/dir.png").c_str()), 0);
}

TEST_F(SpritePictures, ReadsGameFilesThroughTheFileLayer) {
  testsupport::TempDir dir;
  testsupport::write_file(dir / "pic.ge", g_files["BASE.GE"]);
  orv_core().render.read_file = game_file_read;
  const OrvHandle s = OrvSpriteLoad(list, (dir / "pic.ge").c_str(), 0);
  ASSERT_NE(s, 0u);
  EXPECT_EQ(sprite_pixels(s), gradient(6, 4));
  std::vector<uint8_t> bytes;
  EXPECT_EQ(game_file_read((dir / "pic.ge").c_str(), &bytes, 10), -1);
  EXPECT_TRUE(bytes.empty());
  EXPECT_EQ(game_file_read((dir / "none.ge").c_str(), &bytes, 1000), 0);
  // The head reader: the first bytes of a long file, all of a short one.
  EXPECT_EQ(game_file_read_head((dir / "pic.ge").c_str(), &bytes, 10), 1);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), g_files["BASE.GE"].substr(0, 10));
  EXPECT_EQ(game_file_read_head((dir / "pic.ge").c_str(), &bytes, 1 << 20), 1);
  EXPECT_EQ(bytes.size(), g_files["BASE.GE"].size());
  EXPECT_EQ(game_file_read_head((dir / "none.ge").c_str(), &bytes, 10), 0);
}

// A bitmap font whose every printable character is a 2x2 full square, advance 4, key 8.
std::string square_font() {
  auto put32 = [](std::string& s, uint32_t v) {
    for (int k = 0; k < 4; ++k) s += static_cast<char>(v >> (8 * k));
  };
  std::string table, records;
  for (int c = 0; c < 256; ++c) put32(table, c > 0x20 && c < 0x7F ? 1024 : 0);
  for (uint32_t v : {2u, 2u, 0u, 6u}) put32(records, v);
  records += std::string("\x04\0\0\0\x08\0\0\0", 8);
  records += std::string("\x40\x40\0\0\x40\x40\0\0", 8);
  std::string metrics;
  put32(metrics, 8);
  put32(metrics, 6);
  metrics.resize(56, '\0');
  return table + records + metrics;
}

TEST_F(SpritePictures, TextSprites) {
  // Fonts are read through the game's file layer like pictures.
  g_files["SQ.FNT"] = square_font();
  ASSERT_EQ(OrvFontLoad("SQ.FNT"), 1);
  ASSERT_EQ(OrvFontSetType(4), 1);
  OrvFontSetFontSize(8);
  OrvFontSetEffect(0);
  OrvFontSetColor(0x00FF00, 0);

  // "<size=16 bkcolor=FF000080>AB": measured at size 16 (the 8 font doubled), on a background.
  const OrvHandle s = OrvSpriteCreateText(list, "<size=16 bkcolor=FF000080>AB", 3, 0x80FFFFFF);
  ASSERT_NE(s, 0u);
  EXPECT_EQ(OrvFontGetFontSize(), 8);  // restored
  OrvSpriteInfo info{};
  ASSERT_TRUE(OrvSpriteGetInfo(s, &info));
  EXPECT_EQ(info.width, 8 + 8 + 3);
  EXPECT_EQ(info.height, 16 + 2);
  EXPECT_EQ(info.color, 0x80FFFFFFu);
  int w = 0;
  std::vector<uint32_t> px = sprite_pixels(s, &w);
  EXPECT_EQ(px[0], 0xFF000080u);  // background
  // A's square doubled to 4x4; its origin x of 0 scales to 1, so it starts at (2, 1).
  EXPECT_EQ(px[1 * w + 1], 0xFF000080u);
  EXPECT_EQ(px[1 * w + 2], 0xFF00FF00u);
  EXPECT_EQ(px[2 * w + 3], 0xFF00FF00u);
  EXPECT_EQ(px[6 * w + 2], 0xFF000080u);

  // Drawn over an existing sprite at (x, y), keeping what is there.
  const OrvHandle pad = OrvSpriteCreate(list, 10, 10, 0);
  OrvSpritePaint(pad, nullptr, 0xFF112233);
  ASSERT_EQ(OrvSpriteCreateTextEx(pad, "<>C", 3, 2, 0xFFFFFFFF), 1);
  px = sprite_pixels(pad, &w);
  EXPECT_EQ(px[3 * w + 4], 0xFF00FF00u);
  EXPECT_EQ(px[4 * w + 5], 0xFF00FF00u);
  EXPECT_EQ(px[3 * w + 3], 0xFF112233u);

  // Nothing after the tag, a dead sprite, a null list.
  EXPECT_EQ(OrvSpriteCreateText(list, "<size=20>", 0, 0), 0u);
  EXPECT_EQ(OrvFontGetFontSize(), 8);
  EXPECT_EQ(OrvSpriteCreateTextEx(0, "A", 0, 0, 0), 0);
  EXPECT_EQ(OrvSpriteCreateText(0, "A", 0, 0), 0u);
  OrvFontUnload();
  OrvFontSetType(0);
  OrvFontSetFontSize(24);
}

}  // namespace
