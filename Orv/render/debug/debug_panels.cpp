#include "Orv/render/debug/debug_panels.h"

#include <algorithm>
#include <map>
#include <string>

#include "Orv/core/window/window_geometry.h"
#include "orv/orv.h"

namespace {

// Control kinds of the widgets.
constexpr int32_t kButton = 1, kStatic = 3;
constexpr int32_t kFontPx = 12;
constexpr int32_t kMargin = 6;
constexpr int32_t kTextHeight = 16;
// The face: a disabled button without a label under everything, so that the numbers stand on a
// plain ground whatever the game shows there (a box has no ground of its own).
constexpr int32_t kFaceId = 0;
constexpr int32_t kLabelId = -1;
// Notifications looked at per frame; a program that is ending keeps answering "cancel".
constexpr int kNotesPerFrame = 8;

// Labels as the windows have them (Shift-JIS).
constexpr char kCameraCaption[] = "\x83\x4a\x83\x81\x83\x89\x8f\xee\x95\xf1";  // カメラ情報
constexpr char kSpriteCaption[] = "\x83\x58\x83\x65\x81\x5b\x83\x5e\x83\x58";  // ステータス

// One row of the camera window: the vector's label, its three numbers, its reset button.
struct CameraRow {
  const char* label;
  int32_t first;  // control of the x number; y and z follow
  int32_t button;
  const char* button_text;
};
const CameraRow kCameraRows[] = {
    // "from ( カメラの座標 )", "from リセット"
    {"from ( \x83\x4a\x83\x81\x83\x89\x82\xcc\x8d\xc0\x95\x57 )", 1002, kCameraResetEye,
     "from \x83\x8a\x83\x5a\x83\x62\x83\x67"},
    // "at ( 注視点・目標の座標 )", "at リセット"
    {"at ( \x92\x8d\x8e\x8b\x93\x5f\x81\x45\x96\xda\x95\x57\x82\xcc\x8d\xc0\x95\x57 )", 1005,
     kCameraResetAt, "at \x83\x8a\x83\x5a\x83\x62\x83\x67"},
    // "wup ( カメラの上方向 )", "wup リセット"
    {"wup ( \x83\x4a\x83\x81\x83\x89\x82\xcc\x8f\xe3\x95\xfb\x8c\xfc )", 1008, kCameraResetUp,
     "wup \x83\x8a\x83\x5a\x83\x62\x83\x67"},
};
constexpr char kResetAllText[] = "ALL \x83\x8a\x83\x5a\x83\x62\x83\x67";  // ALL リセット
// The windows' help lines, as they stand under the numbers.
const char* const kCameraHelp[] = {
    // Z + ↑↓ ( カメラのＺ座標移動 )
    "Z + \x81\xaa\x81\xab ( \x83J\x83\x81\x83\x89\x82\xcc\x82y\x8d\xc0\x95W\x88\xda\x93\xae )",
    // Y + ↑↓ ( カメラのＹ座標移動 )
    "Y + \x81\xaa\x81\xab ( \x83J\x83\x81\x83\x89\x82\xcc\x82x\x8d\xc0\x95W\x88\xda\x93\xae )",
    // X + ←→ ( カメラのＸ座標移動 )
    "X + \x81\xa9\x81\xa8 ( \x83J\x83\x81\x83\x89\x82\xcc\x82w\x8d\xc0\x95W\x88\xda\x93\xae )",
    // SHIFTキーを押しながらだと、atを操作します。
    "SHIFT\x83L\x81[\x82\xf0\x89\x9f\x82\xb5\x82\xc8\x82\xaa\x82\xe7\x82\xbe\x82\xc6\x81"
    "Aat\x82\xf0\x91\x80\x8d\xec\x82\xb5\x82\xdc\x82\xb7\x81"
    "B",
    // CTRLキーを押しながらだと、wupを操作します。
    "CTRL\x83L\x81[\x82\xf0\x89\x9f\x82\xb5\x82\xc8\x82\xaa\x82\xe7\x82\xbe\x82\xc6\x81"
    "Awup\x82\xf0\x91\x80\x8d\xec\x82\xb5\x82\xdc\x82\xb7\x81"
    "B",
};
const char* const kSpriteHelp[] = {
    // Z軸移動  SHIFT+↑↓ / +ALTキー 移動速度を遅くする
    "Z\x8e\xb2\x88\xda\x93\xae  SHIFT+\x81\xaa\x81\xab / +ALT\x83L\x81[ "
    "\x88\xda\x93\xae\x91\xac\x93x\x82\xf0\x92x\x82\xad\x82\xb7\x82\xe9",
    // Z回転  A D / X回転  U O / Y回転 J L + SHIFT
    "Z\x89\xf1\x93]  A D / X\x89\xf1\x93]  U O / Y\x89\xf1\x93] J L + SHIFT",
};
constexpr int32_t kCameraWidth = 356, kCameraNumberWidth = 76, kCameraButtonX = 250,
                  kCameraButtonWidth = 100, kCameraRowStep = 38, kButtonHeight = 18;

// One row of the sprite window: a label and its numbers (0 ends the list); a wide row holds
// one text over all three columns (the sprite's name).
struct SpriteRow {
  const char* label;
  int32_t controls[3];
  bool wide;
};
const SpriteRow kSpriteRows[] = {
    {"mouse", {1001, 1002, 0}, false},
    {"sprite", {1013, 0, 0}, true},
    {"pos", {1003, 1004, 1010}, false},
    {"move", {1005, 1006, 1011}, false},
    {"pos + move", {1007, 1008, 1012}, false},
    {"scale", {1009, 0, 0}, false},
    {"Layer", {1016, 0, 0}, false},
    {"rotate", {1018, 1019, 1020}, false},
    {"rot move", {1021, 1022, 1023}, false},
};
constexpr int32_t kSpriteWidth = 310, kSpriteLabelWidth = 66, kSpriteColumn = 70,
                  kSpriteRowStep = 16;

struct Panel {
  OrvHandle widget = 0;
  int32_t width = 0, height = 0;
  int32_t x = 0, y = 0;
  std::map<int32_t, std::string> texts;  // what each number shows now
};
Panel g_sprite, g_camera;

Panel* panel_of(int32_t dialog) {
  if (dialog == kDebugDialogSprite) return &g_sprite;
  if (dialog == kDebugDialogCamera) return &g_camera;
  return nullptr;
}

// The box's place: the top-right corner of the game picture in the client area.
void place_for(const Panel& p, int32_t* x, int32_t* y) {
  const OrvRect& r = orv_geometry().client_rect;
  *x = std::max(0, r.right - p.width);
  *y = std::max(0, r.top);
}

void add_text(OrvHandle w, int32_t id, int32_t x, int32_t y, int32_t width, const char* text) {
  OrvWidgetAddControl(w, id, kStatic, x, y, width, kTextHeight, 0, 0, text);
}

// The help lines from y down, one text a line; gives the y under them.
int32_t add_help(OrvHandle w, const char* const* lines, size_t count, int32_t y, int32_t width) {
  for (size_t i = 0; i < count; ++i) {
    add_text(w, kLabelId, kMargin, y, width - 2 * kMargin, lines[i]);
    y += kTextHeight;
  }
  return y;
}

void build_camera(OrvHandle w) {
  add_text(w, kLabelId, kMargin, 4, kCameraWidth - 2 * kMargin, kCameraCaption);
  int32_t y = 22;
  for (const CameraRow& row : kCameraRows) {
    add_text(w, kLabelId, kMargin, y, kCameraWidth - 2 * kMargin, row.label);
    for (int32_t i = 0; i < 3; ++i) {
      add_text(w, row.first + i, kMargin + i * (kCameraNumberWidth + 4), y + 18, kCameraNumberWidth,
               "");
    }
    OrvWidgetAddControl(w, row.button, kButton, kCameraButtonX, y + 16, kCameraButtonWidth,
                        kButtonHeight, 0, 0, row.button_text);
    y += kCameraRowStep;
  }
  OrvWidgetAddControl(w, kCameraResetAll, kButton, kCameraButtonX, y, kCameraButtonWidth,
                      kButtonHeight, 0, 0, kResetAllText);
  add_help(w, kCameraHelp, std::size(kCameraHelp), y + kButtonHeight + 4, kCameraWidth);
}

void build_sprite(OrvHandle w) {
  add_text(w, kLabelId, kMargin, 4, kSpriteWidth - 2 * kMargin, kSpriteCaption);
  int32_t y = 22;
  const int32_t numbers_x = kMargin + kSpriteLabelWidth + 4;
  for (const SpriteRow& row : kSpriteRows) {
    add_text(w, kLabelId, kMargin, y, kSpriteLabelWidth, row.label);
    for (int32_t i = 0; i < 3 && row.controls[i]; ++i) {
      const int32_t width = row.wide ? kSpriteWidth - numbers_x - kMargin : kSpriteColumn - 4;
      add_text(w, row.controls[i], numbers_x + i * kSpriteColumn, y, width, "");
    }
    y += kSpriteRowStep;
  }
  add_help(w, kSpriteHelp, std::size(kSpriteHelp), y + 4, kSpriteWidth);
}

void panel_close(int32_t dialog) {
  Panel* p = panel_of(dialog);
  if (!p) return;
  if (p->widget) OrvWidgetDestroy(p->widget);
  *p = Panel{};
}

void panel_open(int32_t dialog) {
  Panel* p = panel_of(dialog);
  if (!p) return;
  panel_close(dialog);
  const bool camera = dialog == kDebugDialogCamera;
  p->width = camera ? kCameraWidth : kSpriteWidth;
  const int32_t help =
      camera ? kButtonHeight + 4 + static_cast<int32_t>(std::size(kCameraHelp)) * kTextHeight
             : 4 + static_cast<int32_t>(std::size(kSpriteHelp)) * kTextHeight;
  p->height = camera
                  ? 22 + 3 * kCameraRowStep + help + kMargin
                  : 22 + static_cast<int32_t>(std::size(kSpriteRows)) * kSpriteRowStep + help + 4;
  place_for(*p, &p->x, &p->y);
  const OrvHandle w = OrvWidgetCreate(0, p->x, p->y, p->width, p->height, kFontPx, 0, nullptr);
  if (!w) return;
  OrvWidgetAddControl(w, kFaceId, kButton, 0, 0, p->width, p->height, 0, 0, "");
  OrvWidgetEnable(w, kFaceId, 0);
  if (camera) {
    build_camera(w);
  } else {
    build_sprite(w);
  }
  p->widget = w;
  OrvWidgetShow(w, 0);
}

void panel_show(int32_t dialog, const DebugDialogField* fields, int32_t count) {
  Panel* p = panel_of(dialog);
  if (!p) return;
  if (!p->widget) panel_open(dialog);
  if (!p->widget) return;
  int32_t x = 0, y = 0;
  place_for(*p, &x, &y);
  if (x != p->x || y != p->y) {
    p->x = x;
    p->y = y;
    OrvWidgetMove(p->widget, x, y, p->width, p->height, kFontPx);
  }
  // Only what changed is set: every text set draws the box again.
  for (int32_t i = 0; i < count; ++i) {
    std::string& shown = p->texts[fields[i].control];
    if (shown == fields[i].text) continue;
    shown = fields[i].text;
    OrvWidgetSetText(p->widget, fields[i].control, fields[i].text);
  }
  for (int n = 0; n < kNotesPerFrame; ++n) {
    const uint32_t note = OrvWidgetWait(p->widget, 0);
    const int32_t id = static_cast<int32_t>(note & 0xFFFF);
    // 0: nothing more; the cancel id: the box is gone or the program ends (it has no such
    // button).
    if (note == 0 || id == 2) break;
    if ((note >> 16) == 0) debug_dialog_command(dialog, id);
  }
}

}  // namespace

const DebugDialogView kDebugPanelsView = {panel_open, panel_show, panel_close};

OrvHandle debug_panel_widget(int32_t dialog) {
  const Panel* p = panel_of(dialog);
  return p ? p->widget : 0;
}
