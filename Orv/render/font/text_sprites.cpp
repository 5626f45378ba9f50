// Text sprites: a sprite made to the size of a text and drawn with the current font, and text
// drawn over an existing sprite.
//
// Both accept a leading tag "<bkcolor=AARRGGBB size=N>" (sprite_text_tag): the size applies to
// this call only and the font size is restored on every return; the background fills a new
// sprite (0 means none) and is read but unused when drawing into an existing one. The colour
// argument becomes the sprite's colour. The text is drawn in the font's text colour.
#include <mutex>

#include "Orv/render/font/font_session.h"
#include "Orv/render/font/text_layout.h"
#include "Orv/render/image_store.h"
#include "Orv/render/last_error.h"
#include "Orv/render/render_list.h"
#include "Orv/render/sprite.h"
#include "orv/orv.h"

namespace {

// Holds the font for one text-sprite call: takes the font lock, applies the tag's size, and on
// every return ends the font if this call began it and puts the size back.
class TextCall {
 public:
  TextCall() : s_(font_state()), lock_(s_.mutex), size_(s_.size) {}
  ~TextCall() {
    if (began_) font_end(s_);
    s_.size = size_;
  }
  // Reads the tag; returns the text after it, null when nothing follows.
  const char* read_tag(const char* text, uint32_t* background) {
    int32_t size = s_.size;
    const char* body = sprite_text_tag(text, background, &size);
    s_.size = static_cast<uint16_t>(size);
    return body && *body ? body : nullptr;
  }
  void begin() {
    if (!s_.begun) {
      font_begin(s_);
      began_ = true;
    }
  }
  FontState& state() { return s_; }

 private:
  FontState& s_;
  std::lock_guard<std::recursive_mutex> lock_;
  uint16_t size_;
  bool began_ = false;
};

}  // namespace

extern "C" {

OrvHandle OrvSpriteCreateText(OrvHandle list, const char* text, int32_t priority, uint32_t argb) {
  if (!render_list_from(list)) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  TextCall call;
  uint32_t background = 0;
  const char* body = call.read_tag(text, &background);
  if (!body) return 0;
  OrvSprite* s = sprite_new(priority);
  if (!s) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  s->color = argb;
  call.begin();
  FontState& fs = call.state();
  int32_t w = 0, h = 0;
  FontMeasureText(fs, body, &w, &h);
  if (fs.type == 1 || fs.type == 3 || fs.type == 5) w += 1;
  if (fs.effect == 3) w += 2, h += 2;
  s->image = image_create(w, h, "");
  if (!s->image) {
    sprite_discard(s);
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  int32_t pitch = 0, rows = 0;
  uint32_t* pixels = image_pixels(s->image, &pitch, &rows);
  s->width = pitch;
  s->height = rows;
  s->cell_width = w;
  s->cell_height = h;
  s->rect = OrvRect{0, 0, pitch, rows};
  if (background) OrvSpritePaint(s->id, nullptr, background);
  FontDrawTextInto(fs, pixels, body, 0, 0, pitch, rows);
  if (!sprite_insert(s, list)) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  return s->id;
}

OrvBool OrvSpriteCreateTextEx(OrvHandle sprite, const char* text, int32_t x, int32_t y,
                              uint32_t argb) {
  OrvSprite* s = sprite_from(sprite);
  if (!s) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  TextCall call;
  uint32_t background = 0;
  const char* body = call.read_tag(text, &background);
  if (!body || !s->image) return 0;
  s->color = argb;
  call.begin();
  s->busy.store(1);
  int32_t pitch = 0, rows = 0;
  uint32_t* pixels = image_pixels(s->image, &pitch, &rows);
  if (pixels) FontDrawTextInto(call.state(), pixels, body, x, y, pitch, rows);
  s->busy.store(0);
  return 1;
}

}  // extern "C"
