#include "engine/orv_api.h"

OrvApi orv;

const char* orv_api_bind(OrvSymbolLookup lookup, void* context) {
#define ORV_EXPORT(ret, name, params)                                  \
  orv.name = reinterpret_cast<ret(*) params>(lookup(#name, context)); \
  if (!orv.name) return #name;
#include "orv/exports.h"
#undef ORV_EXPORT
  return nullptr;
}
