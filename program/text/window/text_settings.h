// The settings of the text window: one value each for the whole program, set by the text
// settings commands and read by the window, the tag renderer and the reveal. They are not
// saved with a game, and the script reset leaves them as they are. text_settings_reset gives
// the start values (the subsystem's attach calls it).
//
// Thread: the thread that runs the script.
#pragma once

#include <cstdint>

#include "text/render/text_render.h"

namespace engine {

struct SystemSettings;
struct VmContext;

struct TextSettings {
  // What the renderer and the reveal read: line interval, width and height offsets, pitch,
  // wrap, ruby offset switch, reveal type, fade, space skip, paint colour.
  textrender::TextRenderSettings render;
  uint32_t bReadColor;  // lines already read take the read colours
  uint32_t dwReadColor;
  uint32_t dwReadShadowColor;
  int32_t nPriority;  // render priority of message, name and page sprites made from now on
};

inline TextSettings text_settings{};

// The start values: the renderer's defaults (fade on), read colours off with 0x00A8A8A8 and 0,
// priority 4867.
void text_settings_reset();

// The player's settings (message and auto speed, window alpha, base image, name colours) in
// the game state that holds vm.
SystemSettings& player_settings(VmContext& vm);

// Priorities of the window's other sprites: the base image, and icon n at kBasePriority - (n+1).
constexpr int32_t kBasePriority = 4871;
constexpr int32_t kTextPriorityDefault = 4867;

}  // namespace engine
