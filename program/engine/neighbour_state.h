// The regions of the game state that other parts of the game own, reduced to the fields the
// script machine reads and writes today. Each record grows with its own subsystem's work; the
// machine relies only on the fields named here.
#pragma once

#include <cstdint>

namespace layers {
struct ImageRecord;
}
#include "graphics/actions/action_state.h"
#include "graphics/effects/screen_effect_state.h"
#include "save/save_stream.h"
#include "text/history/history_entry.h"
#include "text/render/text_tips.h"
#include "text/sound/sound_state.h"
#include "text/window/text_window.h"
#include "ui/ui_state.h"

namespace engine {

// The running wait of the wait commands; cleared by vm_reset, carried by no save.
struct WaitState {
  uint32_t dwStart;       // time stamp (ms) of the running wait
  uint32_t dwLength;      // ms; 0 no wait running, 0xFFFFFFFF endless
  uint32_t dwSyncLength;  // ms; 0 no sync wait running
  uint32_t dwSyncBase;    // time stamp set by wait_sync_begin
  uint32_t dwSavedMark;   // the length saved by wait_time_push, 0 none
  uint32_t dwSavedStart;
  uint32_t dwSavedLength;
  uint32_t dwFlags;     // nonzero: any skip bit ends the wait
  uint32_t bWaitClear;  // wait_clear cancelled a running wait
};

// The movie sprite that msp_wait waits for (movies subsystem): the layer and the sprite it
// held when the wait began; all zero when no wait runs.
struct MovieWait {
  uint32_t bWaiting;
  uint32_t dwLayer;
  uint32_t hSprite;
};

// A script layer (layers subsystem, graphics/layers/layer_slots.h): its image record, what
// belongs to the layer rather than the image, and its queued or running transition.
struct LayerSlot {
  layers::ImageRecord* lpImage;  // record 16 + n of the image table; null: empty layer
  void* lpEffectNode;            // layer shader effect
  int32_t nUserValue;
  uint32_t dwFlags;       // bits 1-13 filters, 0x40000 children, 0x200000 shake,
                          // 0x400000 movie, 0x800000 async load, 0x1000000 locked
  uint32_t dwTransState;  // 0 none, 1 fade-out, 2 cross-fade
  uint32_t bTransQueued;  // a transition waits for the next commit
  uint32_t hTransition;   // platform transition handle, 0 until first use
  uint32_t hTransIn;      // incoming sprite of the queued transition
  uint32_t hTransOut;     // outgoing sprite (the kept source)
  int32_t nTransKind;
  int32_t nTransTime;       // ms
  int32_t nShakeMode;       // 0 vertical, 1 horizontal, 2 both
  int32_t nShakeAmplitude;  // pixels
  uint32_t dwShakeLength;   // ms, 0xFFFFFFFF endless
  uint32_t dwShakeStart;    // frame time stamp
  int32_t nMovieLoop;
  uint32_t graphChild[8][20];  // recorded image operations and child links (80 bytes each)
  void* lpTagText;             // the layer's text items
  uint32_t dwAsyncRequest;     // the asynchronous load this slot waits for, 0 none
};

// A face layer bound to the text window; all words 0xFFFFFFFF when unused.
struct FaceEntry {
  uint32_t dwLayer;         // 0xFFFFFFFF none
  int32_t nPriorityOffset;  // -134 x priority step
  int32_t x, y;
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
  char szName[32];        // may be full with no terminator
  uint32_t dwNameLength;  // bytes of the name (saved with it)
  uint32_t bChanged;      // the player changed the name (saved with it)
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

}  // namespace engine
