#include "Orv/render/render_lock.h"

// Until render lists exist there is no active list, and so no lock.
bool render_lock_enter() { return false; }
bool render_lock_try_enter() { return false; }
void render_lock_leave() {}
