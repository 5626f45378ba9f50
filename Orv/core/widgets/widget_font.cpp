// The widgets' faces and the widths of their text.
//
// The fixed faces (font types 0 and 1, the name box's) advance half a cell for a single byte
// and a cell for a two-byte character, so their text is measured without the face. The
// proportional ones (2 and 3, the faces of the system's dialogs) advance as the face says: a
// character is measured once per face and size, from its rendered glyph, and kept.
//
// State: the faces and the advances measured, used under the widgets' lock only.
#include <algorithm>
#include <map>
#include <memory>
#include <unordered_map>

#include "Orv/core/widgets/widget_record.h"
#include "platform/font_face.h"
#include "platform/sjis.h"

namespace {

struct Face {
  std::unique_ptr<platform::FontFace> face;  // null: none installed, fixed cells instead
  std::unordered_map<uint16_t, int32_t> advances;
};

platform::FaceKind face_kind(int32_t font_type) {
  return font_type >= 1 && font_type <= 3 ? static_cast<platform::FaceKind>(font_type)
                                          : platform::FaceKind::kGothic;
}

bool proportional(const Widget& w) {
  const platform::FaceKind kind = face_kind(w.font_type);
  return kind == platform::FaceKind::kProportionalGothic ||
         kind == platform::FaceKind::kProportionalMincho;
}

Face& face_of(const Widget& w) {
  static std::map<std::pair<int32_t, int32_t>, Face> faces;
  static platform::FaceFileName files[platform::kFaceKinds];
  static bool looked_up = false;
  const int kind = static_cast<int>(face_kind(w.font_type));
  auto [it, added] = faces.try_emplace(std::make_pair(kind, w.font_size));
  if (!added) return it->second;
  if (!looked_up) {
    platform::find_face_files(files);
    looked_up = true;
  }
  if (files[kind].found) {
    std::string error;
    it->second.face =
        platform::FontFace::open(static_cast<platform::FaceKind>(kind), files[kind].path,
                                 files[kind].index, w.font_size, false, &error);
  }
  return it->second;
}

int32_t cell_advance(const Widget& w, uint16_t code) {
  return code > 0xFF ? w.font_size : w.font_size / 2;
}

}  // namespace

platform::FontFace* widget_face(const Widget& w) {
  return face_of(w).face.get();
}

int32_t char_advance(const Widget& w, uint16_t code) {
  if (!proportional(w)) return cell_advance(w, code);
  Face& f = face_of(w);
  if (!f.face) return cell_advance(w, code);
  auto it = f.advances.find(code);
  if (it != f.advances.end()) return it->second;
  platform::GlyphImage g;
  const int32_t advance = f.face->glyph(code, &g) ? g.advance_x : cell_advance(w, code);
  f.advances.emplace(code, advance);
  return advance;
}

uint16_t char_code_at(const std::string& sjis, size_t at, size_t end) {
  const uint8_t b = static_cast<uint8_t>(sjis[at]);
  if (platform::sjis_is_lead(b) && at + 1 < end) {
    return static_cast<uint16_t>(b << 8 | static_cast<uint8_t>(sjis[at + 1]));
  }
  return b;
}

int32_t text_width(const Widget& w, const std::string& sjis, size_t from, size_t to) {
  int32_t width = 0;
  to = std::min(to, sjis.size());
  for (size_t i = from; i < to;) {
    const uint16_t code = char_code_at(sjis, i, to);
    width += char_advance(w, code);
    i += code > 0xFF ? 2 : 1;
  }
  return width;
}
