// FontState: the one current font of the library and everything text drawing shares.
//
// All text functions work on this single state: the type, size, colours and effect that the
// script sets, the loaded bitmap fonts and extra font, the faces and glyphs begins made and
// the record of the last glyph drawn. `mutex` guards all of it; every export takes it, so
// concurrent callers are serialised (a caller that begins, draws several lines and ends should
// still do so from one thread, as the state between those calls is shared).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Orv/render/font/glyph_table.h"
#include "platform/font_face.h"

// The font metrics that text layout reads (the leading fields of the 56-byte metrics block
// that bitmap font files end with).
struct TextMetric {
  int32_t height = 0;
  int32_t ascent = 0;
  int32_t descent = 0;
  int32_t internal_leading = 0;
  int32_t external_leading = 0;
  int32_t average_width = 0;
  int32_t max_width = 0;
  int32_t weight = 0;
};
constexpr size_t kTextMetricSize = 56;

// A loaded bitmap font file.
struct BitmapFont {
  std::vector<uint8_t> data;  // the whole file
  int32_t size_key = 0;       // the pixel height it was made for
  std::string name;           // the path it was loaded under (Shift-JIS)
};

// The loaded extra font: a strip of square coverage cells, top row first.
struct ExtraFont {
  std::vector<uint8_t> strip;
  int32_t strip_width = 0;
  int32_t rows = 0;
  int32_t cell = 0;  // 0: none loaded
};

// Where the last glyph, space or extra glyph was drawn.
struct LastGlyph {
  int32_t left = 0, top = 0, right = 0, bottom = 0, box_width = 0;
  bool valid = false;
};

enum : uint16_t { kFontTypeBitmap = 4 };

struct FontState {
  std::recursive_mutex mutex;

  // The faces made so far, by type and size (the type fixes the file and the weight), each
  // with the glyphs rendered in it so far, kept so that a change of size back and forth makes
  // nothing again and measuring and drawing a text render each glyph once. Each lives on the
  // heap, at one address, until released.
  struct KeptFace {
    uint32_t key = 0;  // type << 16 | size
    std::unique_ptr<platform::FontFace> face;
    GlyphTable glyphs;
    TextMetric metrics;  // what a begin of this face sets
  };

  // Set between begin and end, with what the begin prepared.
  int32_t begun = 0;
  // The begun system face (types 0-3) with its glyphs and metrics; null for a bitmap font or a
  // face that could not be opened, whose metrics are own_metrics. Height is always the
  // requested size (scaled for type 4). One pointer, so that a change of size between kept
  // faces is one store.
  KeptFace* current = nullptr;
  TextMetric own_metrics;
  // Files of the four system faces as fontconfig named them, looked up once for all four
  // (fonts_look_up_faces, or the first begin of a system face).
  platform::FaceFileName face_files[platform::kFaceKinds];
  bool faces_looked_up = false;
  std::atomic<bool> lookup_posted{false};  // fonts_look_up_faces_soon has posted the lookup
  // Each face file opened once (on its first begin) and kept: a size is an FT_Size on it.
  std::shared_ptr<platform::FaceFile> face_opened[4];
  // The kept faces in the order they were made (a game uses a handful of sizes); emptied when
  // it holds kFaceLimit.
  std::vector<std::unique_ptr<KeptFace>> faces;
  // Glyphs kept in all faces together; every table is emptied when it reaches
  // kGlyphCacheLimit (a bound on the memory).
  size_t glyphs_kept = 0;
  // The glyph font_glyph hands out when it has none kept: a bitmap font's scaled glyph, or an
  // empty one.
  platform::GlyphImage glyph_scratch;
  int32_t current_bitmap = -1;  // index into bitmap_fonts, -1 for none
  float scale = 1.0f;
  int32_t scaled_ascent = 0;

  std::vector<BitmapFont> bitmap_fonts;
  ExtraFont extra;

  uint32_t text_colour = 0xFFFFFF;  // 0x00RRGGBB
  uint32_t effect_colour = 0;
  uint16_t effect = 0;  // 0 none, 1 outline, 2 shadow, 3 two-pixel outline
  uint16_t size = 24;
  uint16_t type = 0;  // 0-3 system faces, 4 bitmap font

  LastGlyph last;

  // The kept faces again, by type and size below kDirectSizes (null: none kept), so that a
  // begin finds one in a single indexed load; larger sizes are searched for in faces.
  static constexpr uint16_t kDirectSizes = 256;
  KeptFace* by_size[4][kDirectSizes] = {};
};

// The begun font's metrics: the kept face's, or own_metrics.
inline const TextMetric& font_metrics(const FontState& s) {
  return s.current ? s.current->metrics : s.own_metrics;
}

// The library's font state (a member of the core record).
FontState& font_state();
