// The platform library's public interface: every export of orv/exports.h, declared with C
// linkage. Velmora does not call these symbols directly; it binds them by name at start-up
// (program/engine/orv_api.h), so that the library is loaded from dll/ beside the program.
#pragma once

#include "orv/types.h"

#if defined(ORV_BUILDING_LIBRARY)
#define ORV_API __attribute__((visibility("default")))
#else
#define ORV_API
#endif

extern "C" {
#define ORV_EXPORT(ret, name, params) ORV_API ret name params;
#include "orv/exports.h"
#undef ORV_EXPORT
}
