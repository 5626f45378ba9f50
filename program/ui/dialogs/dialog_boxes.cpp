#include "ui/dialogs/dialog_boxes.h"

#include <algorithm>
#include <string>

#include "engine/orv_api.h"
#include "engine/orv_calls.h"

namespace ui {

namespace {

// "キャンセル", "入力", "説明", "名前", "台詞"
constexpr char kCancel[] = "\x83L\x83\x83\x83\x93\x83Z\x83\x8b";
constexpr char kInput[] = "\x93\xfc\x97\xcd";
constexpr char kExplain[] = "\x90\xe0\x96\xbe";
constexpr char kName[] = "\x96\xbc\x91O";
constexpr char kLine[] = "\x91\xe4\x8e\x8c";

// Control kinds and the system's style bits that the widgets know.
constexpr int32_t kButton = 1, kEdit = 2, kStatic = 3, kGroup = 4, kCombo = 5;
constexpr uint32_t kDefault = 0x1, kMultiLine = 0x4, kSorted = 0x100, kWantReturn = 0x1000,
                   kTabStop = 0x10000;
constexpr uint32_t kClicked = 0, kChange = 0x0300;
constexpr int32_t kIdOk = 1, kIdCancel = 2;

// The templates' fonts: 14 points and 8 points at 96 dots per inch, both the system's
// proportional Gothic (the widgets' font type 2).
constexpr int32_t kEditFontPx = 19;
constexpr int32_t kStandEditFontPx = 11;
constexpr int32_t kDialogFontType = 2;

constexpr int32_t kEditControl = 1008, kCounter = 1009;
constexpr int32_t kGroupBox = 1003, kLimits = 1004, kNameCombo = 1011;
constexpr size_t kEditReadBytes = 1023;
constexpr size_t kNameReadBytes = 61;
constexpr size_t kLineReadBytes = 509;
constexpr int32_t kPathBytes = 516;
constexpr int32_t kWaitMs = 100;

// A template's dialog, its controls placed in dialog units.
struct Template {
  OrvHandle dialog = 0;
  int32_t font_px = 0;
  bool add(int32_t id, int32_t kind, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t style,
           const std::string& text) const {
    return orv.OrvWidgetAddControl(dialog, id, kind, dialog_units_x(x, font_px),
                                   dialog_units_y(y, font_px), dialog_units_x(w, font_px),
                                   dialog_units_y(h, font_px), style, 0, text.c_str()) != 0;
  }
};

Template open_dialog(int32_t width, int32_t height, int32_t font_px, const std::string& caption) {
  Template t;
  t.font_px = font_px;
  t.dialog =
      orv.OrvWidgetCreate(1, 0, 0, dialog_units_x(width, font_px), dialog_units_y(height, font_px),
                          font_px, kDialogFontType, caption.c_str());
  return t;
}

std::string control_text(OrvHandle dialog, int32_t id, size_t max) {
  std::string text(max + 1, '\0');
  const int32_t n = orv.OrvWidgetGetText(dialog, id, text.data(), static_cast<int32_t>(max + 1));
  text.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return text;
}

// The next notification: the control's id in *id, its code as the result.
uint32_t next_note(OrvHandle dialog, int32_t* id) {
  for (;;) {
    const uint32_t n = orv.OrvWidgetWait(dialog, kWaitMs);
    if (n == 0) continue;
    *id = static_cast<int32_t>(n & 0xFFFF);
    return n >> 16;
  }
}

}  // namespace

int32_t dialog_units_x(int32_t units, int32_t font_px) {
  return (units * font_px + 4) / 8;  // units x (font_px / 2) / 4
}
int32_t dialog_units_y(int32_t units, int32_t font_px) {
  return (units * font_px + 4) / 8;
}

int32_t dialog_run_edit(EditDialog& d) {
  const Template t = open_dialog(309, 56, kEditFontPx, d.caption);
  if (!t.dialog) return -1;
  const bool made =
      t.add(kIdOk, kButton, 198, 42, 50, 14, kDefault | kTabStop, "OK") &&
      t.add(kIdCancel, kButton, 252, 42, 50, 14, kTabStop, kCancel) &&
      t.add(kEditControl, kEdit, 7, 7, 295, 33, kMultiLine | kWantReturn | kTabStop, d.text) &&
      t.add(kCounter, kStatic, 8, 45, 93, 8, 0, d.counter);
  if (!made) {
    orv.OrvWidgetDestroy(t.dialog);
    return -1;
  }
  orv.OrvWidgetEnable(t.dialog, kIdOk, d.ok_enabled ? 1 : 0);
  orv.OrvWidgetShow(t.dialog, kEditControl);
  int32_t result = -1;
  for (;;) {
    int32_t id = 0;
    const uint32_t code = next_note(t.dialog, &id);
    if (code == kChange && id == kEditControl) {
      d.text = control_text(t.dialog, kEditControl, kEditReadBytes);
      edit_dialog_changed(d);
      orv.OrvWidgetSetText(t.dialog, kCounter, d.counter.c_str());
      orv.OrvWidgetEnable(t.dialog, kIdOk, d.ok_enabled ? 1 : 0);
    } else if (code == kClicked && id == kIdOk) {
      d.text = control_text(t.dialog, kEditControl, kEditReadBytes);
      result = 0;
      break;
    } else if (code == kClicked && id == kIdCancel) {
      break;
    }
  }
  orv.OrvWidgetDestroy(t.dialog);
  return result;
}

int32_t dialog_run_stand_edit(StandEditDialog& d) {
  // "メッセージウィンドウの内容を入力してください"
  const Template t = open_dialog(247, 120, kStandEditFontPx,
                                 "\x83\x81\x83\x62\x83Z\x81[\x83W\x83\x45\x83\x42\x83\x93\x83h"
                                 "\x83\x45\x82\xcc\x93\xe0\x97\x65\x82\xf0\x93\xfc\x97\xcd\x82\xb5"
                                 "\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2");
  if (!t.dialog) return -1;
  const bool made =
      t.add(kGroupBox, kGroup, 6, 7, 233, 85, 0, kInput) &&
      t.add(kNameCombo, kCombo, 31, 34, 138, 52, kSorted | kTabStop, d.name) &&
      t.add(kEditControl, kEdit, 31, 49, 200, 36, kMultiLine | kWantReturn | kTabStop, d.line) &&
      t.add(kIdOk, kButton, 129, 99, 50, 14, kDefault | kTabStop, "OK") &&
      t.add(kIdCancel, kButton, 183, 99, 50, 14, kTabStop, kCancel) &&
      t.add(kLimits, kStatic, 30, 20, 200, 8, 0, d.limits) &&
      t.add(0, kStatic, 9, 20, 15, 8, 0, kExplain) && t.add(0, kStatic, 9, 35, 15, 8, 0, kName) &&
      t.add(0, kStatic, 9, 50, 15, 8, 0, kLine);
  if (!made) {
    orv.OrvWidgetDestroy(t.dialog);
    return -1;
  }
  for (const std::string& name : d.names) orv.OrvWidgetAddItem(t.dialog, kNameCombo, name.c_str());
  orv.OrvWidgetShow(t.dialog, kNameCombo);
  int32_t result = -1;
  for (;;) {
    int32_t id = 0;
    const uint32_t code = next_note(t.dialog, &id);
    if (code != kClicked) continue;
    if (id == kIdCancel) break;
    if (id != kIdOk) continue;
    d.name = control_text(t.dialog, kNameCombo, kNameReadBytes);
    d.line = control_text(t.dialog, kEditControl, kLineReadBytes);
    // A refusal has shown its box; the dialog stays open for another try.
    if (stand_edit_dialog_ok(d)) {
      result = 0;
      break;
    }
  }
  orv.OrvWidgetDestroy(t.dialog);
  return result;
}

int32_t dialog_run_file(FileDialog& d) {
  std::string path(kPathBytes, '\0');
  path.replace(0, std::min(d.file_name.size(), size_t(kPathBytes - 1)), d.file_name, 0,
               kPathBytes - 1);
  const int32_t chosen = orv.OrvFileDialog(d.save ? 1 : 0, d.title.c_str(), d.extension.c_str(),
                                           d.flags, d.folder_id, path.data(), kPathBytes);
  if (chosen) d.file_name = path.c_str();
  return chosen;
}

}  // namespace ui
