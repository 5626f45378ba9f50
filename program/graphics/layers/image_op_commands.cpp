// The image-operation commands (image_op_command_list.h): check, record in the layer's slot,
// carry out at once (graph_child.h).
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/layers/graph_child.h"
#include "graphics/layers/image_op_command_list.h"
#include "graphics/layers/layer_args.h"
#include "graphics/layers/layer_commands.h"
#include "graphics/layers/layer_slots.h"

namespace layers {
namespace {

using engine::kLogHistory;
using engine::kLogMain;
using engine::LayerSlot;
using engine::vm_log;
using engine::vm_pop;
using engine::VmContext;

constexpr uint32_t kNone = 0xFFFFFFFFu;
constexpr uint32_t kNoFile = engine::kNoText;

// One recording command as popped.
struct Request {
  const char* name;
  uint32_t mode;
  uint32_t layer;
  uint32_t source = kNone;  // a source or mask layer to check, kNone for none
  uint32_t file = kNone;    // a file to check and keep the name of, kNone for none
  uint32_t slot = kNone;
  bool status_from_run = false;  // the command reports the operation's result
  bool error_line = false;       // a failed blur logs "NAME  err ..."
  int hex_value = -1;            // the logged value printed in hexadecimal
  bool nothing_to_do = false;    // a precondition of the command's own failed: success
  uint32_t values[12] = {};      // every popped value in order, for the log line
  uint32_t count = 0;
};

uint32_t pop(VmContext& vm, Request& q) {
  const uint32_t v = vm_pop(vm);
  if (q.count < 12) q.values[q.count++] = v;
  return v;
}

void log_request(const Request& q, bool failed) {
  std::string line = q.name;
  line += failed ? "  err " : " ";
  char part[24];
  for (uint32_t i = 0; i < q.count; ++i) {
    if (static_cast<int>(i) == q.hex_value) {
      std::snprintf(part, sizeof part, "%s0x%08X", i ? ", " : "", q.values[i]);
    } else {
      std::snprintf(part, sizeof part, "%s%d", i ? ", " : "", as_int(q.values[i]));
    }
    line += part;
  }
  vm_log(kLogHistory, "%s", line.c_str());
}

// The common steps: checks, the record (fill writes its fields into the slot's record, or
// into a scratch record for slot -1), the run, the log and the status.
template <class Fill>
uint32_t record_and_run(VmContext& vm, Request& q, Fill fill) {
  if (!layer_in_range(q.layer)) return 0;
  if (q.source != kNone && !layer_in_range(q.source)) return 0;
  if (q.slot != kNone && !number_in_range(q.slot, kGraphChildSlots)) return 0;
  if (!layer_image(vm, q.layer)) {
    if (q.mode != GRAPH_CHILD_MODE_CLEANING_ALPHA) return 1;
    vm_log(kLogMain, "*** ERROR sp_cleaning_alpha_rgb NOT layer %d", as_int(q.layer));
    return 0;
  }
  if (q.source != kNone && !layer_image(vm, q.source)) return 1;
  if (q.file == kNoFile || q.nothing_to_do) return 1;
  LayerSlot& slot = vm.layers[q.layer];
  const bool recorded = q.slot != kNone;
  GraphChild r = recorded ? graph_child_get(slot, q.slot) : GraphChild{};
  r.dwMode |= q.mode;
  fill(r);
  if (q.file != kNone) image_op_keep_name(vm, q.file, r.szSourceName);
  if (recorded) {
    slot.dwFlags |= kLayerChildren;
    graph_child_put(slot, q.slot, r);
  }
  const uint32_t ok = graph_child_run(vm, q.layer, r, recorded ? q.slot : 0, false);
  log_request(q, q.error_line && !ok);
  return q.status_from_run ? ok : 1;
}

void clear_name(GraphChild& r) {
  std::memset(r.szSourceName, 0, sizeof r.szSourceName);
}

// layer, x, y, w, h, file or source layer, src x, src y, slot
uint32_t rectangle_from(VmContext& vm, const char* name, uint32_t mode, bool from_file,
                        bool status_from_run) {
  Request q{name, mode, 0};
  q.layer = pop(vm, q);
  const int32_t x = as_int(pop(vm, q)), y = as_int(pop(vm, q));
  const int32_t w = as_int(pop(vm, q)), h = as_int(pop(vm, q));
  const uint32_t from = pop(vm, q);
  const int32_t sx = as_int(pop(vm, q)), sy = as_int(pop(vm, q));
  q.slot = pop(vm, q);
  if (from_file) {
    q.file = from;
  } else {
    q.source = from;
  }
  q.status_from_run = status_from_run;
  return record_and_run(vm, q, [&](GraphChild& r) {
    r.dwSource = from;
    r.lX = x, r.lY = y, r.lSrcX = sx, r.lSrcY = sy, r.lWidth = w, r.lHeight = h;
    if (!from_file) clear_name(r);
  });
}

uint32_t cmd_sp_mix_file_to_sprite(VmContext& vm) {
  return rectangle_from(vm, "sp_mix_file_to_sprite", GRAPH_CHILD_MODE_MIX_FILE, true, true);
}
uint32_t cmd_sp_mix_file_to_sprite_ex(VmContext& vm) {
  return rectangle_from(vm, "sp_mix_file_to_sprite_ex", GRAPH_CHILD_MODE_MIX_FILE_EX, true, true);
}
uint32_t cmd_sp_bitblt(VmContext& vm) {
  return rectangle_from(vm, "sp_bitblt", GRAPH_CHILD_MODE_BITBLT, false, false);
}
uint32_t cmd_sp_bitblt_file(VmContext& vm) {
  return rectangle_from(vm, "sp_bitblt_file", GRAPH_CHILD_MODE_BITBLT_FILE, true, false);
}
uint32_t cmd_sp_set_mask(VmContext& vm) {
  return rectangle_from(vm, "sp_set_mask", GRAPH_CHILD_MODE_MASK, true, true);
}
uint32_t cmd_sp_set_mask2(VmContext& vm) {
  return rectangle_from(vm, "sp_set_mask2", GRAPH_CHILD_MODE_MASK2, true, true);
}

uint32_t cmd_sp_set_mask_ex(VmContext& vm) {
  Request q{"sp_set_mask_ex", GRAPH_CHILD_MODE_MASK_EX, 0};
  q.layer = pop(vm, q);
  const int32_t x = as_int(pop(vm, q)), y = as_int(pop(vm, q));
  const int32_t w = as_int(pop(vm, q)), h = as_int(pop(vm, q));
  q.source = pop(vm, q);
  const int32_t mx = as_int(pop(vm, q)), my = as_int(pop(vm, q));
  const uint32_t flags = pop(vm, q);
  q.slot = pop(vm, q);
  q.status_from_run = true;
  return record_and_run(vm, q, [&](GraphChild& r) {
    r.dwSource = q.source << 16 | (flags & 0xFFFF);
    r.lX = x, r.lY = y, r.lSrcX = mx, r.lSrcY = my, r.lWidth = w, r.lHeight = h;
  });
}

// layer, source layer, then three values (box blur, motion blur) or one (level), slot.
uint32_t blur(VmContext& vm, const char* name, uint32_t mode, int values) {
  Request q{name, mode, 0};
  q.layer = pop(vm, q);
  q.source = pop(vm, q);
  int32_t v[3] = {};
  for (int i = 0; i < values; ++i) v[i] = as_int(pop(vm, q));
  q.slot = pop(vm, q);
  q.error_line = true;
  return record_and_run(vm, q, [&](GraphChild& r) {
    r.lX = as_int(q.layer);
    r.dwSource = q.source;
    r.lY = v[0];
    if (values == 3) {
      r.lSrcX = v[1], r.lSrcY = v[2];
    } else {
      r.lSrcX = r.lSrcY = 0;
    }
    r.lWidth = r.lHeight = 0;
    clear_name(r);
  });
}
uint32_t cmd_sp_boxblur(VmContext& vm) {
  return blur(vm, "sp_boxblur", GRAPH_CHILD_MODE_BOX_BLUR, 3);
}
uint32_t cmd_sp_motionblur(VmContext& vm) {
  return blur(vm, "sp_motionblur", GRAPH_CHILD_MODE_MOTION_BLUR, 3);
}
uint32_t cmd_sp_gaussianblur(VmContext& vm) {
  return blur(vm, "sp_gaussianblur", GRAPH_CHILD_MODE_GAUSSIAN_BLUR, 1);
}
uint32_t cmd_sp_alpha_copy(VmContext& vm) {
  return blur(vm, "sp_alpha_copy", GRAPH_CHILD_MODE_ALPHA_COPY, 1);
}

// layer, x, y, w, h, channel, source layer, src x, src y, source channel[, combine], slot
uint32_t channel_copy(VmContext& vm, const char* name, uint32_t mode, bool combine) {
  Request q{name, mode, 0};
  q.layer = pop(vm, q);
  const int32_t x = as_int(pop(vm, q)), y = as_int(pop(vm, q));
  const int32_t w = as_int(pop(vm, q)), h = as_int(pop(vm, q));
  const uint32_t channel = pop(vm, q);
  q.source = pop(vm, q);
  const int32_t sx = as_int(pop(vm, q)), sy = as_int(pop(vm, q));
  const uint32_t source_channel = pop(vm, q);
  const uint32_t how = combine ? pop(vm, q) : 0;
  q.slot = pop(vm, q);
  q.status_from_run = combine;
  return record_and_run(vm, q, [&](GraphChild& r) {
    r.dwSource = q.source;
    r.lX = x, r.lY = y, r.lSrcX = sx, r.lSrcY = sy, r.lWidth = w, r.lHeight = h;
    r.dwDstChannel = channel;
    r.dwSrcChannel = source_channel;
    if (combine) r.dwExMode = how;
    clear_name(r);
  });
}
uint32_t cmd_sp_channel_copy(VmContext& vm) {
  return channel_copy(vm, "sp_channel_copy", GRAPH_CHILD_MODE_CHANNEL_COPY, false);
}
uint32_t cmd_sp_channel_copy_ex(VmContext& vm) {
  return channel_copy(vm, "sp_channel_copy_ex", GRAPH_CHILD_MODE_CHANNEL_COPY_EX, true);
}

uint32_t delete_pixels(VmContext& vm, const char* name, uint32_t mode) {
  Request q{name, mode, 0};
  q.layer = pop(vm, q);
  const int32_t x = as_int(pop(vm, q)), y = as_int(pop(vm, q));
  const int32_t w = as_int(pop(vm, q)), h = as_int(pop(vm, q));
  q.slot = pop(vm, q);
  return record_and_run(vm, q, [&](GraphChild& r) {
    r.lX = x, r.lY = y, r.lWidth = w, r.lHeight = h;
    clear_name(r);
  });
}
uint32_t cmd_sp_delete_no_alpha(VmContext& vm) {
  return delete_pixels(vm, "sp_delete_no_alpha", GRAPH_CHILD_MODE_DELETE_NO_ALPHA);
}
uint32_t cmd_sp_delete_no_alpha255(VmContext& vm) {
  return delete_pixels(vm, "sp_delete_no_alpha255", GRAPH_CHILD_MODE_DELETE_NO_ALPHA255);
}

uint32_t cmd_sp_boxfill(VmContext& vm) {
  Request q{"sp_boxfill", GRAPH_CHILD_MODE_BOX_FILL, 0};
  q.layer = pop(vm, q);
  const int32_t x = as_int(pop(vm, q)), y = as_int(pop(vm, q));
  const int32_t w = as_int(pop(vm, q)), h = as_int(pop(vm, q));
  const uint32_t colour = pop(vm, q);
  q.slot = pop(vm, q);
  q.hex_value = 5;
  return record_and_run(vm, q, [&](GraphChild& r) {
    r.dwSource = q.layer;
    r.lX = x, r.lY = y, r.lWidth = w, r.lHeight = h;
    r.lSrcX = as_int(colour);
    clear_name(r);
  });
}

uint32_t cmd_sp_circle_fill(VmContext& vm) {
  Request q{"sp_circle_fill", GRAPH_CHILD_MODE_CIRCLE_FILL, 0};
  q.layer = pop(vm, q);
  const int32_t cx = as_int(pop(vm, q)), cy = as_int(pop(vm, q));
  const int32_t radius = as_int(pop(vm, q));
  const uint32_t colour = pop(vm, q);
  q.slot = pop(vm, q);
  q.hex_value = 4;
  return record_and_run(vm, q, [&](GraphChild& r) {
    r.dwSource = q.layer;
    r.lX = cx, r.lY = cy, r.lWidth = radius, r.lHeight = as_int(colour);
    clear_name(r);
  });
}

uint32_t cmd_sp_waveform_warp(VmContext& vm) {
  Request q{"sp_waveform_warp", GRAPH_CHILD_MODE_WAVEFORM_WARP, 0};
  q.layer = pop(vm, q);
  q.source = pop(vm, q);
  int32_t v[6];
  for (int32_t& value : v) value = as_int(pop(vm, q));
  q.slot = pop(vm, q);
  return record_and_run(vm, q, [&](GraphChild& r) {
    r.dwSource = q.source;
    r.lX = v[0], r.lY = v[1], r.lSrcX = v[2], r.lSrcY = v[3], r.lWidth = v[4], r.lHeight = v[5];
    clear_name(r);
  });
}

uint32_t cmd_sp_cleaning_alpha_rgb(VmContext& vm) {
  Request q{"sp_cleaning_alpha_rgb", GRAPH_CHILD_MODE_CLEANING_ALPHA, 0};
  q.layer = pop(vm, q);
  const int32_t threshold = as_int(pop(vm, q));
  q.slot = pop(vm, q);
  q.status_from_run = true;
  q.nothing_to_do = threshold < 1;
  return record_and_run(vm, q, [&](GraphChild& r) {
    r.dwSource = q.layer;
    r.lX = threshold;
    clear_name(r);
  });
}

// ---- stretch and render lists ----

uint32_t cmd_stretch_image(VmContext& vm) {
  const uint32_t to = vm_pop(vm);
  const uint32_t from = vm_pop(vm);
  const int32_t mode = as_int(vm_pop(vm));
  if (!layer_in_range(to) || !layer_in_range(from)) return 0;
  if (!layer_image(vm, to) || !layer_image(vm, from)) return 1;
  LayerSlot& slot = vm.layers[to];
  GraphChild r = graph_child_get(slot, 0);
  r.dwMode |= GRAPH_CHILD_MODE_STRETCH;
  r.dwSource = from;
  r.lX = as_int(to);
  r.lY = mode;
  r.lSrcX = r.lSrcY = r.lWidth = r.lHeight = 0;
  clear_name(r);
  slot.dwFlags |= kLayerChildren;
  graph_child_put(slot, 0, r);
  if (!skipping_scene(vm)) graph_child_run(vm, to, r, 0, false);
  return 1;
}

uint32_t cmd_sp_render_list_clear(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  if (!layer_in_range(layer)) return 0;
  LayerSlot& slot = vm.layers[layer];
  for (uint32_t k = 0; k < kGraphChildSlots; ++k) graph_child_put(slot, k, GraphChild{});
  orv.OrvTargetRenderListClear();
  return 1;
}

// Marks a render-list record in the slot (slot -1: nothing recorded).
void record_list_step(LayerSlot& slot, uint32_t k, uint32_t mode, uint32_t source) {
  if (k == kNone) return;
  GraphChild r = graph_child_get(slot, k);
  r.dwMode |= mode;
  r.dwSource = source;
  graph_child_put(slot, k, r);
  slot.dwFlags |= kLayerChildren;
}

uint32_t cmd_sp_render_list_add(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const uint32_t source = vm_pop(vm);
  const uint32_t k = vm_pop(vm);
  if (!layer_in_range(layer) || !layer_in_range(source)) return 0;
  if (k != kNone && !number_in_range(k, kGraphChildSlots)) return 0;
  if (!layer_sprite(vm, layer)) return 0;
  record_list_step(vm.layers[layer], k, GRAPH_CHILD_MODE_RENDER_LIST_ADD, source);
  const uint32_t sprite = layer_sprite(vm, source);
  if (!sprite) return 0;
  orv.OrvTargetRenderListAdd(sprite);
  return 1;
}

uint32_t cmd_sp_render_list_draw(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const uint32_t k = vm_pop(vm);
  if (!layer_in_range(layer)) return 0;
  if (k != kNone && !number_in_range(k, kGraphChildSlots)) return 0;
  LayerSlot& slot = vm.layers[layer];
  record_list_step(slot, k, GRAPH_CHILD_MODE_RENDER_LIST_RUN, layer);
  if (skipping_scene(vm)) return 1;
  if (!layer_image(vm, layer)) return 0;
  GraphChild r{};
  r.dwMode = GRAPH_CHILD_MODE_RENDER_LIST_RUN;
  r.dwSource = layer;
  return graph_child_run(vm, layer, r, k == kNone ? 0 : k, false);
}

uint32_t cmd_sp_create_ex(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const uint32_t file = vm_pop(vm);
  const int32_t x = as_int(vm_pop(vm));
  const int32_t y = as_int(vm_pop(vm));
  const int32_t w = as_int(vm_pop(vm));
  const int32_t h = as_int(vm_pop(vm));
  if (!layer_in_range(layer)) return 0;
  return layer_create_sprite(vm, layer, file, x, y, w, h, true);
}

constexpr engine::CommandEntry kEntries[] = {IMAGE_OP_COMMANDS(COMMAND_ENTRY)};

}  // namespace

const engine::CommandList image_op_commands = engine::command_list(kEntries);

}  // namespace layers
