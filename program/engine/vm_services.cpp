#include "engine/vm_services.h"

#include <cstring>

#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/script_files.h"
#include "engine/vm_log.h"

namespace engine {

AdvanceLatch g_advance_latch{0, 0, 1};
std::atomic<uint32_t> script_thread_id{0};

// ---- argument stack and result ----

void vm_push_edge(VmContext& vm, uint32_t value) {
  if (vm.nArgCount < 0) vm.nArgCount = 0;  // a restored save may carry anything
  if (vm.nArgCount >= static_cast<int32_t>(kArgumentCells)) {
    vm_log(kLogMain, "stack over");
    return;
  }
  vm.argStack[vm.nArgCount++] = value;
  if (vm.nArgCount >= static_cast<int32_t>(kArgumentCells)) vm_log(kLogMain, "stack over");
}

uint32_t vm_pop_edge(VmContext& vm) {
  if (vm.nArgCount > static_cast<int32_t>(kArgumentCells)) vm.nArgCount = kArgumentCells;
  if (vm.nArgCount <= 0) {
    vm.nArgCount = 0;
    vm_log(kLogMain, "not stack");
    return 0;
  }
  return vm.argStack[--vm.nArgCount];
}

void vm_set_result_edge(VmContext& vm, uint32_t value) {
  if (vm.dwResultReg >= kRegisterCount) {
    vm_log(kLogMain, "[%d]result register %u outside the register file (command 0x%08X)",
           vm.runner.dwPc, vm.dwResultReg, vm.runner.dwCommand);
    return;
  }
  vm.reg[vm.dwResultReg] = value;
}

// ---- skip state ----

uint32_t get_skip_state(VmContext& vm) {
  if (vm.run.bSceneSkip) return ~0x20u;
  if (vm.run.bHistorySkip) return ~0x10u;
  uint32_t bits = vm.run.bSkip ? 1 : 0;
  if (static_cast<int16_t>(orv_input_wheel() & 0xFFFF) > 0) bits |= 8;
  const uint32_t keys = vm.buttons.bKeyRelease ? orv_input_key_pull() : orv_input_key_push();
  const uint32_t on = orv_input_key_on();
  if ((keys & 0x800006u) && !(on & 0x20u)) {
    bits |= 8;
    if (vm.run.dwBeginSkipMode) vm.run.dwBeginSkipKeys |= 8;
  }
  uint32_t result = bits;
  if (on & 8u) result |= 4;
  uint32_t extra = 0;
  if (script_thread_id.load(std::memory_order_relaxed) == 0) {
    AdvanceLatch& latch = g_advance_latch;
    latch.dwLatched = latch.bEnabled ? (latch.dwLatched | (bits & 8)) : 0;
    extra = (latch.bApplies && latch.bEnabled) ? latch.dwLatched : 0;
  }
  result |= extra;
  if (vm.run.dwBeginSkipMode) result |= vm.run.dwBeginSkipKeys;
  return result;
}

// ---- string slots and references ----

namespace {
char g_empty_text[1];
}

char* AdvGetVarString(VmContext& vm, uint32_t n) {
  if (n < kStringSlots) return vm.strings.slots[n];
  vm_log(kLogMain, "AdvGetVarString(%d): Out of Range", static_cast<int32_t>(n));
  g_empty_text[0] = 0;
  return g_empty_text;
}

namespace {

// Copies a zero-terminated text of at most max_src bytes into dst of cap bytes, terminated.
void copy_text(uint8_t* dst, uint32_t cap, const char* src, uint32_t max_src) {
  if (cap == 0) return;
  uint32_t i = 0;
  for (; i + 1 < cap && i < max_src && src[i]; ++i) dst[i] = static_cast<uint8_t>(src[i]);
  dst[i] = 0;
}

}  // namespace

void get_string_operand(VmContext& vm, uint8_t* dst, uint32_t value, uint32_t size) {
  if (size == 0) return;
  if (value == kNoText) {
    std::memset(dst, 0, size);
    return;
  }
  if (value & kStringHandleBit) {
    const char* text = AdvGetVarString(vm, value & ~kStringHandleBit);
    const uint32_t head = size < 4 ? size : 4;
    std::memset(dst, 0, head);
    if (size > 4) copy_text(dst + 4, size - 4, text, kVarStringBytes);
    return;
  }
  const uint32_t total = vm.files.dwTextDatSize;
  std::memset(dst, 0, size < 5 ? size : 5);
  if (value >= total || !vm.files.pTextDat) return;
  const uint32_t avail = total - value;
  const uint32_t n = avail < size ? avail : size;
  std::memcpy(dst, vm.files.pTextDat + value, n);
  // Keep the text terminated within dst even when Text.dat or the buffer ends first.
  if (n < size) {
    dst[n] = 0;
  } else {
    dst[size - 1] = 0;
  }
}

uint32_t file_dat_count(const VmContext& vm) {
  const uint32_t size = vm.files.dwFileDatSize;
  return size > kTableHeaderBytes ? (size - kTableHeaderBytes) / 32 : 0;
}

int32_t file_dat_bsearch(const VmContext& vm, const uint8_t* name) {
  uint8_t key[32] = {};
  for (int i = 0; i < 32 && name[i]; ++i) key[i] = name[i];
  uint32_t lo = 0, hi = file_dat_count(vm);
  if (hi == 0) return -1;  // no File.dat loaded, or an empty one
  const uint8_t* table = vm.files.pFileDat + kTableHeaderBytes;
  while (lo < hi) {
    const uint32_t mid = lo + (hi - lo) / 2;
    const int c = std::memcmp(table + 32u * mid, key, 32);
    if (c == 0) return static_cast<int32_t>(mid);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return -1;
}

void get_file_name_operand(VmContext& vm, uint8_t* dst, uint32_t capacity, uint32_t value,
                           uint32_t mark) {
  if (capacity < 32) return;  // every caller passes at least a 32-byte name buffer
  std::memset(dst, 0, 32);
  if (value == kNoText) return;
  if (value & kStringHandleBit) {
    const uint32_t slot = value & ~kStringHandleBit;
    const char* text = AdvGetVarString(vm, slot);
    if (slot >= kStringSlots) return;
    copy_text(dst, capacity, text, kVarStringBytes);
    if (std::strncmp(reinterpret_cast<char*>(dst), "http", 4) == 0) return;
    for (uint32_t i = 0; i < capacity && dst[i]; ++i) {
      if (dst[i] >= 0x80) {
        if (dst[i + 1] == 0) break;
        ++i;  // the trail byte of a two-byte character stays as it is
      } else if (dst[i] >= 'a' && dst[i] <= 'z') {
        dst[i] = static_cast<uint8_t>(dst[i] - 'a' + 'A');
      }
    }
    if (mark) {
      const int32_t index = file_dat_bsearch(vm, dst);
      if (index >= 0) {
        file_seen_mark(vm, index);
      } else {
        entry_name_register(vm, dst);
      }
    }
    return;
  }
  if (value >= file_dat_count(vm)) {
    vm_log(kLogMain, "[%d]file reference %u outside File.dat", vm.runner.dwPc, value);
    return;
  }
  if (mark) file_seen_mark(vm, static_cast<int32_t>(value));
  std::memcpy(dst, vm.files.pFileDat + kTableHeaderBytes + 32u * value, 32);
}

// ---- seen marks ----

void file_seen_mark(VmContext& vm, int32_t i) {
  const uint32_t byte = static_cast<uint32_t>(i) >> 2;
  if (i < 0 || byte >= vm.seen.dwFileSeenBytes || !vm.seen.lpFileSeen) {
    vm_log(kLogMain, "file seen mark %d outside its bits", i);
    return;
  }
  const unsigned shift = 2 * (static_cast<uint32_t>(i) & 3);
  uint8_t& b = vm.seen.lpFileSeen[byte];
  if (!(b & (1u << shift))) b |= static_cast<uint8_t>(2u << shift);
  b |= static_cast<uint8_t>(1u << shift);
}

bool text_read_get(const VmContext& vm, uint32_t id) {
  const uint32_t byte = id >> 3;
  if (byte >= vm.seen.dwTextReadBytes || !vm.seen.lpTextRead) return false;
  return (vm.seen.lpTextRead[byte] >> (id & 7)) & 1;
}

void text_read_set(VmContext& vm, uint32_t id) {
  const uint32_t byte = id >> 3;
  if (byte >= vm.seen.dwTextReadBytes || !vm.seen.lpTextRead) {
    vm_log(kLogMain, "text read mark %u outside its bits", id);
    return;
  }
  vm.seen.lpTextRead[byte] |= static_cast<uint8_t>(1u << (id & 7));
}

namespace {

bool grow_block(uint8_t** block, uint32_t* bytes, uint32_t need) {
  if (*bytes >= need && *block) return true;
  auto* grown = static_cast<uint8_t*>(orv.OrvMemoryAlloc(need, 1));
  if (!grown) return false;
  if (*block) {
    std::memcpy(grown, *block, *bytes < need ? *bytes : need);
    orv.OrvMemoryFree(*block);
  }
  *block = grown;
  *bytes = need;
  return true;
}

}  // namespace

bool seen_flags_fit_tables(VmContext& vm) {
  // The same sizes a fresh system.dat gets: count / 4 + 1 and count / 8 + 1.
  const uint32_t file_need = file_dat_count(vm) / 4 + 1;
  uint32_t text_count = 0;
  TableHeader text;
  if (table_header_read(vm.files.pTextDat, vm.files.dwTextDatSize, &text)) {
    text_count = text.count;
    // The stored count is not trusted beyond what the file can hold: an entry takes at least
    // five bytes (its id and a terminator). Ids past the bits are refused where they are used.
    const uint32_t most = (vm.files.dwTextDatSize - kTableHeaderBytes) / 5;
    if (text_count > most) text_count = most;
  }
  const uint32_t text_need = text_count / 8 + 1;
  bool ok = grow_block(&vm.seen.lpFileSeen, &vm.seen.dwFileSeenBytes, file_need);
  ok = grow_block(&vm.seen.lpTextRead, &vm.seen.dwTextReadBytes, text_need) && ok;
  return ok;
}

// ---- entry names ----

namespace {

struct EntryName {
  char name[32];
  uint8_t flag;
};

EntryName* entry_name_find(VmContext& vm, const uint8_t* name) {
  const uint32_t count = orv_list_count(vm.seen.hEntryNames, 0);
  for (uint32_t n = 0; n < count; ++n) {
    auto* e = reinterpret_cast<EntryName*>(orv_list_get_data(vm.seen.hEntryNames, 0, n));
    if (e && std::strncmp(e->name, reinterpret_cast<const char*>(name), 32) == 0) return e;
  }
  return nullptr;
}

}  // namespace

void entry_name_register(VmContext& vm, const uint8_t* name) {
  if (entry_name_find(vm, name)) return;
  const size_t len = strnlen(reinterpret_cast<const char*>(name), 33);
  EntryName* e =
      len <= 32 ? static_cast<EntryName*>(orv.OrvMemoryAlloc(sizeof(EntryName), 1)) : nullptr;
  if (e) {
    std::memcpy(e->name, name, len);
    e->flag = 3;
    if (orv_list_push(vm.seen.hEntryNames, reinterpret_cast<uintptr_t>(e), 0)) return;
    orv.OrvMemoryFree(e);
  }
  vm_log(kLogHistory, "entry filename buffer over '%.32s'", reinterpret_cast<const char*>(name));
}

// ---- return stack and display queue ----

uint32_t data_entry_push(VmContext& vm, uint32_t channel, uint32_t value, uint32_t kind) {
  auto* e = static_cast<DataEntry*>(orv.OrvMemoryAlloc(sizeof(DataEntry), 1));
  if (e) {
    e->dwValue = value;
    e->dwKind = kind;
    if (orv_list_push(vm.hReturnStack, reinterpret_cast<uintptr_t>(e), channel)) return 1;
    orv.OrvMemoryFree(e);
  }
  vm_error_log("[%d]memory allocate error DataEntry", vm.runner.dwPc);
  return 0;
}

bool data_entry_pop(VmContext& vm, uint32_t channel, DataEntry* entry) {
  auto* e = reinterpret_cast<DataEntry*>(orv_list_pop(vm.hReturnStack, channel));
  if (!e) return false;
  *entry = *e;
  orv.OrvMemoryFree(e);
  return true;
}

uint32_t is_thread_call(VmContext& vm) {
  const uint32_t count = orv_list_count(vm.hReturnStack, kChannelReturns);
  for (uint32_t n = 0; n < count; ++n) {
    auto* e =
        reinterpret_cast<const DataEntry*>(orv_list_get_data(vm.hReturnStack, kChannelReturns, n));
    if (e && e->dwKind == 3) return 1;
  }
  return 0;
}

uint32_t display_op_push(VmContext& vm, const DisplayOp& op) {
  auto* copy = static_cast<DisplayOp*>(orv.OrvMemoryAlloc(sizeof(DisplayOp), 1));
  if (copy) {
    *copy = op;
    if (orv_list_push_last(vm.hReturnStack, reinterpret_cast<uintptr_t>(copy),
                           kChannelDisplayOps)) {
      return 1;
    }
    orv.OrvMemoryFree(copy);
  }
  // "メモリ不足発生 : code[0x%08X]"
  vm_error_log("\x83\x81\x83\x82\x83\x8a\x95s\x91\xab\x94\xad\x90\xb6 : code[0x%08X]", op.dwId);
  return 0;
}

bool display_op_pop(VmContext& vm, DisplayOp* op) {
  auto* e = reinterpret_cast<DisplayOp*>(orv_list_pop(vm.hReturnStack, kChannelDisplayOps));
  if (!e) return false;
  *op = *e;
  orv.OrvMemoryFree(e);
  return true;
}

void return_stack_clear(VmContext& vm) {
  for (uint32_t channel : {kChannelDisplayOps, kChannelReturns, kChannelThreadMarkers}) {
    while (void* e = reinterpret_cast<void*>(orv_list_pop(vm.hReturnStack, channel))) {
      orv.OrvMemoryFree(e);
    }
  }
}

}  // namespace engine
