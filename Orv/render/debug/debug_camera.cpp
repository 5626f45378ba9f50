#include "Orv/render/debug/debug_camera.h"

#include <cstdio>

#include "Orv/core/task.h"
#include "Orv/core/window/input.h"
#include "Orv/render/render_system.h"
#include "Orv/render/sine_table.h"
#include "orv/orv.h"

namespace {

constexpr float kStep = 1.0f / 600.0f;
constexpr char kTaskName[] = "OrvCameraCtrlTask";

void copy3(float (&to)[3], const float (&from)[3]) {
  for (int i = 0; i < 3; ++i) to[i] = from[i];
}

const Renderer* camera_renderer() {
  const Renderer* r = render_renderer();
  return r && r->get_camera && r->set_camera ? r : nullptr;
}

void show_window(const float (&eye)[3], const float (&at)[3], const float (&up)[3]) {
  if (!debug_dialog_shown()) return;
  DebugDialogField fields[9];
  debug_dialog_show(kDebugDialogCamera, fields, camera_tool_fields(eye, at, up, fields));
}

void camera_end(void* data) {
  auto* tool = static_cast<CameraTool*>(data);
  if (const Renderer* r = camera_renderer())
    r->set_camera(tool->start_eye, tool->start_at, tool->start_up);
  debug_dialog_close(kDebugDialogCamera);
  debug_tool_ended(data);
}

void camera_step(void* data) {
  auto* tool = static_cast<CameraTool*>(data);
  const bool close = camera_tool_apply(tool, OrvInputGetKeyOn(), OrvInputGetKeyPush());
  if (const Renderer* r = camera_renderer()) r->set_camera(tool->eye, tool->at, tool->up);
  show_window(tool->eye, tool->at, tool->up);
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
  debug_dialog_open(kDebugDialogCamera);
  show_window(tool->start_eye, tool->start_at, tool->start_up);
  OrvTaskChangeNextImm(camera_step);
}

}  // namespace

bool open_camera_tool() {
  const Renderer* r = camera_renderer();
  float eye[3], at[3], up[3];
  if (!r || !r->get_camera(eye, at, up)) return false;
  void* data = nullptr;
  if (!debug_tool_start(camera_init, camera_end, sizeof(CameraTool), kTaskName, &data))
    return false;
  auto* tool = static_cast<CameraTool*>(data);
  copy3(tool->eye, eye);
  copy3(tool->at, at);
  copy3(tool->up, up);
  return true;
}

CameraTool* running_camera_tool() {
  return static_cast<CameraTool*>(debug_tool_data(kTaskName));
}

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

bool camera_tool_reset(CameraTool* t, int32_t control) {
  float* vectors[3] = {};
  switch (control) {
    case kCameraResetEye:
      vectors[0] = t->eye;
      break;
    case kCameraResetAt:
      vectors[0] = t->at;
      break;
    case kCameraResetUp:
      vectors[0] = t->up;
      break;
    case kCameraResetAll:
      vectors[0] = t->eye;
      vectors[1] = t->at;
      vectors[2] = t->up;
      break;
    default:
      return false;
  }
  for (float* v : vectors) {
    if (v) v[0] = v[1] = v[2] = 0.0f;
  }
  return true;
}

int32_t camera_tool_fields(const float (&eye)[3], const float (&at)[3], const float (&up)[3],
                           DebugDialogField* fields) {
  const float* vectors[3] = {eye, at, up};
  int32_t n = 0;
  for (const float* v : vectors) {
    for (int i = 0; i < 3; ++i, ++n) {
      fields[n].control = 1002 + n;
      std::snprintf(fields[n].text, sizeof fields[n].text, "%f", static_cast<double>(v[i]));
    }
  }
  return n;
}
