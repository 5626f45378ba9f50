// Text drawing with a generated bitmap font (exact pixels) and with the installed Japanese
// faces (metrics only).
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "Orv/render/font/bitmap_font.h"
#include "Orv/render/font/extra_font.h"
#include "Orv/render/font/font_session.h"
#include "Orv/render/font/glyph_table.h"
#include "orv/orv.h"
#include "platform/font_face.h"
#include "support/temp_dir.h"

namespace {

void put16(std::string& s, uint32_t v) {
  s += static_cast<char>(v & 255);
  s += static_cast<char>(v >> 8 & 255);
}
void put32(std::string& s, uint32_t v) {
  put16(s, v & 0xFFFF);
  put16(s, v >> 16);
}

struct TestGlyph {
  int32_t w, h, ox, oy, advance;
  std::vector<uint8_t> rows;  // w * h coverage bytes, unpadded
};

// A bitmap font made for `key` pixels with ascent `ascent`. Every printable ASCII character is
// a 1x1 full pixel at the top-left of the cell (advance 3) unless `glyphs` says otherwise.
std::string bitmap_font(int32_t key, int32_t ascent, std::map<uint16_t, TestGlyph> glyphs) {
  for (uint16_t c = 0x21; c < 0x7F; ++c)
    if (!glyphs.count(c)) glyphs[c] = {1, 1, 0, ascent, 3, {64}};
  const size_t entries = 700;
  std::string table, records;
  std::vector<uint32_t> offsets(entries, 0);
  for (auto& [code, g] : glyphs) {
    const size_t index = code < 0x100 ? code : 255u * ((code >> 8) - 128u) + (code & 0xFF);
    offsets[index] = static_cast<uint32_t>(entries * 4 + records.size());
    const int32_t pitch = (g.w + 3) & ~3;
    put32(records, g.w);
    put32(records, g.h);
    put32(records, g.ox);
    put32(records, g.oy);
    put16(records, g.advance);
    put16(records, 0);
    put32(records, static_cast<uint32_t>(pitch * g.h));
    for (int32_t y = 0; y < g.h; ++y) {
      std::string row(pitch, '\0');
      for (int32_t x = 0; x < g.w; ++x) row[x] = static_cast<char>(g.rows[y * g.w + x]);
      records += row;
    }
  }
  for (uint32_t o : offsets) put32(table, o);
  std::string metrics;
  put32(metrics, key);
  put32(metrics, ascent);
  put32(metrics, key - ascent);
  metrics.resize(56, '\0');
  return table + records + metrics;
}

// An extra-font strip of `count` cells of side `cell`; cell N is filled with 4 * N + 3 (so
// its coverage (v + 1) >> 2 is N + 1).
std::string extra_font(int cell, int count) {
  std::string f(18, '\0');
  f[12] = static_cast<char>(cell * count);
  f[14] = static_cast<char>(cell);
  for (int r = 0; r < cell; ++r)
    for (int x = 0; x < cell * count; ++x) f += static_cast<char>(4 * (x / cell) + 3);
  return f + std::string(26, '\0');
}

class FontTest : public ::testing::Test {
 protected:
  void SetUp() override { reset(); }
  void TearDown() override { reset(); }
  void reset() {
    OrvFontEnd();
    OrvFontUnload();
    OrvExFontUnload();
    OrvFontSetType(0);
    OrvFontSetFontSize(24);
    OrvFontSetEffect(0);
    OrvFontSetColor(0xFFFFFF, 0);
  }
  // Loads a font written to the temporary folder and selects it.
  void use_font(const std::string& name, const std::string& bytes, int size) {
    testsupport::write_file(dir / name, bytes);
    ASSERT_EQ(OrvFontLoad((dir / name).c_str()), 1);
    ASSERT_EQ(OrvFontSetType(4), 1);
    OrvFontSetFontSize(size);
  }
  std::pair<int, int> measure(const char* text) {
    int32_t out[2] = {-1, -1};
    EXPECT_EQ(OrvFontGetSize(text, out), 1);
    return {out[0], out[1]};
  }
  testsupport::TempDir dir;
};

TEST_F(FontTest, GlyphPixelsAndBlend) {
  // 'A': 2x2 box, origin (1, 6) with ascent 6: its top-left lands at (pen + 1, top) plus the
  // effect step of 1.
  use_font("f.fnt", bitmap_font(8, 6, {{'A', {2, 2, 1, 6, 4, {64, 32, 0, 64}}}}), 8);
  OrvFontSetColor(0x112233, 0);
  std::vector<uint32_t> px(8 * 6, 0);
  px[1 * 8 + 3] = 0x80FFFFFF;  // under the half-covered pixel: blended
  ASSERT_EQ(OrvFontDrawText(px.data(), "A", 0, 0, 8, 6), 1);
  EXPECT_EQ(px[1 * 8 + 2], 0xFF112233u);
  const uint32_t a = 127;
  const uint32_t blended =
      ((a * 255 + 0x80 * (255 - a)) >> 8) << 24 | ((0xFF * (255 - a) + 0x11 * a) >> 8) << 16 |
      ((0xFF * (255 - a) + 0x22 * a) >> 8) << 8 | ((0xFF * (255 - a) + 0x33 * a) >> 8);
  EXPECT_EQ(px[1 * 8 + 3], blended);
  EXPECT_EQ(px[2 * 8 + 2], 0u);
  EXPECT_EQ(px[2 * 8 + 3], 0xFF112233u);
  // Clipping: drawn partly outside the buffer, nothing is written out of it.
  std::vector<uint32_t> small(2 * 2 + 2, 0xABABABAB);
  ASSERT_EQ(OrvFontDrawText(small.data(), "A", 0, 0, 2, 2), 1);
  EXPECT_EQ(small[4], 0xABABABABu);
  EXPECT_EQ(small[5], 0xABABABABu);
}

TEST_F(FontTest, Effects) {
  // One full pixel at the cell's top-left: glyph pixel at (x, y) = (0, 0) before the offsets.
  use_font("f.fnt", bitmap_font(8, 6, {}), 8);
  OrvFontSetColor(0x0000FF, 0x00FF00);
  const uint32_t text = 0xFF0000FF, fx = 0xFF00FF00;
  struct Case {
    int effect;
    std::map<std::pair<int, int>, uint32_t> expect;  // every nonzero pixel
  };
  const Case cases[] = {
      {0, {{{1, 1}, text}}},
      {1, {{{0, 1}, fx}, {{2, 1}, fx}, {{1, 0}, fx}, {{1, 2}, fx}, {{1, 1}, text}}},
      {2, {{{2, 2}, fx}, {{1, 1}, text}}},
      {3,
       {{{2, 0}, fx},
        {{2, 4}, fx},
        {{0, 2}, fx},
        {{4, 2}, fx},
        {{2, 1}, fx},
        {{2, 3}, fx},
        {{1, 2}, fx},
        {{3, 2}, fx},
        {{1, 1}, fx},
        {{3, 1}, fx},
        {{1, 3}, fx},
        {{3, 3}, fx},
        {{2, 2}, text}}},
      {5, {}},
  };
  for (const Case& c : cases) {
    OrvFontSetEffect(c.effect);
    std::vector<uint32_t> px(6 * 6, 0);
    ASSERT_EQ(OrvFontDrawText(px.data(), "x", 0, 0, 6, 6), 1);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 6; ++x) {
        const auto it = c.expect.find({x, y});
        EXPECT_EQ(px[y * 6 + x], it == c.expect.end() ? 0u : it->second)
            << "effect " << c.effect << " at " << x << "," << y;
      }
  }
  EXPECT_EQ(OrvDrawTextStepX(0), 1);
  EXPECT_EQ(OrvDrawTextStepX(2), 1);
  EXPECT_EQ(OrvDrawTextStepX(3), 2);
  EXPECT_EQ(OrvDrawTextStepX(7), 0);
}

TEST_F(FontTest, WalkAndMeasure) {
  use_font("f.fnt", bitmap_font(8, 6, {}), 8);
  testsupport::write_file(dir / "ex.tga", extra_font(4, 3));
  const int h = 8;
  const struct {
    const char* text;
    bool extra_loaded;
    int w, h;
  } cases[] = {
      {"", false, 3, h + 2},
      {"AB", false, 6 + 3, h + 2},
      {"A<br>AB", false, 6 + 3, 2 * h + 2},
      {"A<BR>AB", false, 6 + 3, 2 * h + 2},
      {"A\nB", false, 3 + 3, 2 * h + 2},
      {"A\r\nB", false, 3 + 3, 3 * h + 2},
      {"A<Br>B", false, 6 + 3, h + 2},
      {"A<color=1>B", false, 6 + 3, h + 2},
      {"\\<br>", false, 12 + 3, h + 2},  // the escaped tag prints as its four characters
      {" ", false, h / 2 + 3, h + 2},
      {"\x81\x40", false, h + 3, h + 2},  // ideographic space
      {"%1", true, 8 + 2 + 3, h + 2},     // trunc(8 / 4 * 4) + 2
      {"%1", false, 6 + 3, h + 2},        // no extra font: ordinary characters
      {"A<unclosed", false, 3 + 3, h + 2},
  };
  for (const auto& c : cases) {
    if (c.extra_loaded)
      ASSERT_EQ(OrvExFontLoad((dir / "ex.tga").c_str()), 1);
    else
      OrvExFontUnload();
    EXPECT_EQ(measure(c.text), std::make_pair(c.w, c.h)) << c.text;
  }
}

TEST_F(FontTest, LineBreaksAndLastGlyphRecord) {
  use_font("f.fnt", bitmap_font(8, 6, {}), 8);
  std::vector<uint32_t> px(40 * 30, 0);
  ASSERT_EQ(OrvFontDrawText(px.data(), "AB<br>C", 10, 5, 40, 30), 1);
  // Glyph pixels at pen + 1, top + 1: A at (11, 6), B at (14, 6), C at (11, 14).
  std::set<std::pair<int, int>> lit;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x)
      if (px[y * 40 + x]) lit.insert({x, y});
  EXPECT_EQ(lit, (std::set<std::pair<int, int>>{{11, 6}, {14, 6}, {11, 14}}));
  int32_t rect[5];
  EXPECT_EQ(OrvFontHasDrawTextRect(), 1);
  // The last glyph is C: advance 3 is not above height / 2 + 1, so the width is the advance.
  EXPECT_EQ(OrvFontGetDrawTextRect(rect), 1);
  EXPECT_EQ(std::vector<int32_t>(rect, rect + 5), (std::vector<int32_t>{11, 13, 14, 21, 1}));

  ASSERT_EQ(OrvFontDrawText(px.data(), "A\x81\x40", 0, 0, 40, 30), 1);
  EXPECT_EQ(OrvFontGetDrawTextRect(rect), 8);  // ideographic space: the height
  EXPECT_EQ(std::vector<int32_t>(rect, rect + 4), (std::vector<int32_t>{4, 0, 12, 8}));
  ASSERT_EQ(OrvFontDrawText(px.data(), "", 0, 0, 40, 30), 1);
  EXPECT_EQ(OrvFontHasDrawTextRect(), 0);
}

TEST_F(FontTest, ExtraGlyphs) {
  use_font("f.fnt", bitmap_font(8, 6, {}), 4);  // size 4 = the cell: no scaling
  testsupport::write_file(dir / "ex.tga", extra_font(4, 3));
  ASSERT_EQ(OrvExFontLoad((dir / "ex.tga").c_str()), 1);
  OrvFontSetColor(0xFFFFFF, 0);
  std::vector<uint32_t> px(20 * 8, 0);
  ASSERT_EQ(OrvFontDrawText(px.data(), "%2%9", 0, 0, 20, 8), 1);
  // Glyph 2: coverage 3, alpha 11, at (pen + 1, top + 1). Glyph 9 does not exist: a solid
  // square (coverage 64) after the first glyph's advance of the height.
  const int height = 4;  // the 8-pixel bitmap font's height at size 4
  EXPECT_EQ(px[1 * 20 + 1], 0x0BFFFFFFu);
  EXPECT_EQ(px[4 * 20 + 4], 0x0BFFFFFFu);
  EXPECT_EQ(px[1 * 20 + 1 + height], 0xFFFFFFFFu);
  EXPECT_EQ(px[1 * 20 + 1 + height - 1], 0x0BFFFFFFu);
  // A strip with a cell of 0 is refused.
  std::string zero = extra_font(4, 3);
  zero[14] = 0;
  testsupport::write_file(dir / "zero.tga", zero);
  EXPECT_EQ(OrvExFontLoad((dir / "zero.tga").c_str()), 0);
  EXPECT_EQ(OrvExFontLoad((dir / "missing.tga").c_str()), 0);
}

TEST_F(FontTest, BitmapFontChoiceAndScaling) {
  // The type stays until a bitmap font exists.
  EXPECT_EQ(OrvFontSetType(4), 0);
  EXPECT_EQ(OrvFontGetType(), 0);
  std::vector<BitmapFont> fonts(3);
  fonts[0].size_key = 32;
  fonts[1].size_key = 16;
  fonts[2].size_key = 16;
  const std::pair<int, int> picks[] = {{16, 1}, {32, 0}, {24, 0}, {12, 1}, {40, 0}};
  for (auto [size, index] : picks) EXPECT_EQ(bitmap_font_pick(fonts, size), index) << size;

  // Size 24 from the 32 font: scale 0.75; metrics and glyphs follow.
  use_font("f32.fnt", bitmap_font(32, 24, {{'W', {8, 4, 0, 24, 8, std::vector<uint8_t>(32, 64)}}}),
           24);
  testsupport::write_file(dir / "f16.fnt", bitmap_font(16, 12, {}));
  ASSERT_EQ(OrvFontLoad((dir / "f16.fnt").c_str()), 1);
  EXPECT_EQ(measure(""), std::make_pair(3, 24 + 2));
  EXPECT_EQ(measure("W"), std::make_pair(6 + 3, 24 + 2));
  OrvFontSetFontSize(12);  // the 16 font at 0.75
  EXPECT_EQ(measure(""), std::make_pair(3, 12 + 2));

  Glyph g;
  BitmapFont f;
  const std::string bytes =
      bitmap_font(32, 24, {{'W', {8, 4, 0, 24, 8, std::vector<uint8_t>(32, 64)}}});
  f.data.assign(bytes.begin(), bytes.end());
  ASSERT_TRUE(bitmap_font_glyph(f, 'W', 0.25f, &g));
  EXPECT_EQ(g.box_width, 2);
  EXPECT_EQ(g.box_height, 1);
  EXPECT_EQ(g.origin_x, 1);  // 0 becomes 1
  EXPECT_EQ(g.origin_y, 6);
  EXPECT_EQ(g.advance_x, 2);
  EXPECT_EQ(g.bits.size(), 4u);
}

TEST_F(FontTest, CorruptBitmapFontsAreBounded) {
  const std::string good = bitmap_font(8, 6, {{'A', {2, 2, 0, 6, 3, {64, 64, 64, 64}}}});
  auto patch = [&](size_t at, uint32_t v) {
    std::string f = good;
    for (int k = 0; k < 4; ++k) f[at + k] = static_cast<char>(v >> (8 * k));
    return f;
  };
  const uint32_t record =
      static_cast<uint8_t>(good['A' * 4]) | static_cast<uint8_t>(good['A' * 4 + 1]) << 8;
  const struct {
    const char* name;
    std::string file;
  } cases[] = {
      {"offset beyond the file", patch('A' * 4, 0x7FFFFFF0)},
      {"negative offset", patch('A' * 4, 0xFFFFFFF0)},
      {"byte count beyond the file", patch(record + 20, 0x7FFFFFFF)},
      {"byte count below the rows", patch(record + 20, 4)},
      {"height 0", patch(record + 4, 0)},
      {"negative width", patch(record, 0xFFFFFFFE)},
  };
  for (const auto& c : cases)
    for (float scale : {1.0f, 0.5f}) {
      BitmapFont f;
      f.data.assign(c.file.begin(), c.file.end());
      Glyph g;
      EXPECT_FALSE(bitmap_font_glyph(f, 'A', scale, &g)) << c.name << " at " << scale;
      EXPECT_TRUE(g.bits.empty()) << c.name;
    }
  // A two-byte code whose table entry lies past the end of a short table.
  BitmapFont f;
  f.data.assign(good.begin(), good.end());
  Glyph g;
  EXPECT_FALSE(bitmap_font_glyph(f, 0xFCFC, 1.0f, &g));
  // A file too short for its metrics block is refused at load.
  testsupport::write_file(dir / "short.fnt", std::string(40, '\0'));
  EXPECT_EQ(OrvFontLoad((dir / "short.fnt").c_str()), 0);
  EXPECT_EQ(OrvFontLoad((dir / "missing.fnt").c_str()), 0);
  // Drawing a glyph of height 0 draws nothing and does not record it.
  use_font("h0.fnt", patch(record + 4, 0), 8);
  std::vector<uint32_t> px(8 * 8, 0);
  ASSERT_EQ(OrvFontDrawText(px.data(), "A", 0, 0, 8, 8), 1);
  EXPECT_EQ(px, std::vector<uint32_t>(64, 0u));
  EXPECT_EQ(OrvFontHasDrawTextRect(), 0);
}

TEST_F(FontTest, SystemFaceMetrics) {
  const struct {
    int type;
    const char* text;
    int advance;  // -1: proportional, only positive
  } cases[] = {
      {0, "A", 12}, {0, "\x82\xa0", 24},  // "あ"
      {1, "A", 12}, {1, "\x82\xa0", 24}, {2, "A", -1}, {3, "\x82\xa0", -1},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(OrvFontSetType(c.type), 1);
    OrvFontSetFontSize(24);
    const auto [w, h] = measure(c.text);
    EXPECT_EQ(h, 26) << c.type;
    if (c.advance >= 0) {
      EXPECT_EQ(w, c.advance + 3) << c.type << " " << c.text;
    } else {
      EXPECT_GT(w, 3 + 4) << c.type;
      EXPECT_LE(w, 3 + 30) << c.type;
    }
  }
  // A line: two half-width and one full-width character, then a second line.
  ASSERT_EQ(OrvFontSetType(0), 1);
  OrvFontSetFontSize(32);
  EXPECT_EQ(measure("AB\x82\xa0<br>A"), std::make_pair(16 + 16 + 32 + 3, 64 + 2));
  // Drawing puts coverage inside the cell.
  std::vector<uint32_t> px(40 * 40, 0);
  ASSERT_EQ(OrvFontDrawText(px.data(), "\x82\xa0", 0, 0, 40, 40), 1);
  int lit = 0;
  for (uint32_t v : px) lit += v != 0;
  EXPECT_GT(lit, 20);
  EXPECT_EQ(OrvFontHasDrawTextRect(), 1);
}

// Sizes share one open file: a glyph comes out the same whether its face was opened alone or
// beside other sizes of the same file, used in turns.
TEST(FaceFile, SizesOnOneFileDrawAsFacesOpenedAlone) {
  using platform::FaceKind;
  using platform::FontFace;
  std::string file;
  int index = 0;
  if (!platform::find_face_file(FaceKind::kGothic, &file, &index)) GTEST_SKIP() << "no face";
  auto shared = platform::FaceFile::open(file, index, nullptr);
  ASSERT_TRUE(shared);
  std::unique_ptr<FontFace> on_shared[2] = {
      FontFace::open(FaceKind::kGothic, shared, 24, false, nullptr),
      FontFace::open(FaceKind::kGothic, shared, 28, true, nullptr)};
  std::unique_ptr<FontFace> alone[2] = {
      FontFace::open(FaceKind::kGothic, file, index, 24, false, nullptr),
      FontFace::open(FaceKind::kGothic, file, index, 28, true, nullptr)};
  for (int i = 0; i < 2; ++i) ASSERT_TRUE(on_shared[i] && alone[i]) << i;
  for (int round = 0; round < 2; ++round) {
    for (uint16_t code : {uint16_t{0x82A0}, uint16_t{'A'}, uint16_t{0x88A4}}) {
      for (int i = 0; i < 2; ++i) {
        platform::GlyphImage a, b;
        ASSERT_TRUE(on_shared[i]->glyph(code, &a));
        ASSERT_TRUE(alone[i]->glyph(code, &b));
        EXPECT_EQ(a.bits, b.bits) << code << " " << i;
        EXPECT_EQ(std::make_tuple(a.box_width, a.box_height, a.origin_x, a.origin_y, a.advance_x),
                  std::make_tuple(b.box_width, b.box_height, b.origin_x, b.origin_y, b.advance_x))
            << code << " " << i;
        EXPECT_FALSE(a.bits.empty()) << code;
      }
    }
  }
  EXPECT_EQ(on_shared[1]->metrics().ascent, alone[1]->metrics().ascent);
}

// The kept glyphs are the face's own: across changes of size and weight, fetched again and
// after the table was emptied, each equals the glyph a face opened alone renders, and within
// one begin a glyph is rendered once (the same kept glyph comes back).
TEST(GlyphCache, KeptGlyphsEqualFreshOnesAcrossSizes) {
  using platform::FaceKind;
  std::string file;
  int index = 0;
  if (!platform::find_face_file(FaceKind::kGothic, &file, &index)) GTEST_SKIP() << "no face";
  FontState s;
  const uint16_t codes[] = {0x82A0, 'A', 0x88A4, 0x82A0, 'g'};
  const struct {
    uint16_t type, size;
  } begins[] = {{0, 24}, {0, 28}, {0, 24}, {1, 24}, {0, 28}, {1, 24}};
  for (int round = 0; round < 2; ++round) {
    for (const auto& b : begins) {
      s.type = b.type;
      s.size = b.size;
      font_begin(s);
      ASSERT_NE(s.current, nullptr);
      std::string kind_file;
      int kind_index = 0;
      ASSERT_TRUE(platform::find_face_file(static_cast<FaceKind>(b.type), &kind_file, &kind_index));
      auto alone = platform::FontFace::open(static_cast<FaceKind>(b.type), kind_file, kind_index,
                                            b.size, b.type == 1, nullptr);
      ASSERT_TRUE(alone);
      for (uint16_t code : codes) {
        const Glyph& kept = font_glyph(s, code);
        platform::GlyphImage fresh;
        ASSERT_TRUE(alone->glyph(code, &fresh));
        EXPECT_EQ(kept.bits, fresh.bits) << code << " at " << b.size << " type " << b.type;
        EXPECT_EQ(std::make_tuple(kept.box_width, kept.box_height, kept.origin_x, kept.origin_y,
                                  kept.advance_x),
                  std::make_tuple(fresh.box_width, fresh.box_height, fresh.origin_x, fresh.origin_y,
                                  fresh.advance_x))
            << code;
        EXPECT_EQ(&font_glyph(s, code), &kept) << "rendered again: " << code;
      }
      font_end(s);
    }
    // Emptied tables render again, the same.
    for (auto& k : s.faces) k->glyphs.clear();
    s.glyphs_kept = 0;
  }
  EXPECT_EQ(s.faces.size(), 3u);  // one face per type and size
}

// Every begin lands on the face of its own type and size: sizes found by one indexed load,
// a size past that index found in the kept list, and sizes begun again after the kept faces
// were let go (too many sizes, or forgotten), when no stale face may be found.
TEST(GlyphCache, BeginFindsTheFaceOfItsTypeAndSizeAfterFacesAreLetGo) {
  std::string file;
  int index = 0;
  if (!platform::find_face_file(platform::FaceKind::kGothic, &file, &index))
    GTEST_SKIP() << "no face";
  FontState s;
  auto begin_at = [&](uint16_t type, uint16_t size) {
    s.type = type;
    s.size = size;
    font_begin(s);
    ASSERT_NE(s.current, nullptr) << size;
    EXPECT_EQ(s.current->key, static_cast<uint32_t>(type) << 16 | size);
    EXPECT_EQ(font_metrics(s).height, size);
    EXPECT_GT(font_glyph(s, 0x82A0).advance_x, 0) << size;
    font_end(s);
  };
  for (int round = 0; round < 2; ++round) {
    for (uint16_t size = 8; size < 48; ++size) begin_at(size & 1, size);  // past the face limit
    for (uint16_t size = 8; size < 48; size += 7) begin_at(size & 1, size);
    begin_at(0, 300);  // beyond the index
    begin_at(2, 300);
    begin_at(0, 300);
    font_forget_faces(s);
    EXPECT_EQ(s.current, nullptr);
  }
}

TEST(GlyphCache, TableFindsWhatWasAddedByCode) {
  GlyphTable table;
  const uint16_t added[] = {'A', 0x82A0, 0x82A1, 0xFCFC, 0x00};
  for (uint16_t code : added) {
    platform::GlyphImage g;
    g.advance_x = static_cast<int16_t>(code & 0x7FFF);
    g.bits.assign(4, static_cast<uint8_t>(code));
    ASSERT_NE(table.add(code, std::move(g)), nullptr) << code;
  }
  for (uint16_t code : added) {
    const platform::GlyphImage* g = table.find(code);
    ASSERT_NE(g, nullptr) << code;
    EXPECT_EQ(g->advance_x, static_cast<int16_t>(code & 0x7FFF));
    EXPECT_EQ(g->bits, std::vector<uint8_t>(4, static_cast<uint8_t>(code)));
  }
  for (uint16_t code : {uint16_t{'B'}, uint16_t{0x82A2}, uint16_t{0x83A0}, uint16_t{0xFCFB}})
    EXPECT_EQ(table.find(code), nullptr) << code;
  EXPECT_EQ(table.size(), 5u);
  table.clear();
  EXPECT_EQ(table.size(), 0u);
  for (uint16_t code : added) EXPECT_EQ(table.find(code), nullptr) << code;
}

}  // namespace
