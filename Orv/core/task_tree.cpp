// The pool of task records and the passes over the task tree.

#include "Orv/core/task_tree.h"
#include "Orv/core/handle_table.h"
#include "Orv/core/memory.h"
#include "Orv/core_record.h"
#include "Orv/render/render_lock.h"
#include "orv/orv.h"

TaskScheduler& task_scheduler() {
  return orv_core().services.tasks;
}

namespace {

void unlink(TaskRecord* t) {
  if (t->prev) t->prev->next = t->next;
  if (t->next) t->next->prev = t->prev;
  t->next = nullptr;
  t->prev = nullptr;
}

// Gives an ended task back: unlinks it, frees its data, then its records. Children that are
// still there (created by its end function, or left after it was marked) are torn down first
// rather than left in a list that nothing reaches.
void release(TaskRecord* t) {
  TaskScheduler& s = task_scheduler();
  if (t->children) task_destroy_from(t->children->next);
  unlink(t);
  OrvMemoryFree(t->data);
  orv_handles().remove(t->id, HandleKind::kTask);
  if (t->children) {
    // A child whose step is running up the stack was left alone; it stays taken but is cut
    // off, so that it never writes into the head record once that is handed out again.
    if (TaskRecord* rest = t->children->next) rest->prev = nullptr;
    *t->children = TaskRecord{};
  }
  if (s.current == t) s.current = nullptr;
  *t = TaskRecord{};
  s.task_count--;
}

// Ends a task in state 2: its end function (the step that marking made) runs once, then the
// task is released. The records stay taken until the end function has returned, so a task it
// creates cannot land on them. Returns the task that now follows it.
TaskRecord* finish(TaskRecord* t) {
  TaskScheduler& s = task_scheduler();
  // Descendants first: anything left below it ends before it does.
  if (t->children) task_destroy_from(t->children->next);
  OrvHandle id = t->id;
  s.current = t;
  t->state = kTaskFree;  // a nested pass must not end it twice
  t->busy = true;
  if (t->step) t->step(t->data);
  t->busy = false;
  TaskRecord* next = t->next;
  if (task_still(t, id)) release(t);
  return next;
}

// Only the ending part of a pass: tasks in state 2 end, children first; nothing else runs.
void end_only_from(TaskRecord* t) {
  TaskScheduler& s = task_scheduler();
  while (t) {
    if (t->children && t->children->next) end_only_from(t->children->next);
    s.current = t;
    t = (t->state == kTaskEnding && !t->busy) ? finish(t) : t->next;
  }
}

// The tasks after a blocking one: those in state 2 still end, the rest wait.
void end_held_from(TaskRecord* t) {
  TaskScheduler& s = task_scheduler();
  while (t) {
    s.current = t;
    if (t->state == kTaskEnding && !t->busy) {
      if (t->children && t->children->next) end_only_from(t->children->next);
      s.current = t;
      t = finish(t);
    } else {
      t = t->next;
    }
  }
}

}  // namespace

void task_mark_ending(TaskRecord* t) {
  t->step = t->end;
  t->state = kTaskEnding;
  if (t->children) TaskTreeMarkEnding(t->children);
}

void task_step_from(TaskRecord* t) {
  TaskScheduler& s = task_scheduler();
  while (t) {
    OrvHandle id = t->id;
    if (t->children && t->children->next) TaskTreeStep(t->children);
    if (!task_still(t, id)) return;  // torn down by a child; its place in the list is gone
    s.current = t;
    if (t->busy) {
      // Its step is running further up the stack: neither step nor end it here.
    } else if (t->state == kTaskRunning) {
      if (t->step) {
        t->busy = true;
        t->step(t->data);
        t->busy = false;
      }
      if (!task_still(t, id)) return;
    } else if (t->state == kTaskEnding) {
      t = finish(t);  // an ended task blocks nothing
      continue;
    }
    TaskRecord* next = t->next;
    if (t->link & kTaskBlocking) {
      end_held_from(next);
      return;
    }
    t = next;
  }
}

void task_destroy_from(TaskRecord* t) {
  TaskScheduler& s = task_scheduler();
  while (t) {
    if (t->busy) {
      t = t->next;
      continue;
    }
    if (t->children) task_destroy_from(t->children->next);
    OrvHandle id = t->id;
    s.current = t;
    t->busy = true;
    if (t->end) t->end(t->data);
    t->busy = false;
    TaskRecord* next = t->next;
    if (task_still(t, id)) release(t);
    t = next;
  }
}

TaskRecord* TaskPoolTake() {
  TaskScheduler& s = task_scheduler();
  for (uint32_t i = 0; i < s.pool_capacity; ++i) {
    TaskRecord* r = &s.pool[s.pool_cursor];
    if (++s.pool_cursor == s.pool_capacity) s.pool_cursor = 0;
    if (!r->taken) return r;
  }
  return nullptr;
}

void TaskTreeStep(TaskRecord* head) {
  task_step_from(head->next);
}

void TaskTreeMarkEnding(TaskRecord* head) {
  for (TaskRecord* t = head->next; t; t = t->next) task_mark_ending(t);
}

void TaskTreeDestroy(TaskRecord* head) {
  task_destroy_from(head->next);
}

void TaskTreeRun() {
  TaskScheduler& s = task_scheduler();
  if (!s.root) return;
  bool locked = render_lock_enter();
  TaskTreeStep(s.root);
  if (locked) render_lock_leave();
}

bool task_scheduler_create() {
  TaskScheduler& s = task_scheduler();
  if (s.root) return false;
  auto* pool = static_cast<TaskRecord*>(
      OrvMemoryAlloc(kTaskPoolCapacity * sizeof(TaskRecord), kOrvMemoryZero));
  auto* root = static_cast<TaskRecord*>(OrvMemoryAlloc(sizeof(TaskRecord), kOrvMemoryZero));
  OrvHandle root_id = root ? orv_handles().add(HandleKind::kTask, root) : 0;
  if (!pool || !root_id) {
    OrvMemoryFree(pool);
    OrvMemoryFree(root);
    return false;
  }
  for (uint32_t i = 0; i < kTaskPoolCapacity; ++i) pool[i] = TaskRecord{};
  *root = TaskRecord{};
  root->state = kTaskRunning;
  root->link = kTaskLinkAfter;
  root->name = "Root";
  root->taken = true;
  root->id = root_id;
  s.pool = pool;
  s.pool_capacity = kTaskPoolCapacity;
  s.pool_cursor = 0;
  s.root = root;
  s.current = root;
  s.task_count = 0;
  s.task_data_task.store(0, std::memory_order_release);
  return true;
}

void task_scheduler_destroy() {
  TaskScheduler& s = task_scheduler();
  if (!s.root) return;
  // Whatever the end functions create now would only be torn down again, and an end function
  // that always creates a task would keep the teardown going for ever.
  s.closing = true;
  TaskTreeMarkEnding(s.root);
  TaskTreeStep(s.root);
  TaskTreeDestroy(s.root);
  // Tasks that were never linked (or were cut off from the tree) have nothing that ends them:
  // give back their data and ids so that nothing outlives the pool.
  for (uint32_t i = 0; i < s.pool_capacity; ++i) {
    TaskRecord& r = s.pool[i];
    if (r.taken && r.id) {
      OrvMemoryFree(r.data);
      orv_handles().remove(r.id, HandleKind::kTask);
      s.task_count--;
    }
  }
  orv_handles().remove(s.root->id, HandleKind::kTask);
  OrvMemoryFree(s.root);
  OrvMemoryFree(s.pool);
  s.root = nullptr;
  s.pool = nullptr;
  s.current = nullptr;
  s.pool_capacity = 0;
  s.pool_cursor = 0;
  s.closing = false;
  s.task_data_task.store(0, std::memory_order_release);
}
