// GameState: the task data of the main task "StartFunc", which holds all state of the game
// program: the player's persisted settings, two start-up words and the script machine.
//
// The block is zero-filled when the task is made. Its in-memory size only follows from our
// own layout; what reaches files (SystemSettings in system.dat) is read and written field by
// field by the system-file code, which relies on the field order and the sizes asserted here.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/vm_context.h"

namespace engine {

struct NameColor {
  uint32_t bUsed;
  uint32_t dwTextColor;
  uint32_t dwShadowColor;
  uint32_t dwNameLength;
  char szName[32];
};
static_assert(sizeof(NameColor) == 48);

// The player's settings, stored as the 816 bytes after the format number of system.dat.
struct SystemSettings {
  uint32_t dwScriptStamp;
  uint32_t bAllMosaicThumbnail;
  uint32_t dwWindowMode;
  uint32_t bSkipUnread;
  uint32_t bEffectEnable;
  uint32_t bAspectPos;
  int32_t nNewestSave;
  uint32_t dwAutoSpeed;
  uint32_t dwMessageSpeed;
  uint32_t dwCursorHideTime;
  int32_t nTextBaseImage;
  int32_t nTextAlpha;
  NameColor nameColors[16];
};
static_assert(sizeof(SystemSettings) == 816);

// The sound settings as system.dat stores them (their fields, in VmContext::sound, belong to the
// sound subsystem).
constexpr size_t kSoundSettingsBytes = 2952;

struct GameState {
  SystemSettings settings;
  uint32_t bVoiceCheck;
  uint32_t dwBootFlag;
  VmContext vm;
};

}  // namespace engine
