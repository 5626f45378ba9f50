// Text pages through the tag renderer.
//
// 1. A page of page mode: about 2,000 glyphs (kana, kanji and ASCII) in the Gothic face at
//    24 px with the one-pixel outline (effect 1), drawn by draw_text_tagged into a 1280 x 720
//    sprite, beside FreeType alone loading, rendering and blending the same glyphs with the
//    same outline into a 1280 x 720 buffer (no cache: every glyph rendered as it comes).
//    Aim: at most 2x FreeType alone, and under 16 ms.
// 2. A page of 6 lines with ruby groups and one size change beside the same 6 lines without
//    markup (the plain line).
// Each figure is the median of 9 runs; the renderer's first page (its glyphs not yet kept by
// the font) is printed as well.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Orv/render/render_list.h"
#include "Orv/render/render_system.h"
#include "engine/game_state.h"
#include "engine/orv_api.h"
#include "engine/orv_static_bind.h"
#include "engine/vm_log.h"
#include "orv/orv.h"
#include "platform/font_face.h"
#include "platform/sjis.h"
#include "text/render/text_render.h"

namespace {

constexpr int kScreenW = 1280, kScreenH = 720;
constexpr int kAreaW = 1248;
constexpr int kSize = 24;

void discard(int, const char*, void*) {}

// Shift-JIS units of a scene's text: hiragana, kanji and ASCII alternating with the given
// share of one-byte characters (in quarters).
std::vector<std::string> units(int count, int ascii_quarters) {
  std::vector<std::string> out;
  for (int i = 0; i < count; ++i) {
    if (i % 4 < ascii_quarters) {
      out.push_back(std::string(1, static_cast<char>('a' + (i * 7) % 26)));
    } else if (i % 5 == 0) {
      const int k = 0x889F + (i * 13) % 90;  // kanji
      out.push_back({static_cast<char>(k >> 8), static_cast<char>(k & 0xFF)});
    } else {
      const int k = 0x82A0 + (i * 7) % 80;  // hiragana
      out.push_back({static_cast<char>(k >> 8), static_cast<char>(k & 0xFF)});
    }
  }
  return out;
}

std::string join(const std::vector<std::string>& u) {
  std::string s;
  for (const auto& x : u) s += x;
  return s;
}

double median_ms(int runs, const std::function<void()>& body, double* first = nullptr) {
  std::vector<double> t;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    body();
    t.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
    if (i == 0 && first) *first = t[0];
  }
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

// FreeType alone: the glyphs loaded and rendered one by one, drawn with a one-pixel outline
// and blended over the buffer as the platform blends, lines broken at the area's width.
struct FreeTypePeer {
  FT_Library lib = nullptr;
  FT_Face face = nullptr;
  std::vector<uint32_t> buffer = std::vector<uint32_t>(kScreenW * kScreenH);
  uint32_t glyphs = 0;

  bool open(const std::string& path, int index) {
    if (FT_Init_FreeType(&lib)) return false;
    if (FT_New_Face(lib, path.c_str(), index, &face)) return false;
    return FT_Set_Pixel_Sizes(face, 0, kSize) == 0;
  }
  ~FreeTypePeer() {
    if (face) FT_Done_Face(face);
    if (lib) FT_Done_FreeType(lib);
  }
  void put(int x, int y, uint32_t colour, uint32_t a, bool outline) {
    if (x < 0 || y < 0 || x >= kScreenW || y >= kScreenH) return;
    uint32_t& p = buffer[y * kScreenW + x];
    if (outline) {
      p |= colour | a << 24;
      return;
    }
    const uint32_t da = p >> 24;
    if (a == 255 || da == 0) {
      p = colour | a << 24;
      return;
    }
    uint32_t out = (a * 255 + da * (255 - a)) >> 8 << 24;
    for (int shift = 0; shift < 24; shift += 8) {
      const uint32_t d = p >> shift & 255, c = colour >> shift & 255;
      out |= ((d * (255 - a) + c * a) >> 8) << shift;
    }
    p = out;
  }
  void draw(const std::vector<std::string>& text) {
    int pen = 0, top = 0;
    glyphs = 0;
    for (const std::string& u : text) {
      const int advance = u.size() == 2 ? kSize : kSize / 2;
      if (pen + advance > kAreaW) {
        pen = 0;
        top += kSize;
        if (top + kSize > kScreenH) break;
      }
      std::string utf8;
      if (!platform::sjis_to_utf8(u, utf8)) continue;
      std::u32string cps;
      const uint8_t* b = reinterpret_cast<const uint8_t*>(utf8.data());
      uint32_t cp = b[0];
      if (b[0] >= 0xE0)
        cp = (b[0] & 15) << 12 | (b[1] & 63) << 6 | (b[2] & 63);
      else if (b[0] >= 0xC0)
        cp = (b[0] & 31) << 6 | (b[1] & 63);
      if (FT_Load_Char(face, cp, FT_LOAD_RENDER)) continue;
      const FT_Bitmap& bm = face->glyph->bitmap;
      const int gx = pen + face->glyph->bitmap_left;
      const int gy = top + kSize * 7 / 8 - face->glyph->bitmap_top;
      for (int pass = 0; pass < 2; ++pass)
        for (unsigned j = 0; j < bm.rows; ++j)
          for (unsigned i = 0; i < bm.width; ++i) {
            const uint32_t v = bm.buffer[j * bm.pitch + i];
            if (!v) continue;
            const int x = gx + static_cast<int>(i) + 1, y = gy + static_cast<int>(j) + 1;
            if (pass == 0) {
              put(x - 1, y, 0, v, true);
              put(x + 1, y, 0, v, true);
              put(x, y - 1, 0, v, true);
              put(x, y + 1, 0, v, true);
            } else {
              put(x, y, 0xFFFFFF, v, false);
            }
          }
      ++glyphs;
      pen += advance;
    }
  }
};

}  // namespace

int main() {
  std::string face_path;
  int face_index = 0;
  if (!platform::find_face_file(platform::FaceKind::kGothic, &face_path, &face_index)) {
    std::printf("text_page: no Japanese Gothic face installed (fonts-ipafont-gothic)\n");
    return 1;
  }
  RenderParams params;
  params.game_width = kScreenW;
  params.game_height = kScreenH;
  render_system_init(params, nullptr);
  engine::orv_static_bind();
  engine::set_log_sink(discard, nullptr);
  const OrvHandle list = OrvRenderInit();
  OrvRenderSetActive(list);
  const OrvHandle sprite = OrvSpriteCreate(list, kScreenW, kScreenH, 0);
  auto gs = std::make_unique<engine::GameState>();
  textrender::TextRenderSettings settings = textrender::text_render_settings_default();
  OrvFontSetType(0);
  OrvFontSetFontSize(kSize);
  OrvFontSetEffect(1);

  // 1. The page.
  const std::vector<std::string> page_units = units(2400, 2);
  const std::string page = join(page_units);
  textrender::TextDrawResult result{};
  auto draw_page = [&] {
    textrender::TextDrawRequest req{sprite,   page.c_str(), 0, 0,        kAreaW,
                                    kScreenH, kSize,        0, 0xFFFFFF, 0};
    result = textrender::draw_text_tagged(gs->vm, settings, req, nullptr);
  };
  double first = 0;
  const double ours = median_ms(9, draw_page, &first);
  FreeTypePeer peer;
  if (!peer.open(face_path, face_index)) {
    std::printf("text_page: FreeType cannot open %s\n", face_path.c_str());
    return 1;
  }
  std::vector<std::string> drawn(page_units.begin(), page_units.begin() + result.glyphs);
  const double freetype = median_ms(9, [&] {
    std::fill(peer.buffer.begin(), peer.buffer.end(), 0);
    peer.draw(drawn);
  });
  std::printf("page of %u glyphs, Gothic 24 px, outline, 1280 x 720:\n", result.glyphs);
  std::printf("  %-34s %8.2f ms (first page %.2f ms)\n", "draw_text_tagged", ours, first);
  std::printf("  %-34s %8.2f ms (%u glyphs)\n", "FreeType alone, render + blend", freetype,
              peer.glyphs);
  std::printf("  ratio %.2f of FreeType alone (aim: at most 2.00), %s 16 ms\n", ours / freetype,
              ours < 16.0 ? "under" : "over");

  // 2. Six lines with ruby and one size change beside the plain lines.
  std::string marked, plain;
  for (int line = 0; line < 6; ++line) {
    const std::vector<std::string> u = units(40, 0);
    for (size_t i = 0; i < u.size(); ++i) {
      if (i % 8 == 0) {
        marked += "<r\x82\xA9\x82\xC8>";  // reading かな over two characters
        marked += u[i] + u[i + 1] + "</r>";
        plain += u[i] + u[i + 1];
        ++i;
        continue;
      }
      if (line == 2 && i == 20) marked += "<s36>";
      if (line == 2 && i == 30) marked += "</s>";
      marked += u[i];
      plain += u[i];
    }
    marked += "<br>";
    plain += "<br>";
  }
  auto six = [&](const std::string& text) {
    return [&, text] {
      OrvSpritePaint(sprite, nullptr, 0);
      textrender::TextDrawRequest req{sprite,   text.c_str(), 0,  0,        kAreaW,
                                      kScreenH, kSize,        10, 0xFFFFFF, 0};
      result = textrender::draw_text_tagged(gs->vm, settings, req, nullptr);
    };
  };
  const double with_ruby = median_ms(9, six(marked));
  const double without = median_ms(9, six(plain));
  std::printf("6 lines of 40 characters (with the sprite's clear):\n");
  std::printf("  %-34s %8.2f ms\n", "ruby every 8 characters, <s36>", with_ruby);
  std::printf("  %-34s %8.2f ms\n", "plain lines", without);
  std::printf("  ratio %.2f of the plain lines\n", with_ruby / without);

  OrvSpriteRelease(list, sprite);
  OrvRenderUninit(list);
  render_system_uninit();
  return 0;
}
