#include "text/window/text_window_ops.h"

#include <cstring>

#include "engine/neighbours.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/layers/image_record.h"
#include "graphics/layers/layer_slots.h"
#include "text/window/reveal.h"
#include "text/window/text_settings.h"
#include "text/window/text_window_seams.h"

namespace textwindow {
namespace {

using layers::ImageRecord;

constexpr int kLogExternal = 16;

void set_offset(ImageRecord& image, int32_t x, int32_t y) {
  image.base.posOfs.x = x;
  image.base.posOfs.y = y;
  image.base.fPosOfs.x = static_cast<float>(x);
  image.base.fPosOfs.y = static_cast<float>(y);
}

void view(const ImageRecord* image, bool on) {
  if (image && image->hSprite) orv.OrvSpriteViewCtrl(image->hSprite, on ? 1 : 0);
}

// Clears the window and its end-of-text flags (the reset clears them with it); the
// click-advance switch is a setting and stays. The renderer's glyph lists are released.
void clear_record(TextWindow& tw) {
  textrender::glyph_rects_free(tw.reveal.lineRects);
  textrender::glyph_rects_free(tw.reveal.keptRects);
  const uint32_t click_advance = tw.bClickAdvance;
  std::memset(static_cast<void*>(&tw), 0, sizeof tw);
  tw.bClickAdvance = click_advance;
}

int32_t ruby_gap(bool offset_on) {
  return offset_on ? 4 : 0;
}

}  // namespace

uint32_t text_sprite(const layers::ImageRecord* image) {
  return image ? image->hSprite : 0;
}

int32_t pow2_up(int32_t n) {
  if (n <= 0) return 0;
  if (n > (1 << 30)) return n;
  int32_t p = 1;
  while (p < n) p <<= 1;
  return p;
}

void text_window_uninit(VmContext& vm) {
  TextWindow& tw = vm.text;
  layers::image_release(vm, tw.lpBase);
  for (engine::TextIcon& icon : tw.icons) {
    text_icon_animation_release(icon);
    layers::image_release(vm, icon.lpImage);
  }
  layers::image_release(vm, tw.lpName);
  layers::image_release(vm, tw.lpMessage);
  layers::image_release(vm, tw.lpPage);
  if (tw.hTimeCheckTask) orv.OrvTaskFree(tw.hTimeCheckTask);
  reveal_free(tw.reveal);
  clear_record(tw);
}

void text_window_free(VmContext& vm) {
  TextWindow& tw = vm.text;
  if (tw.hTimeCheckTask) orv.OrvTaskFree(tw.hTimeCheckTask);
  layers::image_release_now(tw.lpBase);
  for (engine::TextIcon& icon : tw.icons) {
    text_icon_animation_release(icon);
    layers::image_release_now(icon.lpImage);
  }
  layers::image_release_now(tw.lpName);
  layers::image_release_now(tw.lpMessage);
  layers::image_release_now(tw.lpPage);
  reveal_free(tw.reveal);
  clear_record(tw);
  tw.dwButtonGroup = engine::kNoButtonGroup;
}

void text_icon_view(TextWindow& tw, uint32_t icon, bool on) {
  if (icon < engine::kIconCount) view(tw.icons[icon].lpImage, on);
}

void text_window_show(VmContext& vm, TextWindow& tw, bool on) {
  tw.bVisible = on ? 1 : 0;
  text_button_group_view(vm, tw, on);
  view(tw.lpMessage, on);
  if (tw.dwTextMode != 2) view(tw.lpName, on);
  view(tw.lpPage, on);
  view(tw.lpBase, on);
  layers::face_view_ctrl(vm, on ? 1 : 0);
  if (tw.dwIcon < engine::kIconCount && tw.icons[tw.dwIcon].lpImage) {
    if (!on) {
      text_icon_view(tw, tw.dwIcon, false);
    } else if (tw.dwMode & engine::kModeClickWait) {
      text_icon_view(tw, tw.dwIcon, true);
    }
  }
  if (on) text_window_buttons_update(vm, tw);
}

void text_icon_select(VmContext& vm, TextWindow& tw, uint32_t icon) {
  if (tw.dwIcon >= engine::kIconCount || !tw.icons[tw.dwIcon].lpImage) return;
  if (icon >= engine::kIconCount) return;
  text_icon_view(tw, tw.dwIcon, false);
  tw.dwIcon = icon;
  if (tw.icons[icon].lpImage && tw.bVisible) {
    if (tw.bExternal) {
      engine::vm_log(kLogExternal, "bExternal = 1 : %s", tw.szMessage);
    } else if (icon == engine::kIconClick) {
      if (tw.dwMode & engine::kModeClickWait) text_icon_view(tw, icon, true);
    } else if (tw.dwTextMode == 0 || tw.dwTextMode == 2) {
      text_icon_view(tw, icon, true);
    }
  }
  voice_call_end(vm);
}

void text_icons_place(VmContext& vm, TextWindow& tw) {
  if (engine::get_skip_state(vm) & engine::kSkipAny) return;
  const textrender::TextRenderSettings& rs = engine::text_settings.render;
  const int32_t gap = ruby_gap(rs.bRubyOffsetOn != 0);
  for (engine::TextIcon& icon : tw.icons) {
    if (!icon.lpImage) break;
    ImageRecord& image = *icon.lpImage;
    if (tw.dwIconMode != 1) {
      set_offset(image, 0, 0);
    } else if (tw.dwTextMode == 1) {
      set_offset(image, tw.nPageIconX + rs.nWidthOffset, tw.nPageIconY + tw.nRubySize + gap);
    } else if (tw.nEndX > tw.nWidth) {
      // Past the right edge: the start of the next line while it still fits, else the start
      // of the last line.
      int32_t oy = tw.y + tw.nEndY + tw.nRubySize + gap;
      const int64_t next = int64_t{tw.nCharSize} + tw.nRubySize + tw.nEndY;
      if (tw.nHeight >= next) oy += tw.nCharSize + tw.nRubySize + gap;
      set_offset(image, tw.x, oy);
    } else {
      set_offset(image, tw.x + tw.nEndX + rs.nWidthOffset, tw.y + tw.nEndY + tw.nRubySize + gap);
    }
  }
}

void text_window_buttons_update(VmContext& vm, TextWindow& tw) {
  text_button_group_styles(vm, tw);
}

bool text_window_ready(VmContext& vm, const char* command) {
  if (vm.text.bInit) return true;
  engine::vm_log(engine::kLogMain, "text initialize error : %s", command);
  return false;
}

void debug_print_current_line(VmContext& vm) {
  const TextWindow& tw = vm.text;
  engine::vm_log(engine::kLogMain, "name=%.*s / voice=%.*s / %.*s",
                 static_cast<int>(sizeof tw.szName), tw.szName, static_cast<int>(sizeof tw.szVoice),
                 tw.szVoice, static_cast<int>(sizeof tw.szMessage), tw.szMessage);
}

}  // namespace textwindow
