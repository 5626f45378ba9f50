#include "engine/orv_static_bind.h"

#include "engine/orv_api.h"
#include "orv/orv.h"

namespace engine {

void orv_static_bind() {
#define ORV_EXPORT(ret, name, params) orv.name = &::name;
#include "orv/exports.h"
#undef ORV_EXPORT
}

}  // namespace engine
