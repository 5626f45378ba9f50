#include "text/sound/music.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "commands/command_util.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "text/sound/music_command_list.h"
#include "text/sound/sound_commands.h"
#include "text/sound/sound_load.h"

namespace engine {
namespace {

template <class IO>
constexpr void sync(IO& io, BgmChannel& c) {
  io.u32(c.sound);
  io.u32(c.file);
  io.u32(c.flags);
  io.i32(c.volume);
  io.bytes(c.reserved);
  io.bytes(c.name);
  io.u32(c.points.use);
  io.u32(c.points.start);
  io.u32(c.points.loop);
  io.u32(c.points.end);
  io.i32(c.fadeDelta);
  io.u32(c.fadeDuration);
  io.u32(c.fadeStart);
}
static_assert(codec::stored_size<BgmChannel>([](auto& io, auto& r) { sync(io, r); }) ==
              kBgmRecordBytes);

int32_t pop_i32(VmContext& vm) {
  return static_cast<int32_t>(vm_pop(vm));
}

bool fading(const BgmChannel& ch) {
  return (ch.flags & kBgmFading) == kBgmFading;
}

// Fades are cut to a sixteenth while the player skips or clicks.
int32_t skip_fade(VmContext& vm, int32_t fade) {
  return get_skip_state(vm) != 0 ? fade >> 4 : fade;
}

int32_t volume_of(int32_t percent) {
  return std::clamp(percent, 0, 100);
}

// The volume reached so far by the running fade of ch; never past its target, even when the
// fade has ended and was not stepped yet.
int32_t fade_volume_now(const BgmChannel& ch, uint32_t now) {
  const uint32_t elapsed = std::min(now - ch.fadeStart, ch.fadeDuration);
  if (ch.fadeDuration == 0) return ch.volume + ch.fadeDelta;
  return ch.volume +
         static_cast<int32_t>(static_cast<float>(elapsed) / static_cast<float>(ch.fadeDuration) *
                              static_cast<float>(ch.fadeDelta));
}

void apply_primary(const SoundState& s) {
  orv.OrvSoundSetPrimaryVolume(s.switches[kCatMaster] ? s.volumes[kCatMaster] : 0);
}

// Stops one record's music (it keeps its sound until the frame update releases it). Music
// already fading out keeps its own fade unless this stop is immediate.
void stop_record(BgmChannel& ch, int32_t fade, bool only_playing) {
  orv.OrvSoundSetReserved(kSoundTypeBgm, ch.sound, 0);
  if (ch.sound != 0 && (!only_playing || orv.OrvSoundPlayIs(ch.sound))) {
    if (!(orv.OrvSoundGetState(ch.sound) == 2 && fade != 0)) orv.OrvSoundStopFade(ch.sound, fade);
  }
  ch.file = 0;
}

// The platform music channel that record `ch` (0 or 1) plays on: the channel of its own sound,
// which after a cross-fade need not have the record's number (the new piece is loaded into
// whichever platform channel is free); the record's number while it holds no music sound.
int32_t platform_channel_of_record(const SoundState& s, int32_t ch) {
  const int32_t index = s.bgm[ch].sound ? sound_handle_index(s.bgm[ch].sound) : -1;
  return index == 0 || index == 1 ? index : ch;
}

// The record whose music plays on platform channel p (0 or 1); the record of the same number
// when neither's does.
int32_t record_of_platform_channel(const SoundState& s, int32_t p) {
  for (int32_t n = 0; n < 2; ++n) {
    if (s.bgm[n].sound && sound_handle_index(s.bgm[n].sound) == p) return n;
  }
  return p;
}

// A channel number 0 or 1 (or -1 where allow_both); anything else is refused with a line.
bool channel_ok(int32_t ch, bool allow_both, const char* command) {
  if (ch == 0 || ch == 1 || (allow_both && ch == -1)) return true;
  vm_log(kLogMain, "error %s ch [%d]", command, ch);
  return false;
}

uint32_t cmd_bgm_play(VmContext& vm) {
  int32_t ch = pop_i32(vm);
  const uint32_t file = vm_pop(vm);
  const uint32_t flags = vm_pop(vm);
  const int32_t fade = pop_i32(vm);
  const uint32_t start = vm_pop(vm);
  const uint32_t loop = vm_pop(vm);
  const uint32_t end = vm_pop(vm);
  SoundState& s = vm.sound;
  if (ch == -1) {
    // A record whose music no longer holds its platform channel is emptied. Its channel is the
    // one of its own sound: after a cross-fade record 0's music plays on the platform channel
    // the new piece was loaded into, which need not be channel 0, and judging it by channel 0
    // would drop a record whose music still plays (nothing could stop it any more).
    for (int n = 0; n < 2; ++n) {
      const int32_t index = s.bgm[n].sound ? sound_handle_index(s.bgm[n].sound) : -1;
      const bool in_use = index >= 0 && orv.OrvSoundGetParam(index, 18) != 0;
      if (!(s.bgm[n].flags & kBgmReserved) && !in_use) s.bgm[n] = {};
    }
    const int32_t free_channels = orv.OrvSoundGetChannelCount(kSoundTypeBgm);
    if (free_channels == 0) {
      orv.OrvSoundReleaseEx(kSoundTypeBgm);
      s.bgm[0] = {};
      s.bgm[1] = {};
    } else if (free_channels == 1 && s.bgm[1].sound == 0) {
      s.bgm[1] = s.bgm[0];  // the old music fades on channel 1
    }
    ch = 0;
  }
  if (ch != 0 && ch != 1) {
    vm_log(kLogMain, "sound ch entry error [%d]", ch);
    return 0;
  }
  BgmChannel& rec = s.bgm[ch];
  rec.flags = flags;
  rec.points = BgmLoopPoints{flags & kBgmLoopPoints, start, loop, end};
  rec.volume = 100;
  std::string name;
  rec.file = sound_keep_file(vm, file, rec.name, &name);
  rec.sound = sound_load(vm, name, kSoundTypeBgm, &rec.points);
  BgmChannel& other = s.bgm[ch ^ 1];
  if (rec.sound != 0 && other.sound == rec.sound) other = {};
  const int32_t f = skip_fade(vm, fade);
  // A fade-in lasts four times its operand (the flag's value is the factor).
  orv.OrvSoundPlayFade(rec.sound, static_cast<int32_t>(flags & kBgmLoop),
                       static_cast<int32_t>(flags & kBgmFadeIn) * f);
  vm_log(kLogHistory, "bgm_play  %d, %s, %d, %d, %d, %d, %d", ch, name.c_str(),
         static_cast<int32_t>(flags), fade, static_cast<int32_t>(start), static_cast<int32_t>(loop),
         static_cast<int32_t>(end));
  vm_set_result(vm, static_cast<uint32_t>(ch));
  return 1;
}

uint32_t cmd_bgm_stop(VmContext& vm) {
  const int32_t ch = pop_i32(vm);
  const int32_t fade = skip_fade(vm, pop_i32(vm));
  if (!channel_ok(ch, true, "bgm_stop")) return 1;
  SoundState& s = vm.sound;
  if (ch == -1) stop_record(s.bgm[1], fade, true);
  BgmChannel& rec = s.bgm[ch == -1 ? 0 : ch];
  if (rec.sound != 0) stop_record(rec, fade, false);
  rec.file = 0;
  vm_log(kLogHistory, "bgm_stop  %d, %d", ch, fade);
  return 1;
}

uint32_t cmd_bgm_set_volume(VmContext& vm) {
  SoundState& s = vm.sound;
  const int32_t v = pop_i32(vm);
  s.volumes[kCatBgm] = volume_of(v) * 100;
  bgm_type_volume_restore(s);
  vm_log(kLogHistory, "bgm_set_volume %d", v);
  return 1;
}

uint32_t cmd_bgm_get_volume(VmContext& vm) {
  vm_set_result(vm, static_cast<uint32_t>(vm.sound.volumes[kCatBgm] / 100));
  vm_log(kLogHistory, "bgm_get_volume");
  return 1;
}

uint32_t cmd_bgm_get_auto_volume(VmContext& vm) {
  vm_set_result(vm, vm.sound.bgmAuto.factor);
  vm_log(kLogHistory, "bgm_get_auto_volume");
  return 1;
}

uint32_t cmd_bgm_set_volume_users(VmContext& vm) {
  const int32_t ch = pop_i32(vm);
  const int32_t volume = pop_i32(vm);
  const int32_t fade = pop_i32(vm);
  if (!channel_ok(ch, false, "bgm_set_volume_users")) return 1;
  BgmChannel& rec = vm.sound.bgm[ch];
  const uint32_t now = orv.OrvtimeGetTime();
  if (fading(rec)) rec.volume = fade_volume_now(rec, now);
  rec.flags |= kBgmFading;
  rec.fadeDelta = volume_of(volume) - rec.volume;
  rec.fadeDuration = get_skip_state(vm) != 0 ? 0 : static_cast<uint32_t>(std::max(fade, 0));
  rec.fadeStart = now;
  bgm_fade_step(rec);
  vm_log(kLogHistory, "bgm_set_volume_users  %d, %d, %d", ch, volume, fade);
  return 1;
}

uint32_t cmd_bgm_set_auto_volume(VmContext& vm) {
  SoundState& s = vm.sound;
  const uint32_t on = vm_pop(vm);
  const uint32_t factor = vm_pop(vm);
  s.bgmAuto.on = on != 0 ? 1 : 0;
  s.bgmAuto.factor = factor;
  if (s.bgmAuto.on == 0) bgm_type_volume_restore(s);
  vm_log(kLogHistory, "bgm_set_auto_volume %d, %d", static_cast<int32_t>(on),
         static_cast<int32_t>(factor));
  return 1;
}

uint32_t cmd_bgm_pause(VmContext& vm) {
  const int32_t ch = pop_i32(vm);
  const uint32_t pause = vm_pop(vm);
  const int32_t fade = pop_i32(vm);
  if (!channel_ok(ch, true, "bgm_pause")) return 1;
  SoundState& s = vm.sound;
  if (ch == -1 && s.bgm[1].sound != 0 && orv.OrvSoundPlayIs(s.bgm[1].sound)) {
    orv.OrvSoundRelease(s.bgm[1].sound);  // a running cross-fade is cut off
    s.bgm[1].sound = 0;
  }
  BgmChannel& rec = s.bgm[ch == -1 ? 0 : ch];
  if ((rec.flags & kBgmPaused) && pause == 0) {
    rec.flags &= ~kBgmPaused;
    orv.OrvSoundPause(rec.sound, 0, fade);
  } else if (!(rec.flags & kBgmPaused) && pause != 0) {
    rec.flags |= kBgmPaused;
    orv.OrvSoundPause(rec.sound, 1, fade);
  }
  vm_log(kLogHistory, "bgm_pause %d, %d, %d", ch, static_cast<int32_t>(pause), fade);
  return 1;
}

uint32_t cmd_get_bgm_filename(VmContext& vm) {
  const int32_t ch = pop_i32(vm);
  if (!channel_ok(ch, false, "get_bgm_filename")) return 1;
  vm_set_result(vm, vm.sound.bgm[ch].file);
  vm_log(kLogHistory, "[%d]get_bgm_filename %d", static_cast<int32_t>(vm.sound.bgm[ch].file), ch);
  return 1;
}

uint32_t cmd_bgm_load(VmContext& vm) {
  const int32_t ch = pop_i32(vm);
  const uint32_t file = vm_pop(vm);
  const uint32_t start = vm_pop(vm);
  const uint32_t loop = vm_pop(vm);
  const uint32_t end = vm_pop(vm);
  if (ch != 0 && ch != 1) {
    vm_log(kLogMain, "sound ch entry error [%d]", ch);
    return 0;
  }
  BgmChannel& rec = vm.sound.bgm[ch];
  if (rec.sound != 0) orv.OrvSoundRelease(rec.sound);
  rec = {};
  rec.flags = kBgmReserved;
  rec.volume = 100;
  rec.points = BgmLoopPoints{(start | loop | end) != 0 ? 1u : 0u, start, loop, end};
  std::string name;
  rec.file = sound_keep_file(vm, file, rec.name, &name);
  rec.sound = sound_load(vm, name, kSoundTypeBgm, &rec.points);
  vm_log(kLogHistory, "bgm_load %d, %s, %d, %d, %d", ch, name.c_str(), static_cast<int32_t>(start),
         static_cast<int32_t>(loop), static_cast<int32_t>(end));
  vm_set_result(vm, static_cast<uint32_t>(ch));
  return 1;
}

uint32_t cmd_bgm_play2(VmContext& vm) {
  const int32_t ch = pop_i32(vm);
  const uint32_t flags = vm_pop(vm);
  const int32_t fade = pop_i32(vm);
  if (ch != 0 && ch != 1) {
    vm_log(kLogMain, "sound ch entry error [%d]", ch);
    return 0;
  }
  BgmChannel& rec = vm.sound.bgm[ch];
  rec.flags = flags;
  const int32_t f = skip_fade(vm, fade);
  orv.OrvSoundPlayFade(rec.sound, static_cast<int32_t>(flags & kBgmLoop),
                       static_cast<int32_t>(flags & kBgmFadeIn) * f);
  vm_log(kLogHistory, "bgm_play2  %d, %d, %d", ch, static_cast<int32_t>(flags), fade);
  vm_set_result(vm, static_cast<uint32_t>(ch));
  return 1;
}

uint32_t cmd_set_master_volume(VmContext& vm) {
  const int32_t v = pop_i32(vm);
  vm.sound.volumes[kCatMaster] = volume_of(v) * 100;
  apply_primary(vm.sound);
  vm_log(kLogHistory, "set_master_volume %d", v);
  return 1;
}

uint32_t cmd_get_master_volume(VmContext& vm) {
  vm_set_result(vm, static_cast<uint32_t>(vm.sound.volumes[kCatMaster] / 100));
  vm_log(kLogHistory, "get_master_volume");
  return 1;
}

uint32_t cmd_mute_master_volume(VmContext& vm) {
  const uint32_t flag = vm_pop(vm);
  vm.sound.switches[kCatMaster] = flag == 0 ? 1 : 0;
  apply_primary(vm.sound);
  vm_log(kLogHistory, "mute_master_volume %d", static_cast<int32_t>(flag));
  return 1;
}

uint32_t cmd_bgm_mute(VmContext& vm) {
  const uint32_t flag = vm_pop(vm);
  vm.sound.switches[kCatBgm] = flag == 0 ? 1 : 0;
  bgm_type_volume_restore(vm.sound);
  vm_log(kLogHistory, "bgm_mute %d", static_cast<int32_t>(flag));
  return 1;
}

uint32_t cmd_mute_bgm_auto_volume(VmContext& vm) {
  const uint32_t flag = vm_pop(vm);
  vm.sound.bgmAuto.keep = flag == 0 ? 1 : 0;
  vm_log(kLogHistory, "mute_bgm_auto_volume %d", static_cast<int32_t>(flag));
  return 1;
}

uint32_t cmd_get_bgm_status(VmContext& vm) {
  const int32_t asked = pop_i32(vm);
  int32_t ch = asked;
  if (ch == -1 || ch == -2) ch = orv.OrvSoundGetNowChannel();
  if (ch < 0) {
    vm_set_result(vm, static_cast<uint32_t>(-1));
    vm_log(kLogHistory, "[-1] get_bgm_status");
    return 1;
  }
  // The sounding channel is a platform channel already; a record asks its own sound's.
  const int32_t platform = asked >= 0 && ch < 2 ? platform_channel_of_record(vm.sound, ch) : ch;
  const int32_t status = orv.OrvSoundGetStatus(platform);
  vm_set_result(vm, static_cast<uint32_t>(status));
  vm_log(kLogHistory, "[%d] get_bgm_status %d", status, ch);
  return 1;
}

uint32_t cmd_get_bgm_pos(VmContext& vm) {
  int32_t ch = pop_i32(vm);
  const int32_t param = pop_i32(vm);
  // The sounding channel (-1) is a platform channel: its fields are those of the record whose
  // music plays there. A record's platform fields are those of its own sound's channel.
  int32_t platform = -1;
  if (ch == -1) {
    platform = orv.OrvSoundGetNowChannel();
    ch = platform >= 0 && platform < 2 ? record_of_platform_channel(vm.sound, platform) : platform;
  }
  if (ch < 0) {
    vm_set_result(vm, static_cast<uint32_t>(-1));
    if (param != 3) vm_log(kLogHistory, "[-1] get_bgm_pos %d", ch);
    return 1;
  }
  if (ch >= 2) {
    vm_set_result(vm, static_cast<uint32_t>(-1));
    vm_log(kLogMain, "error get_bgm_pos ch over [%d]", ch);
    return 1;
  }
  if (platform < 0) platform = platform_channel_of_record(vm.sound, ch);
  const BgmChannel& rec = vm.sound.bgm[ch];
  int32_t value = -1;
  if (param == -1) {
    value = static_cast<int32_t>(rec.sound);
  } else if (param == -2) {
    value = static_cast<int32_t>(rec.file);
  } else if (param == -3) {
    value = static_cast<int32_t>(rec.flags);
  } else if (param >= 0) {
    value = orv.OrvSoundGetParam(platform, param);
  }
  vm_set_result(vm, static_cast<uint32_t>(value));
  // The play position is polled every frame; it stays out of the log.
  if (param != 3) vm_log(kLogHistory, "[%d] get_bgm_pos %d", value, ch);
  return 1;
}

uint32_t cmd_get_bgm_ch(VmContext& vm) {
  const int32_t ch = orv.OrvSoundGetNowChannel();
  vm_set_result(vm, static_cast<uint32_t>(ch));
  vm_log(kLogHistory, "[%d] get_bgm_ch", ch);
  return 1;
}

const CommandEntry kMusicCommands[] = {MUSIC_COMMANDS(COMMAND_ENTRY)};

}  // namespace

const CommandList music_commands = command_list(kMusicCommands);

void bgm_fade_step(BgmChannel& ch) {
  const uint32_t elapsed = orv.OrvtimeGetTime() - ch.fadeStart;
  if (elapsed < ch.fadeDuration) {
    orv.OrvSoundSetVolumeChannel(ch.sound, fade_volume_now(ch, ch.fadeStart + elapsed) * 100);
    return;
  }
  ch.flags &= ~kBgmFading;
  ch.volume += ch.fadeDelta;
  orv.OrvSoundSetVolumeChannel(ch.sound, ch.volume * 100);
}

void bgm_frame_update(VmContext& vm) {
  for (BgmChannel& ch : vm.sound.bgm) {
    if (ch.sound == 0 || (ch.flags & kBgmReserved)) continue;
    if (!orv.OrvSoundPlayIs(ch.sound)) {
      orv.OrvSoundRelease(ch.sound);
      ch = {};
    } else if (fading(ch)) {
      bgm_fade_step(ch);
    }
  }
}

void bgm_type_volume_restore(const SoundState& s) {
  orv.OrvSoundSetVolume(s.switches[kCatBgm] ? s.volumes[kCatBgm] : 0, kSoundTypeBgm);
}

void bgm_auto_volume_apply(SoundState& s, bool on) {
  if (!s.bgmAuto.on) return;
  if (!on) {
    bgm_type_volume_restore(s);
    return;
  }
  // In double: 40 % of 8000 must come out as 3200, not 3199.
  const double lowered =
      static_cast<double>(static_cast<float>(s.bgmAuto.keep * s.bgmAuto.factor)) * 0.01 *
      static_cast<double>(s.volumes[kCatBgm]);
  const int32_t v = static_cast<int32_t>(std::clamp(lowered, 0.0, 10000.0));
  orv.OrvSoundSetVolume(s.switches[kCatBgm] ? v : 0, kSoundTypeBgm);
}

void bgm_release_all(VmContext& vm) {
  for (BgmChannel& ch : vm.sound.bgm) {
    if (ch.sound != 0) orv.OrvSoundRelease(ch.sound);
    ch = {};
  }
  bgm_type_volume_restore(vm.sound);
}

void bgm_state_save(const SoundState& s, codec::ByteWriter& out) {
  for (const BgmChannel& ch : s.bgm) {
    if (ch.file == 0 || (ch.sound != 0 && orv.OrvSoundGetState(ch.sound) == 2)) {
      out.zeros(kBgmRecordBytes);
      continue;
    }
    BgmChannel stored = ch;
    if (fading(stored)) {
      stored.flags &= ~kBgmFading;
      stored.volume += stored.fadeDelta;
    }
    sync(out, stored);
  }
}

bool bgm_state_restore(VmContext& vm, codec::ByteReader& in, bool history) {
  SoundState& s = vm.sound;
  bgm_type_volume_restore(s);
  BgmChannel read[2] = {};
  for (BgmChannel& ch : read) sync(in, ch);
  if (in.failed()) {
    s.bgm[0] = {};
    s.bgm[1] = {};
    return false;
  }
  for (int n = 0; n < 2; ++n) {
    BgmChannel& ch = s.bgm[n];
    ch = read[n];
    // The sound word of saved data means nothing now; a fade is saved as finished.
    ch.sound = 0;
    ch.flags &= ~kBgmFading;
    ch.volume = volume_of(ch.volume);
    ch.fadeDelta = 0;
    if (ch.file == 0) continue;
    const std::string name =
        is_string_handle(ch.file) ? stored_name(ch.name) : sound_file_name(vm, ch.file, nullptr);
    ch.sound = sound_load(vm, name, kSoundTypeBgm, &ch.points);
    if (ch.sound == 0) {
      vm_log(kLogMain, "bgm load error [%s]", name.c_str());
      continue;
    }
    orv.OrvSoundSetVolumeChannel(ch.sound, ch.volume * 100);
  }
  if (!history) {
    for (BgmChannel& ch : s.bgm) {
      if (ch.sound != 0 && !(ch.flags & kBgmReserved)) orv.OrvSoundPlayFade(ch.sound, 1, 3000);
    }
  }
  return true;
}

}  // namespace engine
