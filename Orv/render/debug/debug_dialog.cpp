#include "Orv/render/debug/debug_dialog.h"

#include <atomic>

#include "Orv/render/debug/debug_camera.h"
#include "Orv/render/debug/debug_panels.h"
#include "Orv/render/render_lock.h"

namespace {

// The library's own windows until another view (a test's) is set.
std::atomic<const DebugDialogView*> g_view{&kDebugPanelsView};

}  // namespace

void debug_dialog_view_set(const DebugDialogView* view) {
  g_view = view;
}

bool debug_dialog_shown() {
  return g_view.load() != nullptr;
}

void debug_dialog_open(int32_t dialog) {
  const DebugDialogView* v = g_view;
  if (v && v->open) v->open(dialog);
}

void debug_dialog_show(int32_t dialog, const DebugDialogField* fields, int32_t count) {
  const DebugDialogView* v = g_view;
  if (v && v->show) v->show(dialog, fields, count);
}

void debug_dialog_close(int32_t dialog) {
  const DebugDialogView* v = g_view;
  if (v && v->close) v->close(dialog);
}

bool debug_dialog_command(int32_t dialog, int32_t control) {
  if (dialog != kDebugDialogCamera) return false;
  RenderLockScope lock;
  CameraTool* tool = running_camera_tool();
  return tool && camera_tool_reset(tool, control);
}
