#include "Orv/render/font/font_session.h"
#include "Orv/core/error_report.h"

#include <cstdio>

void font_begin(FontState& s) {
  s.metrics = TextMetric{};
  s.current_bitmap = -1;
  s.scale = 1.0f;
  s.scaled_ascent = 0;
  if (s.type == kFontTypeBitmap) {
    s.current_bitmap = bitmap_font_pick(s.bitmap_fonts, s.size);
    if (s.current_bitmap < 0) {
      error_reportf(ErrorLog::kSkip, "font size=%d / mOrgFontListCount == 0", s.size);
      s.metrics.height = s.size;
    } else {
      const BitmapFont& font = s.bitmap_fonts[s.current_bitmap];
      s.metrics = bitmap_font_metrics(font);
      if (s.size != font.size_key && font.size_key > 0) {
        s.scale = static_cast<float>(s.size) / static_cast<float>(font.size_key);
        s.metrics.height = scale_trunc(s.metrics.height, s.scale);
        s.metrics.ascent = scale_trunc(s.metrics.ascent, s.scale);
      }
      s.scaled_ascent = s.metrics.ascent;
    }
  } else {
    const int32_t type = s.type <= 3 ? s.type : 0;
    if (!s.face || s.face_type != type || s.face_size != s.size) {
      const auto kind = static_cast<platform::FaceKind>(type);
      if (!s.face_looked_up[type]) {
        s.face_looked_up[type] = true;
        if (!platform::find_face_file(kind, &s.face_files[type], &s.face_indexes[type]))
          s.face_files[type].clear();
      }
      std::string error = "no Japanese face installed";
      s.face = nullptr;
      const uint32_t face_key = static_cast<uint32_t>(type) << 16 | s.size;
      if (auto it = s.faces.find(face_key); it != s.faces.end()) {
        s.face = it->second.get();
      } else {
        if (!s.face_opened[type] && !s.face_files[type].empty())
          s.face_opened[type] =
              platform::FaceFile::open(s.face_files[type], s.face_indexes[type], &error);
        std::unique_ptr<platform::FontFace> made;
        if (s.face_opened[type])
          made = platform::FontFace::open(kind, s.face_opened[type], s.size, type == 1, &error);
        if (made) {
          constexpr size_t kFaceLimit = 32;  // a game uses a handful of sizes
          if (s.faces.size() >= kFaceLimit) s.faces.clear();
          s.face = made.get();
          s.faces.emplace(face_key, std::move(made));
        }
      }
      s.face_type = s.face ? type : -1;
      s.face_size = s.size;
      if (!s.face) error_reportf(ErrorLog::kSkip, "font: %s", error.c_str());
    }
    if (s.face) {
      const platform::FaceMetrics& m = s.face->metrics();
      s.metrics.ascent = m.ascent;
      s.metrics.descent = m.descent;
      s.metrics.average_width = m.average_width;
      s.metrics.max_width = m.max_width;
      s.metrics.weight = m.weight;
    }
    s.metrics.height = s.size;
  }
  s.begun = 1;
}

void font_end(FontState& s) {
  if (!s.begun) return;
  s.begun = 0;
  s.metrics = TextMetric{};
  s.current_bitmap = -1;
}

bool font_glyph(FontState& s, uint16_t code, Glyph* out) {
  *out = Glyph{};
  if (s.type == kFontTypeBitmap) {
    if (s.current_bitmap < 0 || s.current_bitmap >= static_cast<int32_t>(s.bitmap_fonts.size()))
      return false;
    return bitmap_font_glyph(s.bitmap_fonts[s.current_bitmap], code, s.scale, out);
  }
  if (!s.face) return false;
  const uint64_t key = (uint64_t{static_cast<uint32_t>(s.face_type)} << 32) |
                       (uint64_t{static_cast<uint32_t>(s.face_size)} << 16) | code;
  if (auto it = s.glyph_cache.find(key); it != s.glyph_cache.end()) {
    *out = it->second;
    return true;
  }
  if (!s.face->glyph(code, out)) return false;
  // A bound on the memory: a text uses a few hundred glyphs in a size or two.
  constexpr size_t kGlyphCacheLimit = 4096;
  if (s.glyph_cache.size() >= kGlyphCacheLimit) s.glyph_cache.clear();
  s.glyph_cache.emplace(key, *out);
  return true;
}
