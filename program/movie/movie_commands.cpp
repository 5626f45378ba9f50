#include "movie/movie_commands.h"

#include <cstdio>
#include <cstring>

#include "engine/dispatch.h"
#include "engine/formats/startup_info.h"
#include "engine/interpreter.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/layers/image_record.h"
#include "graphics/layers/layer_slots.h"
#include "movie/movie_command_list.h"
#include "text/sound/music.h"

namespace movies {
namespace {

using engine::CommandEntry;
using engine::CommandList;
using engine::kLogHistory;
using engine::kLogMain;
using engine::LayerSlot;
using engine::vm_log;
using engine::vm_pop;
using engine::VmContext;

using layers::kLayerMovie;
constexpr uint32_t kWordMovieVolume = 507;
constexpr uint32_t kWordMovieMute = 508;
constexpr uint32_t kSoundTypeMovie = 0;
constexpr uint32_t kMovieEnded = 4;  // the state bit of an ended movie (state 6)
constexpr uint32_t kSpSetEx = 0x030003;
constexpr uint32_t kSpCls = 0x030005;
constexpr const char* kExtensions[] = {".wmv", ".mpg"};

int32_t as_int(uint32_t v) {
  return static_cast<int32_t>(v);
}

// The layer's slot when the number is a layer (0-127), else null.
LayerSlot* slot_of(VmContext& vm, uint32_t layer) {
  return layer < layers::kLayers ? &vm.layers[layer] : nullptr;
}

// The sprite of the layer's image when it is a movie sprite, else 0.
uint32_t movie_sprite_of(const LayerSlot& slot) {
  if (!slot.lpImage || !slot.lpImage->hSprite) return 0;
  return orv.OrvMSpriteCheck(slot.lpImage->hSprite) ? slot.lpImage->hSprite : 0;
}

uint32_t cmd_movie_play(VmContext& vm) {
  const uint32_t file = vm_pop(vm);
  const uint32_t mode = vm_pop(vm);
  char name[260] = {};
  engine::get_file_name_operand(vm, reinterpret_cast<uint8_t*>(name), sizeof name, file, 1);
  if (char* dot = std::strrchr(name, '.')) *dot = '\0';
  if ((engine::get_skip_state(vm) & engine::kSkipAny) || engine::startup_settings().bMovieSkip)
    return 1;
  engine::bgm_auto_volume_apply(vm.sound, false);  // the music back to its full volume
  char path[272];
  for (const char* extension : kExtensions) {
    std::snprintf(path, sizeof path, "%s%s", name, extension);
    if (orv.OrvVideoPlay(path, as_int(mode & 0xFFFF))) {
      vm_log(kLogHistory, "movie_play  %s", path);
      vm.runner.bYield = 1;
      return 1;
    }
  }
  vm_log(kLogMain, "error movie_play [%s]", name);
  vm.runner.bYield = 1;
  return 1;
}

uint32_t cmd_msp_set(VmContext& vm) {
  const uint32_t file = vm_pop(vm);
  const uint32_t layer = vm_pop(vm);
  const uint32_t x = vm_pop(vm);
  const uint32_t y = vm_pop(vm);
  const uint32_t extra = vm_pop(vm);
  const int32_t loop = as_int(vm_pop(vm));
  const uint32_t loop_start = vm_pop(vm);
  const uint32_t loop_end = vm_pop(vm);
  // sp_set_ex pops file, layer, x, y, extra in that order.
  for (uint32_t v : {extra, y, x, layer, file}) engine::vm_push(vm, v);
  engine::CommandHandler sp_set_ex = engine::command_lookup(kSpSetEx);
  if (sp_set_ex) sp_set_ex(vm);
  // A layer number outside 0-127 was refused by sp_set_ex: nothing of it may be read.
  LayerSlot* slot = slot_of(vm, layer);
  if (!slot || !slot->lpImage) {
    engine::vm_set_result(vm, 0);
    return 0;
  }
  layers::image_apply_transform(vm, *slot->lpImage);
  const uint32_t sprite = slot->lpImage->hSprite;
  slot->dwFlags |= kLayerMovie;
  slot->nMovieLoop = loop;
  orv.OrvMSpriteSetLoopPoint(sprite, loop_start, loop_end);
  uint32_t r = orv.OrvMSpritePlay(sprite, loop) ? 1 : 0;
  if (engine::get_skip_state(vm) & engine::kSkipAny) r = 1;
  engine::vm_set_result(vm, r);
  if (r) {
    vm_log(kLogHistory, "msp_set loop[%d], sp[%d], ep[%d]", loop, as_int(loop_start),
           as_int(loop_end));
    return 1;
  }
  vm_log(kLogMain, "error msp_set loop[%d], sp[%d], ep[%d]", loop, as_int(loop_start),
         as_int(loop_end));
  return 0;
}

uint32_t cmd_msp_cls(VmContext& vm) {
  engine::CommandHandler sp_cls = engine::command_lookup(kSpCls);
  const uint32_t r = sp_cls ? sp_cls(vm) : (vm_pop(vm), 1u);
  vm_log(kLogHistory, "msp_cls");
  return r;
}

uint32_t cmd_msp_wait(VmContext& vm) {
  vm.runner.bYield = 1;
  engine::MovieWait& wait = vm.movieWait;
  if (wait.bWaiting) {
    // The layer may have been released (by a button label or the script thread) since the
    // wait began: then there is nothing left to wait for.
    const LayerSlot& slot = vm.layers[wait.dwLayer];
    const bool same = slot.lpImage && slot.lpImage->hSprite == wait.hSprite;
    if (!same || (uint32_t(orv.OrvMSpriteGetState(wait.hSprite)) & kMovieEnded) ||
        engine::get_skip_state(vm)) {
      wait = engine::MovieWait{};
      return 1;
    }
    engine::script_retry_call(vm);
    return 1;
  }
  const uint32_t layer = vm_pop(vm);
  LayerSlot* slot = slot_of(vm, layer);
  if (!slot || !slot->lpImage) return 1;
  const uint32_t sprite = movie_sprite_of(*slot);
  if (!sprite) {
    vm_log(kLogHistory, "not msp %d", as_int(layer));
    return 1;
  }
  orv.OrvMSpriteSetLoop(sprite, 0);  // so that the movie can end
  vm_log(kLogHistory, "msp_wait %d", as_int(layer));
  if (engine::get_skip_state(vm) & engine::kSkipAny) return 1;
  wait = engine::MovieWait{1, layer, sprite};
  engine::script_retry_call(vm);
  return 1;
}

// msp_lock, msp_unlock and msp_stop: the call on a movie sprite, the log line on any image.
template <int32_t (*Call)(uint32_t)>
uint32_t layer_movie_call(VmContext& vm, const char* log) {
  const uint32_t layer = vm_pop(vm);
  LayerSlot* slot = slot_of(vm, layer);
  if (!slot || !slot->lpImage) return 1;
  if (const uint32_t sprite = movie_sprite_of(*slot)) Call(sprite);
  vm_log(kLogHistory, log, as_int(layer));
  return 1;
}

int32_t call_lock(uint32_t s) {
  return orv.OrvMSpriteLock(s);
}
int32_t call_unlock(uint32_t s) {
  return orv.OrvMSpriteUnlock(s);
}
int32_t call_stop(uint32_t s) {
  return orv.OrvMSpriteStop(s);
}

uint32_t cmd_msp_lock(VmContext& vm) {
  return layer_movie_call<call_lock>(vm, "msp_lock %d");
}
uint32_t cmd_msp_unlock(VmContext& vm) {
  return layer_movie_call<call_unlock>(vm, "msp_unlock %d");
}
uint32_t cmd_msp_stop(VmContext& vm) {
  return layer_movie_call<call_stop>(vm, "msp_stop %d");
}

uint32_t cmd_msp_play(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const int32_t loop = as_int(vm_pop(vm));
  LayerSlot* slot = slot_of(vm, layer);
  if (!slot || !slot->lpImage) return 1;
  const uint32_t sprite = movie_sprite_of(*slot);
  if (!sprite) {
    // "初期化していないレイヤーを指定しました。"
    vm_log(kLogMain,
           "msp_play : \x8f\x89\x8a\xfa\x89\xbb\x82\xb5\x82\xc4\x82\xa2\x82\xc8\x82\xa2\x83\x8c"
           "\x83\x43\x83\x84\x81\x5b\x82\xf0\x8e\x77\x92\xe8\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81"
           "\x42");
    return 1;
  }
  slot->dwFlags |= kLayerMovie;
  slot->nMovieLoop = loop;
  orv.OrvMSpritePlay(sprite, loop);
  vm_log(kLogHistory, "msp_play %d, %d", as_int(layer), loop);
  return 1;
}

uint32_t cmd_movie_set_volume_type(VmContext& vm) {
  orv.OrvSetVideoVolumeType(as_int(vm_pop(vm)));
  return 1;
}

uint32_t cmd_movie_set_volume(VmContext& vm) {
  const int32_t volume = as_int(vm_pop(vm));
  vm.sysMem[kWordMovieVolume] = static_cast<uint32_t>(volume * 100);
  orv.OrvSoundSetVolume(vm.sysMem[kWordMovieMute] ? 0 : volume * 100, kSoundTypeMovie);
  vm_log(kLogHistory, "movie_set_volume  %d", as_int(vm.sysMem[kWordMovieVolume]));
  return 1;
}

uint32_t cmd_movie_get_volume(VmContext& vm) {
  const int32_t volume = as_int(vm.sysMem[kWordMovieVolume]) / 100;
  engine::vm_set_result(vm, static_cast<uint32_t>(volume));
  vm_log(kLogHistory, "[%d] movie_get_volume", volume);
  return 1;
}

uint32_t cmd_movie_mute(VmContext& vm) {
  const uint32_t flag = vm_pop(vm);
  vm.sysMem[kWordMovieMute] = flag;
  orv.OrvSoundSetVolume(flag ? 0 : as_int(vm.sysMem[kWordMovieVolume]), kSoundTypeMovie);
  vm_log(kLogHistory, "movie_mute %d", as_int(flag));
  return 1;
}

// msp_get_state and msp_set_volume: -1 for a bad layer or one without image (with the error
// lines), 0 for an image that is no movie sprite.
LayerSlot* queried_slot(VmContext& vm, uint32_t layer, const char* command) {
  LayerSlot* slot = slot_of(vm, layer);
  if (!slot) {
    vm_log(kLogMain, "error: %s %d", command, as_int(layer));
  } else if (!slot->lpImage) {
    vm_log(kLogMain, "error: %s %d / no image", command, as_int(layer));
    slot = nullptr;
  }
  if (!slot) engine::vm_set_result(vm, 0xFFFFFFFFu);
  return slot;
}

uint32_t cmd_msp_get_state(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  LayerSlot* slot = queried_slot(vm, layer, "msp_get_state");
  if (!slot) return 1;
  const uint32_t sprite = movie_sprite_of(*slot);
  engine::vm_set_result(vm, sprite ? static_cast<uint32_t>(orv.OrvMSpriteGetState(sprite)) : 0);
  return 1;
}

uint32_t cmd_msp_set_volume(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  int32_t volume = as_int(vm_pop(vm));
  LayerSlot* slot = queried_slot(vm, layer, "msp_set_volume");
  if (!slot) return 1;
  const uint32_t sprite = movie_sprite_of(*slot);
  if (!sprite) {
    engine::vm_set_result(vm, 0);
    return 1;
  }
  volume = volume < 0 ? 0 : volume > 100 ? 100 : volume;
  orv.OrvMSpriteSetVolumeEx(sprite, volume);
  engine::vm_set_result(vm, 1);
  return 1;
}

const CommandEntry kMovieCommands[] = {MOVIE_COMMANDS(COMMAND_ENTRY)};

}  // namespace

const CommandList movie_commands = engine::command_list(kMovieCommands);

void movies_attach() {
  engine::command_list_install(movie_commands);
}

}  // namespace movies
