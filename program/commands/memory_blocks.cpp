#include "commands/memory_blocks.h"

#include <cstring>
#include <map>
#include <string>

#include "commands/command_paths.h"
#include "commands/command_util.h"
#include "commands/memory_block_command_list.h"
#include "engine/command_list.h"
#include "engine/dispatch.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "platform/file.h"
#include "platform/whole_file.h"

namespace engine {

namespace {

struct VMemBlock {
  int32_t kind = 0;  // 0 buffer, 1 dictionary, anything else inert
  uint32_t size = 0;
  uint8_t* data = nullptr;
  std::map<uint32_t, std::string> entries;
};

// Frees the buffers when the process ends.
struct BlockStore {
  std::map<uint32_t, VMemBlock> blocks;
  ~BlockStore() { clear(); }
  void clear() {
    for (auto& [id, b] : blocks) {
      if (b.data && orv.OrvMemoryFree) orv.OrvMemoryFree(b.data);
    }
    blocks.clear();
  }
};
BlockStore& store() {
  static BlockStore s;
  return s;
}

VMemBlock* find(uint32_t id) {
  auto it = store().blocks.find(id);
  return it == store().blocks.end() ? nullptr : &it->second;
}

void erase(uint32_t id) {
  auto it = store().blocks.find(id);
  if (it == store().blocks.end()) return;
  if (it->second.data) orv.OrvMemoryFree(it->second.data);
  store().blocks.erase(it);
}

// The block when n bytes at offset lie inside its storage (the sum never wraps).
uint8_t* range(uint32_t id, uint32_t offset, uint32_t n) {
  VMemBlock* b = find(id);
  if (!b || !b->data) return nullptr;
  if (uint64_t{offset} + n > b->size) return nullptr;
  return b->data + offset;
}

uint32_t cmd_create(VmContext& vm) {
  const uint32_t id = vm_pop(vm);
  const uint32_t size = vm_pop(vm);
  const int32_t kind = static_cast<int32_t>(vm_pop(vm));
  VMemBlock block;
  block.kind = kind;
  block.size = kind == 1 ? 0 : size;
  if (kind == 0) {
    // OrvMemoryAlloc zero-fills; a 0-byte buffer still gets storage of its own.
    block.data = static_cast<uint8_t*>(orv.OrvMemoryAlloc(size ? size : 1, 1));
    if (!block.data) {
      vm_set_result(vm, 0);
      vm_log(kLogHistory, "[0] vmem_create %u, %u, %d", id, size, kind);
      return 1;
    }
  }
  erase(id);
  store().blocks.emplace(id, std::move(block));
  vm_set_result(vm, 1);
  vm_log(kLogHistory, "[1] vmem_create %u, %u, %d", id, size, kind);
  return 1;
}

uint32_t cmd_delete(VmContext& vm) {
  const uint32_t id = vm_pop(vm);
  const bool had = find(id) != nullptr;
  erase(id);
  vm_set_result(vm, had);
  return 1;
}

uint32_t cmd_delete_all(VmContext&) {
  vmem_delete_all_blocks();
  return 1;
}

uint32_t cmd_is_valid(VmContext& vm) {
  VMemBlock* b = find(vm_pop(vm));
  vm_set_result(vm, 0);
  if (!b) return 0;
  if (b->data || b->kind == 1) vm_set_result(vm, 1);
  return 1;
}

uint32_t cmd_get_kind(VmContext& vm) {
  VMemBlock* b = find(vm_pop(vm));
  vm_set_result(vm, static_cast<uint32_t>(-1));
  if (!b) return 0;
  if (b->data) vm_set_result(vm, 0);
  if (b->kind == 1) vm_set_result(vm, 1);
  return 1;
}

uint32_t cmd_get_count(VmContext& vm) {
  VMemBlock* b = find(vm_pop(vm));
  vm_set_result(vm, 0);
  if (!b) return 1;  // the result says it: nothing to count
  if (b->data) return 0;
  vm_set_result(vm, b->kind == 1 ? static_cast<uint32_t>(b->entries.size()) : b->size);
  return 1;
}

template <uint32_t N>
uint32_t cmd_get(VmContext& vm) {
  const uint32_t id = vm_pop(vm);
  const uint32_t offset = vm_pop(vm);
  uint32_t v = 0;
  if (const uint8_t* p = range(id, offset, N)) {
    for (uint32_t i = 0; i < N; ++i) v |= uint32_t{p[i]} << (8 * i);
  }
  vm_set_result(vm, v);
  return 1;
}

template <uint32_t N>
uint32_t cmd_set(VmContext& vm) {
  const uint32_t id = vm_pop(vm);
  const uint32_t offset = vm_pop(vm);
  const uint32_t value = vm_pop(vm);
  if (uint8_t* p = range(id, offset, N)) {
    for (uint32_t i = 0; i < N; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
  }
  return 1;
}

uint32_t cmd_copy(VmContext& vm) {
  const uint32_t dest_id = vm_pop(vm);
  const uint32_t dest_offset = vm_pop(vm);
  const uint32_t src_id = vm_pop(vm);
  const uint32_t src_offset = vm_pop(vm);
  const uint32_t length = vm_pop(vm);
  uint8_t* d = range(dest_id, dest_offset, length);
  const uint8_t* s = range(src_id, src_offset, length);
  if (!d || !s) {
    vm_set_result(vm, 0);
    return 1;
  }
  if (length) std::memmove(d, s, length);
  vm_set_result(vm, 1);
  return 1;
}

uint32_t cmd_dict_set(VmContext& vm) {
  const uint32_t id = vm_pop(vm);
  const uint32_t key = vm_pop(vm);
  const std::string text = fetch_text(vm, vm_pop(vm));
  VMemBlock* b = find(id);
  if (!b || b->kind != 1) {
    vm_set_result(vm, 0);
    return 1;
  }
  b->entries[key] = text;
  b->size = static_cast<uint32_t>(b->entries.size());
  vm_set_result(vm, 1);
  return 1;
}

uint32_t cmd_dict_get(VmContext& vm) {
  const uint32_t id = vm_pop(vm);
  const uint32_t key = vm_pop(vm);
  const uint32_t handle = vm_pop(vm);
  vm_set_result(vm, 0);
  if (!is_string_handle(handle)) return 1;
  char* slot = slot_of(vm, handle);
  if (!slot) {
    // A slot number of 16 or more names no slot: nothing is written.
    vm_log(kLogMain, "vmem_dict_get: string %u out of range", handle & ~kStringHandleBit);
    return 1;
  }
  std::string value;
  if (VMemBlock* b = find(id); b && b->kind == 1) {
    auto it = b->entries.find(key);
    if (it != b->entries.end()) value = it->second;
  }
  if (value.size() >= kVarStringBytes) {
    slot[0] = 0;
    return 0;
  }
  std::memcpy(slot, value.c_str(), value.size() + 1);
  vm_set_result(vm, 1);
  return 1;
}

uint32_t cmd_file_load(VmContext& vm) {
  const uint32_t id = vm_pop(vm);
  const std::string name = fetch_file_name(vm, vm_pop(vm));
  vm_set_result(vm, 0);
  VMemBlock* b = find(id);
  if (!b || !b->data) return 1;
  FileRange r{};
  const OrvFileHandle f = orv.OrvFileCreate ? orv.OrvFileCreate(name.c_str(), &r) : -1;
  if (f == kOrvInvalidFile) {
    vm_log(kLogMain, "vmem_file_load error [%s]", name.c_str());
    return 1;
  }
  uint32_t done = 0;
  // Read into a copy first: a short read leaves the buffer as it was.
  if (r.size <= b->size) {
    std::string bytes(r.size, '\0');
    if (r.size == 0 || (platform::file_read(f, bytes.data(), r.size, &done) && done == r.size)) {
      if (r.size) std::memcpy(b->data, bytes.data(), r.size);
      vm_set_result(vm, r.size);
    } else {
      vm_log(kLogMain, "vmem_file_load error [%s]", name.c_str());
    }
  }
  platform::file_close(f);
  return 1;
}

uint32_t cmd_file_save(VmContext& vm) {
  const uint32_t id = vm_pop(vm);
  const std::string name = fetch_file_name(vm, vm_pop(vm));
  const uint32_t offset = vm_pop(vm);
  const uint32_t length = vm_pop(vm);
  vm_set_result(vm, 0);
  const uint8_t* p = range(id, offset, length);
  if (!p) return 1;
  // Through a temporary file and a rename: a kill or a full disk midway leaves the old file
  // whole, never a half-written or emptied one.
  if (!platform::save_file_bytes(command_path(name), p, length)) {
    vm_log(kLogMain, "vmem_file_save error [%s]", name.c_str());
    return 1;
  }
  vm_set_result(vm, length);
  return 1;
}

}  // namespace

void vmem_delete_all_blocks() {
  store().clear();
}

namespace {
const CommandEntry kMemoryBlockCommands[] = {MEMORY_BLOCK_COMMANDS(COMMAND_ENTRY)};
}  // namespace

const CommandList memory_block_commands = command_list(kMemoryBlockCommands);

}  // namespace engine
