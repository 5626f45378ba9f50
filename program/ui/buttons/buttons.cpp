#include "ui/buttons/buttons.h"

#include <cstring>

#include "engine/neighbours.h"
#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/animations/anim_player.h"
#include "graphics/layers/image_record.h"

namespace ui {

using engine::ButtonEntry;
using engine::ButtonGroup;
using engine::VmContext;

engine::ButtonFollow button_follow_table[engine::kButtonGroups * engine::kButtonsPerGroup];

namespace {

constexpr uint32_t kLeftButton = 0x800000;
constexpr uint32_t kClickPause = 100, kHoverPause = 50;

int32_t index_of(const ButtonGroup& g, const ButtonEntry* e) {
  return static_cast<int32_t>(e - g.entries);
}

void gosub(VmContext& vm, uint32_t kind, uint32_t label) {
  engine::data_entry_push(vm, engine::kChannelReturns, vm.runner.dwPc, kind);
  vm.runner.dwPc = vm.runner.dwBase + label;
}

void leave(VmContext& vm, ButtonGroup& g) {
  g.nLastOff = index_of(g, g.lpHovered);
  btn_off_mouse_run(vm, *g.lpHovered);
  g.lpHovered = nullptr;
  g.lpHoverImage = nullptr;
}

bool pause_allowed(VmContext& vm) {
  return engine::get_skip_state(vm) == 0;
}

// Step 4: a finished click.
void finished_click(VmContext& vm, ButtonGroup& g, uint32_t group, OrvHandle sprite) {
  bool dropped = false;
  for (int32_t no = 127; no >= 0; --no) {
    ButtonEntry* e = &g.entries[no];
    if (!e->lpImage || e->lpImage->hSprite != sprite) continue;
    if (e->dwClickLabel == 0) {
      dropped = true;
      break;
    }
    if (e->dwFlags & engine::kButtonDisabled) continue;
    engine::vm_log(engine::kLogHistory, "click btn[%d][%d] [%d] ret / %d",
                   static_cast<int32_t>(group), no, static_cast<int32_t>(e->dwClickLabel),
                   static_cast<int32_t>(vm.runner.dwPc));
    gosub(vm, 1, e->dwClickLabel);
    g.nLastPush = no;
    if (pause_allowed(vm)) button_pause(vm, kClickPause);
    // A click ends the active action slot and the slots marked to end.
    const engine::LayerServices& actions = engine::neighbours.layers;
    engine::neighbour_run(actions.action_end_active_and_marked
                              ? actions.action_end_active_and_marked
                              : actions.action_clear_marked,
                          vm);
    break;
  }
  if (!dropped && g.lpHovered) leave(vm, g);
}

// Step 5: a sprite under the mouse.
void hover(VmContext& vm, ButtonGroup& g, uint32_t group, OrvHandle sprite) {
  if (g.lpHovered) {
    if (g.lpHovered->lpImage && g.lpHovered->lpImage->hSprite == sprite) return;
    leave(vm, g);  // the new button is taken up on the next frame
    return;
  }
  for (int32_t no = 127; no >= 0; --no) {
    ButtonEntry& e = g.entries[no];
    if (!e.lpImage || e.lpImage->hSprite != sprite) continue;
    if (e.dwHoverLabel == 0) return;
    if (e.dwFlags & engine::kButtonDisabled) continue;
    engine::vm_log(engine::kLogHistory, "on btn[%d][%d] [%d] ret / %d / stack(%d)",
                   static_cast<int32_t>(group), no, static_cast<int32_t>(e.dwHoverLabel),
                   static_cast<int32_t>(vm.runner.dwPc), vm.nArgCount);
    gosub(vm, 0, e.dwHoverLabel);
    g.nLastOn = no;
    g.lpHovered = &e;
    g.lpHoverImage = e.lpImage;
    orv.OrvSpriteGetInfo(sprite, &g.hoverInfo);
    if (pause_allowed(vm)) button_pause(vm, kHoverPause);
    return;
  }
}

ButtonGroup* group_at(VmContext& vm, int32_t group) {
  if (group < 0 || group >= static_cast<int32_t>(engine::kButtonGroups)) return nullptr;
  return &vm.buttons.groups[group];
}

OrvHandle sprite_at(ButtonGroup& g, int32_t no) {
  if (no < 0 || no >= static_cast<int32_t>(engine::kButtonsPerGroup)) return 0;
  const layers::ImageRecord* image = g.entries[no].lpImage;
  return image ? image->hSprite : 0;
}

}  // namespace

void button_pause(VmContext& vm, uint32_t ms) {
  vm.buttons.dwWaitStart = orv.OrvtimeGetTime();
  vm.buttons.dwInvalidTime = ms;
}

void btn_off_mouse_run(VmContext& vm, ButtonEntry& entry) {
  if (!entry.dwLeaveLabel) return;
  engine::vm_log(engine::kLogHistory, "off btn[%d] ret / %d / stack(%d)",
                 static_cast<int32_t>(entry.dwLeaveLabel), static_cast<int32_t>(vm.runner.dwPc),
                 vm.nArgCount);
  gosub(vm, 0, entry.dwLeaveLabel);
}

bool btn_update(VmContext& vm) {
  engine::ButtonSystem& bs = vm.buttons;
  if (bs.dwInvalidTime) return false;
  bool reaction = false;
  for (uint32_t group = 0; group < engine::kButtonGroups; ++group) {
    ButtonGroup& g = bs.groups[group];
    if (!g.bInit) continue;
    if (g.bLocked) {
      if (g.dwLockLength && g.dwLockLength != 0xFFFFFFFFu &&
          orv.OrvtimeGetTime() - g.dwLockStart >= g.dwLockLength) {
        g.bLocked = 0;
        g.dwLockLength = 0;
        g.dwLockStart = 0;
      }
      continue;
    }
    OrvButtonReaction out{};
    const OrvHandle decided = orv.OrvButtonGetReaction(g.hGroup, &out);
    if (out.pending) {
      reaction = true;
      orv.OrvInputClear();
      continue;
    }
    if (decided) {
      finished_click(vm, g, group, decided);
      reaction = true;
    } else if (out.hovered) {
      hover(vm, g, group, out.hovered);
    } else if (g.lpHovered && g.lpHovered->lpImage && g.lpHovered->lpImage->hSprite) {
      leave(vm, g);
      if (pause_allowed(vm)) button_pause(vm, kHoverPause);
    }
  }
  if (reaction) vm.text.bAdvanceRequest = 0;
  return reaction;
}

bool btn_any_hit(VmContext& vm) {
  const uint32_t keys =
      vm.buttons.bKeyRelease ? engine::orv_input_key_pull() : engine::orv_input_key_push();
  if (!(keys & kLeftButton)) return false;
  const int32_t x = orv.OrvInputGetMouseX(), y = orv.OrvInputGetMouseY();
  for (const ButtonGroup& g : vm.buttons.groups) {
    if (g.bInit && orv.OrvButtonHitTest(g.hGroup, x, y)) return true;
  }
  return false;
}

int32_t btn_view_ctrl(VmContext& vm, int32_t group, int32_t no, int32_t show) {
  ButtonGroup* g = group_at(vm, group);
  if (!g) return 0;
  if (no == -1) {
    for (int32_t i = 0; i < static_cast<int32_t>(engine::kButtonsPerGroup); ++i) {
      if (OrvHandle s = sprite_at(*g, i)) orv.OrvSpriteViewCtrl(s, show);
    }
  } else if (OrvHandle s = sprite_at(*g, no)) {
    orv.OrvSpriteViewCtrl(s, show);
  }
  return 1;
}

void btn_ctrl_set_pos(VmContext& vm, int32_t group, int32_t no, int32_t on, int32_t row) {
  ButtonGroup* g = group_at(vm, group);
  const OrvHandle s = g ? sprite_at(*g, no) : 0;
  if (!s) return;
  orv.OrvButtonCtrl(g->hGroup, s, on);
  orv.OrvButtonSetPos(g->hGroup, s, row);
}

void btn_reset(VmContext& vm, int32_t group, int32_t no) {
  ButtonGroup* g = group_at(vm, group);
  const OrvHandle s = g ? sprite_at(*g, no) : 0;
  if (!s) return;
  orv.OrvButtonReset(g->hGroup, s);
  orv.OrvButtonSetPos(g->hGroup, s, 3);
}

bool btn_set_base_row(VmContext& vm, int32_t group, int32_t no, int32_t row) {
  ButtonGroup* g = group_at(vm, group);
  const OrvHandle s = g ? sprite_at(*g, no) : 0;
  if (!s) return false;
  orv.OrvButtonSetPos(g->hGroup, s, row);
  return true;
}

int32_t btn_style_get(VmContext& vm, int32_t group, int32_t style) {
  ButtonGroup* g = group_at(vm, group);
  if (!g) return -1;
  switch (style) {
    case 1:
      return g->nStyle[engine::kStyleSkip];
    case 2:
      return g->nStyle[engine::kStyleTwo];
    case 3:
      return g->nStyle[engine::kStyleAuto];
    case 4:
      return g->nStyle[engine::kStyleName];
    case 8:
    case 9:
      return g->nStyle[engine::kStyleRecord];
    case 10:
      return g->nStyle[engine::kStyleVoice2];
    default:
      return -1;
  }
}

void btn_release_all(VmContext& vm) {
  vm.buttons.bRunSkip = 0;
  for (ButtonGroup& g : vm.buttons.groups) {
    if (!g.bInit) continue;
    for (ButtonEntry& e : g.entries) {
      if (!e.lpImage) continue;
      if (e.lpImage->dwAnimeNo > 128) {
        engine::vm_log(engine::kLogMain, "*** ERROR AdvAnimUnload %d (1-128)",
                       static_cast<int32_t>(e.lpImage->dwAnimeNo));
      }
      layers::image_release_now(e.lpImage);  // the sprite goes at once
    }
    orv.OrvButtonRelease(g.hGroup);
    std::memset(static_cast<void*>(&g), 0, sizeof g);
    for (int32_t& s : g.nStyle) s = -1;
  }
}

void button_follow_update(VmContext& vm) {
  (void)vm;
  for (const engine::ButtonFollow& f : button_follow_table) {
    if (!f.lpChild || !f.dwParentImageNo) continue;
    const layers::ImageRecord* parent =
        layers::image_record_at(layers::decode_image_no(f.dwParentImageNo));
    if (!parent) continue;
    const uint32_t colour = f.lpChild->base.dwColor;
    layers::image_follow_transform(*f.lpChild, *parent);
    f.lpChild->base.dwColor = colour;
  }
}

void button_follow_table_clear(VmContext&) {
  std::memset(static_cast<void*>(button_follow_table), 0, sizeof button_follow_table);
}

void button_display_op(VmContext& vm, uint32_t id, const uint32_t* args) {
  ButtonGroup* g = group_at(vm, static_cast<int32_t>(args[0]));
  const OrvHandle s = g ? sprite_at(*g, static_cast<int32_t>(args[1])) : 0;
  if (!s) return;
  switch (id) {
    case 0x80003:  // a new button; the text window shows the buttons of its own group
      if ((vm.text.dwButtonGroup & 0xFFFF) != args[0]) orv.OrvSpriteViewCtrl(s, 1);
      // An animation that graphic.dat gave the picture waits for this to start.
      animations::AdvAnimStart(vm, g->entries[args[1]].lpImage->dwAnimeNo);
      break;
    case 0x80005:
      orv.OrvSpriteViewCtrl(s, 1);
      break;
    case 0x80004:
      orv.OrvSpriteViewCtrl(s, 0);
      break;
    case 0x8000d:
      orv.OrvButtonSetPos(g->hGroup, s, 3 * static_cast<int32_t>(args[2]));
      break;
    default:
      break;
  }
}

}  // namespace ui
