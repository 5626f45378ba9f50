#include "text/window/text_time_check.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "commands/command_util.h"
#include "engine/game_state.h"
#include "engine/orv_api.h"
#include "engine/vm_services.h"
#include "text/render/text_render.h"
#include "text/sound/voice_calls.h"
#include "text/window/reveal.h"
#include "text/window/text_settings.h"
#include "text/window/text_window_ops.h"

namespace textwindow {
namespace {

constexpr int32_t kSoftEdge = 64;
constexpr uint32_t kPauseAfter = 500;
constexpr uint32_t kTextBytes = 4098;

// The task's data block, zeroed when the task is made.
struct TimeCheckData {
  engine::VmContext* vm;
  OrvHandle hSprite;
  int32_t x, y;
  uint32_t dwPauseLength;  // ms of the running pause; 0 while revealing
  uint32_t dwPauseStart;
  int32_t nRenderedLength;
  int32_t nRevealedLength;
  uint32_t bInit;
  uint16_t wFontSize, wFontType, wFontEffect;
  char szText[kTextBytes];
  uint32_t dwRevealStart;
  textrender::RevealState reveal;
};

int32_t font_size(const TimeCheckData& d) {
  return d.wFontSize > 0 ? d.wFontSize : 1;
}

void step_reveal(void* data);

void step_pause(void* data) {
  TimeCheckData& d = *static_cast<TimeCheckData*>(data);
  const uint32_t now = orv.OrvtimeGetTime();
  if (now - d.dwPauseStart < d.dwPauseLength) return;
  d.dwPauseLength = 0;
  d.dwRevealStart = now;
  d.reveal.nLinePitch = d.reveal.nBaseLinePitch;
  reveal_capture(d.hSprite, d.reveal, reveal_ordering(engine::text_settings.render), d.wFontEffect,
                 false);
  orv.OrvTaskChangeNext(step_reveal);
}

void step_reveal(void* data) {
  TimeCheckData& d = *static_cast<TimeCheckData*>(data);
  engine::VmContext& vm = *d.vm;
  const engine::SystemSettings& s = engine::player_settings(vm);
  const int32_t n = d.nRenderedLength;
  const bool fade = engine::text_settings.render.bFade != 0;
  if (s.dwMessageSpeed == 0) {
    d.nRevealedLength = n + kSoftEdge;
    reveal_apply(d.hSprite, d.reveal, d.nRevealedLength, fade);
  } else {
    const uint32_t chars = static_cast<uint32_t>(std::max(n, 0) / font_size(d));
    const uint32_t total = chars * s.dwMessageSpeed;
    const uint32_t elapsed = std::min(orv.OrvtimeGetTime() - d.dwRevealStart, total);
    // A sample shorter than one character has no reveal time: it shows whole.
    d.nRevealedLength =
        total == 0 ? n + kSoftEdge
                   : static_cast<int32_t>(static_cast<float>(elapsed) / static_cast<float>(total) *
                                          static_cast<float>(n + kSoftEdge));
    reveal_apply(d.hSprite, d.reveal, d.nRevealedLength, fade);
    if (elapsed >= total) {
      d.dwPauseLength = chars * s.dwAutoSpeed + kPauseAfter;
      d.dwPauseStart = orv.OrvtimeGetTime();
      orv.OrvTaskChangeNext(step_pause);
    }
  }
  engine::voice_call_end(vm);
}

void step_first(void* data) {
  TimeCheckData& d = *static_cast<TimeCheckData*>(data);
  d.bInit = 1;
  orv.OrvTaskChangeNextImm(step_pause);
}

void task_end(void* data) {
  TimeCheckData& d = *static_cast<TimeCheckData*>(data);
  if (!d.bInit) return;
  if (d.hSprite) orv.OrvSpriteRelease(orv.OrvRenderGetActive(), d.hSprite);
  d.hSprite = 0;
  reveal_free(d.reveal);
  textrender::glyph_rects_free(d.reveal.lineRects);
  textrender::glyph_rects_free(d.reveal.keptRects);
  d.bInit = 0;
}

TimeCheckData* data_of(OrvHandle task) {
  return task ? static_cast<TimeCheckData*>(orv.OrvTaskGetTaskData(task)) : nullptr;
}

}  // namespace

OrvHandle text_time_check_create(engine::VmContext& vm, const char* text, int32_t x, int32_t y,
                                 int32_t width, int32_t height) {
  void* block = nullptr;
  const OrvHandle task = orv.OrvTaskCreate(step_first, task_end, sizeof(TimeCheckData), &block, 2,
                                           0, "AdvTextTimeCheckTask");
  if (!task || !block) return 0;
  TimeCheckData& d = *static_cast<TimeCheckData*>(block);
  d.vm = &vm;
  std::memcpy(d.szText, text, strnlen(text, sizeof d.szText - 1));
  d.x = x;
  d.y = y;
  d.wFontSize = static_cast<uint16_t>(orv.OrvFontGetFontSize());
  d.wFontType = static_cast<uint16_t>(orv.OrvFontGetType());
  d.wFontEffect = static_cast<uint16_t>(orv.OrvFontGetEffect());
  const textrender::TextRenderSettings& rs = engine::text_settings.render;
  width = (std::clamp(width, 0, engine::kMaxTextSide) + 3) & ~3;
  height = std::clamp(height, 0, engine::kMaxTextSide);
  d.hSprite = orv.OrvSpriteCreate(orv.OrvRenderGetActive(), pow2_up(d.wFontSize + width),
                                  pow2_up(height + rs.nHeightOffset),
                                  static_cast<int32_t>(vm.run.dwSpritePriorityBase) + 4866);
  if (d.hSprite) orv.OrvSpriteSetPos(d.hSprite, static_cast<float>(x), static_cast<float>(y), 0);
  reveal_init(d.reveal, d.wFontSize + width, height,
              textrender::text_base_line_pitch(rs, d.wFontSize, 0, d.wFontEffect));
  int32_t colour = 0, shadow = 0;
  orv.OrvFontGetColor(&colour, &shadow);
  int32_t ex = 0, ey = 0;
  d.nRenderedLength = textrender::draw_text_tagged(
      vm, rs, d.hSprite, d.szText, &ex, &ey, width, height, d.wFontSize, 0,
      static_cast<uint32_t>(colour), static_cast<uint32_t>(shadow), &d.reveal);
  if (d.hSprite) orv.OrvSpriteViewCtrl(d.hSprite, 1);
  return task;
}

uint32_t cmd_text_time_check_create(engine::VmContext& vm) {
  const uint32_t text_operand = engine::vm_pop(vm);
  const int32_t x = static_cast<int32_t>(engine::vm_pop(vm));
  const int32_t y = static_cast<int32_t>(engine::vm_pop(vm));
  const int32_t width = static_cast<int32_t>(engine::vm_pop(vm));
  const int32_t height = static_cast<int32_t>(engine::vm_pop(vm));
  const std::string text = engine::fetch_text(vm, text_operand, 4096);
  textrender::glyph_rects_clear(vm.text.reveal.keptRects);
  vm.text.hTimeCheckTask = text_time_check_create(vm, text.c_str(), x, y, width, height);
  return 1;
}

uint32_t cmd_text_time_check_release(engine::VmContext& vm) {
  const OrvHandle task = vm.text.hTimeCheckTask;
  if (task) {
    orv.OrvTaskFree(task);
    orv.OrvTaskReProcess(task);
  }
  vm.text.hTimeCheckTask = 0;
  return 1;
}

uint32_t cmd_text_time_check_clear(engine::VmContext& vm) {
  TimeCheckData* d = data_of(vm.text.hTimeCheckTask);
  if (!d || d->dwPauseLength != 0 || !d->hSprite) return 1;
  int32_t w = 0, h = 0;
  uint32_t* pixels = orv.OrvSpriteLock(d->hSprite, &w, &h);
  if (pixels) {
    for (int64_t i = 0; i < int64_t{w} * h; ++i) pixels[i] &= 0x00FFFFFFu;
    orv.OrvSpriteUnlock(d->hSprite);
  }
  reveal_apply(d->hSprite, d->reveal, d->nRevealedLength, engine::text_settings.render.bFade != 0);
  return 1;
}

}  // namespace textwindow
