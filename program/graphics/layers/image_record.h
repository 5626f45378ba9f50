// Image records: one record per picture shown through a platform sprite, and the 32-bit image
// numbers that scripts use to name them.
//
// Every record lives in one fixed table, image_table. The records in use are chained in the
// active-image list, newest first; the per-frame passes walk that list. The table is split by
// kind:
//   records 0-15             system images (the text window's base image, icons, page sprite)
//   records 16-143           the image of script layer n is record 16 + n
//   records 144 + 128 p + n  plane image n of plane p (0-15): buttons and choices
// All 16 planes have their 128 records, so every number that decodes has a record of its own.
//
// Thread: the game thread, or the work thread while the script runs there, under the render
// lock like the script machine itself.
#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/layers/graphic_info.h"
#include "shared/byte_codec.h"

namespace engine {
struct VmContext;
}

namespace layers {

struct Vec3i {
  int32_t x, y, z;
};
struct Vec3f {
  float x, y, z;
};
struct Vec2f {
  float x, y;
};
struct RectI {
  int32_t left, top, right, bottom;
};
// Colour deltas in the order A, R, G, B.
struct ColorDelta {
  int16_t a, r, g, b;
};

// The image's own transform: the part of the record that the save blocks store as 152 bytes.
struct BaseTransform {
  Vec3i pos;            // base position, screen pixels
  Vec3i posOfs;         // offset position: child offset, kept end of an .ani animation
  Vec3i rot;            // degrees
  Vec3i rotOfs;         // degrees
  uint32_t bRect;       // nonzero: rect is in force
  RectI rect;           // source rectangle, image pixels
  Vec2f scale;          // 1.0 = 100 %
  Vec2f scaleOfs;       // added to scale
  uint32_t dwColor;     // 0xAARRGGBB
  ColorDelta colorOfs;  // added per channel
  uint32_t dwAspectType;
  Vec3f fPos, fPosOfs, fRot, fRotOfs;  // the float copies
  uint32_t reserved;                   // always 0
};

template <class IO, class V>
constexpr void sync_vec3i(IO& io, V& v) {
  io.i32(v.x);
  io.i32(v.y);
  io.i32(v.z);
}
template <class IO, class V>
constexpr void sync_vec3f(IO& io, V& v) {
  io.f32(v.x);
  io.f32(v.y);
  io.f32(v.z);
}

template <class IO, class T>
constexpr void sync_transform(IO& io, T& t) {
  sync_vec3i(io, t.pos);
  sync_vec3i(io, t.posOfs);
  sync_vec3i(io, t.rot);
  sync_vec3i(io, t.rotOfs);
  io.u32(t.bRect);
  io.i32(t.rect.left);
  io.i32(t.rect.top);
  io.i32(t.rect.right);
  io.i32(t.rect.bottom);
  io.f32(t.scale.x);
  io.f32(t.scale.y);
  io.f32(t.scaleOfs.x);
  io.f32(t.scaleOfs.y);
  io.u32(t.dwColor);
  io.i16(t.colorOfs.a);
  io.i16(t.colorOfs.r);
  io.i16(t.colorOfs.g);
  io.i16(t.colorOfs.b);
  io.u32(t.dwAspectType);
  sync_vec3f(io, t.fPos);
  sync_vec3f(io, t.fPosOfs);
  sync_vec3f(io, t.fRot);
  sync_vec3f(io, t.fRotOfs);
  io.u32(t.reserved);
}

constexpr size_t kBaseTransformBytes = 152;
static_assert(codec::stored_size<BaseTransform>([](auto& io, auto& r) { sync_transform(io, r); }) ==
              kBaseTransformBytes);

// What the running actions, .ani tracks and the layer shake write anew every frame.
struct FrameDeltas {
  Vec3i actionPos, animPos;
  int32_t shakeX, shakeY;
  Vec3i actionRot, animRot;
  RectI actionRect;
  Vec2f actionScale, animScale;
  ColorDelta actionColor, animColor;
  Vec3f actionFPos, animFPos;
  Vec3f actionFRot, animFRot;
};

// What finished action sections (actionSet) and .ani tracks (animSet) leave behind.
struct TransformSet {
  Vec3i pos;
  Vec3i rot;
  RectI rect;
  Vec2f scale;
  ColorDelta color;
  Vec3f fPos;
  Vec3f fRot;
};

struct ImageRecord {
  uint32_t hSprite;    // platform sprite id; 0 none
  uint32_t lFileNo;    // file operand it came from (bit 28: a string slot, name in szFileName;
                       // File.dat entry 0 is kept in that form too); 0 none
  uint32_t dwAnimeNo;  // .ani slot 1-128, 0 none
  uint32_t dwIndex;    // own index in image_table
  BaseTransform base;
  FrameDeltas frame;
  TransformSet actionSet;
  TransformSet animSet;
  GraphicInfo graphicInfo;  // display defaults from graphic.dat; zero without
  ImageRecord* prev;
  ImageRecord* next;
  char szFileName[32];
};

// Record kinds as base indices of the table.
enum ImageBase : uint32_t { kBaseSystem = 0, kBaseLayer = 1, kBasePlane = 2 };

constexpr uint32_t kSystemImages = 16;
constexpr uint32_t kLayerImages = 128;
constexpr uint32_t kPlanes = 16;
constexpr uint32_t kPlaneImages = 128;
constexpr uint32_t kImageRecords = kSystemImages + kLayerImages + kPlanes * kPlaneImages;  // 2,192

// The table; record kImageRecords is the head of the active-image list (only its next link).
extern ImageRecord image_table[kImageRecords + 1];

// Image numbers: bits 0-15 n, bits 20-23 plane, bits 24-27 kind (0 layer, 1 system, 2 plane).
// The table index, or -1 with "fail original image no : 0x%08X" (key 0) for another kind or
// an n beyond its kind (16 system, 128 layer or plane images).
int32_t decode_image_no(uint32_t image_no);
// 0x02000000 | plane << 20 | n, or -1 (0xFFFFFFFF) for plane >= 16 or n >= 128.
uint32_t make_plane_image_no(uint32_t plane, uint32_t n);
// The record of a table index while it is in use (allocated, not yet released); null for -1,
// an index outside the table or a free record, so that a follower of a released parent skips it.
ImageRecord* image_record_at(int32_t index);

// The file an image came from into name (33 bytes, zero-terminated): its kept name for a
// string-slot file, else its File.dat name (not marked as seen). 1, or 0 when the number names
// no record or the record keeps no file (lFileNo 0).
uint32_t image_get_file_name(engine::VmContext& vm, uint32_t image_no, char (&name)[33]);
// Records the file an image was loaded from: lFileNo = file, and for a string-slot file the
// name the caller keeps for it (slot_name, 32 bytes). File.dat entry 0 cannot be kept as the
// number 0, which image records and save blocks read as "no file": that one is kept by its
// File.dat name (name, 32 bytes) in the string-slot form, so that a save keeps the picture and
// its name can be asked for.
void image_keep_file(ImageRecord& image, uint32_t file, const char* slot_name, const char* name);
// Keeps the name of a string-slot file reference (bit 28, slot below 16) in a 32-byte field,
// cut at byte 31, so that an image operation can be replayed after the slot changed; any other
// reference leaves the field zero.
void image_op_keep_name(engine::VmContext& vm, uint32_t file, char (&field)[32]);

// Takes record base + n: zeroes it, stores its index, scale 1.0, colour 0xFFFFFFFF, and links
// it first in the active list. The caller keeps n inside its kind and has released the
// record's previous image. Null for an n outside its kind.
ImageRecord* image_alloc(ImageBase base, uint32_t n);
// Releases a record: its sprite is released at the next commit (a queued display request
// 0x30005); the record leaves the active list and is zeroed. Null does nothing.
void image_release(engine::VmContext& vm, ImageRecord* image);
// As image_release, with the sprite released at once.
void image_release_now(ImageRecord* image);
// Every listed record from the head, newest first; stops when fn returns false.
template <class Fn>
void images_for_each(Fn fn) {
  for (ImageRecord* r = image_table[kImageRecords].next; r;) {
    ImageRecord* next = r->next;
    fn(*r);
    r = next;
  }
}

// The effective colour: each channel of dwColor plus its five deltas in 16-bit arithmetic,
// clamped to 0-255.
uint32_t image_effective_color(const ImageRecord& image);
// The effective values that the query commands read: each axis summed over the base, the
// offset, both frame halves and both sets (position without the shake).
Vec3i image_effective_pos(const ImageRecord& image);
Vec3i image_effective_rot(const ImageRecord& image);
// The scale of axis x (0) or y (1) in percent, rounded: (scaleOfs + scale + frame action +
// frame animation + actionSet + animSet + 0.005) x 100 in floats, truncated.
int32_t image_scale_percent(const ImageRecord& image, int axis);
// Pushes the sums of one image's transform sets to its sprite (position, aspect, rotation,
// scale, colour, source rectangle). A record without a sprite does nothing.
void image_apply_transform(engine::VmContext& vm, ImageRecord& image);
// image_apply_transform for every listed image (end of a frame).
void images_apply_all(engine::VmContext& vm);
// Zeroes the per-frame deltas of every listed image (start of a frame).
void images_frame_deltas_clear(engine::VmContext& vm);
// Folds actionSet into the base of every listed image and zeroes it; z is not folded, so an
// action's z offset ends with its slot.
void image_commit_action_deltas();
// The child's base becomes the parent's effective values; its offset from the parent's centre
// scales with the parent.
void image_follow_transform(ImageRecord& child, const ImageRecord& parent);

// Applies the flagged defaults of a graphic.dat record that are also in mask to the image's
// sprite, after copying the record into the image. Flags 0: nothing.
void image_apply_graphic_info(engine::VmContext& vm, ImageRecord& image, const GraphicInfo& info,
                              uint32_t mask);

// Rotations go to the sprite as floats when the renderer takes them (set at machine start).
inline bool g_float_rotation = false;

}  // namespace layers
