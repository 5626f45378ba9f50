// SaveStream: the save settings and the buffers of the snapshot (the byte image of the whole
// script state that a save file holds), kept in the game state.
//
// The snapshot buffer is a byte vector reserved once at its full size (kSaveBufferBytes), so a
// snapshot taken at every line appends into memory it already has. PrevData is the packed copy
// of one snapshot; its buffer is sized for the worst packing (kPrevDataBytes).
//
// The record lives in zero-filled memory: every field is valid when zero, and the buffers are
// made by save_stream_init (engine start) and freed by save_stream_free (engine end).
//
// Thread: the thread that runs the script.
#pragma once

#include <cstdint>
#include <vector>

namespace engine {

// The largest snapshot and the largest save file read back.
constexpr uint32_t kSaveBufferBytes = 0x200000;
// Packing words that never repeat costs one flag byte per eight words: 1 byte in 32 more than
// the raw snapshot, plus the last flag byte.
constexpr uint32_t kPrevDataBytes = kSaveBufferBytes + kSaveBufferBytes / 32 + 8;

struct SaveStream {
  uint32_t dwMosaicThumbnail;  // thumbnails of this stream are pixelated
  uint32_t dwThumbWidth;
  uint32_t dwThumbHeight;
  uint32_t bThumbEnabled;    // each snapshot takes a new screen thumbnail
  uint8_t* lpThumbPixels;    // dwThumbSize bytes, width x height 32-bit pixels
  uint32_t dwThumbSize;      // width x height x 4
  uint32_t dwTextRectWidth;  // save-text rectangle (save_set_text_rect)
  uint32_t dwTextRectHeight;
  uint32_t dwResumePc;  // where a load resumes; set by each caller before a snapshot
  uint32_t dwTitle;     // text reference (save_set_title)
  uint16_t wFontSize;   // the save font
  uint16_t wFontType;
  uint16_t wFontEffect;
  uint32_t dwFontColor;
  uint32_t dwShadowColor;
  int32_t nLoadAfterLabel;           // -1 none, else a code offset from the code base
  uint32_t bSnapValid;               // a snapshot is held; save writes nothing while 0
  uint32_t bSavePointLock;           // no snapshot is taken while nonzero
  std::vector<uint8_t>* lpSnapshot;  // the held snapshot (or the last file read)
  uint32_t dwSnapOffset;             // after a build: the snapshot's length
  uint32_t dwSnapLength;             // valid bytes for reading
  uint8_t* lpPrevData;               // kPrevDataBytes
  uint32_t dwPrevRawLength;          // 0: no PrevData
  uint32_t dwPrevPackedLength;
  char szSaveText[4096];  // the current line's message, shown by a save slot; terminated
};

// Makes the buffers that are missing (snapshot, PrevData, thumbnail pixels of the current
// size). False when memory ran out; what was made stays for save_stream_free.
bool save_stream_init(SaveStream& s);
// Frees every buffer of the stream.
void save_stream_free(SaveStream& s);
// Replaces the thumbnail pixel buffer by one of width x height (uncleared); the old buffer is
// freed only once the new one exists. False (nothing changed) for sizes <= 0, a thumbnail that
// would not leave room for the rest of a snapshot, or no memory.
bool save_thumbnail_resize(SaveStream& s, int32_t width, int32_t height);
// The largest thumbnail byte size a snapshot takes: it leaves 256 KiB for the rest of the state
// (an idle game needs about 150 KiB).
constexpr uint32_t kThumbMaxBytes = kSaveBufferBytes - 256 * 1024;

}  // namespace engine
