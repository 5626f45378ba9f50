// The button commands of group 0x08. Every handler checks the group (0-15) and the button
// number (0-127) first: btn_set, btn_set_ex, btn_blt, btn_link and the commands from
// btn_get_link to btn_get_toggle refuse with handler result 0, the others log and go on.
#include <cstring>
#include <string>

#include "engine/operand.h"
#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/animations/anim_player.h"
#include "graphics/layers/display_ops.h"
#include "graphics/layers/graphic_dat.h"
#include "graphics/layers/image_record.h"
#include "graphics/layers/sprite_loader.h"
#include "text/sound/sound_load.h"
#include "ui/buttons/button_command_list.h"
#include "ui/buttons/buttons.h"

namespace ui {
namespace {

using engine::ButtonEntry;
using engine::ButtonGroup;
using engine::kLogHistory;
using engine::kLogMain;
using engine::vm_log;
using engine::vm_pop;
using engine::vm_set_result;
using engine::VmContext;
using layers::ImageRecord;

constexpr uint32_t kLeftButton = 0x800000;
constexpr uint32_t kNoFile = 0x0FFFFFFF;

int32_t as_int(uint32_t v) {
  return static_cast<int32_t>(v);
}

bool group_ok(uint32_t group) {
  return group < engine::kButtonGroups;
}
bool number_ok(uint32_t no) {
  return no < engine::kButtonsPerGroup;
}

// The refusal of the strict commands: handler result 0.
bool strict_ok(uint32_t group, uint32_t no) {
  if (!group_ok(group)) {
    vm_log(kLogMain, "btn group over error : %d", as_int(group));
    return false;
  }
  if (!number_ok(no)) {
    vm_log(kLogMain, "btn count over error : %d", as_int(no));
    return false;
  }
  return true;
}

// The refusal of the others: a log line naming the command; the handler goes on with result 1.
bool soft_ok(const char* name, uint32_t group, uint32_t no) {
  if (!group_ok(group)) {
    vm_log(kLogMain, "%s  %d, %d over ID", name, as_int(group), as_int(no));
    return false;
  }
  if (!number_ok(no)) {
    vm_log(kLogMain, "%s  %d, %d over NO", name, as_int(group), as_int(no));
    return false;
  }
  return true;
}

ButtonGroup& group_of(VmContext& vm, uint32_t group) {
  return vm.buttons.groups[group];
}
ButtonEntry& entry_of(VmContext& vm, uint32_t group, uint32_t no) {
  return vm.buttons.groups[group].entries[no];
}
ImageRecord* image_of(VmContext& vm, uint32_t group, uint32_t no) {
  return entry_of(vm, group, no).lpImage;
}
OrvHandle sprite_of(VmContext& vm, uint32_t group, uint32_t no) {
  const ImageRecord* image = image_of(vm, group, no);
  return image ? image->hSprite : 0;
}

// A label number as a code offset; 0 for label 0 or a label outside Point.dat.
uint32_t label_offset(VmContext& vm, uint32_t label) {
  if (label == 0) return 0;
  uint32_t pc = 0;
  if (!engine::label_target(vm, label, &pc)) return 0;
  return pc - vm.runner.dwBase;
}

void store_temp(VmContext& vm, uint32_t index, uint32_t value) {
  if (index < engine::kTempMemoryCells) vm.tempMem[index] = value;
}

struct Screen {
  int32_t w, h;
};
Screen screen() {
  uint32_t w, h;
  engine::game_screen_size(&w, &h);
  return {as_int(w), as_int(h)};
}

// Removes the button at a place: its platform entry and its image.
void remove_button(VmContext& vm, uint32_t group, uint32_t no) {
  ButtonEntry& e = entry_of(vm, group, no);
  if (!e.lpImage) return;
  orv.OrvButtonDelete(group_of(vm, group).hGroup, e.lpImage->hSprite);
  layers::image_release(vm, e.lpImage);
  e.lpImage = nullptr;
}

void set_labels(VmContext& vm, ButtonEntry& e, uint32_t click, uint32_t hover, uint32_t leave) {
  e.dwClickLabel = label_offset(vm, click);
  e.dwHoverLabel = label_offset(vm, hover);
  e.dwLeaveLabel = label_offset(vm, leave);
  e.dwLink = 0;
}

// btn_set and btn_set_ex: loads the image and enters the button. Null when the image does not
// load (the record is released again).
ImageRecord* make_file_button(VmContext& vm, uint32_t group, uint32_t no, uint32_t file,
                              uint32_t flags, char (&name)[33]) {
  remove_button(vm, group, no);
  engine::get_file_name_operand(vm, reinterpret_cast<uint8_t*>(name), sizeof name, file, 1);
  name[32] = 0;
  char field[32];
  layers::graphic_name_field(name, field);
  layers::GraphicInfo info{};
  const bool found = layers::graphic_dat.find(field, &info);
  char load[33] = {};
  std::memcpy(load, found ? info.loadName : name, 32);
  int32_t priority = as_int(vm.run.dwSpritePriorityBase) - as_int(no) + 4866;
  if (found) priority += 134 * info.priorityStep;
  ImageRecord* image =
      layers::image_alloc(layers::kBasePlane, group * engine::kButtonsPerGroup + no);
  if (!image) return nullptr;
  const Screen sc = screen();
  const OrvHandle sprite = layers::sprite_load_by_name_unlocked(vm, load, sc.w, sc.h, priority);
  if (!sprite) {
    layers::image_release_now(image);
    return nullptr;
  }
  image->hSprite = sprite;
  orv.OrvButtonEntryEx(group_of(vm, group).hGroup, sprite, flags);
  layers::image_keep_file(*image, file, load, name);
  OrvSpriteInfo si{};
  orv.OrvSpriteGetInfo(sprite, &si);
  const int32_t gx = (info.flags & layers::kGraphicPosition) ? info.x : 0;
  const int32_t gy = (info.flags & layers::kGraphicPosition) ? info.y : 0;
  image->base.pos = {static_cast<int32_t>(si.x) + gx, static_cast<int32_t>(si.y) + gy, 0};
  image->base.fPos = {si.x + static_cast<float>(gx), si.y + static_cast<float>(gy), 0.0f};
  image->base.rot = {static_cast<int32_t>(si.rotation_x), static_cast<int32_t>(si.rotation_y),
                     static_cast<int32_t>(si.rotation_z)};
  image->base.fRot = {si.rotation_x, si.rotation_y, si.rotation_z};
  if (info.flags & layers::kGraphicScale) {
    const float s = static_cast<float>(info.scalePercent) / 100.0f;
    image->base.scale = {s, s};
  } else {
    image->base.scale = {si.scale_x, si.scale_y};
  }
  image->base.dwColor = (info.flags & layers::kGraphicColor) ? info.color : si.color;
  layers::image_apply_graphic_info(vm, *image, info, 0xFFFFFFFFu);
  return image;
}

uint32_t cmd_btn_init(VmContext& vm) {
  const uint32_t group = vm_pop(vm);
  const uint32_t hover = vm_pop(vm);
  const uint32_t click = vm_pop(vm);
  if (!group_ok(group)) {
    vm_log(kLogMain, "btn_init  %d over ID", as_int(group));
    return 1;
  }
  ButtonGroup& g = group_of(vm, group);
  if (g.bInit) {
    // "already initialised"
    vm_log(kLogMain,
           "btn_init[%d] : \x8A\xF9\x82\xC9\x8F\x89\x8A\xFA\x89\xBB\x82\xB3\x82\xEA\x82"
           "\xC4\x82\xA2\x82\xDC\x82\xB7\x81\x42",
           as_int(group));
    return 1;
  }
  OrvSoundHandle sounds[2] = {0, 0};
  const uint32_t files[2] = {hover, click};
  for (int i = 0; i < 2; ++i) {
    if (files[i] == kNoFile) continue;
    (i == 0 ? g.dwHoverSound : g.dwClickSound) = files[i];
    const std::string name = engine::sound_file_name(vm, files[i], nullptr);
    if (!name.empty()) sounds[i] = engine::sound_load(vm, name, 5, nullptr);
  }
  g.hGroup = orv.OrvButtonCreateEx(sounds[0], sounds[1]);
  g.bInit = 1;
  g.bLocked = 0;
  for (int32_t& s : g.nStyle) s = -1;
  vm_log(kLogHistory, "btn_init %d, %d, %d", as_int(group), as_int(hover), as_int(click));
  return 1;
}

uint32_t cmd_btn_uninit(VmContext& vm) {
  const uint32_t group = vm_pop(vm);
  if (!group_ok(group)) {
    vm_log(kLogMain, "btn_uninit  %d over ID", as_int(group));
    return 1;
  }
  ButtonGroup& g = group_of(vm, group);
  if (!g.bInit) return 1;
  for (ButtonEntry& e : g.entries) {
    if (e.lpImage) layers::image_release(vm, e.lpImage);
    e = ButtonEntry{};
  }
  orv.OrvButtonRelease(g.hGroup);
  g.lpHovered = nullptr;
  g.lpHoverImage = nullptr;
  g.hGroup = 0;
  g.bInit = 0;
  vm_log(kLogHistory, "btn_uninit  %d", as_int(group));
  return 1;
}

uint32_t cmd_btn_set(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm), file = vm_pop(vm);
  const uint32_t click = vm_pop(vm), hover = vm_pop(vm), leave = vm_pop(vm), flags = vm_pop(vm);
  if (!strict_ok(group, no)) return 0;
  char name[33] = {};
  ImageRecord* image = make_file_button(vm, group, no, file, flags, name);
  if (!image) return 0;
  ButtonEntry& e = entry_of(vm, group, no);
  e.lpImage = image;
  set_labels(vm, e, click, hover, leave);
  layers::image_apply_transform(vm, *image);
  layers::display_op_queue(vm, 0x80003, group, no);
  vm_log(kLogHistory, "btn_set  %d, %d, %s, %d, %d, %d, %d", as_int(group), as_int(no), name,
         as_int(click), as_int(hover), as_int(leave), as_int(flags));
  return 1;
}

uint32_t cmd_btn_set_ex(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm), file = vm_pop(vm);
  const uint32_t click = vm_pop(vm), hover = vm_pop(vm), leave = vm_pop(vm), flags = vm_pop(vm);
  const int32_t x = as_int(vm_pop(vm)), y = as_int(vm_pop(vm));
  const int32_t v1 = as_int(vm_pop(vm)), v2 = as_int(vm_pop(vm));
  const int32_t cw = as_int(vm_pop(vm)), ch = as_int(vm_pop(vm));
  if (!strict_ok(group, no)) return 0;
  char name[33] = {};
  ImageRecord* image = make_file_button(vm, group, no, file, flags, name);
  if (!image) return 0;
  OrvSpriteInfo si{};
  orv.OrvSpriteGetInfo(image->hSprite, &si);
  si.x = static_cast<float>(x);
  si.y = static_cast<float>(y);
  si.cell_width = cw;
  si.cell_height = ch;
  orv.OrvSpriteSetInfo(image->hSprite, &si);
  image->base.pos = {x, y, 0};
  image->base.fPos = {static_cast<float>(x), static_cast<float>(y), 0.0f};
  ButtonEntry& e = entry_of(vm, group, no);
  e.lpImage = image;
  set_labels(vm, e, click, hover, leave);
  layers::image_apply_transform(vm, *image);
  btn_ctrl_set_pos(vm, as_int(group), as_int(no), 1, 0);
  layers::display_op_queue(vm, 0x80003, group, no);
  vm_log(kLogHistory, "btn_set_ex  %d, %d, %s, %d, %d, %d, %d, %d, %d, %d, %d", as_int(group),
         as_int(no), name, as_int(click), as_int(hover), as_int(leave), as_int(flags), x, y, v1,
         v2);
  return 1;
}

uint32_t cmd_btn_blt(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm), layer = vm_pop(vm);
  const uint32_t click = vm_pop(vm), hover = vm_pop(vm), leave = vm_pop(vm), flags = vm_pop(vm);
  vm_pop(vm);
  vm_pop(vm);
  const int32_t width = as_int(vm_pop(vm)), height = as_int(vm_pop(vm));
  if (!strict_ok(group, no)) return 0;
  remove_button(vm, group, no);
  const ImageRecord* source = layer < 128 ? vm.layers[layer].lpImage : nullptr;
  if (!source || !source->hSprite) {
    vm_log(kLogMain, "btn_blt  %d, %d, %d: no layer image", as_int(group), as_int(no),
           as_int(layer));
    return 1;
  }
  OrvSpriteInfo li{};
  orv.OrvSpriteGetInfo(source->hSprite, &li);
  ImageRecord* image =
      layers::image_alloc(layers::kBasePlane, group * engine::kButtonsPerGroup + no);
  if (!image) return 0;
  const OrvHandle sprite =
      orv.OrvSpriteCreate(orv.OrvRenderGetActive(), li.width, li.height,
                          as_int(vm.run.dwSpritePriorityBase) - as_int(no) + 4866);
  if (!sprite) {
    layers::image_release_now(image);
    return 0;
  }
  orv.OrvCopySpriteToSpriteRGB(sprite, 0, 0, source->hSprite, 0, 0, li.width, li.height);
  const OrvRect rect{0, 0, width, height};
  orv.OrvSpriteSetRect(sprite, &rect);
  orv.OrvSpriteSetOffsetRect(sprite, width, height);
  orv.OrvSpriteViewCtrl(sprite, 0);
  image->hSprite = sprite;
  orv.OrvButtonEntryEx(group_of(vm, group).hGroup, sprite, flags);
  // The layer picture's transform, taken from its record (its sprite gets it only at the end
  // of the frame); the colour's alpha stays the new record's own.
  image->base = source->base;
  image->base.dwColor = 0xFF000000u | (source->base.dwColor & 0x00FFFFFFu);
  ButtonEntry& e = entry_of(vm, group, no);
  e.lpImage = image;
  set_labels(vm, e, click, hover, leave);
  layers::image_apply_transform(vm, *image);
  orv.OrvSpriteViewCtrl(sprite, 1);
  vm_log(kLogHistory, "btn_blt  %d, %d, %d, %d, %d, %d, %d", as_int(group), as_int(no),
         as_int(layer), as_int(click), as_int(hover), as_int(leave), as_int(flags));
  return 1;
}

uint32_t queue_view(VmContext& vm, const char* name, uint32_t id, uint32_t show) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm);
  if (!soft_ok(name, group, no)) return 1;
  if (!image_of(vm, group, no)) return 1;
  engine::DisplayOp op{};
  op.dwId = id;
  op.args[0] = group;
  op.args[1] = no;
  op.args[2] = show;
  engine::display_op_push(vm, op);
  vm_log(kLogHistory, "%s  %d, %d", name, as_int(group), as_int(no));
  return 1;
}
uint32_t cmd_btn_hide(VmContext& vm) {
  return queue_view(vm, "btn_hide", 0x80004, 0);
}
uint32_t cmd_btn_show(VmContext& vm) {
  return queue_view(vm, "btn_show", 0x80005, 1);
}

uint32_t cmd_btn_set_pos(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm);
  const int32_t x = as_int(vm_pop(vm)), y = as_int(vm_pop(vm));
  if (!soft_ok("btn_set_pos", group, no)) return 1;
  if (ImageRecord* image = image_of(vm, group, no)) {
    image->base.pos.x = x;
    image->base.pos.y = y;
    image->base.fPos.x = static_cast<float>(x);
    image->base.fPos.y = static_cast<float>(y);
  }
  vm_log(kLogHistory, "btn_set_pos  %d, %d, %d, %d", as_int(group), as_int(no), x, y);
  return 1;
}

uint32_t cmd_btn_set_rect(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm);
  const int32_t w = as_int(vm_pop(vm)), h = as_int(vm_pop(vm));
  const int32_t ox = as_int(vm_pop(vm)), oy = as_int(vm_pop(vm));
  if (!soft_ok("btn_set_rect", group, no)) return 1;
  const OrvHandle s = sprite_of(vm, group, no);
  if (!s) {
    vm_log(kLogMain, "NG btn_set_rect %d, %d, %d, %d, %d, %d", as_int(group), as_int(no), w, h, ox,
           oy);
    return 1;
  }
  const OrvRect rect{0, 0, w, h};
  orv.OrvSpriteSetRect(s, &rect);
  orv.OrvSpriteSetOffsetRect(s, ox, oy);
  return 1;
}

void release_one(VmContext& vm, ButtonGroup& g, uint32_t group, uint32_t no) {
  ButtonEntry& e = g.entries[no];
  if (e.lpImage) {
    orv.OrvButtonDelete(g.hGroup, e.lpImage->hSprite);
    layers::image_release(vm, e.lpImage);
    e.lpImage = nullptr;
    e.dwLink = 0;
  }
  if (g.lpHovered == &e) {
    g.nLastOff = as_int(no);
    btn_off_mouse_run(vm, e);
    g.lpHovered = nullptr;
    g.lpHoverImage = nullptr;
  }
  e = ButtonEntry{};
  (void)group;
}

uint32_t cmd_btn_release(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm);
  if (!group_ok(group)) {
    vm_log(kLogMain, "btn group over error : %d", as_int(group));
    return 0;
  }
  ButtonGroup& g = group_of(vm, group);
  if (as_int(no) == -1) {
    for (uint32_t i = 0; i < engine::kButtonsPerGroup; ++i) release_one(vm, g, group, i);
  } else if (number_ok(no)) {
    release_one(vm, g, group, no);
  }
  vm_log(kLogHistory, "btn_release  %d, %d", as_int(group), as_int(no));
  return 1;
}

// The knob offset of a slider at the mouse, clamped to 0..range.
uint32_t cmd_btn_slide_get(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm);
  const int32_t range = as_int(vm_pop(vm)), axis = as_int(vm_pop(vm)), step = as_int(vm_pop(vm));
  if (!soft_ok("btn_slide_get", group, no)) return 1;
  ImageRecord* image = image_of(vm, group, no);
  if (!image || (axis != 0 && axis != 1)) return 1;
  OrvSpriteInfo si{};
  orv.OrvSpriteGetInfo(image->hSprite, &si);
  const bool x_axis = axis == 0;
  const int32_t mouse = x_axis ? orv.OrvInputGetMouseX() : orv.OrvInputGetMouseY();
  int32_t& offset = x_axis ? image->base.posOfs.x : image->base.posOfs.y;
  float& foffset = x_axis ? image->base.fPosOfs.x : image->base.fPosOfs.y;
  if (mouse == -1) {
    vm_set_result(vm, static_cast<uint32_t>(offset));
    return 1;
  }
  const int32_t cell = x_axis ? si.cell_width : si.cell_height;
  const int32_t base = x_axis ? image->base.pos.x : image->base.pos.y;
  int32_t value = mouse - cell / 2 - base;
  if (value > range) value = range;
  if (value < 0) value = 0;
  offset = value;
  foffset = static_cast<float>(value);
  vm_set_result(vm, static_cast<uint32_t>(value));
  if (!x_axis && step != 0) {
    const int32_t full = range > 100 ? range : 100;
    if (value != full) {
      offset += value % (full / 100);
      foffset = static_cast<float>(offset);
    }
  }
  return 1;
}

uint32_t cmd_btn_slide_set(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm);
  const int32_t range = as_int(vm_pop(vm)), axis = as_int(vm_pop(vm));
  const int32_t percent = as_int(vm_pop(vm));
  if (!soft_ok("btn_slide_set", group, no)) return 1;
  ImageRecord* image = image_of(vm, group, no);
  if (!image) return 1;
  const int64_t value = int64_t{percent} * range / 100;
  const float fvalue = static_cast<float>(percent) * static_cast<float>(range) / 100.0f;
  if (axis == 0) {
    image->base.posOfs.x = static_cast<int32_t>(value);
    image->base.fPosOfs.x = fvalue;
  } else {
    image->base.posOfs.y = static_cast<int32_t>(value);
    image->base.fPosOfs.y = fvalue;
  }
  return 1;
}

uint32_t cmd_btn_slide_begin(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm);
  if (!soft_ok("btn_slide_begin", group, no)) return 1;
  const bool held = engine::orv_input_key_on() & kLeftButton;
  const bool released = engine::orv_input_key_pull() & kLeftButton;
  group_of(vm, group).bSlideEnded = (!held || released) ? 1 : 0;
  return 1;
}

uint32_t cmd_btn_slide_end(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm);
  if (!soft_ok("btn_slide_end", group, no)) return 1;
  ButtonGroup& g = group_of(vm, group);
  if (!(engine::orv_input_key_pull() & kLeftButton) && !g.bSlideEnded) {
    vm_set_result(vm, 0);
    vm.runner.bYield = 1;
    return 1;
  }
  g.bSlideEnded = 1;
  vm_set_result(vm, 0xFFFFFFFFu);
  return 1;
}

uint32_t cmd_btn_set_toggle(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm), value = vm_pop(vm);
  if (!soft_ok("btn_set_toggle", group, no)) return 1;
  if (!image_of(vm, group, no)) return 1;
  group_of(vm, group).dwToggle = value;
  engine::DisplayOp op{};
  op.dwId = 0x8000d;
  op.args[0] = group;
  op.args[1] = no;
  op.args[2] = value;
  engine::display_op_push(vm, op);
  return 1;
}

// A TempMemory index given to a getter: -1 stores nothing; anything else outside the memory
// is refused with a log line.
bool var_ok(const char* name, uint32_t var) {
  if (as_int(var) == -1) return false;
  if (var < engine::kTempMemoryCells) return true;
  vm_log(kLogMain, "%s : var %d outside 0-%d", name, as_int(var),
         as_int(engine::kTempMemoryCells - 1));
  return false;
}

int32_t summed(const ImageRecord& r, int32_t layers::Vec3i::*axis) {
  return r.base.pos.*axis + r.base.posOfs.*axis + r.frame.actionPos.*axis + r.frame.animPos.*axis +
         r.actionSet.pos.*axis + r.animSet.pos.*axis;
}

uint32_t cmd_btn_get_pos(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm), xv = vm_pop(vm), yv = vm_pop(vm);
  if (!soft_ok("btn_get_pos", group, no)) return 1;
  const ImageRecord* image = image_of(vm, group, no);
  if (!image) return 1;
  if (var_ok("btn_get_pos", xv)) {
    store_temp(vm, xv, static_cast<uint32_t>(summed(*image, &layers::Vec3i::x)));
  }
  if (var_ok("btn_get_pos", yv)) {
    store_temp(vm, yv, static_cast<uint32_t>(summed(*image, &layers::Vec3i::y)));
  }
  return 1;
}

void enable_one(VmContext& vm, ButtonGroup& g, uint32_t no, uint32_t on) {
  ButtonEntry& e = g.entries[no];
  if (!e.lpImage) return;
  orv.OrvButtonCtrl(g.hGroup, e.lpImage->hSprite, as_int(on));
  if (on) {
    e.dwFlags &= ~engine::kButtonDisabled;
  } else {
    e.dwFlags |= engine::kButtonDisabled;
  }
  (void)vm;
}

uint32_t cmd_btn_enable(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm), on = vm_pop(vm);
  const bool all = as_int(no) == -1;
  if (!group_ok(group) || (!all && !number_ok(no))) {
    vm_log(kLogMain, "btn_enable  %d, %d, %d %s", as_int(group), as_int(no), as_int(on),
           group_ok(group) ? "over NO" : "over ID");
    return 1;
  }
  ButtonGroup& g = group_of(vm, group);
  if (all) {
    for (uint32_t i = 0; i < engine::kButtonsPerGroup; ++i) enable_one(vm, g, i, on);
  } else {
    enable_one(vm, g, no, on);
  }
  vm_log(kLogHistory, "btn_enable  %d, %d, %d", as_int(group), as_int(no), as_int(on));
  return 1;
}

uint32_t cmd_btn_set_alpha(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm), alpha = vm_pop(vm);
  if (!soft_ok("btn_set_alpha", group, no)) return 1;
  if (ImageRecord* image = image_of(vm, group, no)) {
    image->base.dwColor = (image->base.dwColor & 0x00FFFFFFu) | ((alpha & 0xFF) << 24);
    image->base.colorOfs.a = 0;
  }
  return 1;
}

uint32_t cmd_btn_get_alpha(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm);
  if (!strict_ok(group, no)) return 0;
  const ImageRecord* image = image_of(vm, group, no);
  vm_set_result(vm, image ? image->base.dwColor >> 24 : 0xFFFFFFFFu);
  return 1;
}

// The three "last" getters: -1 for a bad group.
uint32_t last_number(VmContext& vm, const char* name, int32_t ButtonGroup::*field) {
  const uint32_t group = vm_pop(vm);
  if (!group_ok(group)) {
    vm_log(kLogMain, "%s %d", name, as_int(group));
    vm_set_result(vm, 0xFFFFFFFFu);
    return 1;
  }
  vm_set_result(vm, static_cast<uint32_t>(group_of(vm, group).*field));
  return 1;
}
uint32_t cmd_btn_get_push(VmContext& vm) {
  return last_number(vm, "btn_get_push", &ButtonGroup::nLastPush);
}
uint32_t cmd_btn_get_onmouse(VmContext& vm) {
  return last_number(vm, "btn_get_onmouse", &ButtonGroup::nLastOn);
}
uint32_t cmd_btn_get_offmouse(VmContext& vm) {
  return last_number(vm, "btn_get_offmouse", &ButtonGroup::nLastOff);
}

uint32_t cmd_btn_expansion(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm), style = vm_pop(vm);
  if (!group_ok(group)) {
    vm_log(kLogMain, "error : btn_expansion %d %d over ID", as_int(group), as_int(no));
    return 1;
  }
  ButtonGroup& g = group_of(vm, group);
  // A style whose button must exist (numbers of 0 and above): its sprite moves to priority.
  auto needs_button = [&](const char* error, int32_t priority) {
    if (as_int(no) < 0) return true;
    const OrvHandle s = number_ok(no) ? sprite_of(vm, group, no) : 0;
    if (!s) {
      vm_log(kLogMain, "%s", error);
      return false;
    }
    if (priority) orv.OrvSpriteChangePriority(s, priority);
    return true;
  };
  switch (style) {
    case 1:
      g.nStyle[engine::kStyleSkip] = as_int(no);
      break;
    case 2:
      g.nStyle[engine::kStyleTwo] = as_int(no);
      break;
    case 3:
      g.nStyle[engine::kStyleAuto] = as_int(no);
      break;
    case 4:
      if (needs_button("error : btn_expansion BTN_STYLE_NAME", 4870)) {
        g.nStyle[engine::kStyleName] = as_int(no);
      }
      break;
    case 8:
    case 9:
      if (needs_button(style == 8 ? "error : btn_expansion BTN_STYLE_REC"
                                  : "error : btn_expansion BTN_STYLE_REC2",
                       style == 8 ? 4870 : 0)) {
        g.nStyle[engine::kStyleRecord] = as_int(no);
      }
      break;
    case 10:
      if (needs_button("error : btn_expansion BTN_STYLE_VOICE2", 4869)) {
        g.nStyle[engine::kStyleVoice2] = as_int(no);
      }
      break;
    default:
      vm_log(kLogMain, "error : btn_expansion");
      return 0;
  }
  return 1;
}

uint32_t cmd_btn_lock(VmContext& vm) {
  const uint32_t group = vm_pop(vm), ms = vm_pop(vm);
  if (!group_ok(group)) {
    vm_log(kLogMain, "btn_lock  %d over ID", as_int(group));
    return 1;
  }
  ButtonGroup& g = group_of(vm, group);
  g.bLocked = 1;
  g.dwLockLength = ms ? ms : 0xFFFFFFFFu;
  g.dwLockStart = ms ? orv.OrvtimeGetTime() : 0;
  vm_log(kLogHistory, "btn_lock  %d, %d", as_int(group), as_int(ms));
  return 1;
}

uint32_t cmd_btn_unlock(VmContext& vm) {
  const uint32_t group = vm_pop(vm);
  if (!group_ok(group)) {
    vm_log(kLogMain, "btn_unlock  %d over ID", as_int(group));
    return 1;
  }
  ButtonGroup& g = group_of(vm, group);
  g.bLocked = g.dwLockLength = g.dwLockStart = 0;
  vm_log(kLogHistory, "btn_unlock  %d", as_int(group));
  return 1;
}

uint32_t cmd_btn_is_lock(VmContext& vm) {
  const uint32_t group = vm_pop(vm);
  vm_set_result(vm, group_ok(group) ? group_of(vm, group).bLocked : 0xFFFFFFFFu);
  return 1;
}

uint32_t cmd_btn_set_hit(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm);
  if (!soft_ok("btn_set_hit", group, no)) return 1;
  if (const OrvHandle s = sprite_of(vm, group, no)) {
    orv.OrvButtonSetReaction(group_of(vm, group).hGroup, s);
  }
  vm_log(kLogHistory, "btn_set_hit  %d, %d", as_int(group), as_int(no));
  return 1;
}

uint32_t cmd_btn_onmouse_clear(VmContext& vm) {
  const uint32_t group = vm_pop(vm);
  if (!group_ok(group)) {
    vm_log(kLogMain, "btn_onmouse_clear  %d over ID", as_int(group));
    return 1;
  }
  ButtonGroup& g = group_of(vm, group);
  if (g.lpHovered) {
    g.nLastOff = as_int(static_cast<uint32_t>(g.lpHovered - g.entries));
    btn_off_mouse_run(vm, *g.lpHovered);
  }
  g.lpHovered = nullptr;
  g.lpHoverImage = nullptr;
  return 1;
}

uint32_t cmd_btn_link(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm), other = vm_pop(vm);
  if (!strict_ok(group, no)) return 0;
  if (!number_ok(other)) {
    vm_log(kLogMain, "btn count over error : %d", as_int(other));
    return 0;
  }
  entry_of(vm, group, no).dwLink = other;
  entry_of(vm, group, other).dwLink = no;
  return 1;
}

uint32_t cmd_btn_set_state(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm), on = vm_pop(vm), frame = vm_pop(vm);
  if (!soft_ok("btn_set_state", group, no)) return 1;
  btn_ctrl_set_pos(vm, as_int(group), as_int(no), as_int(on), as_int(frame));
  return 1;
}

uint32_t cmd_btn_get_link(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm);
  if (!strict_ok(group, no)) return 0;
  vm_set_result(vm, entry_of(vm, group, no).dwLink);
  return 1;
}

uint32_t cmd_btn_set_tips(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm), value = vm_pop(vm);
  if (!strict_ok(group, no)) return 0;
  entry_of(vm, group, no).dwTips = value;
  return 1;
}

uint32_t cmd_btn_get_tips(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm);
  if (!strict_ok(group, no)) return 0;
  vm_set_result(vm, entry_of(vm, group, no).dwTips);
  return 1;
}

// ---- The .ani animation of a button's image: its slot is the image's dwAnimeNo ----

uint32_t cmd_btn_set_anim(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm), file = vm_pop(vm), later = vm_pop(vm);
  if (!soft_ok("btn_set_anim", group, no)) return 1;
  char name[33] = {};
  engine::get_file_name_operand(vm, reinterpret_cast<uint8_t*>(name), sizeof name, file, 1);
  name[32] = 0;
  vm_log(kLogHistory, "btn_set_anim %d, %d, %s, %d", as_int(group), as_int(no), name,
         as_int(later));
  ImageRecord* image = image_of(vm, group, no);
  if (!image) return 1;
  animations::AdvAnimUnload(vm, image->dwAnimeNo);
  if (!animations::anim_load(vm, name, image)) return 1;
  if (later) {
    layers::display_op_queue_anim_start(vm, image->dwAnimeNo);
  } else {
    animations::AdvAnimStart(vm, image->dwAnimeNo);
  }
  return 1;
}

uint32_t cmd_btn_anim_clear(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm);
  if (!soft_ok("btn_anim_clear", group, no)) return 1;
  if (ImageRecord* image = image_of(vm, group, no)) {
    animations::AdvAnimUnload(vm, image->dwAnimeNo);
  }
  vm_log(kLogHistory, "btn_anim_clear  %d, %d", as_int(group), as_int(no));
  return 1;
}

// A button without an image has no slot: the queries give 0 and finishing does nothing.
uint32_t anim_slot_of(VmContext& vm, uint32_t group, uint32_t no) {
  const ImageRecord* image = image_of(vm, group, no);
  return image ? image->dwAnimeNo : 0;
}

uint32_t cmd_btn_anime_is(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm);
  if (!strict_ok(group, no)) return 0;
  vm_set_result(vm, animations::IsAnim(anim_slot_of(vm, group, no)));
  return 1;
}

uint32_t cmd_btn_anime_get_status(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm);
  if (!strict_ok(group, no)) return 0;
  vm_set_result(vm, animations::AdvAnimGetStatus(anim_slot_of(vm, group, no)));
  return 1;
}

// Ends the animation with its end state dropped: the button returns to its look without it.
uint32_t cmd_btn_anime_finish(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm);
  if (!strict_ok(group, no)) return 0;
  animations::AdvAnimFinish(anim_slot_of(vm, group, no));
  vm_log(kLogHistory, "btn_anime_finish  %d, %d", as_int(group), as_int(no));
  return 1;
}

uint32_t cmd_btn_mode(VmContext& vm) {
  const uint32_t on = vm_pop(vm);
  vm.buttons.bKeyRelease = on != 0;
  orv.OrvButtonMode(on != 0);
  vm_log(kLogHistory, "btn_mode %d", as_int(on));
  return 1;
}

uint32_t cmd_btn_on_check(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm);
  if (!strict_ok(group, no)) return 0;
  uint32_t result = 0;
  if (image_of(vm, group, no)) {
    OrvButtonReaction out{};
    result = orv.OrvButtonGetReaction(group_of(vm, group).hGroup, &out) ? 1 : 0;
  }
  vm_set_result(vm, result);
  return 1;
}

uint32_t cmd_btn_get_toggle(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm);
  if (!strict_ok(group, no)) return 0;
  vm_set_result(vm, image_of(vm, group, no) ? group_of(vm, group).dwToggle : 0);
  return 1;
}

// Six words from a first TempMemory index. Any first index outside 0-120 is refused: a negative
// one would write below the memory.
uint32_t cmd_btn_get_info(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm), first = vm_pop(vm);
  if (!soft_ok("btn_get_info", group, no)) return 1;
  const ImageRecord* image = image_of(vm, group, no);
  if (as_int(first) < 0 || as_int(first) > 120 || !image) {
    vm_set_result(vm, 0);
    return 1;
  }
  OrvSpriteInfo si{};
  orv.OrvSpriteGetInfo(image->hSprite, &si);
  const int32_t words[6] = {image->base.pos.x, image->base.pos.y, si.cell_width,
                            si.cell_height,    si.width,          si.height};
  for (uint32_t i = 0; i < 6; ++i) store_temp(vm, first + i, static_cast<uint32_t>(words[i]));
  vm_set_result(vm, 1);
  return 1;
}

uint32_t cmd_btn_set_invalid_time(VmContext& vm) {
  const uint32_t ms = vm_pop(vm);
  button_pause(vm, ms);
  vm_log(kLogHistory, "btn_set_invalid_time %d", as_int(ms));
  return 1;
}

uint32_t cmd_btn_run_skip(VmContext& vm) {
  vm.buttons.bRunSkip = vm_pop(vm);
  return 1;
}

uint32_t cmd_btn_set_child(VmContext& vm) {
  const uint32_t group = vm_pop(vm), parent = vm_pop(vm), child = vm_pop(vm);
  const int32_t x = as_int(vm_pop(vm)), y = as_int(vm_pop(vm));
  if (!group_ok(group) || !number_ok(child) || (!number_ok(parent) && as_int(parent) != -1)) {
    vm_log(kLogMain, "btn_set_child  ArgumentOutOfRange Error: grp=%d parent=%d child=%d",
           as_int(group), as_int(parent), as_int(child));
    return 1;
  }
  engine::ButtonFollow& f = button_follow_table[group * engine::kButtonsPerGroup + child];
  if (as_int(parent) == -1) {
    f = engine::ButtonFollow{};
    return 1;
  }
  ImageRecord* image = image_of(vm, group, child);
  f = engine::ButtonFollow{image, layers::make_plane_image_no(group, parent)};
  if (image) {
    image->base.posOfs.x = x;
    image->base.posOfs.y = y;
    image->base.fPosOfs.x = static_cast<float>(x);
    image->base.fPosOfs.y = static_cast<float>(y);
  }
  return 1;
}

uint32_t cmd_btn_is_processing(VmContext& vm) {
  const uint32_t group = vm_pop(vm);
  if (as_int(group) == -1) {
    uint32_t any = 0;
    for (const ButtonGroup& g : vm.buttons.groups) {
      if (g.bInit && orv.OrvButtonIsProcessing(g.hGroup)) any = 1;
    }
    vm_set_result(vm, any);
    return 1;
  }
  if (!group_ok(group)) {
    vm_log(kLogMain, "***btn_is_processing group %d error", as_int(group));
    vm_set_result(vm, 0);
    return 0;
  }
  vm_set_result(vm, orv.OrvButtonIsProcessing(group_of(vm, group).hGroup) ? 1 : 0);
  return 1;
}

uint32_t cmd_btn_get_onmouse_btn_no(VmContext& vm) {
  const uint32_t group = vm_pop(vm);
  int32_t result = -1;
  if (group_ok(group)) {
    ButtonGroup& g = group_of(vm, group);
    const OrvHandle hit =
        orv.OrvButtonGetHitSprite(g.hGroup, orv.OrvInputGetMouseX(), orv.OrvInputGetMouseY());
    for (uint32_t no = 0; hit && no < engine::kButtonsPerGroup; ++no) {
      if (sprite_of(vm, group, no) == hit) {
        result = as_int(no);
        break;
      }
    }
  }
  vm_set_result(vm, static_cast<uint32_t>(result));
  return 1;
}

uint32_t cmd_btn_get_status(VmContext& vm) {
  const uint32_t group = vm_pop(vm), no = vm_pop(vm);
  if (!group_ok(group) || !number_ok(no)) {
    vm_log(kLogMain, "btn_get_status  %d, %d, %d %s", as_int(group), as_int(no), -1,
           group_ok(group) ? "over NO" : "over group");
    vm_set_result(vm, 0xFFFFFFFFu);
    return 1;
  }
  const ButtonGroup& g = group_of(vm, group);
  const ButtonEntry& e = g.entries[no];
  uint32_t bits = 0;
  if (vm.buttons.dwInvalidTime) bits |= 1;
  if (!g.bInit) bits |= 2;
  if (g.bLocked) bits |= 4;
  if (e.dwFlags & engine::kButtonDisabled) bits |= 8;
  if (!e.lpImage) {
    bits |= 16;
  } else {
    if (!orv.OrvSpriteViewIs(e.lpImage->hSprite)) bits |= 32;
    if (!orv.OrvButtonGetCtrl(g.hGroup, e.lpImage->hSprite)) bits |= 64;
  }
  vm_log(kLogHistory, "btn_get_status [%d]  %d, %d", as_int(bits), as_int(group), as_int(no));
  vm_set_result(vm, bits);
  return 1;
}

}  // namespace

const engine::CommandEntry button_command_entries[] = {BUTTON_COMMANDS(COMMAND_ENTRY)};
const engine::CommandList button_commands = engine::command_list(button_command_entries);

}  // namespace ui
