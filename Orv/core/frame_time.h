// Frame time: one millisecond stamp per game-thread frame, the clock of the waits and of every
// timed effect of the library. It lives in TaskScheduler::frame_time.
//
// Exports (orv/exports.h, "tasks and waits"):
//
//   uint32_t OrvUpdateTime(void)
//     sets the frame time to platform::time_ms() and returns it. The game thread calls it at
//     the start of every frame, before input and tasks; others may call it at any moment.
//   uint32_t OrvtimeGetTime(void)
//     the frame time. Any thread.
//   uint32_t OrvClockGetTime(void)
//     the millisecond clock at the moment of the call (timeGetTime), the clock that
//     OrvUpdateTime reads, injected tests included. Any thread. The game program reads time
//     only here and through OrvtimeGetTime: the library owns the one clock of the process.
//
// Stamps wrap at 2^32: compare them by their unsigned difference.
#pragma once
