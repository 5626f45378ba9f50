#include "commands/data_file.h"

#include <cstring>

#include "commands/command_util.h"
#include "commands/data_file_command_list.h"
#include "engine/command_list.h"
#include "engine/dispatch.h"
#include "engine/orv_calls.h"
#include "engine/formats/data_file_format.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"

namespace engine {

namespace {

// Every open file is one node of DataFileList with this key.
constexpr uint32_t kDataFileKey = 256;

struct DataFileHandle {
  uint32_t dwId;  // what the script holds
  uint8_t* lpData;
  uint32_t dwReadPos;
  uint32_t dwTotalSize;
  uint32_t dwCellSize;
};

DataFileHandle* find_handle(VmContext& vm, uint32_t id) {
  if (id == 0) return nullptr;
  const uint32_t count = orv_list_count(vm.hDataFiles, kDataFileKey);
  for (uint32_t n = 0; n < count; ++n) {
    auto* h = reinterpret_cast<DataFileHandle*>(orv_list_get_data(vm.hDataFiles, kDataFileKey, n));
    if (h && h->dwId == id) return h;
  }
  return nullptr;
}

// The next id of the serial count that no open file uses: a closed file's id is not handed
// out again (until the count wraps, after two thousand million opens), so a script that keeps
// a closed id finds nothing rather than the next file's data.
uint32_t free_id(VmContext& vm) {
  for (;;) {
    uint32_t id = (vm.dwDataFileSerial + 1) & 0x7FFFFFFFu;
    if (id == 0) id = 1;
    vm.dwDataFileSerial = id;
    if (!find_handle(vm, id)) return id;
  }
}

void free_handle(DataFileHandle* h) {
  if (h->lpData) orv.OrvMemoryFree(h->lpData);
  orv.OrvMemoryFree(h);
}

// Takes h off the list (the list has no delete by data: pop all, push back the others).
void unlist(VmContext& vm, DataFileHandle* h) {
  std::vector<uintptr_t> keep;
  while (uintptr_t d = orv_list_pop(vm.hDataFiles, kDataFileKey)) {
    if (d != reinterpret_cast<uintptr_t>(h)) keep.push_back(d);
  }
  for (uintptr_t d : keep) orv_list_push_last(vm.hDataFiles, d, kDataFileKey);
}

uint32_t cmd_open_file(VmContext& vm) {
  const uint32_t ref = vm_pop(vm);
  auto* h = static_cast<DataFileHandle*>(orv.OrvMemoryAlloc(sizeof(DataFileHandle), 1));
  if (!h) {
    vm_set_result(vm, 0);
    vm_log(kLogMain, "open_file handle create error");
    return 1;
  }
  const std::string name = fetch_file_name(vm, ref);
  std::string text;
  if (read_data_file(name.c_str(), &text) == 1) {
    orv.OrvMemoryFree(h);
    vm_set_result(vm, 0);
    vm_log(kLogMain, "open_file error : %s", name.c_str());
    return 1;
  }
  const DataFileContents contents = data_file_parse(text);
  const uint64_t cell_bytes = uint64_t{4} * contents.cells.size();
  const uint64_t total = cell_bytes + contents.pool.size();
  h->lpData = total < 0xFFFFFFF0u
                  ? static_cast<uint8_t*>(orv.OrvMemoryAlloc(static_cast<uint32_t>(total) + 1, 1))
                  : nullptr;
  if (!h->lpData) {
    orv.OrvMemoryFree(h);
    vm_set_result(vm, 0);
    vm_log(kLogMain, "open_file handle create error");
    return 1;
  }
  for (size_t n = 0; n < contents.cells.size(); ++n) {
    const uint32_t v = contents.cells[n];
    const uint8_t le[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                           static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
    std::memcpy(h->lpData + 4 * n, le, 4);
  }
  if (!contents.pool.empty()) {
    std::memcpy(h->lpData + cell_bytes, contents.pool.data(), contents.pool.size());
  }
  h->dwReadPos = 0;
  h->dwCellSize = static_cast<uint32_t>(cell_bytes);
  h->dwTotalSize = static_cast<uint32_t>(total);
  h->dwId = free_id(vm);
  if (!orv_list_push(vm.hDataFiles, reinterpret_cast<uintptr_t>(h), kDataFileKey)) {
    free_handle(h);
    vm_set_result(vm, 0);
    vm_log(kLogMain, "open_file handle create error");
    return 1;
  }
  vm_set_result(vm, h->dwId);
  vm_log(kLogHistory, "[%d]open_file %s", h->dwId, name.c_str());
  return 1;
}

uint32_t cmd_read_file(VmContext& vm) {
  DataFileHandle* h = find_handle(vm, vm_pop(vm));
  const int32_t first = static_cast<int32_t>(vm_pop(vm));
  const int32_t count = static_cast<int32_t>(vm_pop(vm));
  if (!h) {
    vm_log(kLogMain, "read_file not handle");
    vm_set_result(vm, 0);
    return 1;
  }
  const int64_t cells = count > 0 ? count : 0;
  if (int64_t{h->dwReadPos} + 4 * int64_t{count} > int64_t{h->dwCellSize} ||
      int64_t{first} + count > 256 || first < 0) {
    vm_log(kLogHistory, "read_file eof");
    vm_set_result(vm, 0);
    return 1;
  }
  for (int64_t n = 0; n < cells; ++n) {
    const uint8_t* at = h->lpData + h->dwReadPos;
    vm.tempMem[first + n] = at[0] | (at[1] << 8) | (at[2] << 16) | (uint32_t{at[3]} << 24);
    h->dwReadPos += 4;
  }
  vm_set_result(vm, 1);
  return 1;
}

uint32_t cmd_set_file_pointer(VmContext& vm) {
  DataFileHandle* h = find_handle(vm, vm_pop(vm));
  const uint32_t n = vm_pop(vm);
  const uint32_t origin = vm_pop(vm);
  if (!h) {
    vm_log(kLogMain, "set_file_pointer not handle");
    return 1;
  }
  // Wrapping arithmetic; read_file refuses whatever lies outside the cells.
  if (origin == 0) h->dwReadPos = 4 * n;
  if (origin == 1) h->dwReadPos += 4 * n;
  if (origin == 2) h->dwReadPos = h->dwTotalSize + 4 * n;
  return 1;
}

uint32_t cmd_file_string(VmContext& vm) {
  const uint32_t id = vm_pop(vm);
  const uint32_t cell = vm_pop(vm);
  const uint32_t dest = vm_pop(vm);
  DataFileHandle* h = find_handle(vm, id);
  bool error = false;
  if (!h) {
    vm_log(kLogMain, "*** ERROR file_string not handle");
    error = true;
  }
  if (cell == 0xFFFFFFFFu) {
    vm_log(kLogMain, "*** ERROR file_string(*, -1, *)");
    error = true;
  }
  if (dest & 0x80000000u) {
    vm_log(kLogMain, "*** ERROR file_string(*, *, ?)");
    return 1;
  }
  const uint32_t n = dest & ~kStringHandleBit;
  if (n >= kStringSlots) {
    vm_log(kLogMain, "*** ERROR file_string(*, *, %d)", static_cast<int32_t>(dest));
    return 1;
  }
  char* slot = vm.strings.slots[n];
  if (!error) {
    // The cell must name a whole record inside the pool.
    const uint32_t offset = cell & 0x7FFFFFFFu;
    const uint32_t pool = h->dwTotalSize - h->dwCellSize;
    const uint8_t* base = h->lpData + h->dwCellSize;
    if (offset <= pool && pool - offset >= 2) {
      const uint32_t len = base[offset] | (base[offset + 1] << 8);
      if (len <= pool - offset - 2 && len <= kSlotTextMax) {
        std::memcpy(slot, base + offset + 2, len);
        slot[len] = 0;
        return 1;
      }
    }
    vm_log(kLogMain, "*** ERROR file_string(*, 0x%08X, *) not a string", cell);
  }
  slot_store(slot, "--ERR--");
  return 1;
}

uint32_t cmd_close_file(VmContext& vm) {
  const uint32_t id = vm_pop(vm);
  if (id == 0) {
    vm_log(kLogMain, "close_file not handle");
    return 1;
  }
  DataFileHandle* h = find_handle(vm, id);
  if (!h) {
    vm_log(kLogMain, "close_file not handle");
    return 1;
  }
  unlist(vm, h);
  free_handle(h);
  return 1;
}

}  // namespace

void data_files_close_all(VmContext& vm) {
  while (uintptr_t d = orv_list_pop(vm.hDataFiles, kDataFileKey)) {
    free_handle(reinterpret_cast<DataFileHandle*>(d));
  }
}

namespace {
const CommandEntry kDataFileCommands[] = {DATA_FILE_COMMANDS(COMMAND_ENTRY)};
}  // namespace

const CommandList data_file_commands = command_list(kDataFileCommands);

}  // namespace engine
