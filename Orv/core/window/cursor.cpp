#include "Orv/core/window/cursor.h"

#include "shared/byte_codec.h"

void cursor_count_show(CursorState& c) {
  if (c.show_count < 0) c.show_count = 0;
  if (c.show_count > 1) c.show_count = 1;
}

void cursor_count_hide(CursorState& c) {
  if (c.keep_visible) return;
  if (c.show_count >= 0) c.show_count = -1;
}

void cursor_on_mouse_move(CursorState& c, uint32_t now, bool movie_playing) {
  if (movie_playing) {
    cursor_count_hide(c);
    return;
  }
  cursor_count_show(c);
  cursor_set_auto_hide(c, c.auto_hide_ms, now);
}

void cursor_set_auto_hide(CursorState& c, uint32_t ms, uint32_t now) {
  c.auto_hide_ms = ms;
  c.timer_on = ms != 0;
  c.timer_start = now;
}

bool cursor_on_tick(CursorState& c, uint32_t now, bool in_client) {
  if (!c.timer_on || now - c.timer_start < c.auto_hide_ms) return false;
  // The Windows timer keeps firing; restarting the period keeps that rhythm.
  c.timer_start = now;
  if (in_client) cursor_count_hide(c);
  return true;
}

bool cursor_tga_decode(const uint8_t* data, size_t size, CursorImage* out, std::string* why) {
  auto fail = [&](const char* reason) {
    if (why) *why = reason;
    return false;
  };
  constexpr size_t kHeader = 18;
  codec::ByteReader r(data, size);
  const uint8_t id_length = r.u8();
  const uint8_t colour_map_type = r.u8();
  const uint8_t image_type = r.u8();
  r.seek(12);
  const int32_t width = r.u16();
  const int32_t height = r.u16();
  const uint8_t bits = r.u8();
  r.skip(1);  // the descriptor
  if (r.failed()) return fail("shorter than a TGA header");
  if (colour_map_type != 0 || image_type != 2) {
    return fail("not an uncompressed true-colour TGA");
  }
  if (bits != 32) return fail("not 32 bits per pixel");
  if (width == 0 || height == 0) return fail("empty image");
  size_t offset = kHeader + id_length;
  size_t need = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
  if (size < offset || size - offset < need) return fail("pixels run past the end of the file");
  out->width = width;
  out->height = height;
  out->pixels.assign(static_cast<size_t>(width) * height, 0);
  const uint8_t* src = data + offset;
  // Rows are stored from the bottom up; bytes blue, green, red, alpha.
  for (int32_t row = 0; row < height; ++row) {
    const uint8_t* line = src + static_cast<size_t>(height - 1 - row) * width * 4;
    uint32_t* dst = out->pixels.data() + static_cast<size_t>(row) * width;
    for (int32_t x = 0; x < width; ++x) {
      dst[x] = codec::load_u32(line + x * 4);
    }
  }
  return true;
}
