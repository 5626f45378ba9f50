#include "Orv/render/debug/debug_tool.h"

#include <cstring>

#include "Orv/core/task.h"
#include "Orv/core/task_tree.h"
#include "Orv/core/window/process.h"
#include "Orv/render/debug/debug_camera.h"
#include "Orv/render/debug/debug_sprite.h"
#include "Orv/render/render_lock.h"
#include "orv/orv.h"

namespace {

const TaskRecord* running_tool() {
  const OrvHandle task = orv_process().debug_tool;
  return task ? task_record(task) : nullptr;
}

}  // namespace

bool debug_control(int32_t which) {
  RenderLockScope lock;
  ProcessRecord& p = orv_process();
  if (p.debug_tool) {
    const OrvHandle task = p.debug_tool;
    p.debug_tool = 0;
    return OrvTaskFree(task) != 0;
  }
  switch (which) {
    case kDebugToolSprite:
      return open_sprite_tool();
    case kDebugToolCamera:
      return open_camera_tool();
    default:
      return false;
  }
}

bool debug_control_open() {
  return orv_process().debug_tool != 0;
}

OrvHandle debug_tool_start(void (*init)(void*), void (*end)(void*), uint32_t data_size,
                           const char* name, void** data) {
  *data = nullptr;
  TaskRecord* root = task_scheduler().root;
  if (!root) return 0;
  const OrvHandle task =
      OrvTaskCreate(init, end, data_size, data, kTaskLinkAfter | kTaskBlocking, root->id, name);
  if (task) orv_process().debug_tool = task;
  return task;
}

void debug_tool_ended(const void* data) {
  const TaskRecord* mine = running_tool();
  if (mine && mine->data == data) orv_process().debug_tool = 0;
}

void* debug_tool_data(const char* name) {
  const TaskRecord* tool = running_tool();
  return tool && tool->name && std::strcmp(tool->name, name) == 0 ? tool->data : nullptr;
}
