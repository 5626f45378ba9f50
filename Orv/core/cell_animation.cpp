// The two kinds of cell animation tasks and their control functions.
#include "Orv/core/cell_animation.h"

#include "Orv/core/task.h"
#include "orv/orv.h"

namespace {

// The task names double as the kind tags: a handle is taken only by the functions of the kind
// whose name its task carries, so a wrong or foreign id never has its data read as ours.
constexpr const char* kCellName = "Animation";
constexpr const char* kRectName = "OrvAnimationEx";

template <class Data>
Data* data_of(OrvHandle handle, const char* kind) {
  if (handle == 0) return nullptr;  // 0 would name the current task
  TaskRecord* t = task_record(handle);
  if (!t || t->name != kind || t->data_size != sizeof(Data)) return nullptr;
  return static_cast<Data*>(t->data);
}

CellAnimation* cell_of(OrvHandle handle) {
  return data_of<CellAnimation>(handle, kCellName);
}

RectAnimation* rect_of(OrvHandle handle) {
  return data_of<RectAnimation>(handle, kRectName);
}

void show_cell(const CellAnimation& a) {
  if (a.direction == kOrvAnimationDown) {
    OrvSpriteRectSetPos(a.sprite, 0, a.cell_counter);
  } else {
    OrvSpriteRectSetPos(a.sprite, a.cell_counter, 0);
  }
}

void cell_step(void* data) {
  auto* a = static_cast<CellAnimation*>(data);
  if (!a->running || a->cell_count == 0) return;
  const uint32_t now = OrvtimeGetTime();
  if (now - a->cell_start < a->cell_time) return;
  a->cell_counter = static_cast<uint16_t>(a->cell_counter + 1);
  if (a->cell_counter >= a->cell_count) {
    a->looped = 1;
    a->cell_counter = 0;
  }
  show_cell(*a);
  a->cell_start = now;
}

void cell_first_step(void* data) {
  auto* a = static_cast<CellAnimation*>(data);
  OrvSpriteInfo info{};
  uint32_t count = 0;
  if (OrvSpriteGetInfo(a->sprite, &info)) {
    const bool down = a->direction == kOrvAnimationDown;
    const int32_t size = down ? info.height : info.width;
    const int32_t cell = down ? info.cell_height : info.cell_width;
    // No cell size (or a negative one) means no cells to step through, not a division by 0.
    if (cell > 0 && size > 0) count = static_cast<uint32_t>(size / cell);
  }
  a->cell_count = static_cast<uint16_t>(count > 0xFFFF ? 0xFFFF : count);
  a->cell_counter = 0;
  a->looped = 0;
  a->cell_start = OrvtimeGetTime();
  OrvTaskChangeNext(cell_step);
}

void show_frame(RectAnimation& a) {
  const AnimationFrame& f = a.frames[a.frame];
  a.duration = f.duration;
  OrvSpriteSetRect(a.sprite, &f.rect);
  a.frame_start = OrvtimeGetTime();
}

void rect_step(void* data) {
  auto* a = static_cast<RectAnimation*>(data);
  if (!a->running || a->frame < 0) return;
  if (OrvtimeGetTime() - a->frame_start < a->duration) return;
  const int32_t next = a->frames[a->frame].next;
  // Any negative successor ends the table: an index below 0 names no entry.
  a->frame = next < 0 ? -1 : next;
  if (a->frame >= 0) show_frame(*a);
}

void rect_first_step(void* data) {
  auto* a = static_cast<RectAnimation*>(data);
  a->duration = a->frames[a->frame].duration;
  a->frame_start = OrvtimeGetTime();
  OrvTaskChangeNext(rect_step);
}

template <class Data>
OrvHandle create(OrvTaskProc first, const char* name, Data** out) {
  void* data = nullptr;
  const OrvHandle task =
      OrvTaskCreate(first, nullptr, sizeof(Data), &data, kTaskLinkFirstChild, 0, name);
  *out = static_cast<Data*>(data);
  return task;
}

// The start and stop of both kinds: 1, or 0 when the handle found no animation.
template <class Data>
int32_t set_running(Data* a, int32_t running) {
  if (!a) return 0;
  a->running = running;
  return 1;
}

}  // namespace

extern "C" {

OrvHandle OrvAnimation(OrvHandle sprite, uint32_t direction, uint32_t ms) {
  if (!sprite) return 0;
  CellAnimation* a = nullptr;
  const OrvHandle task = create(cell_first_step, kCellName, &a);
  if (!task) return 0;
  a->sprite = sprite;
  a->cell_time = ms;
  a->direction = (direction & kOrvAnimationAcross) || !(direction & kOrvAnimationDown)
                     ? kOrvAnimationAcross
                     : kOrvAnimationDown;
  a->running = 1;
  return task;
}

OrvHandle OrvAnimationEx(OrvHandle sprite, const AnimationFrame* frames) {
  if (!sprite || !frames) return 0;
  RectAnimation* a = nullptr;
  const OrvHandle task = create(rect_first_step, kRectName, &a);
  if (!task) return 0;
  a->sprite = sprite;
  a->frames = frames;
  a->frame = 0;
  a->running = 1;
  OrvSpriteSetRect(sprite, &frames[0].rect);
  return task;
}

int32_t OrvAnimationStart(OrvHandle handle) {
  return set_running(cell_of(handle), 1);
}

int32_t OrvAnimationStartEx(OrvHandle handle) {
  return set_running(rect_of(handle), 1);
}

int32_t OrvAnimationStop(OrvHandle handle) {
  return set_running(cell_of(handle), 0);
}

int32_t OrvAnimationStopEx(OrvHandle handle) {
  return set_running(rect_of(handle), 0);
}

int32_t OrvAnimationGetTime(OrvHandle handle) {
  const CellAnimation* a = cell_of(handle);
  return a ? static_cast<int32_t>(a->cell_time) : -1;
}

int32_t OrvAnimationSetTime(OrvHandle handle, uint32_t ms) {
  CellAnimation* a = cell_of(handle);
  if (!a) return 0;
  a->cell_time = ms;
  a->cell_start = OrvtimeGetTime();
  return 1;
}

int32_t OrvAnimationReset(OrvHandle handle) {
  CellAnimation* a = cell_of(handle);
  if (!a) return 0;
  OrvSpriteRectSetPos(a->sprite, 0, 0);
  a->cell_start = OrvtimeGetTime();
  a->cell_counter = 0;
  a->looped = 0;
  return 1;
}

int32_t OrvAnimationResetEx(OrvHandle handle, const AnimationFrame* frames) {
  RectAnimation* a = rect_of(handle);
  if (!a || !frames) return 0;
  a->frames = frames;
  a->frame = 0;
  show_frame(*a);
  a->running = 1;
  return 1;
}

int32_t OrvAnimationLoopIs(OrvHandle handle) {
  CellAnimation* a = cell_of(handle);
  if (!a || !a->looped) return 0;
  a->looped = 0;
  return 1;
}

int32_t OrvAnimationGetAnimationPoint(OrvHandle handle) {
  const RectAnimation* a = rect_of(handle);
  return a ? a->frame : -1;
}

int32_t OrvAnimationRelease(OrvHandle handle) {
  if (!cell_of(handle) && !rect_of(handle)) return 0;
  OrvTaskFree(handle);
  return 1;
}

}  // extern "C"
