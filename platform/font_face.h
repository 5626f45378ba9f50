// Japanese outline faces through fontconfig and FreeType, in place of the system's GDI fonts.
//
// A face is opened at a cell height in pixels and behaves like a GDI font created with that
// height and half of it as width: the cell (ascent + descent) is `size` pixels, half-width
// characters advance size / 2 and full-width ones size in the fixed faces, and weight 700 is
// made by emboldening the outlines. Glyph bitmaps come in the GDI 8-bit grey layout: rows of
// the black-box width rounded up to 4 bytes, top row first, coverage 0..64.
//
// The four faces are looked up through fontconfig, always with :lang=ja so that a missing
// family falls back to a face with kana and kanji rather than to a Latin one. A FontFace is not
// thread-safe; its owner serialises the calls.
//
// State: the faces are objects of libOrv.so's font subsystem; nothing here is shared.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

enum class FaceKind : int32_t {
  kGothic = 0,  // fixed-pitch sans
  kMincho = 1,  // fixed-pitch serif
  kProportionalGothic = 2,
  kProportionalMincho = 3,
};

struct GlyphImage {
  int32_t box_width = 0, box_height = 0;  // black box
  int32_t origin_x = 0;                   // left of the box relative to the pen
  int32_t origin_y = 0;                   // top of the box above the baseline
  int16_t advance_x = 0, advance_y = 0;
  std::vector<uint8_t> bits;  // ((box_width + 3) & ~3) * box_height bytes
};

struct FaceMetrics {
  int32_t height = 0;  // the cell: ascent + descent = the requested size
  int32_t ascent = 0;
  int32_t descent = 0;
  int32_t average_width = 0;
  int32_t max_width = 0;
  int32_t weight = 400;
};

// Asks fontconfig for the file of a face kind (and the face index inside it). Slow (it loads
// the font configuration): callers keep the answer. False when no face is installed.
bool find_face_file(FaceKind kind, std::string* path, int* index);

constexpr int kFaceKinds = 4;
struct FaceFileName {
  std::string path;
  int index = 0;
  bool found = false;  // false: no face installed for the kind (path empty)
};
// The files of all four kinds, as find_face_file gives them, for one load of the font
// configuration (the slow part: several milliseconds each).
void find_face_files(FaceFileName out[kFaceKinds]);

// One font file opened in FreeType, shared by the FontFaces made from it: each size is an
// FT_Size on the one face, so a change of size does not read the file again. The FontFaces
// hold it; the calls on their shared face are serialised by its lock, so faces of one file
// may be used from different threads.
class FaceFile {
 public:
  // Opens the face at index in file; null with a reason in *error when FreeType cannot.
  static std::shared_ptr<FaceFile> open(const std::string& file, int index, std::string* error);
  ~FaceFile();
  FaceFile(const FaceFile&) = delete;
  FaceFile& operator=(const FaceFile&) = delete;
  const std::string& file() const;

 private:
  friend class FontFace;
  struct Impl;
  explicit FaceFile(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

class FontFace {
 public:
  // The face of an open file as `kind` at `size` pixels (1..1024); null with a reason in
  // *error when FreeType cannot scale it.
  static std::unique_ptr<FontFace> open(FaceKind kind, std::shared_ptr<FaceFile> file, int32_t size,
                                        bool bold, std::string* error);
  // Opens the face in `file` (from find_face_file) as `kind` at `size` pixels (1..1024); null
  // with a reason in *error when FreeType cannot load it.
  static std::unique_ptr<FontFace> open(FaceKind kind, const std::string& file, int index,
                                        int32_t size, bool bold, std::string* error);
  ~FontFace();
  FontFace(const FontFace&) = delete;
  FontFace& operator=(const FontFace&) = delete;

  const FaceMetrics& metrics() const;
  // The file fontconfig chose (for diagnostics).
  const std::string& file() const;
  // Renders one Shift-JIS character (one byte below 0x100, else lead << 8 | trail), converted
  // with the CP932 rules. A character that does not convert or that the face lacks gives an
  // empty box with the advance of the face's missing glyph. Returns false only when FreeType
  // fails outright.
  bool glyph(uint16_t sjis_code, GlyphImage* out);

 private:
  struct Impl;
  explicit FontFace(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform
