// The render lock: the critical section of the active render list.
//
// The game thread holds it around the task pass, the frame draw and the window requests; the
// script runner on the work thread holds it around each instruction. It is re-entrant. When
// there is no active render list there is no lock: enter returns false and the caller goes on
// without it (and must not call leave).
#pragma once

// Enters the lock of the active render list and marks the list busy; false when there is none.
bool render_lock_enter();
// Tries to enter without waiting (the frame draw never waits); false when another thread holds
// it or there is no active list.
bool render_lock_try_enter();
// Clears the busy mark and leaves the lock entered by one of the above.
void render_lock_leave();
// True when the calling thread holds the render lock (entered and not yet left).
bool render_lock_held_here();

// Holds the render lock for a scope when there is an active list to lock (and goes on without
// it when there is none).
class RenderLockScope {
 public:
  RenderLockScope() : held_(render_lock_enter()) {}
  ~RenderLockScope() {
    if (held_) render_lock_leave();
  }
  RenderLockScope(const RenderLockScope&) = delete;
  RenderLockScope& operator=(const RenderLockScope&) = delete;

 private:
  bool held_;
};
