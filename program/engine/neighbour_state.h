// The regions of the game state that other parts of the game own, reduced to the fields the
// script machine reads and writes today. Each record grows with its own subsystem's work; the
// machine relies only on the fields named here.
#pragma once

#include <cstdint>

namespace engine {

// Message window (text, voice and sound).
struct TextWindow {
  uint32_t dwMode;
};

// Save settings and snapshot buffers (interaction and persistence).
struct SaveStream {
  uint32_t dwMosaicThumbnail;
  uint32_t dwResumePc;
  uint32_t dwSnapOffset;
  uint32_t dwSnapLength;
  uint32_t bSnapValid;
  uint32_t bSavePointLock;
  int32_t nLoadAfterLabel;  // -1 none, else a code offset
  uint32_t dwPrevRawLength;
  uint32_t dwThumbWidth;
  uint32_t dwThumbHeight;
  uint32_t dwThumbSize;
  uint32_t bThumbEnabled;
  uint8_t* lpThumbPixels;
  uint8_t* lpSnapshot;
  uint8_t* lpPrevData;
};

struct ButtonSystem {
  uint32_t bKeyRelease;  // get_skip_state reads released keys instead of pushed ones
  uint32_t dwWaitStart;
  uint32_t dwInvalidTime;
  uint32_t bRunSkip;
};

struct SystemButton {
  uint32_t bInit;
  uint32_t bEnable;
};

struct HistoryLog {
  uint32_t dwJumpLabel;  // 0 none
  uint32_t nEntryCount;
  uint32_t bDisabled;
};

// Timed waits (the waits issue fills the rest).
struct WaitState {
  uint32_t dwStart;
  uint32_t dwLength;
  uint32_t dwSyncBase;
  uint32_t dwSyncLength;
  uint32_t dwSavedStart;
  uint32_t dwSavedLength;
  uint32_t dwFlags;
  uint32_t bWaitClear;
};

struct SoundState {
  uint32_t hSe[16];
};

struct SelectState {
  uint32_t nItems;
};

struct LayerSlot {
  uint32_t bUsed;
};

struct ScreenEffectState {
  uint32_t dwSyncBits;
  uint32_t dwActiveJobs;
};

struct ActionSystem {
  uint32_t nRunning;
};

struct ScriptThreadRecord {
  uint32_t bExists;
  uint32_t bEnabled;
  uint32_t nRunning;
  uint32_t dwStart;
  uint32_t dwLabel;
};

struct PlayerNameBlock {
  uint32_t bWindow;
  uint32_t nLimit;
  char szName[32];
};

struct MessageSlot {
  uint32_t bPosted;
  uint32_t dwParam;
};

struct MessageBlock {
  uint32_t bPending;
  uint32_t dwHandler;
  MessageSlot slots[8];
};

struct TextTipsState {
  uint32_t bHookArmed;
};

}  // namespace engine
