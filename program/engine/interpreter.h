// The interpreter loop, the work-thread runner and the script points.
//
// script_run runs one slice of the script on the game thread: instruction after instruction
// until one yields (unless skipping), the pc reaches the top script point or the end of the
// code, an asynchronous step is pending, or the program was asked to end. script_run_async
// runs the same script on the work thread, one instruction at a time under the render lock,
// until a command hands the script back (bAsync cleared) or the program was asked to end.
//
// Commands wait in one of two ways: a retry wait sets bYield and moves dwPc back over its own
// 12-byte call (script_retry_call); a parked wait pushes a script point at its return address
// (script_point_push) and sets bYield, and the per-frame code that owns the wait pops it.
// While scene or history skip is on, bYield is ignored and waits neither rewind nor push.
//
// A pc that leaves the code (a jump, a call, an operand word past the end) ends the slice with
// a key-0 line; the script then stands at its end.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/vm_context.h"

namespace engine {

// The step the scheduler calls once per frame instead of running the script, null when none.
// Set by the text layer while a line's voice loads on the work thread.
using AsyncStep = void (*)();
extern std::atomic<AsyncStep> pending_async_step;

// One slice on the game thread. Returns 1 when it returned because an asynchronous step is
// pending or the work-thread runner owns the script; otherwise 1 when bAsync is 0 after the
// slice, 0 when the slice handed the script to the work thread.
uint32_t script_run(VmContext& vm);

// The work-thread runner (posted with OrvAttachWorkProcess by the command that hands the
// script over). Waits until the game thread's slice has finished, then runs instructions until
// bAsync is cleared or the program is asked to end. Never fetches outside the code: at the end
// of the code it hands the script back to the game thread.
void script_run_async(VmContext& vm);

// Drops the scene-skip timings gathered so far without reporting them.
void script_profile_clear();

// Pushes dwPc as the new top script point and returns it; 0 while skipping (nothing pushed);
// -1 with a key-0 line when 32 points are stored.
int32_t script_point_push(VmContext& vm);
// Removes the top point and returns it; 0 while skipping or (with a key-0 line) when empty.
int32_t script_point_pop(VmContext& vm);
// Unless skipping, moves dwPc back over the 12-byte command call and returns 1; else 0.
// Does not touch bYield.
uint32_t script_retry_call(VmContext& vm);

// Runs core operation `index` (the low 16 bits of a group-1 word) with the pc after its word.
// Returns the operation's result; 0 for an index without an operation (0 or above 0x21).
uint32_t run_core_op(VmContext& vm, uint32_t index);

// The core operations by index, entry 0 empty: the same operations as run_core_op for the
// callers that walk the table (the choice loop).
using CoreOp = uint32_t (*)(VmContext& vm);
constexpr uint32_t kCoreOpCount = 34;
extern const CoreOp core_op_table[kCoreOpCount];

// The command call: reads the command id and the result register, sets dwResultReg and
// dwCommand, and runs the handler; its result, or 0 when there is none.
uint32_t op_call(VmContext& vm);

}  // namespace engine
