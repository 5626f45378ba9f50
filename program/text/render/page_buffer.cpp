#include <cstring>

#include "engine/vm_log.h"
#include "shared/sjis_units.h"
#include "text/render/text_render.h"

namespace textrender {

bool page_buffer_append(char* buffer, size_t capacity, const char* text) {
  if (!buffer || capacity == 0) return false;
  const size_t used = strnlen(buffer, capacity - 1);
  const char* t = text ? text : "";
  const size_t length = std::strlen(t);
  if (used + length + 1 <= capacity) {
    std::memcpy(buffer + used, t, length + 1);
    return true;
  }
  if (used > 0) return false;
  const size_t kept = sjis_fit(kSjisRendererUnits, t, length, capacity - 1);
  engine::vm_log(engine::kLogMain, "page buffer: a line of %zu bytes cut to %zu", length, kept);
  std::memcpy(buffer, t, kept);
  buffer[kept] = 0;
  return true;
}

}  // namespace textrender
