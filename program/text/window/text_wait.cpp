#include "text/window/text_wait.h"

#include <algorithm>
#include <cstddef>

#include "engine/game_state.h"
#include "engine/interpreter.h"
#include "engine/neighbours.h"
#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "text/render/text_tips.h"
#include "text/window/reveal.h"
#include "text/window/text_settings.h"
#include "text/window/text_window_ops.h"
#include "text/window/text_window_seams.h"

namespace textwindow {
namespace {

using engine::kModeClickWait;
using engine::kModeEndNextUpdate;
using engine::kModeEndWithReveal;
using engine::kModeNoClickLine;
using engine::kModeNoWaitLine;
using engine::kModeReveal;
using engine::kModeRevealAtOnce;
using engine::kModeTimedWait;

constexpr uint32_t kMouseButton = 0x800000;
constexpr int32_t kSoftEdge = 64;

uint32_t now() {
  return orv.OrvClockGetTime();
}

int32_t at_least_one(int64_t n) {
  return n > 0 ? static_cast<int32_t>(std::min<int64_t>(n, INT32_MAX)) : 1;
}

int32_t clamp32(int64_t n) {
  return static_cast<int32_t>(std::clamp<int64_t>(n, INT32_MIN, INT32_MAX));
}

bool latch_in_main() {
  return engine::g_advance_latch.bEnabled && engine::script_thread_id.load() == 0;
}

void apply(TextWindow& tw, int32_t distance) {
  reveal_apply(text_sprite(tw.lpMessage), tw.reveal, distance,
               engine::text_settings.render.bFade != 0);
}

// A click on a button of the game does not advance the text.
uint32_t without_button_click(VmContext& vm, uint32_t input) {
  if (!(input & 8)) return input;
  const uint32_t keys =
      vm.buttons.bKeyRelease ? engine::orv_input_key_pull() : engine::orv_input_key_push();
  if ((keys & kMouseButton) && text_button_hit(vm)) input &= ~8u;
  return input;
}

// The end of a wait: the script goes on, the latch starts afresh.
bool end_wait(VmContext& vm) {
  text_wait_end(vm);
  engine::g_advance_latch.bEnabled = 0;
  engine::g_advance_latch.dwLatched = 0;
  engine::script_point_pop(vm);
  engine::neighbour_run(engine::neighbours.layers.action_clear_marked, vm);
  engine::tips_end_hook(vm);
  engine::vm_log(engine::kLogHistory, "*action_clear_reserve()");
  return true;
}

// The end of a wait that may have had a minimum length (wait_click with a time).
bool finish(VmContext& vm, TextWindow& tw) {
  tw.dwWaitTime = 0;
  tw.dwWaitStart = 0;
  return end_wait(vm);
}

}  // namespace

void text_w_reveal_done_set(TextWindow& tw) {
  tw.bEndOfText[0] = 1;
  tw.bEndOfText[1] = 1;
}

void text_set_reveal_time(VmContext& vm, TextWindow& tw, int32_t time) {
  tw.dwStartTime = now();
  if (time > 0) {
    tw.nTotalTime = time;
  } else if (time == 0) {
    const int64_t units = tw.nRenderedLength / at_least_one(tw.nCharSize);
    tw.nTotalTime = clamp32(units * engine::player_settings(vm).dwMessageSpeed);
  } else {
    tw.nTotalTime = time;
    tw.dwMode |= kModeRevealAtOnce;
  }
}

bool text_reveal_step(VmContext& vm, TextWindow& tw, uint32_t input) {
  const uint32_t latched = latch_in_main() ? engine::g_advance_latch.dwLatched : 0;
  const int64_t full = int64_t{tw.nRenderedLength} + kSoftEdge;
  if (latched == 0 && input == 0 &&
      (tw.nTime != 0 || engine::player_settings(vm).dwMessageSpeed != 0)) {
    const uint32_t elapsed = now() + tw.dwRevealOffset - tw.dwStartTime;
    const uint32_t total = static_cast<uint32_t>(tw.nTotalTime);
    const float f = total == 0
                        ? 0.0f
                        : static_cast<float>(std::min(elapsed, total)) / static_cast<float>(total);
    apply(tw, clamp32(static_cast<int64_t>(static_cast<float>(full) * f)));
    voice_call_end(vm);
    return total < elapsed;
  }
  apply(tw, clamp32(full));
  voice_call_end(vm);
  return true;
}

void text_click_wait_start(VmContext& vm) {
  TextWindow& tw = vm.text;
  if (tw.dwIcon < engine::kIconCount) {
    engine::TextIcon& icon = tw.icons[tw.dwIcon];
    if (engine::get_skip_state(vm) & 8) text_icon_animation_reset(icon);
    if (icon.lpImage && !tw.bExternal) text_icon_view(tw, tw.dwIcon, true);
  }
  tw.dwMode = (tw.dwMode & 0xFFFF0000u) | kModeClickWait;
  tw.bAdvanceRequest = 0;
  const int64_t step = at_least_one(int64_t{tw.nCharSize} + engine::text_settings.render.nPitch);
  tw.nTotalTime =
      clamp32((tw.nRenderedLength / step) * int64_t{engine::player_settings(vm).dwAutoSpeed} + 500);
  tw.dwStartTime = now();
}

void text_wait_end(VmContext& vm) {
  TextWindow& tw = vm.text;
  if (!(tw.dwMode & (kModeNoWaitLine | kModeNoClickLine)) && vm.sound.bVoiceCut) {
    voice_call_end(vm);
    line_voices_cut(vm);
  }
  if (tw.dwIcon != engine::kIconSkip) text_icon_view(tw, tw.dwIcon, false);
  voice_call_end(vm);
  tw.dwMode = 0;
}

uint32_t text_voice_wait(VmContext& vm, TextWindow& tw, uint32_t input) {
  const uint32_t e = now() - tw.dwStartTime;
  const bool delay_over = int64_t{e} >= tw.nTotalTime;
  if (!engine::neighbour_ask(engine::neighbours.text.voice_any_playing, vm, false)) {
    return delay_over ? 1 : input;
  }
  if (input) return input;
  if (delay_over && engine::neighbour_ask(engine::neighbours.text.voice_playing_muted, vm, false)) {
    return 1;
  }
  if (latch_in_main() && (engine::get_skip_state(vm) & 8)) return 1;
  return 0;
}

bool text_update(VmContext& vm) {
  TextWindow& tw = vm.text;
  if (tw.dwMode == 0 || !tw.bVisible) return false;
  uint32_t input = without_button_click(vm, engine::get_skip_state(vm));
  voice_call_end(vm);
  // Skip mode stops at text not read before; Ctrl does not.
  if ((input & 1) && !(input & 4) && engine::player_settings(vm).bSkipUnread == 0 &&
      tw.bRead == 0) {
    input &= ~1u;
  }
  if (tw.bAdvanceRequest) input |= 2;

  const uint32_t mode = tw.dwMode;
  if (mode & kModeEndNextUpdate) {
    if (!(mode & (kModeNoWaitLine | kModeNoClickLine))) engine::tips_begin_hook(vm);
    return finish(vm, tw);
  }
  if (mode & kModeReveal) {
    if (mode & kModeRevealAtOnce) {
      input |= 1;
    } else if (mode & kModeNoWaitLine) {
      input = 0;  // a no-wait line runs its full time
    }
    if (text_reveal_step(vm, tw, input)) {
      if (mode & kModeEndWithReveal) return finish(vm, tw);
      if (mode & kModeNoWaitLine) {
        text_wait_end(vm);
        if (!(engine::get_skip_state(vm) & 8)) text_w_reveal_done_set(tw);
      } else if (mode & kModeNoClickLine) {
        text_wait_end(vm);
        engine::script_point_pop(vm);
      } else {
        text_click_wait_start(vm);
        if (tw.bClickAdvance && (engine::get_skip_state(vm) & 8)) {
          engine::tips_begin_hook(vm);
          return finish(vm, tw);
        }
      }
    }
    if (!(mode & kModeNoWaitLine)) {
      engine::tips_begin_hook(vm);
      return true;
    }
    return false;
  }
  const bool auto_mode = vm.run.bAuto != 0;
  if (mode & kModeTimedWait) {
    engine::tips_begin_hook(vm);
    const uint32_t r = auto_mode ? text_voice_wait(vm, tw, input) : input;
    if (!r) {
      if (!text_voice_wait(vm, tw, input)) return false;
      if (tw.dwWaitTime && now() - tw.dwWaitStart < tw.dwWaitTime &&
          engine::get_skip_state(vm) == 0) {
        return false;
      }
    }
    return finish(vm, tw);
  }
  if (mode & kModeClickWait) {
    engine::tips_begin_hook(vm);
    if (auto_mode) input = text_voice_wait(vm, tw, input);
    if (!input) return false;
    return end_wait(vm);
  }
  return false;
}

}  // namespace textwindow
