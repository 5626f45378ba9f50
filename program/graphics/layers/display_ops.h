// Applying the queued display requests: every change to what is visible waits in the script
// machine's display queue (channel 1 of its entry list) until a commit applies them all in one
// frame. The run commands commit and start the screen transition.
//
// Thread: the script's thread, under the render lock.
#pragma once

#include <cstdint>

#include "engine/command_list.h"
#include "engine/vm_context.h"

namespace layers {

// Kinds of queued requests (the id of the command that queued them, or a special kind).
enum DisplayOpKind : uint32_t {
  kOpShowSet = 0x30002,
  kOpShowSetEx = 0x30003,
  kOpReleaseSprite = 0x30005,
  kOpClsTransition = 0x3000d,
  kOpShowFace = 0x30014,
  kOpShowText = 0x30016,
  kOpShowDraw = 0x3002b,
  kOpViewOn = 0x3002e,
  kOpViewOff = 0x3002f,
  kOpTransition = 0x30032,
  kOpAnimStart = 0xf0000001,
};

// Set before a commit that keeps the layer transitions' own durations; every commit clears it.
inline uint32_t g_run_no_wait = 0;

// Queues one request {kind, a1, a2}; 1, or 0 when the queue entry cannot be allocated.
uint32_t display_op_queue(engine::VmContext& vm, uint32_t kind, uint32_t a1, uint32_t a2 = 0);

// Queues the start of animation slot no (kOpAnimStart: the slot, then its generation) for the
// next commit. The commit starts it only while the slot still holds the animation loaded when
// it was queued: one freed and loaded again for another image in between is left alone.
uint32_t display_op_queue_anim_start(engine::VmContext& vm, uint32_t no);

// Applies every queued request, oldest first, then clears the text window's advance request
// and the no-wait flag. Kinds it does not know are dropped.
void display_ops_commit(engine::VmContext& vm);

extern const engine::CommandList run_commands;

}  // namespace layers
