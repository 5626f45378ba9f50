// The animation player: up to 128 .ani programs at once, each bound to one image.
//
// A loaded program waits for its start (state 4); started, it runs its ops until one blocks
// (state 3, the op stream waits for a track) or the program ends. The tracks it starts (see
// anim_tracks.h) run side by side and write into the image's per-frame animation deltas and,
// when they finish, into its animSet; layers_apply sums those into the sprite. When a slot
// finishes, the animation's end state is dropped, or kept in the image's offsets after op 19.
//
// Slots are numbered 1..128 (table index + 1); the image's dwAnimeNo holds its slot's number,
// 0 for none. Every operation that takes a number does nothing for 0 and logs
// "*** ERROR <operation> %d (1-128)" (key 0) for a number above 128.
//
// The used slots are chained in the active list, newest first, behind a sentinel record placed
// after the 128 slots. Sub-players (op 11) hang off their slot, never on the list.
//
// Thread: the script's thread under the render lock (commands, the display commit) and the
// game thread's frame; no lock of its own.
#pragma once

#include <cstdint>

#include "engine/vm_context.h"
#include "graphics/int_math.h"
#include "graphics/layers/image_record.h"

namespace animations {

// Positions and sizes from a file may sum past the int range: they wrap as 32-bit words do.
using graphics::wrap_add;

struct AniTrack;

enum AnimState : uint32_t {
  kAnimSubCreated = 0,  // a sub-player as created: runs like kAnimRunning
  kAnimPrologue = 1,
  kAnimRunning = 2,
  kAnimWaiting = 3,  // a blocking track holds the op stream
  kAnimLoaded = 4,   // waits for AdvAnimStart
};

constexpr uint32_t kAnimSlots = 128;
constexpr uint32_t kSubPlayers = 8;

struct AnimSlot {
  uint32_t dwUsed;
  uint32_t dwDiscard;  // 1: the end state is dropped when the slot finishes
  uint32_t dwState;
  layers::ImageRecord* lpImageRec;
  uint8_t* lpData;  // the whole file, owned (OrvMemoryAlloc)
  uint32_t dwDataSize;
  uint32_t dwAnimPc;
  AniTrack* lpTrackList;  // newest first
  AnimSlot* lpSubPlayer[kSubPlayers];
  AnimSlot* lpPrev;
  AnimSlot* lpNext;
};

// The slots, then the sentinel whose lpNext is the head of the active list.
extern AnimSlot anim_slots[kAnimSlots + 1];

// Loads "<name>.ani" into the first free slot for image (dwAnimeNo = its number), runs its
// prologue, then waits for a start; under scene or history skip it runs at once. 0, with the
// image's dwAnimeNo 0 and a key-0 line, when no slot is free or the file is missing, reads
// short, is broken or does not fit in memory; else 1.
uint32_t anim_load(engine::VmContext& vm, const char* name, layers::ImageRecord* image);
// The same for a file already in memory: data (size bytes from OrvMemoryAlloc) goes to the
// slot, or is freed when the file is broken (its start offset outside the op stream) or no
// slot is free; 0 then.
uint32_t anim_load_data(engine::VmContext& vm, uint8_t* data, uint32_t size,
                        layers::ImageRecord* image);

// A slot in state 4 becomes running and steps once; other states do nothing. 1; 0 for a
// number above 128.
uint32_t AdvAnimStart(engine::VmContext& vm, uint32_t no);
// How many animations slot no (1-128) has held; 0 for other numbers. A start queued for a
// later commit carries it, so that it cannot start an animation loaded into the slot after
// the one it was queued for.
uint32_t anim_generation(uint32_t no);
// Finishes a used slot; its end state stays in the image only when the program cleared the
// discard flag.
void AdvAnimUnload(engine::VmContext& vm, uint32_t no);
// Finishes a used slot with its end state dropped.
void AdvAnimFinish(uint32_t no);
// AdvAnimUnload for an image that is being released: what the slot would leave in the image
// goes with the record, so nothing of it is kept.
void anim_unload_released(layers::ImageRecord& image);
// The state of a used slot, else 0.
uint32_t AdvAnimGetStatus(uint32_t no);
// 1 while the slot holds an animation.
uint32_t IsAnim(uint32_t no);

// One frame of every slot and its sub-players, newest slot first; finished ones are freed.
void anim_update_all(engine::VmContext& vm);
// Finishes every used slot (table order) and empties the list.
void anim_release_all(engine::VmContext& vm);

// The interpreter: runs ops until one blocks (1) or the program ends (0). A program that has
// ended keeps answering 0.
uint32_t anim_step(engine::VmContext& vm, AnimSlot& player);
// One player's frame: its ops (unless it waits), then its tracks. 0 when it has ended.
uint32_t anim_update(engine::VmContext& vm, AnimSlot& player);
// Ends a slot: tracks applied and freed, the end state dropped or kept, the record zeroed.
void anim_finish(engine::VmContext& vm, AnimSlot& slot);

}  // namespace animations
