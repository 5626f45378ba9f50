// Creating tasks and the exported task functions; the passes are in task_tree.cpp.
#include "Orv/core/task.h"

#include "Orv/core/handle_table.h"
#include "Orv/core/memory.h"
#include "Orv/core/task_tree.h"
#include "orv/orv.h"

namespace {

void insert_after(TaskRecord* ref, TaskRecord* t) {
  t->prev = ref;
  t->next = ref->next;
  if (ref->next) ref->next->prev = t;
  ref->next = t;
}

// Saves the current task and puts it back afterwards, unless it ended meanwhile.
class KeepCurrent {
 public:
  KeepCurrent() : task_(task_scheduler().current), id_(task_ ? task_->id : 0) {}
  ~KeepCurrent() { task_scheduler().current = task_ && task_still(task_, id_) ? task_ : nullptr; }

 private:
  TaskRecord* task_;
  OrvHandle id_;
};

}  // namespace

TaskRecord* task_record(OrvHandle task) {
  if (task == 0) {
    TaskRecord* current = task_scheduler().current;
    return current && current->taken ? current : nullptr;
  }
  return orv_handles().get_as<TaskRecord>(task, HandleKind::kTask);
}

extern "C" {

OrvHandle OrvTaskCreate(OrvTaskProc step, OrvTaskProc end, uint32_t data_size, void** data,
                        uint32_t link, OrvHandle reference, const char* name) {
  if (data) *data = nullptr;
  TaskScheduler& s = task_scheduler();
  if (!step || !s.pool || s.closing) return 0;

  TaskRecord* ref = nullptr;
  uint32_t mode = link & kTaskLinkModeMask;
  if (mode == kTaskLinkAfter || mode == kTaskLinkFirstChild) {
    ref = task_record(reference);
    if (!ref || (mode == kTaskLinkFirstChild && !ref->children)) return 0;
  }

  TaskRecord* task = TaskPoolTake();
  if (!task) return 0;
  task->taken = true;  // so that the second take finds another record
  TaskRecord* head = TaskPoolTake();
  void* block = head ? OrvMemoryAlloc(data_size, kOrvMemoryZero) : nullptr;
  OrvHandle id = block ? orv_handles().add(HandleKind::kTask, task) : 0;
  if (!id) {
    OrvMemoryFree(block);
    task->taken = false;
    return 0;
  }

  *head = TaskRecord{};
  head->taken = true;
  head->state = kTaskListHead;
  *task = TaskRecord{};
  task->data = block;
  task->data_size = data_size;
  task->step = step;
  task->end = end;
  task->name = name;
  task->link = link;
  task->state = kTaskRunning;
  task->children = head;
  task->taken = true;
  task->id = id;
  if (mode == kTaskLinkAfter) insert_after(ref, task);
  if (mode == kTaskLinkFirstChild) insert_after(ref->children, task);

  if (data) *data = block;
  s.task_count++;
  return id;
}

OrvBool OrvTaskFree(OrvHandle task) {
  TaskRecord* t = task_record(task);
  // The root is the head of the top-level list, not a task that can end.
  if (!t || t->state == kTaskFree || t == task_scheduler().root) return 0;
  task_mark_ending(t);
  return 1;
}

OrvTaskProc OrvTaskChangeNext(OrvTaskProc step) {
  TaskRecord* t = task_record(0);
  if (!t) return nullptr;
  t->step = step;
  return step;
}

void OrvTaskChangeNextImm(OrvTaskProc step) {
  TaskRecord* t = task_record(0);
  if (!t) return;
  t->step = step;
  if (step) step(t->data);
}

void* OrvTaskGetTaskData(OrvHandle task) {
  if (task == 0) {
    OrvHandle recorded = task_scheduler().task_data_task.load(std::memory_order_acquire);
    if (recorded == 0) return nullptr;
    task = recorded;
  }
  TaskRecord* t = task_record(task);
  return t ? t->data : nullptr;
}

void OrvTaskSetTaskData(OrvHandle task) {
  TaskRecord* t = task_record(task);
  task_scheduler().task_data_task.store(t ? t->id : 0, std::memory_order_release);
}

uint32_t OrvTaskGetMessage(OrvHandle task) {
  TaskRecord* t = task_record(task);
  if (!t) return 0;
  uint32_t message = t->message;
  t->message = 0;
  return message;
}

uint32_t OrvTaskSetMessage(OrvHandle task, uint32_t message) {
  TaskRecord* t = task_record(task);
  if (!t) return 0;
  t->message = message;
  return message;
}

int32_t OrvTaskGetState(OrvHandle task) {
  TaskRecord* t = task_record(task);
  if (!t) return 0;
  return t->step == t->end ? int32_t{kTaskEnding} : int32_t{t->state};
}

int32_t OrvTaskChangeState(OrvHandle task, int32_t state) {
  TaskRecord* t = task_record(task);
  if (!t) return 0;
  t->state = static_cast<uint8_t>(state);
  return state;
}

void OrvTaskReProcess(OrvHandle task) {
  TaskRecord* t = task_record(task);
  if (!t) return;
  KeepCurrent keep;
  task_step_from(t);
}

void OrvTaskReset(void) {
  TaskScheduler& s = task_scheduler();
  if (!s.root || !s.root->next) return;
  TaskRecord* main = s.root->next;
  KeepCurrent keep;
  for (TaskRecord* t = main->next; t; t = t->next) task_mark_ending(t);
  task_step_from(main->next);
  task_destroy_from(main->next);
}

}  // extern "C"
