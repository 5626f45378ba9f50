#include "engine/orv_calls.h"

#include "engine/formats/startup_info.h"

#include "engine/orv_api.h"
#include "platform/file_handle.h"

namespace engine {

// The log calls are guarded: tools that run the machine without the library (the assembler's
// checks, the fuzz target) leave the binding table empty, and a log line must never crash.
bool orv_debug_print(int key, const char* line) {
  if (!orv.OrvDebugPrintf) return false;
  orv.OrvDebugPrintf(key, nullptr, "%s", line);
  return true;
}
bool orv_debug_on() {
  return orv.OrvDebugIs && orv.OrvDebugIs() != 0;
}
bool orv_error_log(const char* line) {
  if (!orv.OrvErrorLogPrintf) return false;
  orv.OrvErrorLogPrintf("%s", line);
  return true;
}
void orv_end_program() {
  if (orv.OrvEnd) orv.OrvEnd();
}
bool orv_system_end() {
  return orv.IsSystemEnd && orv.IsSystemEnd() != 0;
}
void orv_end_update(int) {
  if (orv.OrvEndUpdate) orv.OrvEndUpdate();
}

OrvHandle orv_list_create() {
  return orv.OrvListCreate();
}
void orv_list_release(OrvHandle list) {
  orv.OrvListRelease(list);
}
bool orv_list_push(OrvHandle list, uintptr_t data, uint32_t key) {
  return orv.OrvListPush(list, data, key) != 0;
}
bool orv_list_push_last(OrvHandle list, uintptr_t data, uint32_t key) {
  return orv.OrvListPushLast(list, data, key) != 0;
}
uintptr_t orv_list_pop(OrvHandle list, uint32_t key) {
  return orv.OrvListPop(list, key);
}
uint32_t orv_list_count(OrvHandle list, uint32_t key) {
  const int32_t n = orv.OrvListGetDataCount(list, key);
  return n > 0 ? static_cast<uint32_t>(n) : 0;
}
uintptr_t orv_list_get_data(OrvHandle list, uint32_t key, uint32_t n) {
  if (n > 0x7FFFFFFFu) return 0;
  return orv.OrvListGetData(list, key, static_cast<int32_t>(n));
}

int32_t orv_input_wheel() {
  return orv.OrvInputGetWheel ? orv.OrvInputGetWheel() : 0;
}
uint32_t orv_input_key_push() {
  return orv.OrvInputGetKeyPush ? orv.OrvInputGetKeyPush() : 0;
}
uint32_t orv_input_key_pull() {
  return orv.OrvInputGetKeyPull ? orv.OrvInputGetKeyPull() : 0;
}
uint32_t orv_input_key_on() {
  return orv.OrvInputGetKeyOn ? orv.OrvInputGetKeyOn() : 0;
}

bool orv_render_lock_enter() {
  if (!orv.OrvRenderLockEnter) return false;
  return orv.OrvRenderLockEnter() != 0;
}
void orv_render_lock_leave() {
  orv.OrvRenderLockLeave();
}

int orv_file_read_whole(const char* name, uint8_t** data, uint32_t* size, uint32_t extra) {
  *data = nullptr;
  *size = 0;
  FileRange range{};
  const OrvFileHandle file = orv.OrvFileCreate(name, &range);
  if (file == kOrvInvalidFile) return 1;
  // The range comes from the file system or an archive's directory: a size that cannot be
  // held with the extra bytes is no memory rather than a wrapped allocation.
  const uint64_t want = static_cast<uint64_t>(range.size) + extra;
  if (want > 0xFFFFFFFFu) {
    platform::file_close(file);
    return 2;
  }
  auto* block = static_cast<uint8_t*>(orv.OrvMemoryAlloc(static_cast<uint32_t>(want), 0));
  if (!block) {
    platform::file_close(file);
    return 2;
  }
  // The range is absolute in the opened file: a member of an archive starts inside it.
  uint32_t done = 0;
  if (range.size && platform::file_read_at(file, block, range.size, range.offset)) {
    done = range.size;
  }
  platform::file_close(file);
  for (uint32_t i = done; i < want; ++i) block[i] = 0;
  *data = block;
  *size = done;
  return done == range.size ? 0 : 3;
}

OrvHandle orv_task_create(OrvTaskProc step, OrvTaskProc end, uint32_t size, void** data,
                          const char* name) {
  *data = nullptr;
  return orv.OrvTaskCreate(step, end, size, data, 1, 0, name);
}
void orv_task_set_task_data(OrvHandle task) {
  orv.OrvTaskSetTaskData(task);
}
void orv_task_change_next(OrvTaskProc step) {
  orv.OrvTaskChangeNext(step);
}

OrvHandle orv_render_init() {
  return orv.OrvRenderInit();
}
void orv_render_set_active(OrvHandle list) {
  orv.OrvRenderSetActive(list);
}
void orv_render_uninit(OrvHandle list) {
  orv.OrvRenderUninit(list);
}

void game_screen_size(uint32_t* width, uint32_t* height) {
  // The game's screen size as start-up chose it; before start-up has run (unit tests), the
  // default screen.
  const StartupSettings& settings = startup_settings();
  const bool known = settings.nScreenWidth > 0 && settings.nScreenHeight > 0;
  *width = known ? static_cast<uint32_t>(settings.nScreenWidth) : 1280;
  *height = known ? static_cast<uint32_t>(settings.nScreenHeight) : 720;
}

uint32_t startup_boot_word() {
  return startup_settings().dwBootWord;
}

}  // namespace engine
