#include "text/history/backlog_buttons.h"

#include <cstring>

#include "engine/operand.h"
#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "graphics/layers/graphic_dat.h"
#include "graphics/layers/image_record.h"
#include "graphics/layers/sprite_loader.h"
#include "text/window/text_window_ops.h"
#include "ui/buttons/buttons.h"

namespace backlog {
namespace {

using engine::ButtonEntry;
using engine::ButtonGroup;

// A label number as the code offset a button keeps (0 none, or a label outside Point.dat).
uint32_t label_offset(engine::VmContext& vm, uint32_t label) {
  uint32_t pc = 0;
  if (label == 0 || !engine::label_target(vm, label, &pc)) return 0;
  return pc - vm.runner.dwBase;
}

bool in_range(uint32_t group, uint32_t no) {
  return group < engine::kButtonGroups && no < engine::kButtonsPerGroup;
}

}  // namespace

void history_button_delete(engine::VmContext& vm, uint32_t group, uint32_t no) {
  if (!in_range(group, no)) return;
  ButtonGroup& g = vm.buttons.groups[group];
  ButtonEntry& e = g.entries[no];
  if (g.lpHovered == &e) {
    ui::btn_off_mouse_run(vm, e);
    g.lpHovered = nullptr;
    g.lpHoverImage = nullptr;
  }
  if (e.lpImage) {
    orv.OrvButtonDelete(g.hGroup, e.lpImage->hSprite);
    layers::image_release(vm, e.lpImage);
  }
  e = ButtonEntry{};
}

layers::ImageRecord* history_button_create(engine::VmContext& vm, uint32_t group, uint32_t no,
                                           const char* name, int32_t x, int32_t y,
                                           uint32_t click_label, uint32_t hover_label) {
  if (!in_range(group, no) || !vm.buttons.groups[group].bInit) return nullptr;
  history_button_delete(vm, group, no);
  char field[32];
  layers::graphic_name_field(name, field);
  layers::GraphicInfo info{};
  const bool found = layers::graphic_dat.find(field, &info);
  char load[33] = {};
  std::memcpy(load, found ? info.loadName : field, 32);
  int32_t priority =
      static_cast<int32_t>(vm.run.dwSpritePriorityBase) - static_cast<int32_t>(no) + 4866;
  if (found) priority += 134 * info.priorityStep;
  layers::ImageRecord* image =
      layers::image_alloc(layers::kBasePlane, group * engine::kButtonsPerGroup + no);
  if (!image) return nullptr;
  uint32_t w = 0, h = 0;
  engine::game_screen_size(&w, &h);
  const OrvHandle sprite = layers::sprite_load_by_name_unlocked(vm, load, static_cast<int32_t>(w),
                                                                static_cast<int32_t>(h), priority);
  if (!sprite) {
    layers::image_release_now(image);
    return nullptr;
  }
  image->hSprite = sprite;
  ButtonGroup& g = vm.buttons.groups[group];
  orv.OrvButtonEntryEx(g.hGroup, sprite, 1);
  image->base.pos = {x, y, 0};
  image->base.fPos = {static_cast<float>(x), static_cast<float>(y), 0.0f};
  orv.OrvSpriteSetPos(sprite, static_cast<float>(x), static_cast<float>(y), 0.0f);
  layers::image_apply_graphic_info(vm, *image, info, 0xFFFFFFFFu);
  textwindow::text_image_ani_start(vm, *image);
  orv.OrvSpriteViewCtrl(sprite, 1);
  ButtonEntry& e = g.entries[no];
  e.lpImage = image;
  e.dwClickLabel = label_offset(vm, click_label);
  e.dwHoverLabel = label_offset(vm, hover_label);
  e.dwLink = 0;
  return image;
}

}  // namespace backlog
