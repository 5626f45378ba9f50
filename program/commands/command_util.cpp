#include "commands/command_util.h"

#include <cstring>
#include <vector>

#include "engine/orv_api.h"
#include "engine/vm_services.h"
#include "platform/file_handle.h"
#include "platform/sjis.h"

namespace engine {

std::string fetch_text(VmContext& vm, uint32_t value, uint32_t size) {
  if (size <= 4) return {};
  std::vector<uint8_t> buf(size, 0);
  get_string_operand(vm, buf.data(), value, size);
  const char* text = reinterpret_cast<const char*>(buf.data() + 4);
  return std::string(text, strnlen(text, size - 4));
}

std::string fetch_file_name(VmContext& vm, uint32_t value, uint32_t capacity) {
  if (capacity < 32) capacity = 32;
  std::vector<uint8_t> buf(capacity + 1, 0);  // one spare zero: a full 32-byte name ends there
  get_file_name_operand(vm, buf.data(), capacity, value, 0);
  const char* text = reinterpret_cast<const char*>(buf.data());
  return std::string(text, strnlen(text, capacity));
}

size_t sjis_clamp(std::string_view text, size_t max) {
  if (text.size() <= max) return text.size();
  size_t i = 0;
  while (i < max) {
    const size_t step = platform::sjis_is_lead(static_cast<uint8_t>(text[i])) ? 2 : 1;
    if (i + step > max) break;
    i += step;
  }
  return i;
}

char* slot_of(VmContext& vm, uint32_t handle) {
  const uint32_t n = handle & ~0x10000000u;
  return n < kStringSlots ? vm.strings.slots[n] : nullptr;
}

void slot_store(char* slot, std::string_view text) {
  const size_t n = sjis_clamp(text, kSlotTextMax);
  std::memmove(slot, text.data(), n);
  slot[n] = 0;
}

std::string_view slot_text(const char* slot) {
  return std::string_view(slot, strnlen(slot, kSlotTextMax));
}

int read_data_file(const char* name, std::string* data) {
  data->clear();
  if (!orv.OrvFileCreate) return 1;
  FileRange range{};
  const OrvFileHandle file = orv.OrvFileCreate(name, &range);
  if (file == kOrvInvalidFile) return 1;
  data->resize(range.size);
  uint32_t done = 0;
  const bool ok = range.size == 0 || (platform::file_read(file, data->data(), range.size, &done) &&
                                      done == range.size);
  platform::file_close(file);
  if (!ok) {
    data->resize(done);
    return 3;
  }
  return 0;
}

}  // namespace engine
