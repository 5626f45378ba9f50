// The layer block of save data: the face table and layers 0-63 with their images. Little-
// endian:
//
//   128 bytes  the face table: 8 x {u32 layer, i32 priority offset, i32 x, i32 y}
//   per layer 0-63:
//     u32   the image's file reference; 0 = an empty layer, nothing more follows for it
//     372   the sprite info          152  the BaseTransform      132  the GraphicInfo
//     u32   animation slot           u32  layer flags            i32  user value
//     16    shake: i32 mode, i32 amplitude, u32 duration, u32 start
//     i32   movie loop word          640  the 8 image-operation records (80 bytes each)
//     the text items: u32 count, then per item 8 words, u32 length (0..260), the text bytes
//     32    the kept file name, only when the reference has bit 28 (a string slot)
//
// A layer without an image, one fading out (its picture is about to go) and one whose image
// has no file to load again (a picture still loading, or one made without a file) are written
// as the word 0. Layers 64-127 are not stored.
//
// The reader loads every image again from its file, puts the sprite's stored state back,
// carries out its recorded image operations again, draws its text lines again, applies its
// filters again and starts a movie sprite again with its loop setting.
#include <cstring>
#include <span>
#include <utility>
#include <vector>

#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/animations/anim_player.h"
#include "graphics/layers/graph_child.h"
#include "graphics/layers/graphic_dat.h"
#include "graphics/layers/image_record.h"
#include "graphics/layers/layer_args.h"
#include "graphics/layers/layer_filters.h"
#include "graphics/layers/layer_slots.h"
#include "graphics/layers/layer_text_items.h"
#include "graphics/layers/sprite_info_record.h"
#include "graphics/layers/sprite_loader.h"
#include "save/save_blocks.h"

namespace save {
namespace {

using engine::FaceEntry;
using engine::LayerSlot;
using layers::ImageRecord;

constexpr uint32_t kSavedLayers = 64;
constexpr uint32_t kFadingOut = 1;
constexpr uint32_t kTextItemWords = 8;
constexpr uint32_t kTextItemMaxBytes = 260;
constexpr uint32_t kMaxAnimeNo = 128;

template <class IO, class F>
constexpr void sync_face(IO& io, F& f) {
  io.u32(f.dwLayer);
  io.i32(f.nPriorityOffset);
  io.i32(f.x);
  io.i32(f.y);
}
static_assert(codec::stored_size<FaceEntry>([](auto& io, auto& r) { sync_face(io, r); }) == 16);

// One stored layer between its file reference and its text items.
struct StoredLayer {
  OrvSpriteInfo info{};
  layers::BaseTransform base{};
  layers::GraphicInfo graphicInfo{};
  uint32_t dwAnimeNo = 0;
  uint32_t dwFlags = 0;
  int32_t nUserValue = 0;
  int32_t nShakeMode = 0, nShakeAmplitude = 0;
  uint32_t dwShakeLength = 0, dwShakeStart = 0;
  int32_t nMovieLoop = 0;
  uint32_t graphChild[8][20] = {};
};

// The words a stored layer shares with its slot, copied in either direction (the stored record
// and engine::LayerSlot name them alike).
template <class From, class To>
void copy_slot_words(const From& from, To& to) {
  to.dwFlags = from.dwFlags;
  to.nUserValue = from.nUserValue;
  to.nShakeMode = from.nShakeMode;
  to.nShakeAmplitude = from.nShakeAmplitude;
  to.dwShakeLength = from.dwShakeLength;
  to.dwShakeStart = from.dwShakeStart;
  to.nMovieLoop = from.nMovieLoop;
  std::memcpy(to.graphChild, from.graphChild, sizeof to.graphChild);
}

template <class IO, class L>
void sync_layer(IO& io, L& l) {
  layers::sync_sprite_info(io, l.info);
  layers::sync_transform(io, l.base);
  layers::sync(io, l.graphicInfo);
  io.u32(l.dwAnimeNo);
  io.u32(l.dwFlags);
  io.i32(l.nUserValue);
  io.i32(l.nShakeMode);
  io.i32(l.nShakeAmplitude);
  io.u32(l.dwShakeLength);
  io.u32(l.dwShakeStart);
  io.i32(l.nMovieLoop);
  for (auto& child : l.graphChild) io.u32s(child, 20);
}
constexpr size_t kStoredLayerBytes = 372 + 152 + 132 + 4 + 4 + 4 + 16 + 4 + 640;
static_assert(kStoredLayerBytes == 1328);

// The file a layer reloads from, 0 when it is stored as empty.
uint32_t stored_file(const LayerSlot& slot) {
  if (!slot.lpImage || slot.dwTransState == kFadingOut) return 0;
  return slot.lpImage->lFileNo;
}

// Steps over the text items, checking them; false on the first fault.
bool check_text_items(codec::ByteReader& in, SaveCheck& check) {
  const uint32_t count = in.u32();
  if (!check.whole(in, "layer text count")) return false;
  constexpr size_t kItemHead = 4 * (kTextItemWords + 1);
  if (count > in.remaining() / kItemHead) return check.fail("layer text count");
  for (uint32_t i = 0; i < count; ++i) {
    in.skip(4 * kTextItemWords);
    const uint32_t length = in.u32();
    if (!check.whole(in, "layer text item") ||
        !check.range(length, 0, kTextItemMaxBytes, "layer text length")) {
      return false;
    }
    in.skip(length);
  }
  return check.whole(in, "layer text item");
}

template <class IO, class T>
void sync_item_words(IO& io, T& t) {
  io.u32(t.kind);
  io.u32(t.fontType);
  io.u32(t.fontEffect);
  io.u32(t.fontSize);
  io.u32(t.colour);
  io.u32(t.colour2);
  io.i32(t.x);
  io.i32(t.y);
}

void write_text_items(codec::ByteWriter& out, uint32_t layer) {
  const std::vector<layers::TagText>& items = layers::layer_text_items(layer);
  out.u32(static_cast<uint32_t>(items.size()));
  for (size_t i = 0; i < items.size(); ++i) {
    const layers::TagText& t = items[i];
    sync_item_words(out, t);
    if (t.text.size() > kTextItemMaxBytes) {
      engine::vm_log(engine::kLogMain, "error write layerEx over string count=%d",
                     static_cast<int32_t>(i));
      out.u32(0);
      continue;
    }
    out.u32(static_cast<uint32_t>(t.text.size()));
    out.bytes(t.text.data(), t.text.size());
  }
}

// Reads checked text items into layer n's list; an empty text adds nothing. They are drawn
// once the picture is loaded.
void read_text_items(codec::ByteReader& in, uint32_t layer) {
  std::vector<layers::TagText>& items = layers::layer_text_items(layer);
  if (!items.empty()) engine::vm_log(engine::kLogMain, "error AdvGraphicLoad: prev VecTagTextPtr");
  const uint32_t count = in.u32();
  for (uint32_t i = 0; i < count && in.ok(); ++i) {
    layers::TagText t{};
    sync_item_words(in, t);
    const uint32_t length = in.u32();
    const std::span<const uint8_t> text = in.take(length);
    if (length == 0 || text.size() != length) continue;
    t.text.assign(reinterpret_cast<const char*>(text.data()), length);
    t.text.resize(strnlen(t.text.c_str(), length));  // the text ends at its first zero
    items.push_back(std::move(t));
  }
}

void restore_layer(engine::VmContext& vm, uint32_t n, uint32_t file, StoredLayer& l,
                   const char (&stored_name)[32]) {
  LayerSlot& slot = vm.layers[n];
  ImageRecord* image = layers::image_alloc(layers::kBaseLayer, n);
  if (!image) return;
  image->base = l.base;
  image->graphicInfo = l.graphicInfo;
  if (l.dwAnimeNo > kMaxAnimeNo) {
    char name[33] = {};
    std::memcpy(name, stored_name, 32);
    engine::vm_log(engine::kLogMain,
                   "*** ERROR load layer=%d dwAnimeNo=%d / lFileNo=%d / szFileName=%s",
                   static_cast<int32_t>(n), static_cast<int32_t>(l.dwAnimeNo),
                   static_cast<int32_t>(file), name);
    l.dwAnimeNo = 0;
  }
  image->dwAnimeNo = l.dwAnimeNo;
  copy_slot_words(l, slot);

  char name[33] = {};
  if (file & engine::kStringHandleBit) {
    std::memcpy(image->szFileName, stored_name, 32);
    std::memcpy(name, stored_name, 32);
  } else {
    engine::get_file_name_operand(vm, reinterpret_cast<uint8_t*>(name), sizeof name, file, 1);
    name[32] = 0;
  }
  char field[32];
  layers::graphic_name_field(name, field);
  layers::GraphicInfo found{};
  layers::GraphicInfo kept = l.graphicInfo;
  if (layers::graphic_dat.find(field, &found)) {
    kept = found;
    std::memset(name, 0, sizeof name);
    std::memcpy(name, found.loadName, sizeof found.loadName);
  }
  const uint32_t sprite =
      layers::sprite_load_by_name_unlocked(vm, name, l.info.width, l.info.height, l.info.priority);
  image->hSprite = sprite;
  if (sprite) {
    l.info.name[sizeof l.info.name - 1] = 0;
    orv.OrvSpriteSetInfo(sprite, &l.info);
  }
  image->lFileNo = file;
  slot.lpImage = image;
  layers::graph_child_replay(vm, n);
  layers::layer_text_items_redraw(vm, n);
  if (sprite && !layers::skipping_scene(vm)) {
    for (uint32_t index = 1; index < layers::kFilterCount; ++index) {
      if (slot.dwFlags & (1u << index)) {
        orv.OrvSpriteSetOption(sprite, layers::filter_option(static_cast<int32_t>(index)));
      }
    }
  }
  // An endless shake goes on from now; a timed one keeps its start and ends on the next frame.
  if ((slot.dwFlags & layers::kLayerShake) && slot.dwShakeLength == 0xFFFFFFFFu) {
    slot.dwShakeStart = orv.OrvtimeGetTime();
  }
  // A movie sprite starts again from its beginning with the loop setting of its last play (its
  // loop points are not stored: a loop runs over the whole movie).
  if ((slot.dwFlags & layers::kLayerMovie) && sprite && orv.OrvMSpriteCheck(sprite)) {
    orv.OrvMSpritePlay(sprite, slot.nMovieLoop);
  }
  // Render mode, and with an animation its .ani loaded again into a new slot, which is then
  // started as the display would start it.
  layers::image_apply_graphic_info(vm, *image, kept, l.dwAnimeNo ? 0x6000 : 0x2000);
  if (l.dwAnimeNo) animations::AdvAnimStart(vm, image->dwAnimeNo);
}

}  // namespace

void layer_save_write(const engine::VmContext& vm, codec::ByteWriter& out) {
  for (const FaceEntry& f : vm.faceTable) sync_face(out, f);
  for (uint32_t n = 0; n < kSavedLayers; ++n) {
    const LayerSlot& slot = vm.layers[n];
    const uint32_t file = stored_file(slot);
    out.u32(file);
    if (file == 0) continue;
    const ImageRecord& image = *slot.lpImage;
    StoredLayer l;
    if (image.hSprite) orv.OrvSpriteGetInfo(image.hSprite, &l.info);
    l.base = image.base;
    l.graphicInfo = image.graphicInfo;
    l.dwAnimeNo = image.dwAnimeNo;
    copy_slot_words(slot, l);
    sync_layer(out, l);
    write_text_items(out, n);
    if (file & engine::kStringHandleBit) out.bytes(image.szFileName);
  }
}

bool layer_save_check(codec::ByteReader& in, SaveCheck& check) {
  for (int i = 0; i < 8; ++i) {
    FaceEntry f{};
    sync_face(in, f);
    if (!check.whole(in, "face table")) return false;
    if (f.dwLayer != layers::kNoFaceLayer && f.dwLayer >= layers::kLayers) {
      return check.fail("face layer");
    }
  }
  for (uint32_t n = 0; n < kSavedLayers; ++n) {
    const uint32_t file = in.u32();
    if (!check.whole(in, "layer file")) return false;
    if (file == 0) continue;
    StoredLayer l;
    sync_layer(in, l);
    if (!check.whole(in, "layer")) return false;
    if (!layers::sprite_info_sizes_ok(l.info)) return check.fail("layer sprite size");
    if (!check_text_items(in, check)) return false;
    if (file & engine::kStringHandleBit) in.skip(32);
    if (!check.whole(in, "layer file name")) return false;
  }
  return true;
}

void layer_save_read(engine::VmContext& vm, codec::ByteReader& in, const LoadMode&) {
  for (FaceEntry& f : vm.faceTable) sync_face(in, f);
  for (uint32_t n = 0; n < kSavedLayers; ++n) {
    const uint32_t file = in.u32();
    if (file == 0) continue;
    StoredLayer l;
    sync_layer(in, l);
    read_text_items(in, n);
    char stored_name[32] = {};
    if (file & engine::kStringHandleBit) in.bytes(stored_name);
    if (in.failed()) return;
    if (vm.layers[n].lpImage) continue;  // the reset left every layer empty
    restore_layer(vm, n, file, l, stored_name);
  }
  layers::face_view_ctrl(vm, 0);
}

}  // namespace save
