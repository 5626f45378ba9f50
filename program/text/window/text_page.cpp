#include "text/window/text_page.h"

#include <cstring>
#include <string>

#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/vm_services.h"
#include "graphics/layers/image_record.h"
#include "text/render/text_render.h"
#include "text/window/text_settings.h"
#include "text/window/text_window_ops.h"

namespace textwindow {
namespace {

void move_to(engine::VmContext& vm, layers::ImageRecord* image, int32_t x, int32_t y) {
  if (!image) return;
  image->base.pos.x = x;
  image->base.pos.y = y;
  image->base.fPos.x = static_cast<float>(x);
  image->base.fPos.y = static_cast<float>(y);
  layers::image_apply_transform(vm, *image);
}

OrvRect source_rect(const layers::ImageRecord* image) {
  OrvRect r{};
  if (image && image->hSprite) orv.OrvSpriteGetRect(image->hSprite, &r);
  return r;
}

void new_page(engine::TextWindow& tw) {
  tw.bPageName = 0;
  tw.nPageNextX = 0;
  tw.nPageNextY = 0;
  tw.nPageIconX = 0;
  tw.nPageIconY = 0;
  std::memset(tw.szPage, 0, sizeof tw.szPage);
}

bool has_speaker(const engine::TextWindow& tw) {
  return tw.dwNameId != engine::kNoText;
}

// The markup this line adds to the page.
std::string line_markup(const engine::TextWindow& tw) {
  std::string s;
  const bool page_empty = tw.szPage[0] == 0;
  if (has_speaker(tw)) {
    if (!page_empty) s += "<br>";
    s.append(tw.szName, strnlen(tw.szName, sizeof tw.szName));
    s += "<br>";
  } else if (tw.bPageName) {
    s += "<br>";
  }
  s.append(tw.szMessage, strnlen(tw.szMessage, sizeof tw.szMessage));
  s += "<br><reset>";
  return s;
}

}  // namespace

void text_page_append(engine::VmContext& vm, engine::TextWindow& tw) {
  const textrender::TextRenderSettings& rs = engine::text_settings.render;
  const bool skipping = (engine::get_skip_state(vm) & engine::kSkipAny) != 0;
  const int32_t effect = orv.OrvFontGetEffect();
  const int32_t effect_gap = effect == 3 ? 2 : 0;
  const int32_t ruby_gap = rs.bRubyOffsetOn ? 1 : -2;

  // 1. A new page when this line would pass the page's height or not fit in its buffer.
  const OrvRect message = source_rect(tw.lpMessage);
  const int64_t bottom = int64_t{tw.nPageNextY} - message.top + message.bottom + tw.nCharSize +
                         tw.nPageY + rs.nLineInterval;
  if (bottom > tw.nPageHeight) new_page(tw);
  if (strnlen(tw.szPage, sizeof tw.szPage) + line_markup(tw).size() + 1 > sizeof tw.szPage) {
    new_page(tw);
  }

  // 2. The page so far, drawn whole into the page sprite.
  const uint32_t page_sprite = text_sprite(tw.lpPage);
  if (page_sprite && !skipping) orv.OrvSpritePaint(page_sprite, nullptr, rs.dwPaintColour);
  const bool read_colours = engine::text_settings.bReadColor != 0;
  const uint32_t colour = read_colours ? engine::text_settings.dwReadColor : tw.dwColor;
  const uint32_t shadow = read_colours ? engine::text_settings.dwReadShadowColor : tw.dwShadowColor;
  orv.OrvFontSetColor(colour, shadow);
  uint32_t screen_w = 0, screen_h = 0;
  engine::game_screen_size(&screen_w, &screen_h);
  int32_t px = 0, py = 0;
  if (page_sprite) {
    textrender::draw_text_tagged(vm, rs, page_sprite, tw.szPage, &px, &py, tw.nWidth,
                                 static_cast<int32_t>(screen_h), tw.nCharSize, tw.nRubySize, colour,
                                 shadow, nullptr);
  }
  if (read_colours) orv.OrvFontSetColor(tw.dwColor, tw.dwShadowColor);
  int32_t y = tw.nPageY + py;

  // 3.-6. The name and the message below the page so far, and their markup.
  const int32_t pitch = tw.nCharSize + tw.nRubySize + ruby_gap + rs.nLineInterval + effect_gap;
  const std::string markup = line_markup(tw);
  if (has_speaker(tw)) {
    tw.bPageName = 1;
    if (tw.szPage[0]) y += pitch;
    if (tw.nRubySize != 0) y += tw.nRubySize + ruby_gap;
    move_to(vm, tw.lpName, tw.nPageX, y);
    y += tw.nCharSize + rs.nLineInterval + effect_gap;
  } else if (tw.bPageName) {
    tw.bPageName = 0;
    y += pitch;
  }
  move_to(vm, tw.lpMessage, tw.nPageX, y);
  textrender::page_buffer_append(tw.szPage, sizeof tw.szPage, markup.c_str());

  // 7. Where the icon and the next line go.
  tw.nPageIconX = tw.nEndX + tw.nPageX;
  tw.nPageIconY = tw.nEndY + y;
  const OrvRect drawn = source_rect(tw.lpMessage);
  tw.nPageNextX = tw.nPageX;
  tw.nPageNextY = y + (drawn.bottom - drawn.top);
}

}  // namespace textwindow
