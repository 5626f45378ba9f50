// Stand-ins for a dll/libOrv.so that does not fit the program, for the loader's end-to-end
// test. Built three ways (tests/CMakeLists.txt):
//   FAKE_ORV_UNVERSIONED  a library from before the export list had a version: it exports
//                         one ordinary function and no OrvApiVersion;
//   FAKE_ORV_VERSION=n    a library of list version n that exports nothing else.
#include "orv/orv.h"

#if defined(FAKE_ORV_UNVERSIONED)
extern "C" void OrvDefaultCreate(StartParams*) {}
#else
extern "C" uint32_t OrvApiVersion(void) {
  return FAKE_ORV_VERSION;
}
#endif
