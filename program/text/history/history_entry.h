// One backlog line, HistoryEntry: the speaker, the message, the voice, where the line stands
// in the script and the history snapshot it belongs to. Save data stores the entries as they
// are, so the layout is fixed: 492 bytes, little-endian.
//
//   offset 0    64 bytes  name: Shift-JIS, terminated, at most 63 bytes; the bytes 0x00 0x81
//                         at its start mean a line without speaker
//   offset 64  384 bytes  text: the expanded message, terminated, at most 383 bytes
//   offset 448  32 bytes  voice: the voice file name, terminated, at most 31 bytes; empty: none
//   offset 480   u32      script point: pc of the text command or resume point of the snapshot
//   offset 484   i32      history number: the line's history snapshot, -1 none
//   offset 488   u32      face flag: nonzero when the line may show a face button
#pragma once

#include <cstddef>
#include <cstdint>

#include "orv/sound_types.h"
#include "orv/types.h"

namespace layers {
struct ImageRecord;
}

namespace engine {

struct HistoryEntry {
  char name[64];
  char text[384];
  char voice[32];
  uint32_t scriptPoint;
  int32_t historyNo;
  uint32_t faceFlag;
};
static_assert(sizeof(HistoryEntry) == 492);

constexpr size_t kHistoryEntryBytes = 492;
constexpr uint32_t kHistoryEntries = 128;

// The backlog's part of the script machine's record (VmContext::history). Only the entry count
// and the entries are saved; the rest is the history window's settings and the sprites and
// buttons of the page it shows.
struct HistoryLog {
  uint32_t dwJumpLabel;                   // label number run after a history skip, 0 none
  uint32_t nEntryCount;                   // valid entries, 0..128
  uint32_t bDisabled;                     // enable_history(0): no new entries while set
  uint32_t bFaceOn;                       // history_set_face
  uint32_t bFaceForNew;                   // copied into each new entry's face flag
  uint32_t bSnapshotsOn;                  // history snapshots are written: lines carry their number
  uint32_t bEntryImageOn;                 // history_set_entry_image
  HistoryEntry entries[kHistoryEntries];  // entry 0 the newest

  // ---- the history window ----
  uint32_t bWindowOpen;  // between history_begin and history_end
  // Per line of the shown page (line 0 at the bottom): the voice of its entry, its sprites
  // (0 none) and its buttons' images (null none).
  const char* lpLineVoice[kHistoryEntries];
  OrvHandle hName[kHistoryEntries];
  OrvHandle hText[kHistoryEntries];
  OrvHandle hMark[kHistoryEntries];
  OrvHandle hEntryImage[kHistoryEntries];
  layers::ImageRecord* lpFace[kHistoryEntries];
  layers::ImageRecord* lpJump[kHistoryEntries];
  OrvHandle hHighlight;             // the hover box
  OrvSoundHandle hButtonSounds[3];  // face group's hover and click sounds, history_set_btn's
  OrvSoundHandle hFaceSound;
  uint32_t dwColorNormal, dwColorHover;                    // ARGB, alpha 0xFF
  int32_t nNameX, nNameY, nTextX, nTextY, nMarkX, nMarkY;  // from the line's origin
  int32_t nFaceX, nFaceY;
  uint32_t dwFaceCallLabel;  // label number, 0 none
  uint32_t dwFaceGroup;      // button group of the face buttons
  uint32_t dwJumpGroup;
  uint32_t dwJumpClickLabel, dwJumpHoverLabel;  // label numbers
  int32_t nJumpX, nJumpY;
  char szJumpImage[32];  // empty: no jump buttons
  int32_t nEntryImageX, nEntryImageY;
  char szEntryImage[32];
  int32_t nSpacing;
  int32_t nLeft, nTop, nRight, nBottom;  // the area the lines fill
  int32_t nTotalHeight;
  int32_t nMaxPos;  // largest start index that still fills the window
  int32_t nPos;     // start index, 0 = newest line at the bottom
  int32_t nPageCount;
  uint32_t bVoiceMark;
  char szVoiceMark[32];
};

}  // namespace engine
