// Waits: blocking tasks that end themselves after a number of passes or milliseconds.
//
// Each is linked right after its reference task with kTaskBlocking and no end function. The
// creating task goes on being stepped, because it stands before the wait; the tasks after the
// wait in the same list, and their children, are held until the wait has ended and been freed.
// A wait created during a step of the current task is reached in the same pass and holds the
// later siblings from that pass on. Same threads and lock as every task function (task.h).
//
// Exports (orv/exports.h, "tasks and waits"):
//
//   OrvHandle OrvWait(int32_t frames)
//     "OrvWait" after the current task. Its first step only starts counting; each later pass
//     counts one down and the pass that reaches 0 ends it, so it is freed one pass later.
//     0 and -1 never end. Null without a current task, with fewer than two free records or
//     when its data cannot be allocated.
//   OrvHandle OrvWaitTime(uint32_t ms)
//     "OrvWait" after the current task. Its first step records the frame time; a later pass
//     ends it once the frame time has moved on by ms (unsigned 32-bit difference; 0 ends on
//     the first check). Result as OrvWait.
//   OrvHandle OrvWaitTimeEx(uint32_t ms, OrvHandle reference)
//     as OrvWaitTime, named "OrvWaitTimeEx", after the reference task (0: the current task).
#pragma once

#include <cstdint>

// Data blocks of the waits.
struct WaitFrames {
  int32_t frames;  // -1: never ends
};
struct WaitTime {
  uint32_t ms;
  uint32_t start;  // frame time of the first step
};
