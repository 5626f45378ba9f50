// The interpreter loop on the game thread, the work-thread runner and the script points.
#include <cstdio>
#include <map>

#include "engine/core_ops.h"
#include "engine/decoded_code.h"
#include "engine/dispatch.h"
#include "engine/interpreter.h"
#include "engine/neighbours.h"
#include "engine/operand.h"
#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "platform/sleep.h"

namespace engine {

std::atomic<AsyncStep> pending_async_step{nullptr};

namespace {

// "[%d]内部コマンドエラー1 code = [0x%08X]" / "...2..." / "[%d]内部エラー code = [0x%08X]"
const char kBadWord1[] =
    "[%d]\x93\xe0\x95\x94\x83R\x83}\x83\x93\x83h\x83G\x83\x89\x81[1 code = [0x%08X]";
const char kBadWord2[] =
    "[%d]\x93\xe0\x95\x94\x83R\x83}\x83\x93\x83h\x83G\x83\x89\x81[2 code = [0x%08X]";
const char kInternalError[] = "[%d]\x93\xe0\x95\x94\x83G\x83\x89\x81[ code = [0x%08X]";
// "★エラー スキップ中に非同期関数が動作しています!!!"
const char kAsyncWhileSkipping[] =
    "\x81\x9a\x83G\x83\x89\x81[ \x83X\x83L\x83"
    "b\x83v\x92\x86\x82\xc9\x94\xf1\x93\xaf\x8a\xfa\x8a\xd6\x90\x94\x82\xaa\x93\xae\x8d\xec\x82"
    "\xb5\x82\xc4\x82\xa2\x82\xdc\x82\xb7!!!";

// How many instructions run between two questions to the library whether the program is
// ending: often enough that a script looping without a yield ends well within a frame, rarely
// enough that the question costs nothing beside the instructions.
constexpr uint32_t kEndPollEvery = 4096;

// Asks the library now; an end seen there is recorded like the script's own end.
bool end_poll(VmContext& vm) {
  ScriptRunner& r = vm.runner;
  if (r.bEndRequested.load(std::memory_order_relaxed)) return true;
  if (r.bEndPollOff || !orv_system_end()) return false;
  r.bEndRequested.store(1);
  return true;
}

// The check after each instruction: the end request, and every kEndPollEvery instructions
// the library's.
inline bool end_seen(VmContext& vm) {
  ScriptRunner& r = vm.runner;
  if (r.bEndRequested.load(std::memory_order_relaxed)) return true;
  if (r.dwEndPollLeft != 0) {
    --r.dwEndPollLeft;
    return false;
  }
  r.dwEndPollLeft = kEndPollEvery;
  return end_poll(vm);
}

// A pc that left the code: the script stands at its end from now on.
void fetch_fault(VmContext& vm) {
  ScriptRunner& r = vm.runner;
  vm_log(kLogMain, "[%d]script pc outside the code (%u bytes) at instruction 0x%08X",
         vm.dwCurrentPc, r.dwCodeSize, r.dwCommand);
  r.bFetchFault = 0;
  r.dwPc = r.dwCodeSize;
}

// Times the instructions run during a scene skip and reports them after it has ended.
struct Profile {
  struct Entry {
    uint32_t count = 0;
    double total = 0;
  };
  std::map<uint32_t, Entry> table;
  uint32_t last_key = 0;
  uint64_t start_ns = 0;
};
Profile g_profile;

void profiler_step(VmContext& vm, uint32_t word) {
  Profile& p = g_profile;
  if (!vm.run.bSceneSkip && p.last_key == 0) return;  // the common case: nothing to do
  uint32_t id = 0;
  if ((word & 0xFFFF) == 0x17 && vm.runner.dwPc + 4 <= vm.runner.dwCodeSize) {
    std::memcpy(&id, vm.runner.pCode + vm.runner.dwPc, 4);
  }
  const uint32_t key =
      (1u << 24) | ((word & 0xFF) << 16) | (((id >> 16) & 0xFF) << 8) | (id & 0xFF);
  const uint64_t now = platform::counter_ns();
  if (vm.run.bSceneSkip) {
    if (p.last_key) {
      Profile::Entry& e = p.table[p.last_key];
      e.count += 1;
      e.total += static_cast<double>(now - p.start_ns) / 1e9;
    }
    p.last_key = key;
    p.start_ns = now;
    return;
  }
  double sum = 0;
  for (auto& [k, e] : p.table) sum += e.total;
  for (auto& [k, e] : p.table) {
    char line[128];
    std::snprintf(line, sizeof line,
                  "cmd=%08X / count=%d / time=%lf sec / 1op=%lf ms / percent=%3.5lf", k, e.count,
                  e.total, e.count ? e.total / e.count * 1000 : 0.0,
                  sum > 0 ? e.total / sum * 100 : 0.0);
    vm_log(kLogMain, "%s", line);
  }
  p.table.clear();
  p.last_key = 0;
  p.start_ns = 0;
}

// The script reached the target of a history skip.
void history_skip_end(VmContext& vm) {
  ScriptRunner& r = vm.runner;
  vm_log(kLogHistory, "history_skip end [%x:%x]", vm.run.dwHistorySkipPc, r.dwPc);
  neighbour_run(neighbours.text.ret_stack_dump, vm);
  vm.save.dwPrevRawLength = 0;
  if (!vm.save.bSavePointLock) {
    vm.save.dwResumePc = r.dwPc;
    vm.save.dwSnapOffset = 0;
    neighbour_run(neighbours.interaction.save_snapshot_make, vm);
  }
  if (vm.history.dwJumpLabel) {
    vm_reset(vm);
    vm.save.dwSnapLength = vm.save.dwSnapOffset;
    vm.save.dwSnapOffset = 0;
    neighbour_run(neighbours.interaction.save_snapshot_read, vm);
    vm.save.bSnapValid = 1;
    vm.buttons.dwWaitStart = orv.OrvClockGetTime();
    vm.buttons.dwInvalidTime = 100;
    data_entry_push(vm, kChannelReturns, r.dwPc, 0);
    uint32_t target;
    if (label_target(vm, vm.history.dwJumpLabel, &target)) r.dwPc = target;
  }
  vm.run.bHistorySkip = 0;
  neighbour_run(neighbours.layers.history_skip_cover_image, vm);
  vm.buttons.dwWaitStart = orv.OrvClockGetTime();
  vm.buttons.dwInvalidTime = 100;
  if (vm.save.nLoadAfterLabel == -1) {
    r.bYield = 1;
  } else {
    data_entry_push(vm, kChannelReturns, r.dwPc, 0);
    r.dwPc = r.dwBase + static_cast<uint32_t>(vm.save.nLoadAfterLabel);
  }
}

}  // namespace

void script_profile_clear() {
  g_profile = Profile{};
}

namespace {

// What the slice tests between instructions. Only operations that run commands, return, reset
// or end can change it, so it is read at the start of a slice and again after each of those,
// not per instruction; what a script observes stays the same.
struct SliceState {
  bool skipping;     // get_skip_state() has the skip mask's bit: a yield is ignored
  bool has_point;    // the script-point stack is not empty
  uint32_t stop_pc;  // its top point
  bool history;      // history skip on
  bool profiling;    // scene skip on, or a report pending
};

// Reads it into *out field by field (a record built in registers and returned whole would
// be stored byte by byte and read back as words: a stall on every command).
inline void slice_state(VmContext& vm, SliceState* out) {
  SliceState& s = *out;
  // The mask is 0x10 while scene skip is on, else 0x20. In the common case the state is
  // worked out without reading the input (skip_state_quiet); otherwise it is read, with its
  // effects on the advance latch and the begin-skip keys.
  const uint32_t mask = vm.run.bSceneSkip ? 0x10 : 0x20;
  s.skipping = skip_state_quiet(vm) ? (vm.run.bSceneSkip || vm.run.bHistorySkip)
                                    : (get_skip_state(vm) & mask) != 0;
  const uint32_t count = vm.runner.dwPointCount;
  s.has_point = count > 0 && count <= kPointStackSize;
  s.stop_pc = s.has_point ? vm.runner.dwPointStack[count - 1] : 0;
  s.history = vm.run.bHistorySkip != 0;
  s.profiling = vm.run.bSceneSkip || g_profile.last_key;
}

// One pre-decoded instruction: the same effects as its operation on the original words (the
// immediate cell, the pc, dwCommand and the label lookup's failure), without fetching them.
// Returns the operation's result.
inline uint32_t run_decoded(VmContext& vm, const DecodedOp& d) {
  ScriptRunner& r = vm.runner;
  r.dwCommand = 0x00010000u | d.op;
  r.dwPc = d.next;
  const uint32_t s = d.src_imm ? (vm.dwImmediate = d.src) : vm.reg[d.src];
  uint32_t& dst = vm.reg[d.dst];
  switch (d.op) {
#define PLAIN_BINARY(index, function, expression) \
  case index:                                     \
    dst = (expression);                           \
    break;
#include "engine/plain_ops.h"
#undef PLAIN_BINARY
    case 0x09:
      if (d.src_imm) {
        r.dwPc = d.target;
      } else {
        uint32_t target;
        if (!label_target(vm, s, &target)) return 0;
        r.dwPc = target;
      }
      break;
    case 0x0A:
      if (s == 0) r.dwPc = d.target;
      break;
    default:  // nop
      break;
  }
  return 1;
}

// How many jumps the back-to-back loop takes between two questions whether the program is
// ending. Only a jump can repeat code, so a loop that never leaves the span takes one at least
// every few instructions, and code without jumps runs out after the code's length.
constexpr uint32_t kEndPollJumps = 1024;

// The back-to-back loop dispatches through a table of label addresses where the compiler has
// them (one indirect jump per handler, which the processor predicts per handler), and through
// a switch elsewhere.
#ifndef VELMORA_THREADED_DISPATCH
#if defined(__GNUC__)
#define VELMORA_THREADED_DISPATCH 1
#else
#define VELMORA_THREADED_DISPATCH 0
#endif
#endif

enum class After { kGoOn, kStop, kReturnPending };

// What follows a command, a return, a reset or an end: the slice state read again, and
// whether the slice goes on.
After after_command(VmContext& vm, SliceState* s) {
  ScriptRunner& r = vm.runner;
  slice_state(vm, s);
  const bool pending = pending_async_step.load(std::memory_order_relaxed) != nullptr;
  if (s->skipping) {
    if (pending) vm_log(kLogMain, "%s", kAsyncWhileSkipping);
  } else if (r.bYield) {
    return After::kStop;
  }
  if (pending) return After::kReturnPending;
  if (end_seen(vm)) return After::kStop;
  return After::kGoOn;
}

// Runs pre-decoded operations from dwPc until one is not pre-decoded, the code ends, or a
// command asks for what the slice watches, with the same effects as the ordinary path one by
// one; the position is kept in a local meanwhile (a register write could alias dwPc) and is in
// dwPc on return. kGoOn: the ordinary path goes on at dwPc (with *s read again when a command
// ran); kStop and kReturnPending as from run_slow.
After run_decoded_span(VmContext& vm, SliceState* s) {
  ScriptRunner& r = vm.runner;
  uint32_t pc = r.dwPc;
  if ((pc & 3) != 0 || (pc >> 2) >= r.dwDecodedCount) return After::kGoOn;
  After after = After::kGoOn;
  const DecodedOp* const decoded = r.pDecoded;
  uint32_t* const reg = vm.reg;
  const uint32_t end = r.dwCodeSize;
  // The entry to run; the entry after the last word has op 0, so the end stops the loop too.
  const DecodedOp* ip = decoded + (pc >> 2);
  const DecodedOp* last = nullptr;  // the last entry run, for dwCommand and dwCurrentPc
  uint32_t jumps_left = kEndPollJumps;

// (clang-format cannot lay out labels, computed gotos and the macros that make them.)
// clang-format off
#if VELMORA_THREADED_DISPATCH
#define SLOT(name) L_##name
#define DISPATCH() goto *kHandlers[ip->slot]
  static const void* const kHandlers[kSlotCount] = {
      &&L_kSlotLeave, &&L_kSlotJmpReg, &&L_kSlotJmpImm, &&L_kSlotJzReg, &&L_kSlotJzImm,
      &&L_kSlotNop, &&L_kSlotPushReg, &&L_kSlotPushImm, &&L_kSlotCall,
#define PLAIN_BINARY(index, function, expression) \
      &&L_kSlot_##function##_reg, &&L_kSlot_##function##_imm,
#include "engine/plain_ops.h"
#undef PLAIN_BINARY
  };
  DISPATCH();
#else
#define SLOT(name) case name
#define DISPATCH() goto dispatch
dispatch:
  switch (ip->slot) {
    default:
#endif
// Steps to the entry words ahead.
#define NEXT(words) \
  do {              \
    last = ip;      \
    ip += (words);  \
    DISPATCH();     \
  } while (0)
// Jumps to a target of the decoder's (a word of the code, or its end); every kEndPollJumps
// jumps the end request is looked at.
#define JUMP(target)                  \
  do {                                \
    last = ip;                        \
    ip = decoded + ((target) >> 2);   \
    if (--jumps_left == 0) goto poll; \
    DISPATCH();                       \
  } while (0)

    SLOT(kSlotLeave): {
      pc = static_cast<uint32_t>(ip - decoded) * 4;
      goto leave;
    }

#define PLAIN_BINARY(index, function, expression) \
    SLOT(kSlot_##function##_reg): {               \
      const uint32_t s = reg[ip->src];            \
      uint32_t& dst = reg[ip->dst];               \
      dst = (expression);                         \
      NEXT(3);                                    \
    }                                             \
    SLOT(kSlot_##function##_imm): {               \
      const uint32_t s = ip->src;                 \
      vm.dwImmediate = s;                         \
      uint32_t& dst = reg[ip->dst];               \
      dst = (expression);                         \
      NEXT(3);                                    \
    }
#include "engine/plain_ops.h"
#undef PLAIN_BINARY

    SLOT(kSlotJzReg): {
      if (reg[ip->src] == 0) JUMP(ip->target);
      NEXT(3);
    }
    SLOT(kSlotJzImm): {
      vm.dwImmediate = ip->src;
      if (ip->src == 0) JUMP(ip->target);
      NEXT(3);
    }
    SLOT(kSlotJmpImm): {
      vm.dwImmediate = ip->src;
      JUMP(ip->target);
    }
    SLOT(kSlotNop): {
      NEXT(1);
    }
    SLOT(kSlotJmpReg): {
      // The label lookup and its failure report see the machine as the plain path has it.
      pc = static_cast<uint32_t>(ip - decoded) * 4;
      r.dwPc = pc + 8;
      r.dwCommand = 0x00010009;
      vm.dwCurrentPc = pc;
      uint32_t target;
      if (!label_target(vm, reg[ip->src], &target)) {
        vm_log(kLogMain, kInternalError, r.dwPc, r.dwCommand);
        NEXT(2);
      }
      if ((target & 3) == 0 && target <= end) JUMP(target);
      // A pc that is no word of the code: the ordinary path takes it from there.
      last = ip;
      pc = target;
      goto leave;
    }
    SLOT(kSlotPushReg): {
      vm_push(vm, reg[ip->src]);
      NEXT(2);
    }
    SLOT(kSlotPushImm): {
      vm.dwImmediate = ip->src;
      vm_push(vm, ip->src);
      NEXT(2);
    }
    SLOT(kSlotCall): {
      // As the ordinary path runs it (run_slow, op_call), without fetching the words again.
      pc = static_cast<uint32_t>(ip - decoded) * 4;
      vm.dwCurrentPc = pc;
      r.dwPc = pc + 12;
      r.bYield = 0;
      vm.dwResultReg = ip->target;
      r.dwCommand = ip->src;
      last = nullptr;  // dwCommand and dwCurrentPc are the call's now
      const CommandHandler handler = command_lookup(ip->src);
      const uint32_t ok = handler ? handler(vm) : 0;
      if (r.bFetchFault) {
        fetch_fault(vm);
        pc = r.dwPc;
        after = After::kStop;
        goto leave;
      }
      if (!ok) vm_log(kLogMain, kInternalError, r.dwPc, r.dwCommand);
      after = after_command(vm, s);
      pc = r.dwPc;  // the command may have moved it
      if (after != After::kGoOn || pc == end) goto leave;
      // Go on here only while nothing is to be watched between instructions.
      if (r.bStepLimited || s->has_point || s->history || s->profiling) goto leave;
      if ((pc & 3) != 0 || (pc >> 2) >= r.dwDecodedCount) goto leave;
      ip = decoded + (pc >> 2);
      DISPATCH();
    }
#if !VELMORA_THREADED_DISPATCH
  }
#endif

poll:
  jumps_left = kEndPollJumps;
  if (!end_poll(vm)) DISPATCH();
  pc = static_cast<uint32_t>(ip - decoded) * 4;

leave:
#undef JUMP
#undef NEXT
#undef DISPATCH
#undef SLOT
    // clang-format on
    if (last) {
  r.dwCommand = 0x00010000u | last->op;
  vm.dwCurrentPc = static_cast<uint32_t>(last - decoded) * 4;
}
r.dwPc = pc;
return after;
}

// An instruction that may call a command, return, reset or end, or a word outside group 1.
After run_slow(VmContext& vm, uint32_t word, SliceState* s) {
  ScriptRunner& r = vm.runner;
  r.bYield = 0;
  if ((word >> 16) != 1) {
    vm_log(kLogMain, kBadWord1, r.dwPc, word);
    vm_log(kLogHistory, kBadWord1, r.dwPc, word);
  } else {
    const uint32_t ok = run_core_op(vm, word & 0xFFFF);
    if (r.bFetchFault) {
      fetch_fault(vm);
      return After::kStop;
    }
    if (!ok) vm_log(kLogMain, kInternalError, r.dwPc, r.dwCommand);
  }
  return after_command(vm, s);
}

}  // namespace

uint32_t script_run(VmContext& vm) {
  ScriptRunner& r = vm.runner;
  if (pending_async_step.load() || r.bAsync.load()) return 1;
  r.bRunning.store(1);
  if (r.dwPc != r.dwCodeSize && !r.bEndRequested.load()) {
    SliceState s;
    slice_state(vm, &s);
    for (;;) {
      if (!r.bStepLimited && !s.has_point && !s.history && !s.profiling) {
        // Nothing to watch between plain operations: they run back to back.
        const After after = run_decoded_span(vm, &s);
        if (after == After::kReturnPending) return 1;
        if (after == After::kStop || r.dwPc == r.dwCodeSize) goto stop;
        if (r.bEndRequested.load(std::memory_order_relaxed)) goto stop;
      }
      if (r.bStepLimited) {
        if (r.dwStepsLeft == 0) break;
        --r.dwStepsLeft;
      }
      const uint32_t pc = r.dwPc;
      if (s.has_point && pc == s.stop_pc) break;
      vm.dwCurrentPc = pc;
      if (s.history) {
        const uint32_t t = vm.run.dwHistorySkipPc;
        if (t <= pc && pc - t < 12) {
          history_skip_end(vm);
          break;
        }
      }
      if (!s.profiling && (pc & 3) == 0 && (pc >> 2) < r.dwDecodedCount) {
        const DecodedOp& d = r.pDecoded[pc >> 2];
        if (decoded_one_at_a_time(d)) {
          if (!run_decoded(vm, d)) vm_log(kLogMain, kInternalError, r.dwPc, r.dwCommand);
          if (r.dwPc == r.dwCodeSize || end_seen(vm)) break;
          continue;
        }
      }
      const uint32_t word = fetch_word(vm);
      if (r.bFetchFault) {
        fetch_fault(vm);
        break;
      }
      r.dwCommand = word;
      if (s.profiling) {
        profiler_step(vm, word);
        s.profiling = vm.run.bSceneSkip || g_profile.last_key;
      }
      // The plain operations run in place; none of them can yield or change the slice state.
      uint32_t ok = 1;
      switch (word) {
#define PLAIN_BINARY(index, function, expression) \
  case 0x00010000u | (index):                     \
    ok = ops::function(vm);                       \
    break;
#include "engine/plain_ops.h"
#undef PLAIN_BINARY
        case 0x00010009:
          ok = ops::op_jmp(vm);
          break;
        case 0x0001000A:
          ok = ops::op_jz(vm);
          break;
        case 0x0001000B:
          ok = ops::op_gosub(vm);
          break;
        case 0x00010014:
          ok = ops::op_not(vm);
          break;
        case 0x00010016:
          ok = ops::op_nop(vm);
          break;
        case 0x0001001D:
          ok = ops::op_neg(vm);
          break;
        case 0x0001001E:
          ok = ops::op_pop(vm);
          break;
        case 0x0001001F:
          ok = ops::op_push(vm);
          break;
        case 0x00010020:
          ok = ops::op_enter(vm);
          break;
        case 0x00010021:
          ok = ops::op_leave(vm);
          break;
        default: {
          const After after = run_slow(vm, word, &s);
          if (after == After::kReturnPending) return 1;
          if (after == After::kStop) goto stop;
          if (r.dwPc == r.dwCodeSize) goto stop;
          continue;
        }
      }
      if (r.bFetchFault) {
        fetch_fault(vm);
        break;
      }
      if (!ok) vm_log(kLogMain, kInternalError, r.dwPc, r.dwCommand);
      if (r.dwPc == r.dwCodeSize || end_seen(vm)) break;
    }
  }
stop:
  r.bRunning.store(0);
  return r.bAsync.load() ? 0 : 1;
}

void script_run_async(VmContext& vm) {
  ScriptRunner& r = vm.runner;
  while (r.bRunning.load()) platform::sleep_ms(1);
  script_thread_id.store(4);
  r.bRunning.store(1);
  while (r.bAsync.load() && !r.bEndRequested.load()) {
    if (r.bStepLimited) {
      if (r.dwStepsLeft == 0) break;
      --r.dwStepsLeft;
    }
    const bool locked = orv_render_lock_enter();
    vm.dwCurrentPc = r.dwPc;
    const uint32_t word = fetch_word(vm);
    if (r.bFetchFault) {
      // Nothing left to run here: the end of the code hands the script back to the game
      // thread, where it stands at its end.
      if (vm.dwCurrentPc != r.dwCodeSize) fetch_fault(vm);
      r.bFetchFault = 0;
      r.dwPc = r.dwCodeSize;
      r.bAsync.store(0);
    } else {
      r.dwCommand = word;
      if ((word >> 16) == 1) {
        const uint32_t ok = run_core_op(vm, word & 0xFFFF);
        if (r.bFetchFault) {
          fetch_fault(vm);
          r.bAsync.store(0);
        } else if (!ok) {
          vm_log(kLogMain, kInternalError, r.dwPc, r.dwCommand);
        }
      } else {
        vm_log(kLogMain, kBadWord2, r.dwPc, r.dwCommand);
        vm_log(kLogHistory, kBadWord2, r.dwPc, r.dwCommand);
      }
    }
    if (locked) orv_render_lock_leave();
    if (end_seen(vm)) break;
  }
  r.bRunning.store(0);
}

int32_t script_point_push(VmContext& vm) {
  if (get_skip_state(vm) & kSkipAny) return 0;
  ScriptRunner& r = vm.runner;
  if (r.dwPointCount >= kPointStackSize) {
    vm_log(kLogMain, "[%d]script point push stack over", r.dwPc);
    return -1;
  }
  r.dwPointStack[r.dwPointCount++] = r.dwPc;
  return static_cast<int32_t>(r.dwPc);
}

int32_t script_point_pop(VmContext& vm) {
  if (get_skip_state(vm) & kSkipAny) return 0;
  ScriptRunner& r = vm.runner;
  if (r.dwPointCount == 0 || r.dwPointCount > kPointStackSize) {
    vm_log(kLogMain, "[%d]script point pop stack none", r.dwPc);
    return 0;
  }
  const uint32_t pc = r.dwPointStack[--r.dwPointCount];
  r.dwPointStack[r.dwPointCount] = 0;
  return static_cast<int32_t>(pc);
}

uint32_t script_retry_call(VmContext& vm) {
  if (get_skip_state(vm) & kSkipAny) return 0;
  vm.runner.dwPc -= 12;
  return 1;
}

}  // namespace engine
