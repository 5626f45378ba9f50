#include "Orv/render/debug/debug_sprite.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "Orv/core/task.h"
#include "Orv/core/window/app_messages.h"
#include "Orv/core/window/input.h"
#include "Orv/core/window/process.h"
#include "Orv/render/float_int.h"
#include "Orv/render/sprite.h"
#include "orv/orv.h"
#include "platform/window.h"

namespace {

constexpr char kTaskName[] = "OrvSpriteCtrlTask";
constexpr uint32_t kCursorHand = 32649;  // IDC_HAND
// Virtual keys of the rotation letters.
constexpr uint32_t kVkA = 'A', kVkD = 'D', kVkU = 'U', kVkO = 'O', kVkJ = 'J', kVkL = 'L';
constexpr double kPi = 3.14159265358979323846;

// Window thread: the hand shown over the game while the tool holds sprites. It is the tool's
// own cursor; the library's cursor (OrvSetCursor's) is left as it is and shown again after.
platform::Cursor* g_hand = nullptr;

void hand_on(void*) {
  if (!g_hand) g_hand = platform::cursor_create_system(kCursorHand);
  platform::cursor_set(g_hand);
}

void hand_off(void*) {
  platform::cursor_set(orv_process().cursor.current);
  // Freeing the cursor in use puts the system's arrow back when the library has none.
  if (g_hand) platform::cursor_destroy(g_hand);
  g_hand = nullptr;
}

void show_hand(SpriteTool* t, bool on) {
  if (t->hand == on) return;
  t->hand = on;
  if (orv_process().window)
    window_post(kWndCall, reinterpret_cast<uintptr_t>(on ? hand_on : hand_off));
}

// base + offset without overflow, as the float the sprite keeps.
float sum(int32_t base, int32_t offset) {
  return static_cast<float>(int64_t{base} + offset);
}

// Turns one rotation offset a unit, kept modulo the sprite's rotation unit.
void turn(int32_t* offset, int32_t by, int32_t unit) {
  *offset = (*offset + by) % unit;
}

int32_t rotation_unit(const OrvSprite& s) {
  const int32_t unit = trunc_to_int(s.rotation_resolution);
  return unit == 0 ? 512 : unit;
}

void pick(SpriteTool* t, OrvHandle sprite) {
  OrvSpriteInfo info;
  if (!OrvSpriteGetInfo(sprite, &info)) return;
  t->sprite = sprite;
  std::memcpy(t->name, info.name, sizeof t->name);
  t->name[sizeof t->name - 1] = 0;
  t->priority = info.priority;
  t->base[0] = trunc_to_int(info.x);
  t->base[1] = trunc_to_int(info.y);
  t->base[2] = trunc_to_int(info.z);
  t->saved_color = info.color;
  t->rotation[0] = trunc_to_int(info.rotation_x);
  t->rotation[1] = trunc_to_int(info.rotation_y);
  t->rotation[2] = trunc_to_int(info.rotation_z);
  t->scale = info.scale_x;
  t->phase = 0;
  show_hand(t, true);
}

void forget(SpriteTool* t) {
  for (int i = 0; i < 3; ++i) t->move[i] = t->turn[i] = 0;
  t->sprite = 0;
}

void let_go(SpriteTool* t) {
  OrvSpriteSetColor(t->sprite, t->saved_color);
  forget(t);
}

void drive(SpriteTool* t, const OrvSprite& s, uint32_t held, uint32_t pushed) {
  const auto alpha = static_cast<uint32_t>(std::sin(kPi * (t->phase % 256) / 256.0) * 255.0);
  OrvSpriteSetColor(t->sprite, alpha << 24 | (t->saved_color & 0xFFFFFFu));
  t->phase += 2;

  if ((held & kKeyMouseL) && OrvInputGetMouseX() >= 0 && OrvInputGetMouseY() >= 0) {
    t->move[0] = add_sat(t->move[0], OrvInputGetMouseMoveX());
    t->move[1] = add_sat(t->move[1], OrvInputGetMouseMoveY());
  }
  const bool shift = (held & kKeyShift) != 0;
  if (shift) {
    const InputState& in = orv_process().input;
    const int32_t unit = rotation_unit(s);
    const struct {
      uint32_t plus, minus;
      int axis;
    } keys[] = {{kVkA, kVkD, 2}, {kVkU, kVkO, 0}, {kVkJ, kVkL, 1}};
    for (const auto& k : keys) {
      if (vk_is_down(in, k.plus)) turn(&t->turn[k.axis], 1, unit);
      if (vk_is_down(in, k.minus)) turn(&t->turn[k.axis], -1, unit);
    }
    OrvSpriteSetRotateEx(t->sprite, add_sat(t->rotation[0], t->turn[0]),
                         add_sat(t->rotation[1], t->turn[1]), add_sat(t->rotation[2], t->turn[2]));
    if (held & kKeyUp) --t->move[2];
    if (held & kKeyDown) ++t->move[2];
  } else {
    if (held & kKeyUp) --t->move[1];
    if (held & kKeyDown) ++t->move[1];
    if (held & kKeyRight) ++t->move[0];
    if (held & kKeyLeft) --t->move[0];
  }
  const int32_t wheel = OrvInputGetWheel();
  if (wheel > 0) t->scale += 0.01f;
  if (wheel < 0) t->scale -= 0.01f;

  OrvSpriteSetPos(t->sprite, sum(t->base[0], t->move[0]), sum(t->base[1], t->move[1]),
                  sum(t->base[2], t->move[2]));
  OrvSpriteSetScale(t->sprite, t->scale, t->scale);
  if (pushed & kKeyMouseR) let_go(t);
}

void show_window(const SpriteTool& t, bool all) {
  if (!debug_dialog_shown()) return;
  DebugDialogField fields[kSpriteToolFields];
  const int32_t n = sprite_tool_fields(t, OrvInputGetMouseX(), OrvInputGetMouseY(), all, fields);
  debug_dialog_show(kDebugDialogSprite, fields, n);
}

void sprite_step(void* data) {
  auto* t = static_cast<SpriteTool*>(data);
  const uint32_t held = OrvInputGetKeyOn(), pushed = OrvInputGetKeyPush();
  const OrvSprite* s = t->sprite ? sprite_from(t->sprite) : nullptr;
  // A sprite the game released while it was held is simply forgotten.
  if (t->sprite && !s) forget(t);
  if (s) {
    drive(t, *s, held, pushed);
  } else if (pushed & kKeyMouseL) {
    if (const OrvHandle hit = OrvSpriteGetForeground(OrvInputGetMouseX(), OrvInputGetMouseY(), 0))
      pick(t, hit);
  }
  show_window(*t, false);
  OrvInputClear();
  if (pushed & kKeyEsc) debug_control(0);
}

void sprite_end(void* data) {
  auto* t = static_cast<SpriteTool*>(data);
  if (t->sprite) OrvSpriteSetColor(t->sprite, t->saved_color);
  show_hand(t, false);
  debug_dialog_close(kDebugDialogSprite);
  debug_tool_ended(data);
}

void sprite_init(void* data) {
  debug_dialog_open(kDebugDialogSprite);
  show_window(*static_cast<SpriteTool*>(data), true);
  OrvTaskChangeNextImm(sprite_step);
}

void set_field(DebugDialogField* f, int32_t control, int64_t value) {
  f->control = control;
  std::snprintf(f->text, sizeof f->text, "%lld", static_cast<long long>(value));
}

// The scale in hundredths, rounded away from zero by a thousandth so that 1.15 shows as 115.
int64_t scale_hundredths(float scale) {
  const double v = (scale < 0 ? scale - 0.001 : scale + 0.001) * 100.0;
  if (!(v == v)) return 0;
  return v >= 9.2e18 ? INT64_MAX : v <= -9.2e18 ? INT64_MIN : static_cast<int64_t>(v);
}

}  // namespace

bool open_sprite_tool() {
  void* data = nullptr;
  return debug_tool_start(sprite_init, sprite_end, sizeof(SpriteTool), kTaskName, &data) != 0;
}

int32_t sprite_tool_fields(const SpriteTool& t, int32_t mouse_x, int32_t mouse_y, bool all,
                           DebugDialogField* fields) {
  DebugDialogField* f = fields;
  set_field(f++, 1001, mouse_x);
  set_field(f++, 1002, mouse_y);
  if (!t.sprite && !all) return static_cast<int32_t>(f - fields);
  static constexpr int32_t kBase[3] = {1003, 1004, 1010}, kMove[3] = {1005, 1006, 1011},
                           kSum[3] = {1007, 1008, 1012};
  for (int i = 0; i < 3; ++i) {
    set_field(f++, kBase[i], t.base[i]);
    set_field(f++, kMove[i], t.move[i]);
    set_field(f++, kSum[i], int64_t{t.base[i]} + t.move[i]);
  }
  set_field(f++, 1009, scale_hundredths(t.scale));
  f->control = 1013;
  std::snprintf(f->text, sizeof f->text, "%s", t.name);
  ++f;
  set_field(f++, 1016, t.priority);
  for (int i = 0; i < 3; ++i) {
    set_field(f++, 1018 + i, t.rotation[i]);
    set_field(f++, 1021 + i, t.turn[i]);
  }
  return static_cast<int32_t>(f - fields);
}
