// The fixed part of save data: the head that the slot queries read straight from a file
// (title, save text, thumbnail) and the script machine's memories and stacks after it.
//
// Every value is little-endian. S is the thumbnail byte size stored at kHeadThumbSize; the
// memories begin at P = kHeadThumbPixels + S.
//
//   offset  size   content
//   0       4      lock word (0 in a snapshot; save_lock rewrites it in a file)
//   4       4      title (text reference)
//   8       4096   save text, terminated
//   4104    4      mosaic flag
//   4108    4      resume pc (code offset)
//   4112    4      load-after label (offset from the code base; 0xFFFFFFFF none)
//   4116    4      thumbnail width
//   4120    4      thumbnail height
//   4124    4      thumbnail byte size S = width x height x 4
//   4128    4      thumbnails enabled
//   4132    S      thumbnail pixels, row after row
//   P       4096   UserMemory
//   P+4096  32772  MemoryStack: depth (<= 32), 32 frames of 256 words
//   P+36868 32756  StringSlots: ring index (< 16), 16 slots of 2047 bytes
//   P+69624 4      layer priority base
//   P+69628 4      key-cancel mask
//   P+69632 8      two save-point words (always 0)
//   P+69640 4      SystemMemory 509 (current history file)
//   P+69644 4      SystemMemory 511 (history counter)
//   P+69648 4      argument count (<= 64)
//   P+69652 256    argument stack
//   P+69908 4      frame base (<= 512)
//   P+69912 4      frame stack pointer (<= 512)
//   P+69916 2048   frame cells
//   P+71964 32     player name
//   P+71996 4      player-name length (<= 32)
//   P+72000 4      player-name changed flag
#pragma once

#include <cstdint>

#include "engine/vm_context.h"
#include "save/save_block.h"
#include "shared/byte_codec.h"

namespace save {

constexpr uint32_t kHeadLock = 0;
constexpr uint32_t kHeadTitle = 4;
constexpr uint32_t kHeadText = 8;
constexpr uint32_t kHeadTextBytes = 4096;
constexpr uint32_t kHeadMosaic = 4104;
constexpr uint32_t kHeadResumePc = 4108;
constexpr uint32_t kHeadLoadAfter = 4112;
constexpr uint32_t kHeadThumbWidth = 4116;
constexpr uint32_t kHeadThumbHeight = 4120;
constexpr uint32_t kHeadThumbSize = 4124;
constexpr uint32_t kHeadThumbEnabled = 4128;
constexpr uint32_t kHeadThumbPixels = 4132;
// Offsets from P.
constexpr uint32_t kFixedUserMemory = 0;
constexpr uint32_t kFixedMemoryStack = 4096;
constexpr uint32_t kFixedStrings = 36868;
constexpr uint32_t kFixedPriorityBase = 69624;
constexpr uint32_t kFixedHistory509 = 69640;
constexpr uint32_t kFixedArgCount = 69648;
constexpr uint32_t kFixedPlayerName = 71964;
constexpr uint32_t kFixedEnd = 72004;

// What the check learnt of the fixed part.
struct FixedInfo {
  uint32_t dwThumbWidth = 0;
  uint32_t dwThumbHeight = 0;
  uint32_t dwThumbSize = 0;  // S
};

void fixed_save_write(const engine::VmContext& vm, codec::ByteWriter& out);
bool fixed_save_check(codec::ByteReader& in, SaveCheck& check, FixedInfo* info);
// The thumbnail pixel buffer must already hold S bytes (the loader resizes it first).
void fixed_save_read(engine::VmContext& vm, codec::ByteReader& in);

}  // namespace save
