// Per-image display defaults: the GraphicInfo record and the layout of graphic.dat.
//
// graphic.dat gives, per image name, the file to load in its place, a render priority step, a
// render mode, an .ani animation, a position offset, a scale, a colour and a centre offset.
//
// File layout (little-endian):
//   0      16 bytes  header; byte 0 '$' marks a body (bytes 16 to the end) scrambled with the
//                    data-file word scrambler
//   16     2,040     index: 255 entries {u16 count, u16 unused, u32 offset}; entry b covers the
//                    names whose first byte is b; offset is from the start of the record area
//   2,056  132 x N   GraphicInfo records, those of one entry consecutive
//
// The record has the same 132-byte layout in the file, in memory and in the save blocks, so
// one field list (sync) serves every direction. Header-only: the graphic.dat writer among the
// tools uses it too.
#pragma once

#include <cstddef>
#include <cstdint>

#include "shared/byte_codec.h"

namespace layers {

// Which defaults of a record apply. The load name and the priority step apply whenever a
// record is found; flags 0 makes the record ignored otherwise.
enum GraphicFlag : uint32_t {
  kGraphicRenderMode = 0x2000,
  kGraphicAnimation = 0x4000,
  kGraphicCenterOffset = 0x8000 | 0x10000,
  kGraphicPosition = 0x20000 | 0x40000,
  kGraphicColor = 0x80000,
  kGraphicScale = 0x100000,
};

struct GraphicInfo {
  char name[32];             // the image name that selects the record, zero-padded
  uint32_t flags;            // GraphicFlag bits
  char loadName[32];         // the file loaded in place of the requested one
  char aniName[32];          // .ani animation (kGraphicAnimation)
  int32_t priorityStep;      // the layer priority grows by 134 x this
  int32_t renderMode;        // the sprite gets renderMode + 1 (kGraphicRenderMode)
  int32_t x, y;              // position offset in pixels (kGraphicPosition)
  int32_t scalePercent;      // both axes (kGraphicScale)
  uint32_t color;            // 0xAARRGGBB (kGraphicColor)
  int32_t centerX, centerY;  // centre offset (kGraphicCenterOffset)
};

template <class IO, class Info>
constexpr void sync(IO& io, Info& r) {
  io.bytes(r.name);
  io.u32(r.flags);
  io.bytes(r.loadName);
  io.bytes(r.aniName);
  io.i32(r.priorityStep);
  io.i32(r.renderMode);
  io.i32(r.x);
  io.i32(r.y);
  io.i32(r.scalePercent);
  io.u32(r.color);
  io.i32(r.centerX);
  io.i32(r.centerY);
}

constexpr size_t kGraphicInfoBytes = 132;
static_assert(codec::stored_size<GraphicInfo>([](auto& io, auto& r) { sync(io, r); }) ==
              kGraphicInfoBytes);

constexpr size_t kGraphicDatHeaderBytes = 16;
constexpr size_t kGraphicDatIndexEntries = 255;  // first bytes 0-254; 255 has no entry
constexpr size_t kGraphicDatIndexBytes = kGraphicDatIndexEntries * 8;
constexpr size_t kGraphicDatRecordsAt = kGraphicDatHeaderBytes + kGraphicDatIndexBytes;  // 2,056

}  // namespace layers
