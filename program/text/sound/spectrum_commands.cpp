// The spectrum analyser's commands of group 0x04. They write no log lines; a handler that
// finds no analyser (or no sound) returns 0, which the interpreter reports.
#include <cstring>

#include "engine/orv_api.h"
#include "engine/vm_services.h"
#include "shared/byte_codec.h"
#include "text/sound/spectrum.h"
#include "text/sound/spectrum_command_list.h"

namespace engine {
namespace {

uint32_t cmd_spectrum_create(VmContext& vm) {
  vm_pop(vm);
  vm_pop(vm);
  spectrum_create();
  vm_set_result(vm, 1);
  return 1;
}

uint32_t cmd_spectrum_set_param(VmContext& vm) {
  const int32_t count = static_cast<int32_t>(vm_pop(vm));
  if (!spectrum_analyzer) return 0;
  spectrum_analyzer->bandCount = count;
  return 1;
}

uint32_t cmd_spectrum_set_sound(VmContext& vm) {
  const OrvSoundHandle sound = vm_pop(vm);
  uint8_t format[18] = {};
  if (sound == 0 || !spectrum_analyzer || !orv.OrvGetSoundBufferFormat(sound, format)) return 0;
  const uint16_t channels = codec::load_u16(format + 2);
  if (channels == 0) return 0;
  spectrum_analyzer->channels = channels;
  spectrum_analyzer->samples.assign(static_cast<size_t>(kSpectrumSize) * channels, 0);
  return 1;
}

uint32_t cmd_spectrum_update(VmContext& vm) {
  const OrvSoundHandle sound = vm_pop(vm);
  if (sound == 0 || !spectrum_analyzer) return 0;
  SpectrumAnalyzer& a = *spectrum_analyzer;
  // Sized for the channels even when no sound was set; what the sound does not give is silence.
  a.samples.assign(static_cast<size_t>(kSpectrumSize) * static_cast<size_t>(a.channels), 0);
  orv.OrvSoundGetPlayCursorToBuffer(sound, a.samples.data(),
                                    static_cast<uint32_t>(a.samples.size() * sizeof(int16_t)));
  spectrum_analyse(a);
  return 1;
}

uint32_t cmd_spectrum_get_band(VmContext& vm) {
  const int32_t band = static_cast<int32_t>(vm_pop(vm));
  vm_pop(vm);
  vm_set_result(vm, 0);
  // The band count may be set above the 31 values that exist.
  if (!spectrum_analyzer || band < 0 || band >= spectrum_analyzer->bandCount ||
      band >= kSpectrumBands) {
    return 0;
  }
  vm_set_result(vm, static_cast<uint32_t>(static_cast<int32_t>(spectrum_band_values[band])));
  return 1;
}

uint32_t cmd_spectrum_delete(VmContext&) {
  spectrum_delete();
  return 1;
}

uint32_t cmd_spectrum_nop(VmContext&) {
  return 1;
}

const CommandEntry kSpectrumCommands[] = {SPECTRUM_COMMANDS(COMMAND_ENTRY)};

}  // namespace

const CommandList spectrum_commands = command_list(kSpectrumCommands);

}  // namespace engine
