// Services that command handlers and the per-frame code use to talk to the script machine.
//
// Thread: the game thread, or the work thread while the work-thread runner holds the render
// lock. Nothing here blocks.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/vm_context.h"

namespace engine {

// ---- argument stack and result ----

// The three are inline for the common case (every command call pops and sets a result); the
// *_edge functions do the rest, reports included.

// Stores value at the current depth and counts it; logs "stack over" (key 0) when the depth is
// then 64. On a full stack logs "stack over" and stores nothing.
void vm_push_edge(VmContext& vm, uint32_t value);
inline void vm_push(VmContext& vm, uint32_t value) {
  const int32_t n = vm.nArgCount;
  if (n < 0 || n + 1 >= static_cast<int32_t>(kArgumentCells)) return vm_push_edge(vm, value);
  vm.argStack[n] = value;
  vm.nArgCount = n + 1;
}
// Lowers the depth and returns the value there; on an empty stack logs "not stack" (key 0),
// keeps the depth at 0 and returns 0.
uint32_t vm_pop_edge(VmContext& vm);
inline uint32_t vm_pop(VmContext& vm) {
  const int32_t n = vm.nArgCount;
  if (n <= 0 || n > static_cast<int32_t>(kArgumentCells)) return vm_pop_edge(vm);
  vm.nArgCount = n - 1;
  return vm.argStack[n - 1];
}
// R[dwResultReg] = value. A result register of 255 or more drops the value with a key-0 line.
void vm_set_result_edge(VmContext& vm, uint32_t value);
inline void vm_set_result(VmContext& vm, uint32_t value) {
  if (vm.dwResultReg >= kRegisterCount) return vm_set_result_edge(vm, value);
  vm.reg[vm.dwResultReg] = value;
}

// ---- skip state ----

// Skip bits: 1 skip toggle, 4 Ctrl held, 8 advance input this frame; during scene skip every
// bit but 0x20, during history skip every bit but 0x10. Callers test 0x30 (skipping: do not
// wait), 8 (advance) and 1 or 4 (fast-forward). Reads this frame's input; gathers the advance
// latch under script flow 0.
uint32_t get_skip_state(VmContext& vm);
constexpr uint32_t kSkipAny = 0x30;

// The text layer's advance latch: enabled, latched advance bits, applies.
struct AdvanceLatch {
  uint32_t bEnabled;
  uint32_t dwLatched;
  uint32_t bApplies;
};
extern AdvanceLatch g_advance_latch;

// Which flow of the script runs: 0 main, 1 script thread, 2 button event, 3 system-button
// event, 4 work-thread runner.
extern std::atomic<uint32_t> script_thread_id;

// Whether get_skip_state(vm) would now change nothing (neither the advance latch, which it
// feeds or clears under the main flow, nor the begin-skip key bits) and could have a bit of
// kSkipAny only during a scene or history skip. Then `bSceneSkip || bHistorySkip` answers
// `get_skip_state(vm) & kSkipAny` (and the interpreter's yield test) without reading the
// input: the interpreter asks after every command it runs.
inline bool skip_state_quiet(const VmContext& vm) {
  if (vm.run.bSceneSkip || vm.run.bHistorySkip) return true;  // answered before any effect
  if (vm.run.dwBeginSkipMode) return false;
  const AdvanceLatch& latch = g_advance_latch;
  return !(latch.bEnabled || latch.dwLatched) ||
         script_thread_id.load(std::memory_order_relaxed) != 0;
}

// ---- string slots and references ----

constexpr uint32_t kNoText = 0x0FFFFFFF;
constexpr uint32_t kStringHandleBit = 0x10000000;

// Slot n's text when n < 16; else a key-0 line "AdvGetVarString(%d): Out of Range" and an
// empty static text.
char* AdvGetVarString(VmContext& vm, uint32_t n);

// Copies the text a text reference names into dst as a 4-byte head and the text, never more
// than size bytes, the text always terminated within dst (size >= 5 for any text to fit):
// a string handle gives head 0 and the slot's text; kNoText fills dst with zeros; any other
// value copies from Text.dat at that byte offset (the entry's id head and its text), as far
// as Text.dat goes; an offset at or past its end gives an empty text.
void get_string_operand(VmContext& vm, uint8_t* dst, uint32_t value, uint32_t size);

// Resolves a file reference into dst (capacity >= 32; the first 32 bytes are always written;
// nothing beyond capacity). A string handle copies the slot's text, upper-cased unless it
// starts with "http" (the trail byte of a two-byte character is kept), and with mark set marks
// the File.dat entry seen or registers the name in the entry-name list. kNoText or an index
// outside File.dat gives an empty name (the latter with a key-0 line and no mark). An index
// copies that entry's 32-byte name and with mark set marks it seen.
void get_file_name_operand(VmContext& vm, uint8_t* dst, uint32_t capacity, uint32_t value,
                           uint32_t mark);

// Index of the File.dat entry whose 32 bytes equal name's 32 bytes (zero-padded after its
// terminator), -1 when none.
int32_t file_dat_bsearch(const VmContext& vm, const uint8_t* name);
// Number of names in File.dat.
uint32_t file_dat_count(const VmContext& vm);

// ---- seen marks ----

// Sets "entered" (bit 0) of file entry i, and "new" (bit 1) when entered was clear. An entry
// outside the bit block is ignored with a key-0 line.
void file_seen_mark(VmContext& vm, int32_t i);
// Reads or sets text-read bit id; outside the bit block reads 0 and sets nothing.
bool text_read_get(const VmContext& vm, uint32_t id);
void text_read_set(VmContext& vm, uint32_t id);
// Grows the seen-bit blocks, keeping their bits, so that every File.dat index and every text id
// counted in Text.dat's header (at most as many as the file can hold) has its bits: blocks sized
// from system.dat may be older than the current tables. False when memory ran out (the old
// blocks then stay).
bool seen_flags_fit_tables(VmContext& vm);

// Adds name to the entry-name list with flag 3 unless it is there already; a failure is logged
// with key 10 ("entry filename buffer over '%s'").
void entry_name_register(VmContext& vm, const uint8_t* name);

// ---- return stack and display queue ----

// One return entry: a pc and its kind (0 subroutine, 1 button click, 2 event call, 3 script
// thread call).
struct DataEntry {
  uint32_t dwValue;
  uint32_t dwKind;
};

// Pushes a DataEntry at the front of a channel of the ReturnStack; 1, or 0 with an error-log
// line "[%d]memory allocate error DataEntry" when it cannot be allocated.
uint32_t data_entry_push(VmContext& vm, uint32_t channel, uint32_t value, uint32_t kind);
// Pops the first entry of a channel into *entry; false when the channel is empty.
bool data_entry_pop(VmContext& vm, uint32_t channel, DataEntry* entry);
// 1 when channel 2 holds an entry of kind 3.
uint32_t is_thread_call(VmContext& vm);

// A queued display request: the id of the command that queued it and ten arguments.
struct DisplayOp {
  uint32_t dwId;
  uint32_t args[10];
};
static_assert(sizeof(DisplayOp) == 44);
// Appends a copy to channel 1; 1, or 0 with "メモリ不足発生 : code[0x%08X]" in the error log.
uint32_t display_op_push(VmContext& vm, const DisplayOp& op);
// Pops the oldest queued request; false when there is none.
bool display_op_pop(VmContext& vm, DisplayOp* op);

// Pops and frees every entry of every channel of the ReturnStack.
void return_stack_clear(VmContext& vm);

// ---- reset ----

// The full reset: skip state, the other subsystems' runtime state, the stacks, registers,
// UserMemory, frames, the point stack and the return stack. Keeps dwPc, TempMemory,
// SystemMemory, the string slots and the message handler.
void vm_reset(VmContext& vm);

}  // namespace engine
