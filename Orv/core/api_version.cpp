// The version of the export list the library was built from (orv/exports.h), which the
// program's loader checks before it binds anything else.
#include "orv/orv.h"

extern "C" uint32_t OrvApiVersion(void) {
  return ORV_EXPORTS_VERSION;
}
