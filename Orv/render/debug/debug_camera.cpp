#include "Orv/render/debug/debug_camera.h"

#include "Orv/core/task.h"
#include "Orv/core/task_tree.h"
#include "Orv/core/window/input.h"
#include "Orv/core/window/process.h"
#include "Orv/render/render_lock.h"
#include "Orv/render/render_system.h"
#include "Orv/render/sine_table.h"
#include "orv/orv.h"

namespace {

constexpr float kStep = 1.0f / 600.0f;

void copy3(float (&to)[3], const float (&from)[3]) {
  for (int i = 0; i < 3; ++i) to[i] = from[i];
}

const Renderer* camera_renderer() {
  const Renderer* r = render_renderer();
  return r && r->get_camera && r->set_camera ? r : nullptr;
}

void camera_end(void* data) {
  auto* tool = static_cast<CameraTool*>(data);
  if (const Renderer* r = camera_renderer())
    r->set_camera(tool->start_eye, tool->start_at, tool->start_up);
  // Forgotten here when it ended some other way than through debug_control.
  ProcessRecord& p = orv_process();
  const TaskRecord* mine = p.debug_tool ? task_record(p.debug_tool) : nullptr;
  if (mine && mine->data == data) p.debug_tool = 0;
}

void camera_step(void* data) {
  auto* tool = static_cast<CameraTool*>(data);
  const bool close = camera_tool_apply(tool, OrvInputGetKeyOn(), OrvInputGetKeyPush());
  if (const Renderer* r = camera_renderer()) r->set_camera(tool->eye, tool->at, tool->up);
  OrvInputClear();
  if (close) debug_control(0);
}

void camera_init(void* data) {
  auto* tool = static_cast<CameraTool*>(data);
  copy3(tool->start_eye, tool->eye);
  copy3(tool->start_at, tool->at);
  copy3(tool->start_up, tool->up);
  copy3(tool->base, tool->at);
  tool->step[2] = 0.1f;
  OrvTaskChangeNextImm(camera_step);
}

bool open_camera_tool() {
  const Renderer* r = camera_renderer();
  TaskRecord* root = task_scheduler().root;
  float eye[3], at[3], up[3];
  if (!r || !root || !r->get_camera(eye, at, up)) return false;
  void* data = nullptr;
  const OrvHandle task =
      OrvTaskCreate(camera_init, camera_end, sizeof(CameraTool), &data,
                    kTaskLinkAfter | kTaskBlocking, root->id, "OrvCameraCtrlTask");
  if (!task) return false;
  auto* tool = static_cast<CameraTool*>(data);
  for (int i = 0; i < 3; ++i) {
    tool->eye[i] = eye[i];
    tool->at[i] = at[i];
    tool->up[i] = up[i];
  }
  orv_process().debug_tool = task;
  return true;
}

}  // namespace

bool camera_tool_apply(CameraTool* t, uint32_t held, uint32_t pushed) {
  const float d = kStep;
  t->step[0] = t->step[1] = 0;
  t->step[2] = d;
  if (held & kKeyShift) {
    if (held & kKeyUp) t->eye[1] += d;
    if (held & kKeyDown) t->eye[1] -= d;
    if (held & kKeyLeft) t->eye[0] -= d;
    if (held & kKeyRight) t->eye[0] += d;
  } else if (held & kKeyCtrl) {
    if (held & kKeyUp) t->eye[2] -= d;
    if (held & kKeyDown) t->eye[2] += d;
  } else {
    for (int i = 0; i < 3; ++i) {
      const float s = (held & kKeyUp) ? -t->step[i] : (held & kKeyDown) ? t->step[i] : 0.0f;
      t->base[i] += s;
      t->eye[i] += s;
    }
    if (held & (kKeyLeft | kKeyRight)) {
      t->angle += (held & kKeyRight) ? 1 : -1;
      if (t->angle > 511) t->angle = 0;
      if (t->angle < 0) t->angle = 511;
      const float* sine = float_sine_table512();
      t->at[0] = sine[(t->angle + 128) & 511] + t->base[0];
      t->at[2] = t->base[2] - sine[t->angle];
    }
  }
  return (pushed & kKeyEsc) != 0;
}

bool debug_control(int32_t which) {
  RenderLockScope lock;
  ProcessRecord& p = orv_process();
  if (p.debug_tool) {
    const OrvHandle task = p.debug_tool;
    p.debug_tool = 0;
    return OrvTaskFree(task) != 0;
  }
  return which == 2 && open_camera_tool();
}

bool debug_control_open() {
  return orv_process().debug_tool != 0;
}
