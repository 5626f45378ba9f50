// TextWindow: the game's one message window, kept inside the VmContext. It owns the sprites
// that show dialogue (message, speaker name, base image, three waiting icons and, in page mode,
// the page sprite), remembers the current line and its wait state, and holds the reveal
// buffers (textrender::RevealState) that uncover the text over time.
//
// Before text_init every field is zero except the button group, which the script reset sets
// to kNoButtonGroup. The record is plain data: images are owned through their records in the
// image table (graphics/layers/image_record.h), the reveal buffers are OrvMemoryAlloc blocks.
//
// Thread: the thread that runs the script, like the machine itself.
#pragma once

#include <cstdint>

#include "orv/types.h"
#include "text/render/text_render.h"

namespace layers {
struct ImageRecord;
}

namespace engine {

struct TextIcon {
  layers::ImageRecord* lpImage;  // null: empty slot
  uint32_t hAnimation;           // its cell animation, 0 none
};

// Waiting icons.
constexpr uint32_t kIconClick = 0;
constexpr uint32_t kIconSkip = 1;
constexpr uint32_t kIconAuto = 2;
constexpr uint32_t kIconCount = 3;

// Largest character size and window side text_init takes. A saved game is checked against the
// same bound, so every window a script can make can also be loaded back.
constexpr int32_t kMaxTextSide = 16384;

// Mode word: the low half the phase of the current line, the high half its kind.
constexpr uint32_t kModeReveal = 0x1;
constexpr uint32_t kModeClickWait = 0x2;
constexpr uint32_t kModeTimedWait = 0x4;
constexpr uint32_t kModeEndWithReveal = 0x8;
constexpr uint32_t kModeEndNextUpdate = 0x10;
constexpr uint32_t kModeNormalLine = 0x10000;
constexpr uint32_t kModeNoWaitLine = 0x20000;
constexpr uint32_t kModeRevealAtOnce = 0x40000;
constexpr uint32_t kModeNoClickLine = 0x80000;

// Line flags.
constexpr uint32_t kLineHasName = 0x1;
constexpr uint32_t kLineHasVoice = 0x2;

constexpr uint32_t kNoButtonGroup = 0xFFFF;
constexpr uint32_t kTextPageBytes = 4096;
constexpr uint32_t kTextMessageBytes = 4096;
constexpr uint32_t kTextNameBytes = 260;
constexpr uint32_t kTextVoiceBytes = 32;

struct TextWindow {
  uint32_t bInit;       // 1 after text_init; every text command refuses to work while 0
  uint32_t dwTextMode;  // 0 normal, 1 page mode, 2 normal without the name plate
  uint32_t dwIconMode;  // 0 icons at their own places, 1 icons follow the end of the text
  int32_t nCharSize;    // message font size
  int32_t nRubySize;    // ruby band above each line, 0 none
  int32_t x, y;         // message sprite position, screen pixels
  int32_t nWidth;       // message area width, a multiple of 4
  int32_t nHeight;
  int32_t nNameX, nNameY;
  uint32_t dwButtonGroup;  // low 16 bits: bound button group, kNoButtonGroup none
  int32_t nPageX, nPageY, nPageWidth, nPageHeight;
  uint32_t bPageName;  // the last line added to the page named a speaker
  int32_t nPageNextX, nPageNextY;
  int32_t nPageIconX, nPageIconY;
  char szPage[kTextPageBytes];  // markup of the page's lines so far, always terminated
  uint32_t bVisible;
  uint32_t bRead;            // the current text had been read before
  uint32_t bAdvanceRequest;  // the next update counts as an advance input
  int32_t nTime;             // time operand of the current line (ms; < 0 at once, 0 by speed)
  uint32_t bExternal;        // the waiting icons are not shown
  uint32_t dwMode;           // mode word (kMode...), 0 = no text wait
  uint32_t dwLineFlags;      // kLineHas...
  uint32_t dwStartTime;      // start of the reveal, later of the click wait (ms)
  int32_t nTotalTime;        // reveal duration, later the auto delay (ms)
  uint32_t dwRevealOffset;   // ms already revealed when the reveal starts (appended lines)
  uint32_t dwWaitTime;       // minimum length of a timed wait_click (ms), 0 none
  uint32_t dwWaitStart;      // when that timed wait began
  int32_t nRenderedLength;   // reveal distance of the message, pixels
  uint32_t dwVoiceId, dwNameId, dwTextId;
  uint32_t dwBacklogTextId;
  int32_t nEndX, nEndY;  // where the message ended, relative to the message sprite
  OrvHandle hTimeCheckTask;
  layers::ImageRecord* lpName;
  layers::ImageRecord* lpMessage;
  layers::ImageRecord* lpPage;
  layers::ImageRecord* lpBase;
  TextIcon icons[kIconCount];
  textrender::RevealState reveal;
  uint32_t dwIcon;  // the icon the wait shows (kIcon...)
  uint32_t dwColor, dwShadowColor;
  uint32_t dwSavedColor, dwSavedShadowColor;
  char szName[kTextNameBytes];
  char szMessage[kTextMessageBytes];
  char szVoice[kTextVoiceBytes];

  // The click-advance switch (enable_text_click_advance), a setting that the window's clears
  // keep; and the end-of-text flags that a no-wait line's finished reveal sets for wait_click
  // (both set together; the waits, the text commands and the reset clear them).
  uint32_t bClickAdvance;
  uint32_t bEndOfText[2];
};

}  // namespace engine
