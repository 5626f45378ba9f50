// Cooperative tasks: the per-frame work of the whole system.
//
// A task is a record with a step function that the game thread calls once per frame, arranged
// in a tree under one root task. A task is created with a zeroed data block, runs its current
// step once per pass, can switch its step for the next pass (OrvTaskChangeNext) or run a new
// step at once (OrvTaskChangeNextImm), and is ended by marking it (OrvTaskFree): its end
// function then runs once on a later pass and its records go back to the pool. A blocking task
// holds back the tasks after it in the same list while it runs; the waits (OrvWait,
// OrvWaitTime, OrvWaitTimeEx) are blocking tasks that end themselves.
//
// Records: a task takes two records of the fixed pool of kTaskPoolCapacity: the task and the head
// of its child list. A list is a head record followed by its `next` chain; the head is never
// stepped. The root "Root" is a record of its own (no step, no data, no child list); the
// top-level tasks are its `next` chain.
//
// One pass over a list, for each task in order: its children first (a pass over its child list),
// then, with the task as the current task, state 1 calls its step; state 2 calls its end
// function once, then unlinks it, frees its data and only then frees its records; other states
// do nothing. The pass goes on with the task that follows once the step has returned, so a task
// created right after the running one runs in the same pass and a first child created by it
// runs on the next pass. After a task that is still linked and blocking, the rest of the list
// only ends its tasks in state 2 (their children first); nothing else of it runs in that pass.
//
// Handles: the exports name tasks by kTask ids (0 = the current task where said). The record
// stays in the pool; a freed task's id finds nothing, so a stale id fails like a missing task.
//
// Threads: the tree has no lock of its own. The game thread changes it only inside TaskTreeRun,
// under the render lock; any other thread that creates, frees or steps tasks holds the render
// lock while it does. OrvTaskGetTaskData(0) and OrvtimeGetTime may be called from any thread.
//
// Exports (orv/exports.h, "tasks and waits"):
//
//   OrvHandle OrvTaskCreate(OrvTaskProc step, OrvTaskProc end, uint32_t data_size, void** data,
//                           uint32_t link, OrvHandle reference, const char* name)
//     Creates a task with a zeroed counted data block of data_size bytes, stores the block's
//     address through data (when given; null first, and on failure) and returns the task.
//     The low 16 bits of link: kTaskLinkAfter puts the task right after the reference task in
//     the reference's list; kTaskLinkFirstChild makes it the reference's first child; other
//     values leave it unlinked (counted and returned, never stepped or ended by a pass).
//     kTaskBlocking in link makes it blocking. reference 0 = the current task. name must live
//     as long as the task (a literal). Fails (0) for a null step, fewer than two free records,
//     a failed data allocation, or a reference that is not a live task (or has no child list
//     for kTaskLinkFirstChild); nothing is left allocated.
//   OrvBool OrvTaskFree(OrvHandle task)
//     marks the task and all its descendants ending (step := end function, state 2); their end
//     functions run on the pass that reaches them, descendants first, each once. 1, or 0 for no
//     task or a task in state 0.
//   OrvTaskProc OrvTaskChangeNext(OrvTaskProc step)
//     the current task's step from its next call; returns step, or null without a current task.
//   void OrvTaskChangeNextImm(OrvTaskProc step)
//     sets the current task's step and calls it at once with the task's data. Does nothing
//     without a current task.
//   void* OrvTaskGetTaskData(OrvHandle task)
//     the task's data block; for 0, the data block of the task recorded by OrvTaskSetTaskData
//     (null when none is recorded or it has ended). Any thread for 0.
//   void OrvTaskSetTaskData(OrvHandle task)
//     records the task (0: the current task) as the one OrvTaskGetTaskData(0) answers for.
//   uint32_t OrvTaskGetMessage(OrvHandle task)        the message word, which becomes 0; 0 for no
//   task. uint32_t OrvTaskSetMessage(OrvHandle task, uint32_t message)
//                                                      stores the message word and returns it.
//   int32_t OrvTaskGetState(OrvHandle task)
//     2 when the task's step equals its end function (marked ending, or switched to it), else
//     its state byte; 0 for no task.
//   int32_t OrvTaskChangeState(OrvHandle task, int32_t state)
//     stores the low 8 bits of state as the state byte and returns state (0 for no task). A task
//     in a state other than 1 or 2 is skipped by the pass but still blocks when it is blocking;
//     its records stay taken whatever the state byte says.
//   void OrvTaskReProcess(OrvHandle task)
//     one pass at once over the task and the siblings after it, each with its children first;
//     then the current task is what it was (or none, when that task ended meanwhile).
//   void OrvTaskReset(void)
//     ends every top-level task after the first (the main task) with their children: marks
//     them ending, runs one pass over that part of the top-level list, then tears down what is
//     left of it. Nothing when there is no top-level task.
//
// (Waits and frame time: see task_wait.h.)
#pragma once

#include <atomic>
#include <cstdint>

#include "orv/types.h"

// State byte of a record.
enum : uint8_t {
  kTaskFree = 0,
  kTaskRunning = 1,
  kTaskEnding = 2,
  kTaskListHead = 3,
};

// Link word of OrvTaskCreate: low 16 bits the link mode, plus the blocking bit.
constexpr uint32_t kTaskLinkAfter = 1;
constexpr uint32_t kTaskLinkFirstChild = 2;
constexpr uint32_t kTaskLinkModeMask = 0xFFFF;
constexpr uint32_t kTaskBlocking = 0x10000;

// Records in the pool; two per task, so at most 256 tasks at a time. Nothing grows it.
constexpr uint32_t kTaskPoolCapacity = 512;

struct TaskRecord {
  void* data;            // the task's zeroed, counted data block; passed to step and end
  uint32_t data_size;    // as requested
  OrvTaskProc step;      // the current step; ending makes it the end function
  OrvTaskProc end;       // may be null
  uint32_t message;      // free message word for the task's users
  const char* name;      // "Root", "StartFunc", "OrvWait", ...
  uint32_t link;         // link mode given at creation | kTaskBlocking
  uint8_t state;         // kTaskFree ... kTaskListHead
  TaskRecord* next;      // next sibling, null at the end of the list
  TaskRecord* prev;      // previous sibling or the list head
  TaskRecord* children;  // the head record of the child list (null for the root and heads)
  // Whether the pool has handed this record out. Kept apart from the state byte so that a task
  // whose state a caller set to 0 is never handed out again while it is still linked.
  bool taken;
  // Its step or end function is running now. Nested passes and teardowns (OrvTaskReProcess,
  // OrvTaskReset called from a step) leave such a task alone, so its data is never freed
  // under the function that uses it.
  bool busy;
  OrvHandle id;  // the task's handle (0 for list heads)
};

// The scheduler state in CoreRecord. The tree itself is guarded by the render lock (see above);
// the two atomics are read from other threads.
struct TaskScheduler {
  TaskRecord* root = nullptr;  // "Root"; null while there is no scheduler
  TaskRecord* pool = nullptr;  // kTaskPoolCapacity records, counted
  TaskRecord* current =
      nullptr;  // the task whose step or end runs now or ran last; null once it ended
  std::atomic<OrvHandle> task_data_task{0};  // recorded by OrvTaskSetTaskData
  int32_t task_count = 0;                    // tasks created and not yet freed
  uint32_t pool_capacity = 0;
  uint32_t pool_cursor = 0;             // where the search for a free record starts
  bool closing = false;                 // task_scheduler_destroy is running: no new tasks
  std::atomic<uint32_t> frame_time{0};  // ms, one stamp per game-thread frame
};

// The system init's step (on window creation): allocates the record pool and the root "Root",
// which becomes the current task. False when memory cannot be had or a scheduler already
// exists; nothing is left allocated then.
bool task_scheduler_create();

// OrvUninit's teardown: marks all top-level tasks ending, runs one pass over the top-level list
// (the main task's end function runs here), tears down what remains, then frees the root and
// the pool and the data of tasks that were never linked; OrvTaskCreate fails meanwhile.
// Nothing when there is no scheduler. On the window thread, with the game and work
// threads stopped.
void task_scheduler_destroy();

// The per-frame pass over the top-level list, on the game thread, under the render lock of the
// active render list (without one, the pass runs without the lock).
void TaskTreeRun();

// Library-internal pieces, also used by the cell animations and the debug control tasks.
TaskRecord* TaskPoolTake();                 // one free record or null; does not take it
void TaskTreeStep(TaskRecord* head);        // one pass over a list
void TaskTreeMarkEnding(TaskRecord* head);  // marks every task of a list and its descendants ending
void TaskTreeDestroy(TaskRecord* head);     // ends every task of a list at once (end functions run)
TaskRecord* task_record(OrvHandle task);    // the live task of an id, 0 = current; else null
