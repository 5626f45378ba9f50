#include "text/sound/sound_commands.h"

#include "engine/neighbours.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "text/sound/bgv.h"
#include "text/sound/music.h"
#include "text/sound/sound_command_list.h"
#include "text/sound/sound_effects.h"
#include "text/sound/sound_frame.h"
#include "text/sound/spectrum.h"
#include "text/sound/voice_calls.h"
#include "text/sound/voices.h"
#include "text/window/text_window_seams.h"

namespace engine {
namespace {

constexpr OrvSoundHandle kNoHandle = 0xFFFFFFFF;

uint32_t cmd_sound_read_reg(VmContext& vm) {
  const int32_t type = static_cast<int32_t>(vm_pop(vm));
  const int32_t ch = static_cast<int32_t>(vm_pop(vm));
  const int32_t field = static_cast<int32_t>(vm_pop(vm));
  int32_t value = 0;
  if (ch < 0) {
    vm_log(kLogHistory, "error sound_read_reg ch ? [%d]", ch);
  } else if (field < 0) {
    vm_log(kLogHistory, "error sound_read_reg no ? [%d]", field);
  } else {
    value = orv.OrvSoundGetParamByType(type, ch, field);
  }
  vm_set_result(vm, static_cast<uint32_t>(value));
  vm_log(kLogHistory, "[%d] sound_read_reg type=%d, ch=%d, no=%d", value, type, ch, field);
  return 1;
}

// The handle of record `ch` of a sound type (1 voices, 2 background voices, 3 music,
// 4 effects); kNoHandle when the type or channel names no record.
OrvSoundHandle record_handle(const SoundState& s, int32_t type, int32_t ch, const char* command) {
  int32_t count = 0;
  switch (type) {
    case 1:
      count = 9;
      break;
    case 2:
      count = 8;
      break;
    case 3:
      count = 2;
      break;
    case 4:
      count = 16;
      break;
    default:
      return kNoHandle;
  }
  if (ch >= count) {
    vm_log(kLogHistory, "error %s over ch, type=%d, ch=%d", command, type, ch);
    return kNoHandle;
  }
  switch (type) {
    case 1:
      return s.voice[ch].sound;
    case 2:
      return s.bgv[ch].sound;
    case 3:
      return s.bgm[ch].sound;
    default:
      return s.se[ch].sound;
  }
}

uint32_t cmd_sound_ch_to_orv_ch(VmContext& vm) {
  const int32_t type = static_cast<int32_t>(vm_pop(vm));
  const int32_t ch = static_cast<int32_t>(vm_pop(vm));
  if (ch < 0) {
    vm_set_result(vm, 0);
    vm_log(kLogHistory, "error sound_ch_to_orv_ch ch ? [%d]", ch);
    return 1;
  }
  const OrvSoundHandle h = record_handle(vm.sound, type, ch, "sound_ch_to_orv_ch");
  const int32_t index = h == kNoHandle ? -1 : sound_handle_index(h);
  vm_set_result(vm, static_cast<uint32_t>(index));
  vm_log(kLogHistory, "[%d] sound_ch_to_orv_ch type=%d, ch=%d", index, type, ch);
  return 1;
}

uint32_t cmd_sound_ch_to_orv_ch_ex(VmContext& vm) {
  const int32_t type = static_cast<int32_t>(vm_pop(vm));
  const int32_t ch = static_cast<int32_t>(vm_pop(vm));
  if (ch < 0) {
    vm_set_result(vm, 0);
    vm_log(kLogHistory, "error sound_ch_to_orv_ch_ex ch ? &H[%X]", static_cast<uint32_t>(ch));
    return 1;
  }
  const OrvSoundHandle h = record_handle(vm.sound, type, ch, "sound_ch_to_orv_ch_ex");
  vm_set_result(vm, h);
  vm_log(kLogHistory, "&H[%X] sound_ch_to_orv_ch_ex type=%d, ch=%d", h, type, ch);
  return 1;
}

const CommandEntry kSoundCommands[] = {SOUND_COMMANDS(COMMAND_ENTRY)};

}  // namespace

const CommandList sound_commands = command_list(kSoundCommands);

int32_t sound_handle_index(OrvSoundHandle h) {
  if ((h >> 28) == 0) return -1;
  return static_cast<int32_t>(h & 0x0FFFFFFFu);
}

void sound_attach() {
  command_list_install(sound_commands);
  command_list_install(music_commands);
  command_list_install(voice_commands);
  command_list_install(bgv_commands);
  command_list_install(se_commands);
  command_list_install(spectrum_commands);
  TextSoundServices& t = neighbours.text;
  t.sound_channels_update = sound_channels_update;
  t.se_release_all = se_release_all;
  t.bgm_release_all = bgm_release_all;
  t.voice_release_all = voice_release_all;
  t.voice_system_init = voice_system_init;
  t.voice_any_playing = voice_any_playing;
  t.voice_playing_muted = voice_playing_muted;
  t.se_play_for_action = se_play_for_action;
  t.bgv_voice_resume = [](VmContext& vm) { bgv_resume_for_voices(vm.sound); };
  // The text window ends the voice calls and cuts the line voices through these.
  textwindow::text_window_seams.voice_call_end = voice_call_end;
  textwindow::text_window_seams.line_voices_cut = line_voices_clear;
}

}  // namespace engine
