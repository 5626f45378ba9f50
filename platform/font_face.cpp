#include "platform/font_face.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <mutex>

#include "platform/sjis.h"

namespace platform {
namespace {

// The families each kind asks for; fontconfig substitutes the closest Japanese face when a
// family is not installed.
const char* const kFamilies[4] = {"IPAGothic", "IPAMincho", "IPAPGothic", "IPAPMincho"};

}  // namespace

namespace {

// The file and index fontconfig matches for a kind in config.
bool match_face(FcConfig* config, FaceKind kind, std::string* path, int* index) {
  const std::string query = std::string(kFamilies[static_cast<int>(kind)]) + ":lang=ja";
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(query.c_str()));
  bool ok = false;
  if (pattern) {
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    if (match) {
      FcChar8* file = nullptr;
      if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
        *path = reinterpret_cast<const char*>(file);
        if (FcPatternGetInteger(match, FC_INDEX, 0, index) != FcResultMatch) *index = 0;
        ok = true;
      }
      FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
  }
  return ok;
}

}  // namespace

bool find_face_file(FaceKind kind, std::string* path, int* index) {
  // A configuration of our own, destroyed after the match: the library's shared default one
  // would live until exit.
  FcConfig* config = FcInitLoadConfigAndFonts();
  if (!config) return false;
  const bool ok = match_face(config, kind, path, index);
  FcConfigDestroy(config);
  return ok;
}

void find_face_files(FaceFileName out[kFaceKinds]) {
  for (int k = 0; k < kFaceKinds; ++k) out[k] = FaceFileName{};
  FcConfig* config = FcInitLoadConfigAndFonts();
  if (!config) return;
  for (int k = 0; k < kFaceKinds; ++k)
    out[k].found = match_face(config, static_cast<FaceKind>(k), &out[k].path, &out[k].index);
  FcConfigDestroy(config);
}

namespace {

// Decodes the first UTF-8 character of s; 0 when there is none.
uint32_t first_codepoint(const std::string& s) {
  if (s.empty()) return 0;
  const auto* p = reinterpret_cast<const uint8_t*>(s.data());
  if (p[0] < 0x80) return p[0];
  const int n = p[0] >= 0xF0 ? 4 : p[0] >= 0xE0 ? 3 : 2;
  if (s.size() < static_cast<size_t>(n)) return 0;
  uint32_t c = p[0] & (0x7F >> n);
  for (int i = 1; i < n; ++i) c = c << 6 | (p[i] & 0x3F);
  return c;
}

}  // namespace

struct FaceFile::Impl {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  std::string file;
  std::mutex lock;  // the face's size choice and glyph slot are shared
  ~Impl() {
    if (face) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
  }
};

FaceFile::FaceFile(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
FaceFile::~FaceFile() = default;
const std::string& FaceFile::file() const {
  return impl_->file;
}

std::shared_ptr<FaceFile> FaceFile::open(const std::string& file, int index, std::string* error) {
  auto impl = std::make_unique<Impl>();
  impl->file = file;
  if (FT_Init_FreeType(&impl->library)) {
    if (error) *error = "FreeType failed to start";
    return nullptr;
  }
  if (FT_New_Face(impl->library, impl->file.c_str(), index, &impl->face)) {
    if (error) *error = "the Japanese face could not be loaded";
    return nullptr;
  }
  return std::shared_ptr<FaceFile>(new FaceFile(std::move(impl)));
}

struct FontFace::Impl {
  std::shared_ptr<FaceFile> file;
  FT_Size size_object = nullptr;  // this face's size on the shared face
  FaceKind kind = FaceKind::kGothic;
  int32_t size = 0;
  bool bold = false;
  FaceMetrics metrics;
  ~Impl() {
    if (size_object) {
      std::lock_guard<std::mutex> lock(file->impl_->lock);
      FT_Done_Size(size_object);
    }
  }
};

FontFace::FontFace(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
FontFace::~FontFace() = default;
const FaceMetrics& FontFace::metrics() const {
  return impl_->metrics;
}
const std::string& FontFace::file() const {
  return impl_->file->file();
}

std::unique_ptr<FontFace> FontFace::open(FaceKind kind, const std::string& file, int index,
                                         int32_t size, bool bold, std::string* error) {
  if (size < 1 || size > 1024) {
    if (error) *error = "font size out of range";
    return nullptr;
  }
  std::shared_ptr<FaceFile> face_file = FaceFile::open(file, index, error);
  if (!face_file) return nullptr;
  return open(kind, std::move(face_file), size, bold, error);
}

std::unique_ptr<FontFace> FontFace::open(FaceKind kind, std::shared_ptr<FaceFile> file,
                                         int32_t size, bool bold, std::string* error) {
  auto fail = [&](const char* why) {
    if (error) *error = why;
    return std::unique_ptr<FontFace>();
  };
  if (!file) return fail("the Japanese face could not be loaded");
  if (size < 1 || size > 1024) return fail("font size out of range");
  auto impl = std::make_unique<Impl>();
  impl->kind = kind;
  impl->size = size;
  impl->bold = bold;
  impl->file = std::move(file);
  FaceFile::Impl& shared = *impl->file->impl_;
  std::lock_guard<std::mutex> lock(shared.lock);
  FT_Face f = shared.face;
  if (FT_New_Size(f, &impl->size_object)) {
    impl->size_object = nullptr;
    return fail("the Japanese face cannot be scaled");
  }
  FT_Activate_Size(impl->size_object);
  // The cell is what GDI calls the height: the Windows ascent plus descent from the OS/2
  // table where there is one.
  int32_t up = f->ascender, down = -f->descender;
  if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
      os2 && os2->usWinAscent + os2->usWinDescent > 0) {
    up = os2->usWinAscent;
    down = os2->usWinDescent;
  }
  if (up + down <= 0) return fail("the Japanese face has no vertical metrics");
  const double em = static_cast<double>(size) * f->units_per_EM / (up + down);
  if (FT_Set_Char_Size(f, 0, static_cast<FT_F26Dot6>(std::lround(em * 64)), 72, 72))
    return fail("the Japanese face cannot be scaled");
  FaceMetrics& m = impl->metrics;
  m.height = size;
  m.ascent = static_cast<int32_t>(std::lround(static_cast<double>(up) * size / (up + down)));
  m.descent = size - m.ascent;
  m.average_width = size / 2;
  m.max_width = size;
  m.weight = bold ? 700 : 400;
  return std::unique_ptr<FontFace>(new FontFace(std::move(impl)));
}

bool FontFace::glyph(uint16_t code, GlyphImage* out) {
  Impl& s = *impl_;
  *out = GlyphImage{};
  std::string bytes;
  if (code > 0xFF) bytes += static_cast<char>(code >> 8);
  bytes += static_cast<char>(code & 0xFF);
  std::string utf8;
  const uint32_t cp = sjis_to_utf8(bytes, utf8) ? first_codepoint(utf8) : 0;
  FaceFile::Impl& shared = *s.file->impl_;
  std::lock_guard<std::mutex> lock(shared.lock);
  FT_Face face = shared.face;
  if (FT_Activate_Size(s.size_object)) return false;
  const FT_UInt index = cp ? FT_Get_Char_Index(face, cp) : 0;
  if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP)) return false;
  FT_GlyphSlot slot = face->glyph;
  if (s.bold && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    // GDI's synthetic bold thickens strokes by about a pixel per 24 pixels of height.
    const FT_Pos strength = std::max<FT_Pos>(32, s.size * 64 / 24);
    FT_Outline_EmboldenXY(&slot->outline, strength, 0);
  }
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL)) return false;
  const FT_Bitmap& bm = slot->bitmap;
  const bool fixed = s.kind == FaceKind::kGothic || s.kind == FaceKind::kMincho;
  if (fixed)
    out->advance_x = static_cast<int16_t>(code > 0xFF ? s.size : s.size / 2);
  else
    out->advance_x = static_cast<int16_t>((slot->advance.x + 32) >> 6);
  out->box_width = static_cast<int32_t>(bm.width);
  out->box_height = static_cast<int32_t>(bm.rows);
  out->origin_x = slot->bitmap_left;
  out->origin_y = slot->bitmap_top;
  const size_t pitch = (bm.width + 3) & ~3u;
  out->bits.assign(pitch * bm.rows, 0);
  for (unsigned y = 0; y < bm.rows; ++y) {
    const uint8_t* src = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
    for (unsigned x = 0; x < bm.width; ++x)
      out->bits[y * pitch + x] = static_cast<uint8_t>((src[x] * 64 + 127) / 255);
  }
  return true;
}

}  // namespace platform
