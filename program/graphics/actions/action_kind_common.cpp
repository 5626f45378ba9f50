#include "graphics/actions/action_kind_common.h"

#include "engine/vm_log.h"
#include "text/window/text_window_ops.h"

namespace actions {

void report_current_line(engine::VmContext& vm) {
  textwindow::debug_print_current_line(vm);
}

void report_missing(engine::VmContext& vm, const char* line) {
  engine::vm_log(engine::kLogMain, "%s", line);
  report_current_line(vm);
}

bool step_image_ok(engine::VmContext& vm, const ImageRecord* image, const char* kind) {
  if (!image) return false;
  if (image->hSprite) return true;
  engine::vm_log(engine::kLogMain, "%s" ACTION_NO_LAYER, kind);
  report_current_line(vm);
  return false;
}

}  // namespace actions
