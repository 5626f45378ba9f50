// The settings, page-mode, redraw, read-mark and query commands of group 0x02.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

#include "commands/command_util.h"
#include "engine/game_state.h"
#include "engine/neighbours.h"
#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/layers/image_record.h"
#include "text/lines/text_line.h"
#include "text/render/text_render.h"
#include "text/sound/voices.h"
#include "text/window/reveal.h"
#include "text/window/text_settings.h"
#include "text/window/text_settings_command_list.h"
#include "text/window/text_settings_commands.h"
#include "text/window/text_time_check.h"
#include "text/window/text_window_ops.h"
#include "text/window/voice_replay.h"

namespace textwindow {
namespace {

using engine::kLogHistory;
using engine::kLogMain;
using engine::vm_log;
using engine::vm_pop;
using engine::vm_set_result;

int32_t pop_int(VmContext& vm) {
  return static_cast<int32_t>(vm_pop(vm));
}

textrender::TextRenderSettings& render() {
  return engine::text_settings.render;
}

bool skipping(VmContext& vm) {
  return (engine::get_skip_state(vm) & engine::kSkipAny) != 0;
}

bool initialised(VmContext& vm, const char* command) {
  return text_window_ready(vm, command);
}

void paint(const layers::ImageRecord* image) {
  const OrvHandle sprite = text_sprite(image);
  if (sprite) orv.OrvSpritePaint(sprite, nullptr, render().dwPaintColour);
}

// The window's line pitch follows the char size, the line interval and the ruby band.
void line_pitch_update(TextWindow& tw) {
  const int32_t effect = orv.OrvFontGetEffect ? orv.OrvFontGetEffect() : 0;
  tw.reveal.nBaseLinePitch =
      textrender::text_base_line_pitch(render(), tw.nCharSize, tw.nRubySize, effect);
  tw.reveal.nLinePitch = tw.reveal.nBaseLinePitch;
}

// Sets a setting and answers with its previous value.
template <class T>
uint32_t swap_setting(VmContext& vm, T& field, T value) {
  vm_set_result(vm, static_cast<uint32_t>(field));
  field = value;
  return 1;
}

uint32_t cmd_text_hide(VmContext& vm) {
  const uint32_t flag = vm_pop(vm);
  vm_log(kLogHistory, "text_hide %d", static_cast<int32_t>(flag));
  if (skipping(vm) || !vm.text.bInit) return 1;
  if (engine::neighbours.interaction.select_show) engine::neighbours.interaction.select_show(vm, 0);
  text_window_show(vm, vm.text, false);
  if (flag) vm.runner.bYield = 1;
  return 1;
}

uint32_t cmd_text_show(VmContext& vm) {
  const uint32_t flag = vm_pop(vm);
  vm_log(kLogHistory, "text_show %d", static_cast<int32_t>(flag));
  if (skipping(vm)) return 1;
  if (!initialised(vm, "_text_show")) return 0;
  if (engine::neighbours.interaction.select_show) engine::neighbours.interaction.select_show(vm, 1);
  text_window_show(vm, vm.text, true);
  if (flag) vm.runner.bYield = 1;
  return 1;
}

uint32_t cmd_text_set_btn(VmContext& vm) {
  const uint32_t group = vm_pop(vm);
  vm_log(kLogHistory, "text_set_btn %d", static_cast<int32_t>(group));
  // The readers index the 16 groups with this number: only a group or "none" is kept.
  if (group == 0xFFFFFFFFu || (group & 0xFFFF) == engine::kNoButtonGroup) {
    vm.text.dwButtonGroup = engine::kNoButtonGroup;
    return 1;
  }
  if (group >= engine::kButtonGroups) {
    vm_log(kLogMain, "text_set_btn : no button group %d", static_cast<int32_t>(group));
    return 0;
  }
  vm.text.dwButtonGroup = group;
  vm.buttons.groups[group].dwLockLength = 0;
  return 1;
}

uint32_t cmd_text_clear(VmContext& vm) {
  vm_log(kLogHistory, "text_clear");
  if (!initialised(vm, "text_clear")) return 0;
  TextWindow& tw = vm.text;
  const bool skip = skipping(vm);
  if (!skip) {
    paint(tw.lpMessage);
    paint(tw.lpName);
  }
  std::memset(tw.szName, 0, sizeof tw.szName);
  std::memset(tw.szMessage, 0, sizeof tw.szMessage);
  std::memset(tw.szVoice, 0, sizeof tw.szVoice);
  tw.dwNameId = 0;
  tw.dwTextId = 0;
  tw.nRenderedLength = 0;
  tw.dwLineFlags = 0;
  tw.dwMode = 0;
  if (tw.dwTextMode == 1) {
    if (!skip) paint(tw.lpPage);
    std::memset(tw.szPage, 0, sizeof tw.szPage);
  }
  return 1;
}

uint32_t cmd_text_set_time(VmContext& vm) {
  engine::player_settings(vm).dwMessageSpeed = std::min<uint32_t>(vm_pop(vm), 100);
  return 1;
}

uint32_t cmd_text_get_time(VmContext& vm) {
  const uint32_t speed = engine::player_settings(vm).dwMessageSpeed;
  vm_set_result(vm, speed);
  vm_log(kLogHistory, "text_get_time [%d]", static_cast<int32_t>(speed));
  return 1;
}

uint32_t cmd_text_window_set_alpha(VmContext& vm) {
  const int32_t alpha = pop_int(vm);
  const int32_t keep = pop_int(vm);
  if (keep) engine::player_settings(vm).nTextAlpha = alpha;
  layers::ImageRecord* base = vm.text.lpBase;
  if (!base) {
    vm_log(kLogMain, "text_window_set_alpha %d, %d", alpha, keep);
    return 1;
  }
  base->base.dwColor = (static_cast<uint32_t>(alpha) << 24) | (base->base.dwColor & 0x00FFFFFFu);
  base->base.colorOfs.a = 0;
  base->base.colorOfs.r = 0;
  return 1;
}

uint32_t cmd_text_voice_play(VmContext& vm) {
  const uint32_t loop = vm_pop(vm);
  const TextWindow& tw = vm.text;
  const std::string voice(tw.szVoice, strnlen(tw.szVoice, sizeof tw.szVoice));
  voice_replay(vm, voice, loop ? engine::kVoiceLoop : 0);
  vm_log(kLogHistory, "text_voice_play %d : %s", static_cast<int32_t>(loop), voice.c_str());
  return 1;
}

uint32_t cmd_text_advance(VmContext& vm) {
  vm.text.bAdvanceRequest = 1;
  return 1;
}

uint32_t cmd_text_set_icon_animation_time(VmContext& vm) {
  const uint32_t icon = vm_pop(vm);
  const int32_t time = pop_int(vm);
  vm_log(kLogHistory, "text_set_icon_animation_time %d, %d", static_cast<int32_t>(icon), time);
  if (icon >= engine::kIconCount) return 1;
  const uint32_t animation = vm.text.icons[icon].hAnimation;
  if (animation) orv.OrvAnimationSetTime(animation, static_cast<uint32_t>(time));
  return 1;
}

uint32_t cmd_is_text_visible(VmContext& vm) {
  vm_set_result(vm, vm.text.bVisible);
  return initialised(vm, "is_text_visible") ? 1 : 0;
}

uint32_t cmd_enable_voice_cut(VmContext& vm) {
  const uint32_t flag = vm_pop(vm);
  vm.sound.bVoiceCut = flag;
  vm_log(kLogHistory, "enable_voice_cut %d", static_cast<int32_t>(flag));
  return 1;
}

uint32_t cmd_is_voice_cut(VmContext& vm) {
  vm_set_result(vm, vm.sound.bVoiceCut);
  vm_log(kLogHistory, "[%d]is_voice_cut", static_cast<int32_t>(vm.sound.bVoiceCut));
  return 1;
}

uint32_t cmd_text_set_color(VmContext& vm) {
  const uint32_t entry = vm_pop(vm);
  const uint32_t name_operand = vm_pop(vm);
  const uint32_t colour = vm_pop(vm);
  const uint32_t shadow = vm_pop(vm);
  if (entry >= 16) {
    vm_log(kLogMain, "over : text_set_color %d", static_cast<int32_t>(entry));
    return 0;
  }
  const std::string name = engine::fetch_text(vm, name_operand);
  engine::NameColor& c = engine::player_settings(vm).nameColors[entry];
  c = engine::NameColor{};
  c.bUsed = 1;
  c.dwTextColor = colour;
  c.dwShadowColor = shadow;
  // The length is the whole name's: a name longer than the field keeps its first 31 bytes
  // and never matches, rather than colouring every speaker whose name begins the same way.
  c.dwNameLength = static_cast<uint32_t>(name.size());
  std::memcpy(c.szName, name.data(), engine::sjis_clamp(name, sizeof c.szName - 1));
  vm_log(kLogHistory, "text_set_color %d, %s, %06X, %06X", static_cast<int32_t>(entry),
         name.c_str(), colour, shadow);
  return 1;
}

uint32_t cmd_text_redraw(VmContext& vm) {
  TextWindow& tw = vm.text;
  vm.history.bDisabled = 1;
  textrender::glyph_rects_clear(tw.reveal.keptRects);
  if (tw.dwTextId != 0 && tw.bInit) {
    tw.nTotalTime = 0;
    if (tw.dwTextMode != 1) {
      int32_t colour = 0, shadow = 0;
      orv.OrvFontGetColor(&colour, &shadow);
      tw.dwSavedColor = static_cast<uint32_t>(colour);
      tw.dwSavedShadowColor = static_cast<uint32_t>(shadow);
      tw.dwColor = tw.dwSavedColor;
      tw.dwShadowColor = tw.dwSavedShadowColor;
      textlines::text_set_name(vm, tw, tw.dwNameId);
      textlines::text_set_message(vm, tw, tw.dwTextId);
      tw.dwColor = tw.dwSavedColor;
      tw.dwShadowColor = tw.dwSavedShadowColor;
      orv.OrvFontSetColor(tw.dwColor, tw.dwShadowColor);
      reveal_apply(text_sprite(tw.lpMessage), tw.reveal, tw.nRenderedLength + 64, render().bFade);
    } else {
      tw.dwMode = engine::kModeClickWait;
      if (!skipping(vm)) {
        paint(tw.lpName);
        paint(tw.lpMessage);
        paint(tw.lpPage);
      }
      uint32_t w = 0, h = 0;
      engine::game_screen_size(&w, &h);
      int32_t x = 0, y = 0;
      textrender::draw_text_tagged(vm, render(), text_sprite(tw.lpPage), tw.szPage, &x, &y,
                                   tw.nWidth, static_cast<int32_t>(h), tw.nCharSize, tw.nRubySize,
                                   tw.dwColor, tw.dwShadowColor, nullptr);
    }
    text_icons_place(vm, tw);
  }
  vm_log(kLogHistory, "text_redraw");
  vm.history.bDisabled = 0;
  return 1;
}

uint32_t cmd_set_text_mode(VmContext& vm) {
  const uint32_t mode = vm_pop(vm);
  vm_log(kLogHistory, "set_text_mode %d", static_cast<int32_t>(mode));
  TextWindow& tw = vm.text;
  tw.dwTextMode = mode;
  layers::image_release_now(tw.lpPage);
  tw.lpPage = nullptr;
  if (mode != 1) {
    tw.nPageX = tw.nPageY = tw.nPageWidth = tw.nPageHeight = 0;
    std::memset(tw.szPage, 0, sizeof tw.szPage);
    if (tw.lpMessage) {
      tw.lpMessage->base.pos = {tw.x, tw.y, 0};
      tw.lpMessage->base.fPos = {static_cast<float>(tw.x), static_cast<float>(tw.y), 0.0f};
    }
    if (tw.lpName) {
      tw.lpName->base.pos = {tw.nNameX, tw.nNameY, 0};
      tw.lpName->base.fPos = {static_cast<float>(tw.nNameX), static_cast<float>(tw.nNameY), 0.0f};
    }
    return 1;
  }
  layers::ImageRecord* page = layers::image_alloc(layers::kBaseSystem, kImagePage);
  if (!page) return 0;
  uint32_t w = 0, h = 0;
  engine::game_screen_size(&w, &h);
  page->hSprite = orv.OrvSpriteCreate(orv.OrvRenderGetActive(), static_cast<int32_t>(w),
                                      static_cast<int32_t>(h), engine::text_settings.nPriority);
  if (!page->hSprite) {
    layers::image_release_now(page);
    return 0;
  }
  page->base.pos = {tw.nPageX, tw.nPageY, 0};
  page->base.fPos = {static_cast<float>(tw.nPageX), static_cast<float>(tw.nPageY), 0.0f};
  tw.lpPage = page;
  return 1;
}

uint32_t cmd_text_init_visualnovelmode(VmContext& vm) {
  TextWindow& tw = vm.text;
  tw.nPageX = pop_int(vm);
  tw.nPageY = pop_int(vm);
  tw.nPageWidth = pop_int(vm);
  tw.nPageHeight = pop_int(vm);
  std::memset(tw.szPage, 0, sizeof tw.szPage);
  vm_log(kLogHistory, "text_init_visualnovelmode %d, %d, %d, %d", tw.nPageX, tw.nPageY,
         tw.nPageWidth, tw.nPageHeight);
  return 1;
}

uint32_t cmd_text_set_icon_mode(VmContext& vm) {
  vm.text.dwIconMode = vm_pop(vm);
  vm_log(kLogHistory, "text_set_icon_mode %d", static_cast<int32_t>(vm.text.dwIconMode));
  return 1;
}

uint32_t cmd_text_vn_br(VmContext& vm) {
  textrender::page_buffer_append(vm.text.szPage, sizeof vm.text.szPage, "<br>");
  vm_log(kLogHistory, "text_vn_br");
  return 1;
}

uint32_t cmd_text_get_current(VmContext& vm) {
  const uint32_t vars[3] = {vm_pop(vm), vm_pop(vm), vm_pop(vm)};
  char* slots[3] = {};
  for (int i = 0; i < 3; ++i) {
    slots[i] = engine::is_string_handle(vars[i]) ? engine::slot_of(vm, vars[i]) : nullptr;
    if (!slots[i]) {
      vm_log(kLogMain, "Get Tex : " CMD_NOT_STRING_TYPE);
      vm_set_result(vm, 0);
      return 0;
    }
  }
  const TextWindow& tw = vm.text;
  engine::slot_store(slots[0], std::string_view(tw.szName, strnlen(tw.szName, sizeof tw.szName)));
  engine::slot_store(slots[1],
                     std::string_view(tw.szVoice, strnlen(tw.szVoice, sizeof tw.szVoice)));
  engine::slot_store(slots[2],
                     std::string_view(tw.szMessage, strnlen(tw.szMessage, sizeof tw.szMessage)));
  vm_set_result(vm, 1);
  vm_log(kLogHistory, "Get Text %s %s %s", slots[0], slots[1], slots[2]);
  return 1;
}

uint32_t cmd_text_animation_set_mode(VmContext& vm) {
  textrender::TextRenderSettings& s = render();
  s.dwRevealType = vm_pop(vm);
  s.bFade = vm_pop(vm);
  s.bSpaceSkip = vm_pop(vm);
  vm_log(kLogHistory, "text_animation_set_mode [type=%d,fade=%d,spaceskip=%d]",
         static_cast<int32_t>(s.dwRevealType), static_cast<int32_t>(s.bFade),
         static_cast<int32_t>(s.bSpaceSkip));
  return 1;
}

uint32_t cmd_text_set_paint_color(VmContext& vm) {
  const uint32_t colour = vm_pop(vm);
  vm_log(kLogHistory, "text_set_paint_color [color=%08X(h)]", colour);
  return swap_setting(vm, render().dwPaintColour, colour);
}

uint32_t cmd_text_set_line_interval(VmContext& vm) {
  const int32_t interval = pop_int(vm);
  const int32_t width_offset = pop_int(vm);
  const int32_t height_offset = pop_int(vm);
  textrender::TextRenderSettings& s = render();
  vm_set_result(vm, static_cast<uint32_t>(s.nLineInterval));
  s.nLineInterval = interval;
  s.nWidthOffset = width_offset;
  s.nHeightOffset = height_offset;
  if (vm.text.bInit) line_pitch_update(vm.text);
  vm_log(kLogHistory, "text_set_line_interval [interval=%d widthOffset=%d heightOffset=%d]",
         interval, width_offset, height_offset);
  return 1;
}

uint32_t cmd_text_is_read(VmContext& vm) {
  const uint32_t id = textlines::text_id_of(vm, vm_pop(vm));
  vm_set_result(vm, engine::text_read_get(vm, id) ? 1u << (id & 7) : 0);
  return 1;
}

uint32_t cmd_text_set_read(VmContext& vm) {
  engine::text_read_set(vm, textlines::text_id_of(vm, vm_pop(vm)));
  return 1;
}

uint32_t cmd_text_set_external(VmContext& vm) {
  return swap_setting(vm, vm.text.bExternal, vm_pop(vm));
}

uint32_t cmd_text_set_read_state(VmContext& vm) {
  return swap_setting(vm, vm.text.bRead, vm_pop(vm));
}

uint32_t cmd_text_clear_buffer(VmContext& vm) {
  std::memset(vm.text.szMessage, 0, sizeof vm.text.szMessage);
  std::memset(vm.save.szSaveText, 0, sizeof vm.save.szSaveText);
  return 1;
}

uint32_t cmd_enable_text_click_advance(VmContext& vm) {
  vm.text.bClickAdvance = vm_pop(vm) != 0;
  return 1;
}

uint32_t cmd_is_text_click_advance(VmContext& vm) {
  vm_set_result(vm, vm.text.bClickAdvance);
  return 1;
}

uint32_t cmd_text_set_pitch(VmContext& vm) {
  return swap_setting(vm, render().nPitch, pop_int(vm));
}

uint32_t cmd_text_set_wrap_flag(VmContext& vm) {
  return swap_setting(vm, render().bWrap, vm_pop(vm));
}

uint32_t cmd_text_get_mode(VmContext& vm) {
  vm_set_result(vm, vm.text.dwMode);
  return 1;
}

uint32_t cmd_text_wait_clear(VmContext& vm) {
  TextWindow& tw = vm.text;
  if (tw.dwIcon != engine::kIconSkip) text_icon_view(tw, tw.dwIcon, false);
  tw.dwMode = 0;
  return 1;
}

uint32_t cmd_text_set_read_color(VmContext& vm) {
  engine::TextSettings& s = engine::text_settings;
  s.bReadColor = vm_pop(vm);
  s.dwReadColor = vm_pop(vm);
  s.dwReadShadowColor = vm_pop(vm);
  return 1;
}

uint32_t cmd_text_init_ex(VmContext& vm) {
  const int32_t char_size = pop_int(vm);
  const int32_t width = pop_int(vm);
  const int32_t height = pop_int(vm);
  const int32_t ruby_size = pop_int(vm);
  vm_log(kLogHistory, "text_init_ex %d, %d, %d, %d", char_size, width, height, ruby_size);
  // The same bounds as text_init: these sizes lay out every later line and a saved game.
  constexpr int32_t kMaxSide = engine::kMaxTextSide;
  if (char_size < 0 || width < 0 || height < 0 || ruby_size < 0 || char_size > kMaxSide ||
      width > kMaxSide || height > kMaxSide || ruby_size > kMaxSide) {
    vm_log(kLogMain, "text_init_ex : invalid size %d, %d, %d, %d", char_size, width, height,
           ruby_size);
    return 0;
  }
  TextWindow& tw = vm.text;
  tw.nCharSize = char_size;
  tw.nWidth = (width + 3) & ~3;
  tw.nHeight = height;
  tw.nRubySize = ruby_size;
  orv.OrvFontSetFontSize(char_size);
  return 1;
}

constexpr engine::CommandEntry kEntries[] = {TEXT_SETTINGS_COMMANDS(COMMAND_ENTRY)};

}  // namespace

const engine::CommandList text_settings_commands = engine::command_list(kEntries);

}  // namespace textwindow
