// The two debug exports that have nothing to do: the sprite list and the screen shot are not
// kept by this library, and games only call them from debug menus.
#include "orv/orv.h"

extern "C" {

void OrvSpriteDebugList(void) {}

// Nothing is written; 0 says so.
int32_t OrvSaveScreenShot(void) {
  return 0;
}

}  // extern "C"
