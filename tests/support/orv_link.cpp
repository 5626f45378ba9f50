#include "support/orv_link.h"

#include "engine/orv_api.h"
#include "orv/orv.h"

namespace testsupport {

void bind_linked_orv() {
#define ORV_EXPORT(ret, name, params) orv.name = &::name;
#include "orv/exports.h"
#undef ORV_EXPORT
}

}  // namespace testsupport
