// Tips words: the glossary words a message marks with "<d" n ">" word "</d>".
//
// While the text renderer draws such a message it records every marked word, with its place
// on the message sprite and its bytes, in a TextTip of the VmContext's TextTipsState; the text
// wait then runs the script's two hook labels (tips_begin_hook while a line waits,
// tips_end_hook when the wait ends), and the tips commands read the records.
//
// The records are plain and valid when zero (the VmContext is zero-filled). Strings are
// always terminated within their 2,047 bytes: a longer word is cut to 2,046 bytes on a
// Shift-JIS unit boundary.
//
// Thread: the thread that runs the script.
#pragma once

#include <cstdint>

namespace engine {

struct VmContext;

constexpr uint32_t kTipCount = 32;  // records; only 0..30 are ever written
constexpr uint32_t kTipKeep = 31;   // the 32nd word overwrites record 0
constexpr uint32_t kTipStringBytes = 2047;

// Indices of TextTip::fields.
enum TipField : int {
  kTipKey = 0,         // the n of "<d" n ">" (-1 without digits)
  kTipX = 1,           // start x (grown by the pitch when above 0)
  kTipY = 2,           // start y
  kTipRight = 3,       // first part's right (x + pitch at its end)
  kTipBottom = 4,      // first part's bottom (y + line pitch)
  kTipX2 = 5,          // wrapped: the second part's start x (0)
  kTipY2 = 6,          // wrapped: the second part's start y
  kTipRight2 = 7,      // wrapped: the second part's right
  kTipBottom2 = 8,     // wrapped: the second part's bottom
  kTipCharSize = 9,    // the call's char size
  kTipLinePitch = 10,  // the line pitch at the word's end
  kTipWrapped = 11,    // 1 when the word continues on the next line
  kTipFontType = 12,
  kTipFontSize = 13,
  kTipFontEffect = 14,
  kTipFieldCount = 15,
};

struct TextTip {
  int32_t fields[kTipFieldCount];
  // 0: the whole word; 1 and 2: when wrapped, the parts on the first and on the next line.
  char strings[3][kTipStringBytes];
};

// TextTipsState::dwState bytes.
constexpr uint32_t kTipsBeginEnabled = 0x0001;
constexpr uint32_t kTipsEndRequested = 0x0100;

struct TextTipsState {
  int32_t nCount;         // words recorded since tips_reset / tips_init (wraps 31 -> 0)
  uint32_t dwBeginLabel;  // code offset from the base, 0 none
  uint32_t dwEndLabel;    // code offset from the base, 0 none
  uint32_t dwState;       // kTipsBeginEnabled | kTipsEndRequested
  TextTip tips[kTipCount];
  uint8_t bHookRunning;  // 1 from the begin hook until the end hook
  uint8_t bColoursOn;    // tips words drawn in dwColour1 / dwColour2
  uint32_t dwColour1;    // text colour 0x00RRGGBB
  uint32_t dwColour2;    // outline or shadow colour
};

// On each update of a line's wait: when no hook runs, the begin is enabled, the count is not
// negative and a begin label is set, pushes a return entry {pc, kind 0} on channel 2 and jumps
// to base + begin label; the hook then runs (bHookRunning = 1). Does nothing otherwise.
void tips_begin_hook(VmContext& vm);
// When a line's wait ends: when the end is requested, the count is not negative and an end
// label is set, pushes a return entry and jumps to base + end label; bHookRunning = 0.
// Neither hook changes dwState.
void tips_end_hook(VmContext& vm);

}  // namespace engine
