// File access flags: the script sets, acknowledges, clears and queries the two-bit access
// state (bit 0 entered, bit 1 new) of the files it names. Files of File.dat keep theirs in the
// file-seen bits; other names keep theirs in the entry-name list.
#include <cstring>

#include "commands/access_flag_command_list.h"
#include "commands/command_util.h"
#include "commands/library_commands.h"
#include "engine/command_list.h"
#include "engine/dispatch.h"
#include "engine/orv_calls.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"

namespace engine {

namespace {

// A node of the entry-name list (the record the system files load and save).
struct EntryName {
  char name[32];
  uint8_t flag;
};

EntryName* entry_name_lookup(VmContext& vm, const char* name) {
  char key[32] = {};
  std::memcpy(key, name, strnlen(name, sizeof key));
  const uint32_t count = orv_list_count(vm.seen.hEntryNames, 0);
  for (uint32_t n = 0; n < count; ++n) {
    auto* e = reinterpret_cast<EntryName*>(orv_list_get_data(vm.seen.hEntryNames, 0, n));
    if (e && std::strncmp(e->name, key, 32) == 0) return e;
  }
  return nullptr;
}

// What a file operand names: a File.dat index, an entry name, or nothing known.
struct Target {
  int32_t index = -1;          // File.dat index, or -1
  EntryName* entry = nullptr;  // entry-name record, or null
  std::string name;            // the name a string handle gave
};

Target resolve(VmContext& vm, uint32_t value) {
  Target t;
  if (is_string_handle(value)) {
    t.name = fetch_file_name(vm, value);
    uint8_t key[33] = {};
    std::memcpy(key, t.name.data(), t.name.size() < 32 ? t.name.size() : 32);
    t.index = t.name.size() <= 32 ? file_dat_bsearch(vm, key) : -1;
    if (t.index < 0) t.entry = entry_name_lookup(vm, t.name.c_str());
  } else {
    t.index = static_cast<int32_t>(value);
  }
  return t;
}

// The two bits of File.dat entry i, or null when i lies outside the seen bits (an index the
// script made up is refused, never followed).
uint8_t* seen_byte(VmContext& vm, int32_t i, unsigned* shift) {
  if (i < 0 || static_cast<uint32_t>(i) >= file_dat_count(vm)) return nullptr;
  const uint32_t byte = static_cast<uint32_t>(i) >> 2;
  if (!vm.seen.lpFileSeen || byte >= vm.seen.dwFileSeenBytes) return nullptr;
  *shift = 2 * (static_cast<uint32_t>(i) & 3);
  return &vm.seen.lpFileSeen[byte];
}

uint32_t cmd_entry_access(VmContext& vm) {
  const uint32_t value = vm_pop(vm);
  Target t = resolve(vm, value);
  if (t.index >= 0) {
    unsigned shift = 0;
    if (seen_byte(vm, t.index, &shift)) {
      file_seen_mark(vm, t.index);
    } else {
      vm_log(kLogMain, "entry_access %d: no such file", t.index);
    }
  } else if (!t.entry) {
    uint8_t key[33] = {};
    std::memcpy(key, t.name.data(), t.name.size() < 32 ? t.name.size() : 32);
    entry_name_register(vm, key);
  }
  return 1;
}

uint32_t cmd_update_access(VmContext& vm) {
  Target t = resolve(vm, vm_pop(vm));
  unsigned shift = 0;
  if (t.index >= 0) {
    if (uint8_t* b = seen_byte(vm, t.index, &shift)) *b &= static_cast<uint8_t>(~(2u << shift));
    vm_log(kLogHistory, "update_access %d", t.index);
  } else if (t.entry) {
    t.entry->flag &= static_cast<uint8_t>(~2u);
    vm_log(kLogHistory, "update_access '%s'", t.name.c_str());
  } else {
    vm_log(kLogHistory, "update_access entry not file '%s'", t.name.c_str());
  }
  return 1;
}

uint32_t cmd_clear_access(VmContext& vm) {
  Target t = resolve(vm, vm_pop(vm));
  unsigned shift = 0;
  if (t.index >= 0) {
    if (uint8_t* b = seen_byte(vm, t.index, &shift)) *b &= static_cast<uint8_t>(~(3u << shift));
  } else if (t.entry) {
    t.entry->flag = 0;
  }
  return 1;
}

uint32_t cmd_get_access_flags(VmContext& vm) {
  uint32_t values[8];
  for (uint32_t& v : values) v = vm_pop(vm);
  uint32_t flags = 0;
  for (uint32_t v : values) {
    if (v == kNoText) continue;
    Target t = resolve(vm, v);
    unsigned shift = 0;
    if (t.index >= 0) {
      if (uint8_t* b = seen_byte(vm, t.index, &shift)) flags |= (*b >> shift) & 3u;
    } else if (t.entry) {
      flags |= t.entry->flag;
    }
  }
  vm_set_result(vm, flags);
  return 1;
}

}  // namespace

namespace {
const CommandEntry kAccessFlagCommands[] = {ACCESS_FLAG_COMMANDS(COMMAND_ENTRY)};
}  // namespace

const CommandList access_flag_commands = command_list(kAccessFlagCommands);

}  // namespace engine
