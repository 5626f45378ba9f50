#include "Orv/core/core_record.h"

CoreRecord& orv_core() {
  static CoreRecord core;
  return core;
}

RenderState& orv_render() {
  return orv_core().render;
}
