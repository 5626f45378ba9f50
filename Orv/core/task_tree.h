// Pieces shared by the task files; not part of the library's interface.
#pragma once

#include "Orv/core/task.h"

TaskScheduler& task_scheduler();

// The record still holds the task that had this id (it was not freed meanwhile).
inline bool task_still(const TaskRecord* t, OrvHandle id) {
  return t->taken && t->id == id;
}

// Marks one task and all its descendants ending.
void task_mark_ending(TaskRecord* t);

// One pass from t over the rest of its list (the body of TaskTreeStep and OrvTaskReProcess).
void task_step_from(TaskRecord* t);

// Tears down t and every task after it in its list (the body of TaskTreeDestroy).
void task_destroy_from(TaskRecord* t);
