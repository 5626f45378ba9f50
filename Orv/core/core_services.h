// The state of the core's basic services, one member of CoreRecord: the task scheduler and frame
// time, every thread's work pool, and the random table.
#pragma once

#include "Orv/core/random_table.h"
#include "Orv/core/task.h"
#include "Orv/core/work_pool.h"

struct CoreServices {
  TaskScheduler tasks;
  WorkPools work_pools;
  RandomTable random;
};

// The services' member of the library's state record. Any thread; members say their locks.
CoreServices& orv_services();
