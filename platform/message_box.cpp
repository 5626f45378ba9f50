#include "platform/message_box.h"

#include <SDL.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/sjis.h"

namespace platform {
namespace {

std::mutex g_injected_mutex;
std::string g_injected_list;  // the list the count belongs to
int g_injected_next = 0;

// The next injected answer, or 0 when none is left (or none was given); *injected tells
// whether the environment injects answers at all.
int next_injected_answer(bool* injected) {
  const char* list = std::getenv("VELMORA_MSGBOX_ANSWERS");
  *injected = list != nullptr;
  if (!list) return 0;
  int wanted;
  {
    std::lock_guard<std::mutex> lock(g_injected_mutex);
    if (g_injected_list != list) {
      g_injected_list = list;
      g_injected_next = 0;
    }
    wanted = g_injected_next++;
  }
  const char* p = list;
  for (int i = 0; i < wanted; ++i) {
    p = std::strchr(p, ',');
    if (!p) return 0;
    ++p;
  }
  return std::atoi(p);
}

int default_button(uint32_t style) {
  int index = (style & kMbDefButton3) ? 2 : (style & kMbDefButton2) ? 1 : 0;
  switch (style & 0xF) {
    case kMbOkCancel: return index == 0 ? kIdOk : kIdCancel;
    case kMbYesNo: return index == 0 ? kIdYes : kIdNo;
    case kMbYesNoCancel: return index == 0 ? kIdYes : index == 1 ? kIdNo : kIdCancel;
    default: return kIdOk;
  }
}

}  // namespace

void message_box_answers_restart() {
  std::lock_guard<std::mutex> lock(g_injected_mutex);
  g_injected_next = 0;
}

bool display_available() {
  const char* driver = std::getenv("SDL_VIDEODRIVER");
  if (driver && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0)) return false;
  return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
}

int message_box(const char* text, const char* caption, uint32_t style, int answer_without_display) {
  std::string utf8_text = sjis_to_utf8_lossy(text ? text : "");
  std::string utf8_caption = sjis_to_utf8_lossy(caption ? caption : "");
  std::fprintf(stderr, "[%s] %s\n", utf8_caption.c_str(), utf8_text.c_str());

  int fallback = answer_without_display ? answer_without_display : default_button(style);
  bool injected = false;
  if (int answer = next_injected_answer(&injected)) return answer;
  if (injected || !display_available()) return fallback;

  std::vector<SDL_MessageBoxButtonData> buttons;
  auto add = [&](int id, const char* label) {
    SDL_MessageBoxButtonData b{};
    b.buttonid = id;
    b.text = label;
    buttons.push_back(b);
  };
  switch (style & 0xF) {
    case kMbOkCancel: add(kIdOk, "OK"); add(kIdCancel, "Cancel"); break;
    case kMbYesNo: add(kIdYes, "Yes"); add(kIdNo, "No"); break;
    case kMbYesNoCancel: add(kIdYes, "Yes"); add(kIdNo, "No"); add(kIdCancel, "Cancel"); break;
    default: add(kIdOk, "OK"); break;
  }
  int def = default_button(style);
  for (auto& b : buttons) {
    if (b.buttonid == def) b.flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
  }
  SDL_MessageBoxData data{};
  uint32_t icon = style & 0xF0;
  data.flags = icon == kMbIconHand ? SDL_MESSAGEBOX_ERROR
             : icon == kMbIconExclamation ? SDL_MESSAGEBOX_WARNING
                                          : SDL_MESSAGEBOX_INFORMATION;
  data.title = utf8_caption.c_str();
  data.message = utf8_text.c_str();
  data.numbuttons = static_cast<int>(buttons.size());
  data.buttons = buttons.data();
  int chosen = 0;
  if (SDL_ShowMessageBox(&data, &chosen) != 0 || chosen <= 0) return fallback;
  return chosen;
}

}  // namespace platform
