#include "Orv/render/font/fonts.h"

#include <cstdio>
#include <mutex>

#include "Orv/core/error_report.h"
#include "Orv/render/font/bitmap_font.h"
#include "Orv/render/font/extra_font.h"
#include "Orv/render/font/font_session.h"
#include "Orv/render/font/text_layout.h"
#include "Orv/render/render_state.h"
#include "orv/orv.h"
#include "platform/whole_file.h"

void fonts_set_defaults() {
  FontState& s = font_state();
  {
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    s.type = 0;
    s.size = 24;
    s.text_colour = 0xFFFFFF;
    s.effect_colour = 0;
    s.effect = 0;
  }
  s.lookup_posted = false;  // posted once the first frame is shown (fonts_look_up_faces_soon)
}

void fonts_look_up_faces_soon() {
  FontState& s = font_state();
  if (s.lookup_posted.load(std::memory_order_relaxed) || s.lookup_posted.exchange(true)) return;
  OrvAttachWorkProcess([](void*) { fonts_look_up_faces(); }, nullptr);
}

void fonts_look_up_faces() {
  FontState& s = font_state();
  {
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    if (s.faces_looked_up) return;
  }
  // Outside the lock: font calls meanwhile are not held up; a begin that needs the files
  // before this has them looks them up itself.
  platform::FaceFileName found[platform::kFaceKinds];
  platform::find_face_files(found);
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  if (s.faces_looked_up) return;
  for (int k = 0; k < platform::kFaceKinds; ++k) s.face_files[k] = std::move(found[k]);
  s.faces_looked_up = true;
}

void fonts_release() {
  FontState& s = font_state();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  font_forget_faces(s);
  s.bitmap_fonts.clear();
  s.current_bitmap = -1;
  s.extra = ExtraFont{};
  for (auto& file : s.face_opened) file.reset();
}

bool font_read_file(const char* path, std::vector<uint8_t>* out) {
  if (!path) return false;
  if (FileReader read = orv_render().read_file) return read(path, out, size_t{1} << 30) == 1;
  return platform::load_file_bytes(path, out);
}

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

// Begins the font for the length of one call when the caller has not begun it.
class ImplicitBegin {
 public:
  explicit ImplicitBegin(FontState& s) : s_(s), began_(!s.begun) {
    if (began_) font_begin(s_);
  }
  ~ImplicitBegin() {
    if (began_) font_end(s_);
  }

 private:
  FontState& s_;
  bool began_;
};

OrvBool load_bitmap_font(const char* path) {
  FontState& s = font_state();
  Lock lock(s.mutex);
  if (!path) return 0;
  for (const BitmapFont& f : s.bitmap_fonts)
    if (f.name == path) return 1;
  BitmapFont font;
  if (!font_read_file(path, &font.data)) return 0;
  std::string error;
  if (!bitmap_font_parse(font.data.data(), font.data.size(), &font.size_key, &error)) {
    error_reportf(ErrorLog::kSkip, "%s: %s", path, error.c_str());
    return 0;
  }
  font.name = path;
  s.bitmap_fonts.push_back(std::move(font));
  // The newest font becomes current until the next begin picks one by size.
  s.current_bitmap = static_cast<int32_t>(s.bitmap_fonts.size()) - 1;
  s.scale = 1.0f;
  return 1;
}

}  // namespace

extern "C" {

OrvBool OrvFontBegin(void) {
  FontState& s = font_state();
  Lock lock(s.mutex);
  font_begin(s);
  return 1;
}

void OrvFontEnd(void) {
  FontState& s = font_state();
  Lock lock(s.mutex);
  font_end(s);
}

OrvBool OrvFontGetSize(const char* text, int32_t* size_out) {
  FontState& s = font_state();
  Lock lock(s.mutex);
  if (!size_out) return 0;
  ImplicitBegin begin(s);
  FontMeasureText(s, text, &size_out[0], &size_out[1]);
  return 1;
}

OrvBool OrvFontDrawText(uint32_t* pixels, const char* text, int32_t x, int32_t y, int32_t width,
                        int32_t height) {
  FontState& s = font_state();
  Lock lock(s.mutex);
  if (!pixels) return 0;
  ImplicitBegin begin(s);
  FontDrawTextInto(s, pixels, text, x, y, width, height);
  return 1;
}

int32_t OrvFontGetDrawTextRect(int32_t* rect_out) {
  FontState& s = font_state();
  Lock lock(s.mutex);
  if (rect_out) {
    rect_out[0] = s.last.left;
    rect_out[1] = s.last.top;
    rect_out[2] = s.last.right;
    rect_out[3] = s.last.bottom;
    rect_out[4] = s.last.box_width;
  }
  return s.last.box_width;
}

OrvBool OrvFontHasDrawTextRect(void) {
  FontState& s = font_state();
  Lock lock(s.mutex);
  return s.last.valid ? 1 : 0;
}

int32_t OrvDrawTextStepX(int32_t effect) {
  return draw_text_step_x(effect);
}

OrvBool OrvFontGetColor(int32_t* text_colour, int32_t* effect_colour) {
  FontState& s = font_state();
  Lock lock(s.mutex);
  if (text_colour) *text_colour = static_cast<int32_t>(s.text_colour);
  if (effect_colour) *effect_colour = static_cast<int32_t>(s.effect_colour);
  return 1;
}

OrvBool OrvFontSetColor(uint32_t text_colour, uint32_t effect_colour) {
  FontState& s = font_state();
  Lock lock(s.mutex);
  s.text_colour = text_colour;
  s.effect_colour = effect_colour;
  return 1;
}

int32_t OrvFontGetEffect(void) {
  FontState& s = font_state();
  Lock lock(s.mutex);
  return s.effect;
}

OrvBool OrvFontSetEffect(int32_t effect) {
  FontState& s = font_state();
  Lock lock(s.mutex);
  s.effect = static_cast<uint16_t>(effect);
  return 1;
}

int32_t OrvFontGetFontSize(void) {
  FontState& s = font_state();
  Lock lock(s.mutex);
  return s.size;
}

OrvBool OrvFontSetFontSize(int32_t size) {
  FontState& s = font_state();
  Lock lock(s.mutex);
  s.size = static_cast<uint16_t>(size);
  return 1;
}

int32_t OrvFontGetType(void) {
  FontState& s = font_state();
  Lock lock(s.mutex);
  return s.type;
}

OrvBool OrvFontSetType(int32_t type) {
  FontState& s = font_state();
  Lock lock(s.mutex);
  if (type == kFontTypeBitmap && s.bitmap_fonts.empty()) return 0;
  s.type = static_cast<uint16_t>(type);
  return 1;
}

OrvBool OrvFontOrgSetLoad(const char* path) {
  return load_bitmap_font(path);
}
OrvBool OrvFontLoad(const char* path) {
  return load_bitmap_font(path);
}

OrvBool OrvFontUnload(void) {
  FontState& s = font_state();
  Lock lock(s.mutex);
  s.bitmap_fonts.clear();
  s.current_bitmap = -1;
  return 1;
}

OrvBool OrvExFontLoad(const char* path) {
  FontState& s = font_state();
  Lock lock(s.mutex);
  std::vector<uint8_t> data;
  if (!font_read_file(path, &data)) return 0;
  std::string error;
  ExtraFont font;
  if (!extra_font_parse(data.data(), data.size(), &font, &error)) {
    error_reportf(ErrorLog::kSkip, "%s: %s", path, error.c_str());
    return 0;
  }
  s.extra = std::move(font);
  return 1;
}

OrvBool OrvExFontUnload(void) {
  FontState& s = font_state();
  Lock lock(s.mutex);
  s.extra = ExtraFont{};
  return 1;
}

}  // extern "C"
