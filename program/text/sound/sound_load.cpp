#include "text/sound/sound_load.h"

#include <algorithm>
#include <cstring>

#include "commands/command_util.h"
#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"

namespace engine {

bool sound_wait_advance(VmContext& vm) {
  constexpr uint32_t kAdvanceKeys = 0x800006;  // Space, Enter, left button
  if (get_skip_state(vm) != 0) return true;
  const uint32_t keys = vm.buttons.bKeyRelease ? orv_input_key_pull() : orv_input_key_push();
  return (keys & kAdvanceKeys) != 0;
}

OrvSoundHandle sound_load(VmContext& vm, const std::string& name, int32_t kind,
                          const BgmLoopPoints* points, float gain) {
  if (get_skip_state(vm) & kSkipFastForward) {
    return kind == kSoundTypeBgm ? orv.OrvSoundLoadSetReserved(0, kSoundTypeBgm) : 0;
  }
  const OrvSoundHandle h = sound_load_file(name, kind, points, gain);
  if (h == 0 && kind != kSoundTypeVoice) vm_log(kLogMain, "sound load error [%s]", name.c_str());
  return h;
}

OrvSoundHandle sound_load_file(const std::string& name, int32_t kind, const BgmLoopPoints* points,
                               float gain) {
  for (const char* extension : {".ogg", ".wav"}) {
    const std::string file = name + extension;
    const OrvSoundHandle h = kind == kSoundTypeSe1 && gain > 1.0f
                                 ? orv.OrvSoundLoadEx(file.c_str(), kind, points, gain)
                                 : orv.OrvSoundLoad(file.c_str(), kind, points);
    if (h != 0) return h;
  }
  return 0;
}

std::string sound_file_name(VmContext& vm, uint32_t file, char (*inline_name)[32]) {
  uint8_t buffer[260] = {};
  get_file_name_operand(vm, buffer, sizeof buffer, file, 1);
  buffer[sizeof buffer - 1] = 0;
  std::string name(reinterpret_cast<const char*>(buffer));
  if (inline_name && is_string_handle(file)) {
    std::memset(*inline_name, 0, sizeof *inline_name);
    const size_t n = sjis_clamp(name, sizeof *inline_name - 1);
    std::memcpy(*inline_name, name.data(), n);
  }
  return name;
}

uint32_t sound_keep_file(VmContext& vm, uint32_t file, char (&inline_name)[32], std::string* name) {
  std::memset(inline_name, 0, sizeof inline_name);
  *name = sound_file_name(vm, file, &inline_name);
  if (file != 0 || name->empty()) return file;
  // A File.dat name fills at most the 32 bytes of its entry, as the inline name does.
  std::memcpy(inline_name, name->data(), std::min(name->size(), sizeof inline_name));
  return kStringHandleBit;
}

std::string stored_name(const char (&name)[32]) {
  return std::string(name, strnlen(name, sizeof name));
}

bool name_starts_with_nocase(const std::string& name, const std::string& prefix) {
  if (prefix.empty() || prefix.size() > name.size()) return false;
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (lower(name[i]) != lower(prefix[i])) return false;
  }
  return true;
}

}  // namespace engine
