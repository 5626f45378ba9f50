#include "Orv/render/font/font_session.h"
#include "Orv/core/error_report.h"

#include <cstdio>

namespace {

// Lets the kept faces and their glyphs go.
void forget_kept(FontState& s) {
  for (auto& row : s.by_size)
    for (FontState::KeptFace*& kept : row) kept = nullptr;
  s.faces.clear();
  s.glyphs_kept = 0;
}

// Opens the system face of type at s.size on its file (looking the files up and opening the
// file on first use) and keeps it; null, with one line in the error report, when it cannot.
// Out of line, so that a begin of a kept face stays small.
[[gnu::noinline]] FontState::KeptFace* face_make(FontState& s, int32_t type, uint32_t key) {
  const auto kind = static_cast<platform::FaceKind>(type);
  if (!s.faces_looked_up) {
    platform::find_face_files(s.face_files);
    s.faces_looked_up = true;
  }
  std::string error = "no Japanese face installed";
  const platform::FaceFileName& name = s.face_files[type];
  if (!s.face_opened[type] && name.found)
    s.face_opened[type] = platform::FaceFile::open(name.path, name.index, &error);
  std::unique_ptr<platform::FontFace> made;
  if (s.face_opened[type])
    made = platform::FontFace::open(kind, s.face_opened[type], s.size, type == 1, &error);
  if (!made) {
    error_reportf(ErrorLog::kSkip, "font: %s", error.c_str());
    return nullptr;
  }
  constexpr size_t kFaceLimit = 32;  // a game uses a handful of sizes
  if (s.faces.size() >= kFaceLimit) {
    s.current = nullptr;  // the begun face, if any, is replaced by the caller
    forget_kept(s);
  }
  auto kept = std::make_unique<FontState::KeptFace>();
  kept->key = key;
  kept->face = std::move(made);
  TextMetric& m = kept->metrics;
  const platform::FaceMetrics& fm = kept->face->metrics();
  m.height = s.size;
  m.ascent = fm.ascent;
  m.descent = fm.descent;
  m.average_width = fm.average_width;
  m.max_width = fm.max_width;
  m.weight = fm.weight;
  if (s.size < FontState::kDirectSizes) s.by_size[type][s.size] = kept.get();
  s.faces.push_back(std::move(kept));
  return s.faces.back().get();
}

}  // namespace

void font_begin_other(FontState& s) {
  s.current_bitmap = -1;
  s.scale = 1.0f;
  s.scaled_ascent = 0;
  s.current = nullptr;
  if (s.type == kFontTypeBitmap) {
    TextMetric& m = s.own_metrics;
    m = TextMetric{};
    s.current_bitmap = bitmap_font_pick(s.bitmap_fonts, s.size);
    if (s.current_bitmap < 0) {
      error_reportf(ErrorLog::kSkip, "font size=%d / mOrgFontListCount == 0", s.size);
      m.height = s.size;
    } else {
      const BitmapFont& font = s.bitmap_fonts[s.current_bitmap];
      m = bitmap_font_metrics(font);
      if (s.size != font.size_key && font.size_key > 0) {
        s.scale = static_cast<float>(s.size) / static_cast<float>(font.size_key);
        m.height = scale_trunc(m.height, s.scale);
        m.ascent = scale_trunc(m.ascent, s.scale);
      }
      s.scaled_ascent = m.ascent;
    }
  } else {
    // A size met before finds its face in the kept list (a size below kDirectSizes is found by
    // font_begin before it comes here).
    const int32_t type = s.type <= 3 ? s.type : 0;
    const uint32_t key = static_cast<uint32_t>(type) << 16 | s.size;
    FontState::KeptFace* kept = nullptr;
    for (const auto& k : s.faces) {
      if (k->key == key) {
        kept = k.get();
        break;
      }
    }
    if (!kept) kept = face_make(s, type, key);
    s.current = kept;
    if (!kept) {
      s.own_metrics = TextMetric{};
      s.own_metrics.height = s.size;
    }
  }
  s.begun = 1;
}

void font_forget_faces(FontState& s) {
  font_end(s);
  s.current = nullptr;  // never left pointing at a kept face that is gone
  forget_kept(s);
}

const Glyph& font_glyph_other(FontState& s, uint16_t code) {
  if (s.type == kFontTypeBitmap) {
    s.glyph_scratch = Glyph{};
    if (s.current_bitmap >= 0 && s.current_bitmap < static_cast<int32_t>(s.bitmap_fonts.size()))
      bitmap_font_glyph(s.bitmap_fonts[s.current_bitmap], code, s.scale, &s.glyph_scratch);
    return s.glyph_scratch;
  }
  if (FontState::KeptFace* face = s.current) {
    if (const Glyph* kept = face->glyphs.find(code)) return *kept;
    Glyph rendered;
    if (face->face->glyph(code, &rendered)) {
      // A bound on the memory: a text uses a few hundred glyphs in a size or two.
      constexpr size_t kGlyphCacheLimit = 4096;
      if (s.glyphs_kept >= kGlyphCacheLimit) {
        for (auto& k : s.faces) k->glyphs.clear();
        s.glyphs_kept = 0;
      }
      if (const Glyph* kept = face->glyphs.add(code, std::move(rendered))) {
        ++s.glyphs_kept;
        return *kept;
      }
    }
  }
  s.glyph_scratch = Glyph{};
  return s.glyph_scratch;
}
