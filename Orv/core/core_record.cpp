#include "Orv/core/core_record.h"

CoreRecord& orv_core() {
  static CoreRecord core;
  return core;
}
