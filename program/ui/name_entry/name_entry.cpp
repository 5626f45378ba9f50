#include "ui/name_entry/name_entry.h"

#include <cmath>
#include <cstring>

#include "commands/command_util.h"
#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "platform/message_box.h"
#include "shared/sjis_units.h"
#include "ui/name_entry/name_entry_command_list.h"

namespace ui {

using engine::VmContext;

namespace {

// "バッファオーバー"
constexpr char kBufferOver[] = "\x83o\x83\x62\x83t\x83@\x83I\x81[\x83o\x81[";
// "名前変更に失敗"
constexpr char kNameBoxFailed[] = "\x96\xbc\x91O\x95\xcf\x8dX\x82\xc9\x8e\xb8\x94s";
// "エラー"
constexpr char kError[] = "\x83G\x83\x89\x81[";

constexpr uint32_t kNameBytes = 32;
constexpr uint32_t kNameTextBytes = 260;
constexpr size_t kBoxTextBytes = 259;
constexpr uint32_t kBoxAlertFlags = 0x40030;  // exclamation icon, topmost
// The check's units: lead bytes 0x81-0x9F and 0xE0-0xFC.
constexpr SjisUnits kNameUnits{0x81, 0x9F, 0xE0, 0xFC, 0x00, 0xFF, 0x00, 0xFF};

int32_t as_int(uint32_t v) {
  return static_cast<int32_t>(v);
}

// The box is the library's edit box over the game picture: a widget holding one edit control
// that fills it.
constexpr int32_t kBoxWidget = 0;
constexpr int32_t kEditControl = 2;
constexpr int32_t kBoxEdit = 1;  // the control's id

uint32_t box_create(const NameBoxPlace& place, int32_t font_type) {
  const OrvHandle box = orv.OrvWidgetCreate(kBoxWidget, place.x, place.y, place.width, place.height,
                                            place.font_size, font_type, "");
  if (!box) return 0;
  if (!orv.OrvWidgetAddControl(box, kBoxEdit, kEditControl, 0, 0, place.width, place.height, 0, 0,
                               "")) {
    orv.OrvWidgetDestroy(box);
    return 0;
  }
  return box;
}
void box_destroy(uint32_t box) {
  orv.OrvWidgetDestroy(box);
}
void box_move(uint32_t box, const NameBoxPlace& place, int32_t) {
  orv.OrvWidgetMove(box, place.x, place.y, place.width, place.height, place.font_size);
}
void box_set_text(uint32_t box, const std::string& sjis) {
  orv.OrvWidgetSetText(box, kBoxEdit, sjis.c_str());
}
std::string box_get_text(uint32_t box, size_t max) {
  std::string text(max + 1, '\0');
  const int32_t n = orv.OrvWidgetGetText(box, kBoxEdit, text.data(), static_cast<int32_t>(max + 1));
  text.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return text;
}
void box_show(uint32_t box) {
  orv.OrvWidgetShow(box, kBoxEdit);
}
void box_beep() {
  orv.OrvBeep();
}

// The one box; PlayerNameBlock::bWindow says whether it exists.
NameEditWindow g_window;

std::string current_name(const VmContext& vm) {
  const char* name = vm.playerName.szName;
  return std::string(name, strnlen(name, kNameBytes));
}

void name_store(VmContext& vm, const std::string& text) {
  std::memset(vm.playerName.szName, 0, kNameBytes);
  std::memcpy(vm.playerName.szName, text.data(), std::min<size_t>(text.size(), kNameBytes));
}

std::string cut(const std::string& text, size_t max) {
  return text.substr(0, sjis_fit(kNameUnits, text.data(), text.size(), max));
}

// The window-thread work of the box, handed over with OrvAttachProcess.
struct BoxWork {
  NameEditWindow* window;
  int32_t font_type;
};
void create_on_window_thread(void* arg) {
  auto* work = static_cast<BoxWork*>(arg);
  work->window->hBox = name_box_host.create(work->window->placed, work->font_type);
}
void move_on_window_thread(void* arg) {
  auto* work = static_cast<BoxWork*>(arg);
  name_box_host.move(work->window->hBox, work->window->placed, work->font_type);
}
void destroy_on_window_thread(void* arg) {
  name_box_host.destroy(static_cast<NameEditWindow*>(arg)->hBox);
}

void box_close(VmContext& vm, bool on_window_thread) {
  if (!vm.playerName.bWindow) return;
  if (on_window_thread) {
    orv.OrvAttachProcess(destroy_on_window_thread, &g_window);
  } else {
    name_box_host.destroy(g_window.hBox);
  }
  g_window = NameEditWindow{};
  vm.playerName.bWindow = 0;
}

void screen_size(int32_t* width, int32_t* height) {
  uint32_t w = 0, h = 0;
  engine::game_screen_size(&w, &h);
  *width = as_int(w);
  *height = as_int(h);
}

}  // namespace

NameBoxHost name_box_host{box_create,   box_destroy, box_move, box_set_text,
                          box_get_text, box_show,    box_beep};

NameEditWindow* name_edit_window(VmContext& vm) {
  return vm.playerName.bWindow ? &g_window : nullptr;
}

bool name_box_place(NameEditWindow& w, int32_t screen_width, int32_t screen_height) {
  int32_t width = 0, height = 0;
  orv.OrvGetWindowSize(&width, &height);
  const uint32_t mode = static_cast<uint32_t>(orv.OrvCheckWindowMode());
  if (width == w.nRefWidth && height == w.nRefHeight && mode == w.dwRefMode) return false;
  w.nRefWidth = width;
  w.nRefHeight = height;
  w.dwRefMode = mode;
  if (screen_width <= 0 || screen_height <= 0) {  // nothing to scale from
    w.placed = w.given;
    return true;
  }
  const float sx = static_cast<float>(width) / static_cast<float>(screen_width);
  const float sy = static_cast<float>(height) / static_cast<float>(screen_height);
  auto scaled = [](int32_t v, float s) {
    return static_cast<int32_t>(std::trunc(static_cast<float>(v) * s));
  };
  int32_t origin_x = 0, origin_y = 0;
  if (mode == 1) orv.OrvWindowGetPos(&origin_x, &origin_y);
  w.placed.x = scaled(w.given.x, sx) + origin_x;
  w.placed.y = scaled(w.given.y, sy) + origin_y;
  w.placed.width = scaled(w.given.width, sx);
  w.placed.height = scaled(w.given.height, sy);
  w.placed.font_size = scaled(w.given.font_size, sx);
  return true;
}

bool player_name_acceptable(const std::string& text) {
  if (text.empty() || text.size() > kNameBytes) return false;
  bool only_blanks = true;
  for (size_t i = 0; i < text.size();) {
    const size_t n = sjis_unit_length(kNameUnits, text.data() + i, text.size() - i);
    if (n != 2) return false;  // a single-byte character, or a lead byte without its pair
    if (static_cast<uint8_t>(text[i]) != 0x81 || static_cast<uint8_t>(text[i + 1]) != 0x40) {
      only_blanks = false;
    }
    i += n;
  }
  return !only_blanks;
}

void player_name_window_destroy(VmContext& vm) {
  box_close(vm, false);
}

uint32_t cmd_player_name_set_begin(VmContext& vm) {
  const uint32_t name_ref = engine::vm_pop(vm);
  const int32_t max_chars = as_int(engine::vm_pop(vm));
  NameBoxPlace given{};
  given.x = as_int(engine::vm_pop(vm));
  given.y = as_int(engine::vm_pop(vm));
  given.width = as_int(engine::vm_pop(vm));
  given.height = as_int(engine::vm_pop(vm));
  given.font_size = as_int(engine::vm_pop(vm));
  const std::string name = engine::fetch_text(vm, name_ref, kNameTextBytes);
  if (name.size() > kNameBytes) {
    platform::message_box(kBufferOver, "player_name_set_begin", kBoxAlertFlags);
    return 0;
  }
  // A second box replaces the first rather than leaving it on the window.
  box_close(vm, true);
  NameEditWindow& w = g_window;
  w = NameEditWindow{};
  w.dwRefMode = static_cast<uint32_t>(orv.OrvCheckWindowMode());
  int32_t screen_w = 0, screen_h = 0;
  screen_size(&screen_w, &screen_h);
  w.nRefWidth = screen_w;
  w.nRefHeight = screen_h;
  w.given = given;
  if (!name_box_place(w, screen_w, screen_h)) w.placed = given;
  const size_t keep = max_chars > 0 ? std::min<size_t>(size_t(max_chars) * 2, kNameBytes) : 0;
  name_store(vm, cut(name, keep));
  BoxWork work{&w, orv.OrvFontGetType()};
  orv.OrvAttachProcess(create_on_window_thread, &work);
  engine::vm_log(engine::kLogHistory, "player_name_set_begin %s, %d, %d, %d, %d, %d, %d",
                 name.c_str(), max_chars, given.x, given.y, given.width, given.height,
                 given.font_size);
  if (!w.hBox) {
    platform::message_box(kNameBoxFailed, kError, kBoxAlertFlags);
    w = NameEditWindow{};
    return 1;
  }
  vm.playerName.bWindow = 1;
  name_box_host.set_text(w.hBox, name);
  name_box_host.show(w.hBox);
  w.dwState = kNameBoxOpen;
  return 1;
}

uint32_t cmd_player_name_set_check(VmContext& vm) {
  NameEditWindow* w = name_edit_window(vm);
  if (!w || w->dwState != kNameBoxOpen) {
    engine::vm_set_result(vm, 0);
    engine::vm_log(engine::kLogHistory, "player_name_set_check not run");
    return 1;
  }
  const std::string text = name_box_host.get_text(w->hBox, kBoxTextBytes);
  uint32_t result = 0;
  if (player_name_acceptable(text)) {
    const std::string name = current_name(vm);
    vm.playerName.bChanged =
        text.size() != vm.playerName.dwNameLength || text != name.substr(0, text.size()) ? 1 : 0;
    w->dwState = kNameBoxAccepted;
    result = 1;
  } else {
    name_box_host.set_text(w->hBox, current_name(vm));
    name_box_host.beep();
  }
  engine::vm_set_result(vm, result);
  engine::vm_log(engine::kLogHistory, "[%d]player_name_set_check", as_int(result));
  return 1;
}

uint32_t cmd_player_name_set_end(VmContext& vm) {
  NameEditWindow* w = name_edit_window(vm);
  if (!w) {
    engine::vm_log(engine::kLogHistory, "player_name_set_end not run");
    return 1;
  }
  if (w->dwState == kNameBoxAccepted) {
    const std::string text = cut(name_box_host.get_text(w->hBox, kBoxTextBytes), kNameBytes);
    name_store(vm, text);
    vm.playerName.dwNameLength = static_cast<uint32_t>(text.size());
  }
  box_close(vm, true);
  engine::vm_log(engine::kLogHistory, "player_name_set_end");
  return 1;
}

uint32_t cmd_player_name_reset(VmContext& vm) {
  NameEditWindow* w = name_edit_window(vm);
  if (!w || w->dwState != kNameBoxOpen) {
    engine::vm_log(engine::kLogHistory, "player_name_reset not run");
    return 1;
  }
  name_box_host.set_text(w->hBox, current_name(vm));
  engine::vm_log(engine::kLogHistory, "player_name_reset");
  return 1;
}

uint32_t cmd_player_name_relayout(VmContext& vm) {
  NameEditWindow* w = name_edit_window(vm);
  if (!w || w->dwState != kNameBoxOpen) return 1;
  int32_t screen_w = 0, screen_h = 0;
  screen_size(&screen_w, &screen_h);
  if (!name_box_place(*w, screen_w, screen_h)) return 1;
  BoxWork work{w, orv.OrvFontGetType()};
  orv.OrvAttachProcess(move_on_window_thread, &work);
  return 1;
}

uint32_t cmd_player_name_set_direct(VmContext& vm) {
  const std::string name = engine::fetch_text(vm, engine::vm_pop(vm), kNameTextBytes);
  if (name.size() > kNameBytes) {
    platform::message_box(kBufferOver, "player_name_set_direct", kBoxAlertFlags);
    return 0;
  }
  name_store(vm, name);
  vm.playerName.dwNameLength = static_cast<uint32_t>(name.size());
  engine::vm_log(engine::kLogHistory, "player_name_set_direct %s", name.c_str());
  return 1;
}

uint32_t cmd_is_playername(VmContext& vm) {
  const uint32_t changed = vm.playerName.bChanged;
  engine::vm_set_result(vm, changed);
  engine::vm_log(engine::kLogHistory, "[%d]is_playername", as_int(changed));
  return 1;
}

uint32_t cmd_player_name_get_str(VmContext& vm) {
  const uint32_t reference = engine::vm_pop(vm);
  char* slot = engine::is_string_handle(reference) ? engine::slot_of(vm, reference) : nullptr;
  if (!slot) {
    engine::vm_log(engine::kLogMain, "player_name_get_str : " CMD_NOT_STRING_TYPE);
    engine::vm_set_result(vm, 0xFFFFFFFFu);
    return 1;
  }
  std::memset(slot, 0, kNameBytes + 1);
  std::memcpy(slot, vm.playerName.szName, kNameBytes);
  engine::vm_set_result(vm, 0);
  return 1;
}

const engine::CommandEntry name_entry_command_entries[] = {NAME_ENTRY_COMMANDS(COMMAND_ENTRY)};
const engine::CommandList name_entry_commands = engine::command_list(name_entry_command_entries);

}  // namespace ui
