// TempMemory variables as the interaction commands take them: an index 0-4095, or -1 where a
// command lets the script leave a value out.
#pragma once

#include <cstdint>

#include "engine/vm_context.h"
#include "engine/vm_log.h"

namespace ui {

constexpr uint32_t kNoVariable = 0xFFFFFFFFu;

// An index inside TempMemory.
inline bool variable_in_range(uint32_t v) {
  return v < engine::kTempMemoryCells;
}
// An index inside TempMemory, or -1 for none.
inline bool variable_ok(uint32_t v) {
  return v == kNoVariable || variable_in_range(v);
}
// Both variables usable (-1 allowed); else one key-0 line, and the caller stores nothing.
inline bool variables_ok(const char* name, uint32_t a, uint32_t b) {
  if (variable_ok(a) && variable_ok(b)) return true;
  engine::vm_log(engine::kLogMain, "%s %d, %d: a variable outside 0-4095 (or -1 for none)", name,
                 static_cast<int32_t>(a), static_cast<int32_t>(b));
  return false;
}
// Writes value into the variable; -1 (and any index outside TempMemory) writes nothing.
inline void variable_store(engine::VmContext& vm, uint32_t variable, int32_t value) {
  if (variable_in_range(variable)) vm.tempMem[variable] = static_cast<uint32_t>(value);
}

}  // namespace ui
