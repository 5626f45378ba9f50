#include "platform/clipboard.h"

#include <SDL.h>

#include <cstdio>

#include "platform/sjis.h"

namespace platform {

std::string clipboard_text_sjis() {
  if (!SDL_WasInit(SDL_INIT_VIDEO) || !SDL_HasClipboardText()) return std::string();
  char* utf8 = SDL_GetClipboardText();  // never null; "" on failure
  std::string sjis = utf8 ? utf8_to_sjis_lossy(utf8) : std::string();
  SDL_free(utf8);
  return sjis;
}

bool clipboard_set_text_sjis(std::string_view sjis) {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
  const std::string utf8 = sjis_to_utf8_lossy(sjis);
  if (SDL_SetClipboardText(utf8.c_str()) != 0) {
    std::fprintf(stderr, "clipboard: the text could not be copied (%s)\n", SDL_GetError());
    return false;
  }
  return true;
}

}  // namespace platform
