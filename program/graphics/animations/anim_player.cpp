#include "graphics/animations/anim_player.h"

#include <cstdio>
#include <cstring>

#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/animations/ani_file.h"
#include "graphics/animations/anim_tracks.h"
#include "graphics/layers/layer_slots.h"

namespace animations {

AnimSlot anim_slots[kAnimSlots + 1];

namespace {

using engine::kLogMain;
using engine::vm_log;
using engine::VmContext;
using layers::ImageRecord;

constexpr uint32_t kSceneSkip = 0x10;
constexpr uint32_t kAnySkip = 0x30;
// Jumps one step may take before it lets the frame go on: a program loop without a blocking op
// would otherwise hold the game for ever.
constexpr uint32_t kJumpsPerStep = 256;
// Ops one step may run in all: a loop of many ops that each fail (and log) would otherwise
// write thousands of log lines a frame before the jump count stops it.
constexpr uint32_t kOpsPerStep = 1024;

// Loads per slot (never reset, wrapping), indexed by slot number - 1.
uint32_t slot_generation[kAnimSlots];

AnimSlot& sentinel() {
  return anim_slots[kAnimSlots];
}

int32_t as_int(uint32_t v) {
  return static_cast<int32_t>(v);
}

AniView view_of(const AnimSlot& p) {
  return AniView{p.lpData, p.dwDataSize};
}

// The slot of a number 1..128; null for 0, and for a number above 128 after the line
// "*** ERROR <what> %d (1-128)".
AnimSlot* slot_of(uint32_t no, const char* what) {
  if (no == 0) return nullptr;
  if (no > kAnimSlots) {
    vm_log(kLogMain, "*** ERROR %s %d (1-128)", what, as_int(no));
    return nullptr;
  }
  return &anim_slots[no - 1];
}

void link_front(AnimSlot& s) {
  AnimSlot& head = sentinel();
  s.lpPrev = &head;
  s.lpNext = head.lpNext;
  if (head.lpNext) head.lpNext->lpPrev = &s;
  head.lpNext = &s;
}

void unlink(AnimSlot& s) {
  if (s.lpPrev) s.lpPrev->lpNext = s.lpNext;
  if (s.lpNext) s.lpNext->lpPrev = s.lpPrev;
  s.lpPrev = s.lpNext = nullptr;
}

// Ends every track of a player (end functions in list order) and frees them.
void tracks_end_all(AnimSlot& p) {
  for (AniTrack* t = p.lpTrackList; t;) {
    AniTrack* next = t->next;
    if (t->end) t->end(p, *t);
    orv.OrvMemoryFree(t);
    t = next;
  }
  p.lpTrackList = nullptr;
}

void sub_player_free(AnimSlot*& sub) {
  if (!sub) return;
  // A sub-player may have started sub-players of its own.
  for (AnimSlot*& own : sub->lpSubPlayer) sub_player_free(own);
  tracks_end_all(*sub);
  if (sub->lpData) orv.OrvMemoryFree(sub->lpData);
  orv.OrvMemoryFree(sub);
  sub = nullptr;
}

void start_track(AnimSlot& p, const AniOp& op) {
  void* block = orv.OrvMemoryAlloc(sizeof(AniTrack), 1);
  if (!block) {
    // Without its record the track does not run; a blocking one does not hold the program.
    vm_log(kLogMain, "*** ERROR anim track memory (op %d)", op.code);
    return;
  }
  auto* t = static_cast<AniTrack*>(block);
  const uint32_t random = op.code == kOpWaitRandom ? static_cast<uint32_t>(orv.OrvRandom()) : 0;
  track_from_op(p, op, orv.OrvtimeGetTime(), random, t);
  t->next = p.lpTrackList;
  p.lpTrackList = t;
  if (t->blocking) p.dwState = kAnimWaiting;
}

void start_sub_player(AnimSlot& p, int32_t index, int32_t label) {
  if (index < 0 || index >= static_cast<int32_t>(kSubPlayers)) {
    vm_log(kLogMain, "*** ERROR anim sub player %d (0-7)", index);
    return;
  }
  uint32_t at = 0;
  if (!ani_label_offset(view_of(p), label, &at)) {
    vm_log(kLogMain, "*** ERROR anim label %d", label);
    return;
  }
  // A sub-player still running on this index ends first, so that it is not lost.
  AnimSlot*& entry = p.lpSubPlayer[index];
  sub_player_free(entry);
  auto* sub = static_cast<AnimSlot*>(orv.OrvMemoryAlloc(sizeof(AnimSlot), 1));
  if (!sub) return;
  auto* data = static_cast<uint8_t*>(orv.OrvMemoryAlloc(p.dwDataSize, 0));
  if (!data) {
    orv.OrvMemoryFree(sub);
    return;
  }
  std::memcpy(data, p.lpData, p.dwDataSize);
  sub->lpData = data;
  sub->dwUsed = 1;
  sub->lpImageRec = p.lpImageRec;
  sub->dwDataSize = p.dwDataSize;
  sub->dwAnimPc = at;
  entry = sub;
}

void add_position(AnimSlot& p, const AniOp& op) {
  ImageRecord* img = p.lpImageRec;
  if (!img) return;
  img->animSet.pos.x = wrap_add(img->animSet.pos.x, op.v[0]);
  img->animSet.pos.y = wrap_add(img->animSet.pos.y, op.v[1]);
  img->animSet.pos.z = wrap_add(img->animSet.pos.z, op.v[2]);
  img->animSet.fPos.x += static_cast<float>(op.v[0]);
  img->animSet.fPos.y += static_cast<float>(op.v[1]);
  img->animSet.fPos.z += static_cast<float>(op.v[2]);
}

void set_rect(AnimSlot& p, const AniOp& op) {
  if (!p.lpImageRec) return;
  const OrvRect r{op.v[0], op.v[1], wrap_add(op.v[0], op.v[2]), wrap_add(op.v[1], op.v[3])};
  orv.OrvSpriteSetRect(p.lpImageRec->hSprite, &r);
}

enum class OpResult { kNext, kEnd, kYield };

OpResult run_op(AnimSlot& p, const AniOp& op) {
  switch (op.code) {
    case kOpAddPos:
      add_position(p, op);
      return OpResult::kNext;
    case kOpJump: {
      uint32_t at = 0;
      if (!ani_label_offset(view_of(p), op.v[0], &at)) {
        vm_log(kLogMain, "*** ERROR anim label %d", op.v[0]);
        return OpResult::kEnd;
      }
      p.dwAnimPc = at;
      return OpResult::kNext;
    }
    case kOpSubPlayer:
      start_sub_player(p, op.v[0], op.v[1]);
      return OpResult::kNext;
    case kOpCell:
      if (p.lpImageRec) orv.OrvSpriteRectSetPos(p.lpImageRec->hSprite, op.v[0], op.v[1]);
      return OpResult::kNext;
    case kOpRect:
      set_rect(p, op);
      return OpResult::kNext;
    case kOpKeepEnd:
      p.dwDiscard = 0;
      return OpResult::kNext;
    case kOpNop:
    case kOpPrologue:
      return OpResult::kNext;
    case kOpPrologueEnd:
      if (p.dwState != kAnimPrologue) return OpResult::kNext;
      p.dwState = kAnimRunning;
      return OpResult::kYield;
    default:
      break;
  }
  if (ani_operand_count(op.code) < 0) return OpResult::kEnd;
  start_track(p, op);
  return OpResult::kNext;
}

bool read_file(const char* path, uint8_t** data, uint32_t* size) {
  const int result = engine::orv_file_read_whole(path, data, size);
  if (result == 0) return true;
  if (result == 1) {
    vm_log(kLogMain, "[%s] \x82\xCC\x93\xC7\x82\xDD\x8D\x9E\x82\xDD\x82\xC9\x8E\xB8\x94\x73", path);
  } else if (result == 2) {
    vm_log(kLogMain,
           "[%s] \x82\xCC\x93\xC7\x82\xDD\x8D\x9E\x82\xDD\x82\xC9\x8E\xB8\x94\x73\x81\x42-1", path);
  } else {
    vm_log(kLogMain, "Read Error [%s]", path);
  }
  if (*data) orv.OrvMemoryFree(*data);
  *data = nullptr;
  return false;
}

}  // namespace

uint32_t anim_step(VmContext& vm, AnimSlot& p) {
  uint32_t jumps = 0;
  for (uint32_t ops = 1;; ++ops) {
    const uint32_t at = p.dwAnimPc;
    AniOp op;
    if (!ani_read_op(view_of(p), at, &op)) {
      // An op cut off by the end of the op stream ends the program like op 255.
      return 0;
    }
    p.dwAnimPc = op.next;
    const OpResult r = run_op(p, op);
    if (r == OpResult::kEnd) {
      // The pc stays on the op that ended the program, so that a later step ends again.
      p.dwAnimPc = at;
      return 0;
    }
    if (r == OpResult::kYield) return 1;
    const uint32_t skip = engine::get_skip_state(vm);
    if ((skip & kSceneSkip) && p.dwState == kAnimWaiting) {
      tracks_end_all(p);
      p.dwState = kAnimRunning;
    } else if ((skip & kSceneSkip) && op.code == kOpJump) {
      return 1;
    }
    if (p.dwState == kAnimWaiting) return 1;
    if (op.code == kOpJump && ++jumps >= kJumpsPerStep) return 1;
    if (ops >= kOpsPerStep) return 1;
  }
}

uint32_t anim_update(VmContext& vm, AnimSlot& p) {
  if (!p.dwUsed) return 0;
  if (p.dwState == kAnimLoaded) return 1;
  if (p.dwState != kAnimWaiting && !anim_step(vm, p)) return 0;
  const uint32_t now = orv.OrvtimeGetTime();
  for (AniTrack** link = &p.lpTrackList; *link;) {
    AniTrack* t = *link;
    if (t->step(p, *t, now)) {
      link = &t->next;
    } else {
      *link = t->next;
      orv.OrvMemoryFree(t);
    }
  }
  return 1;
}

namespace {

// Ends a slot. Without the machine (vm null) the image is on its way out: its colour is
// folded as for a picture that is no layer's child.
void finish(const VmContext* vm, AnimSlot& s) {
  if (!s.dwUsed) return;
  for (AnimSlot*& sub : s.lpSubPlayer) sub_player_free(sub);
  tracks_end_all(s);
  if (s.lpData) orv.OrvMemoryFree(s.lpData);
  s.lpData = nullptr;
  const uint32_t no = static_cast<uint32_t>(&s - anim_slots) + 1;
  if (ImageRecord* img = s.lpImageRec) {
    // A record reused by a picture with an animation of its own keeps that one's number.
    if (img->dwAnimeNo == no) img->dwAnimeNo = 0;
    layers::FrameDeltas& f = img->frame;
    f.animPos = {};
    f.animRot = {};
    f.animScale = {};
    f.animColor.a = 0;
    f.animFPos = {};
    f.animFRot = {};
    layers::TransformSet& set = img->animSet;
    if (s.dwDiscard == 0) {
      layers::BaseTransform& b = img->base;
      b.posOfs = {b.posOfs.x + set.pos.x, b.posOfs.y + set.pos.y, b.posOfs.z + set.pos.z};
      b.rotOfs = {b.rotOfs.x + set.rot.x, b.rotOfs.y + set.rot.y, b.rotOfs.z + set.rot.z};
      b.scaleOfs = {b.scaleOfs.x + set.scale.x, b.scaleOfs.y + set.scale.y};
      b.fPosOfs = {b.fPosOfs.x + set.fPos.x, b.fPosOfs.y + set.fPos.y, b.fPosOfs.z + set.fPos.z};
      b.fRotOfs = {b.fRotOfs.x + set.fRot.x, b.fRotOfs.y + set.fRot.y, b.fRotOfs.z + set.fRot.z};
      auto add16 = [](int16_t a, int16_t b) {
        return static_cast<int16_t>(static_cast<uint16_t>(a) + static_cast<uint16_t>(b));
      };
      if (vm && layers::layer_image_is_child(*vm, img)) {
        // A child layer's colour follows its parent; its own change stays an offset.
        b.colorOfs = {add16(b.colorOfs.a, set.color.a), add16(b.colorOfs.r, set.color.r),
                      add16(b.colorOfs.g, set.color.g), add16(b.colorOfs.b, set.color.b)};
      } else {
        auto channel = [&](int shift, int16_t delta) -> uint32_t {
          const int16_t v = add16(static_cast<int16_t>((b.dwColor >> shift) & 0xFF), delta);
          return static_cast<uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v) << shift;
        };
        b.dwColor = channel(24, set.color.a) | channel(16, set.color.r) | channel(8, set.color.g) |
                    channel(0, set.color.b);
        b.colorOfs = {};
      }
    }
    set = layers::TransformSet{};
  }
  unlink(s);
  std::memset(static_cast<void*>(&s), 0, sizeof s);
}

}  // namespace

void anim_finish(VmContext& vm, AnimSlot& s) {
  finish(&vm, s);
}

namespace {

AnimSlot* free_slot() {
  for (uint32_t i = 0; i < kAnimSlots; ++i) {
    if (!anim_slots[i].dwUsed) return &anim_slots[i];
  }
  return nullptr;
}

}  // namespace

uint32_t anim_load(VmContext& vm, const char* name, ImageRecord* image) {
  if (image) image->dwAnimeNo = 0;
  if (!free_slot()) {
    vm_log(kLogMain, "*** ERROR anim_load no free slot [%s]", name);
    return 0;
  }
  char path[260];
  const int n = std::snprintf(path, sizeof path, "%s.ani", name);
  if (n <= 0 || static_cast<size_t>(n) >= sizeof path) {
    vm_log(kLogMain, "[%s] name too long", name);
    return 0;
  }
  uint8_t* data = nullptr;
  uint32_t size = 0;
  if (!read_file(path, &data, &size)) return 0;
  if (!anim_load_data(vm, data, size, image)) {
    vm_log(kLogMain, "*** ERROR broken ani [%s] (%u bytes)", path, size);
    return 0;
  }
  return 1;
}

uint32_t anim_load_data(VmContext& vm, uint8_t* data, uint32_t size, ImageRecord* image) {
  AnimSlot* slot = free_slot();
  uint32_t start = 0;
  if (!slot || !ani_start_offset(AniView{data, size}, &start)) {
    orv.OrvMemoryFree(data);
    return 0;
  }
  std::memset(static_cast<void*>(slot), 0, sizeof *slot);
  ++slot_generation[slot - anim_slots];
  if (image) image->dwAnimeNo = static_cast<uint32_t>(slot - anim_slots) + 1;
  slot->dwUsed = 1;
  slot->dwDiscard = 1;
  slot->lpImageRec = image;
  slot->lpData = data;
  slot->dwDataSize = size;
  slot->dwState = kAnimRunning;
  link_front(*slot);
  slot->dwAnimPc = start;
  if (data[start] == kOpPrologue) {
    slot->dwState = kAnimPrologue;
    anim_step(vm, *slot);
  }
  if (engine::get_skip_state(vm) & kAnySkip) {
    if (!anim_step(vm, *slot)) anim_finish(vm, *slot);
  } else {
    slot->dwState = kAnimLoaded;
  }
  return 1;
}

uint32_t AdvAnimStart(VmContext& vm, uint32_t no) {
  if (no > kAnimSlots) {
    vm_log(kLogMain, "*** ERROR AdvAnimStart %d (1-128)", as_int(no));
    return 0;
  }
  AnimSlot* s = slot_of(no, "AdvAnimStart");
  if (s && s->dwUsed && s->dwState == kAnimLoaded) {
    s->dwState = kAnimRunning;
    anim_step(vm, *s);
  }
  return 1;
}

uint32_t anim_generation(uint32_t no) {
  return no >= 1 && no <= kAnimSlots ? slot_generation[no - 1] : 0;
}

void AdvAnimUnload(VmContext& vm, uint32_t no) {
  AnimSlot* s = slot_of(no, "AdvAnimUnload");
  if (s && s->dwUsed) anim_finish(vm, *s);
}

void AdvAnimFinish(uint32_t no) {
  AnimSlot* s = slot_of(no, "AdvAnimFinish");
  if (s && s->dwUsed) {
    s->dwDiscard = 1;
    finish(nullptr, *s);
  }
}

void anim_unload_released(ImageRecord& image) {
  AnimSlot* s = slot_of(image.dwAnimeNo, "AdvAnimUnload");
  if (s && s->dwUsed) {
    s->dwDiscard = 1;
    finish(nullptr, *s);
  }
  image.dwAnimeNo = 0;
}

uint32_t AdvAnimGetStatus(uint32_t no) {
  const AnimSlot* s = slot_of(no, "AdvAnimGetStatus");
  return s && s->dwUsed ? s->dwState : 0;
}

uint32_t IsAnim(uint32_t no) {
  const AnimSlot* s = slot_of(no, "IsAnim");
  return s ? s->dwUsed : 0;
}

void anim_update_all(VmContext& vm) {
  for (AnimSlot* s = sentinel().lpNext; s;) {
    AnimSlot* next = s->lpNext;
    for (AnimSlot*& sub : s->lpSubPlayer) {
      if (sub && !anim_update(vm, *sub)) sub_player_free(sub);
    }
    if (!anim_update(vm, *s)) anim_finish(vm, *s);
    s = next;
  }
}

void anim_release_all(VmContext& vm) {
  for (uint32_t i = 0; i < kAnimSlots; ++i) anim_finish(vm, anim_slots[i]);
  std::memset(static_cast<void*>(&sentinel()), 0, sizeof(AnimSlot));
}

}  // namespace animations
