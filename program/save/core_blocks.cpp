// The blocks of save data that belong to the script machine itself: the script thread record
// and the return entries of channel 2.
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "save/save_blocks.h"

namespace save {

// ---- 3: the script thread record, 20 bytes ----

void thread_save_write(const engine::VmContext& vm, codec::ByteWriter& out) {
  const engine::ScriptThreadRecord& t = vm.thread;
  out.u32(t.bExists);
  out.u32(t.bEnabled);
  out.u32(t.nRunning);
  out.u32(t.dwStart);
  out.u32(t.dwLabel);
}

bool thread_save_check(codec::ByteReader& in, SaveCheck& check) {
  const uint32_t exists = in.u32();
  in.u32();
  in.u32();
  const uint32_t start = in.u32();
  in.u32();
  if (!check.whole(in, "thread record")) return false;
  // A thread that exists starts at a label of this script.
  return !exists || check.label(start, false, "thread start");
}

void thread_save_read(engine::VmContext& vm, codec::ByteReader& in, const LoadMode&) {
  engine::ScriptThreadRecord& t = vm.thread;
  t.bExists = in.u32();
  t.bEnabled = in.u32();
  t.nRunning = in.u32();
  t.dwStart = in.u32();
  t.dwLabel = in.u32();
}

// ---- 14: the return stack, oldest entry first ----

void return_stack_save_write(const engine::VmContext& vm, codec::ByteWriter& out) {
  const int32_t n =
      vm.hReturnStack ? orv.OrvListGetDataCount(vm.hReturnStack, engine::kChannelReturns) : 0;
  out.u32(static_cast<uint32_t>(n < 0 ? 0 : n));
  for (int32_t i = n - 1; i >= 0; --i) {
    const auto* e = reinterpret_cast<const engine::DataEntry*>(
        orv.OrvListGetData(vm.hReturnStack, engine::kChannelReturns, i));
    out.u32(e ? e->dwValue : 0);
  }
}

bool return_stack_save_check(codec::ByteReader& in, SaveCheck& check) {
  const uint32_t n = in.u32();
  if (!check.whole(in, "return stack count")) return false;
  if (n > in.remaining() / 4) return check.fail("return stack count");
  for (uint32_t i = 0; i < n; ++i) {
    if (!check.code(in.u32(), "return pc")) return false;
  }
  return check.whole(in, "return stack");
}

void return_stack_save_read(engine::VmContext& vm, codec::ByteReader& in, const LoadMode&) {
  const uint32_t n = in.u32();
  for (uint32_t i = 0; i < n && in.ok(); ++i) {
    engine::data_entry_push(vm, engine::kChannelReturns, in.u32(), 0);
  }
}

}  // namespace save
