// The button block of save data: groups 0 to 3 with their buttons, so that a load rebuilds the
// buttons of the screen that was showing. Little-endian, no padding, per group:
//
//   u32 initialised; 0 ends the group here
//   u32 hover sound, u32 click sound (file references, 0 none)
//   6 x i32 style button numbers (-1 none)
//   per button 0-127: u32 image file reference, 0 = no button (nothing more for it); else the
//     32-byte ButtonEntry (its first word, the image pointer, stored as 0), the 372-byte sprite
//     info, the 152-byte BaseTransform and, for a string-slot reference (bit 28), the 32-byte
//     kept file name
//
// A button made from a layer picture (btn_blt) has no file to load it from again: it is
// written as an empty place. The hovered button is stored with the sprite info kept when its
// hover began, so it comes back in its normal frame. Groups 4-15, locks, hover, toggles and
// the reaction pause are not stored.
#include <cstring>
#include <string>

#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/vm_services.h"
#include "graphics/animations/anim_player.h"
#include "graphics/layers/graphic_dat.h"
#include "graphics/layers/image_record.h"
#include "graphics/layers/sprite_info_record.h"
#include "graphics/layers/sprite_loader.h"
#include "save/save_blocks.h"
#include "text/sound/sound_load.h"

namespace save {
namespace {

using engine::ButtonEntry;
using engine::ButtonGroup;
using engine::kButtonsPerGroup;

constexpr uint32_t kSavedGroups = 4;
constexpr int32_t kSoundKindButton = 5;

// The entry's stored words; the pointer word is written as 0 and ignored when read.
template <class IO, class E>
constexpr void sync_entry(IO& io, E& e, uint32_t& pointer_word) {
  io.u32(pointer_word);
  io.u32(e.dwClickLabel);
  io.u32(e.dwHoverLabel);
  io.u32(e.dwLeaveLabel);
  io.u32(e.dwReserved);
  io.u32(e.dwLink);
  io.u32(e.dwTips);
  io.u32(e.dwFlags);
}
constexpr size_t kEntryBytes = 32;
static_assert(codec::stored_size<ButtonEntry>([](auto& io, auto& r) {
                uint32_t p = 0;
                sync_entry(io, r, p);
              }) == kEntryBytes);

// One stored button after its file reference.
struct StoredButton {
  ButtonEntry entry{};
  OrvSpriteInfo info{};
  layers::BaseTransform base{};
  char name[32]{};
};

template <class IO, class B>
void sync_button(IO& io, B& b, uint32_t file) {
  uint32_t pointer_word = 0;
  sync_entry(io, b.entry, pointer_word);
  layers::sync_sprite_info(io, b.info);
  layers::sync_transform(io, b.base);
  if (file & engine::kStringHandleBit) io.bytes(b.name);
}

struct StoredHead {
  uint32_t hoverSound = 0, clickSound = 0;
  int32_t style[engine::kStyleFields] = {};
};
template <class IO, class H>
void sync_head(IO& io, H& h) {
  io.u32(h.hoverSound);
  io.u32(h.clickSound);
  for (auto& s : h.style) io.i32(s);
}

// The file a stored button reloads from; 0 for a button without one (btn_blt).
uint32_t stored_file(const ButtonEntry& e) {
  return e.lpImage && e.lpImage->hSprite ? e.lpImage->lFileNo : 0;
}

OrvSoundHandle load_button_sound(engine::VmContext& vm, uint32_t file) {
  if (file == 0) return 0;
  const std::string name = engine::sound_file_name(vm, file, nullptr);
  return name.empty() ? 0 : engine::sound_load(vm, name, kSoundKindButton, nullptr);
}

// Makes button `no` of group g again from its stored form; the entry stays empty when the
// picture does not load.
void rebuild_button(engine::VmContext& vm, uint32_t g, uint32_t no, uint32_t file,
                    StoredButton& b) {
  ButtonGroup& group = vm.buttons.groups[g];
  ButtonEntry& e = group.entries[no];
  e = b.entry;
  e.lpImage = nullptr;
  layers::ImageRecord* image = layers::image_alloc(layers::kBasePlane, g * kButtonsPerGroup + no);
  if (!image) return;
  image->base = b.base;
  char name[33] = {};
  if (file & engine::kStringHandleBit) {
    std::memcpy(image->szFileName, b.name, sizeof b.name);
    std::memcpy(name, b.name, sizeof b.name);
  } else {
    engine::get_file_name_operand(vm, reinterpret_cast<uint8_t*>(name), sizeof name, file, 1);
    name[32] = 0;
  }
  char field[32];
  layers::graphic_name_field(name, field);
  layers::GraphicInfo info{};
  if (layers::graphic_dat.find(field, &info)) {
    std::memset(name, 0, sizeof name);
    std::memcpy(name, info.loadName, sizeof info.loadName);
  }
  uint32_t w = 0, h = 0;
  engine::game_screen_size(&w, &h);
  const uint32_t sprite = layers::sprite_load_by_name_unlocked(
      vm, name, static_cast<int32_t>(w), static_cast<int32_t>(h), b.info.priority);
  if (!sprite) {
    layers::image_release_now(image);
    return;
  }
  image->hSprite = sprite;
  orv.OrvButtonEntry(group.hGroup, sprite);
  b.info.name[sizeof b.info.name - 1] = 0;
  orv.OrvSpriteSetInfo(sprite, &b.info);
  // Render mode, and an animation of the picture loaded again and started, as the commit that
  // showed the new button started it.
  layers::image_apply_graphic_info(vm, *image, info, 0x6000);
  if (image->dwAnimeNo) animations::AdvAnimStart(vm, image->dwAnimeNo);
  image->lFileNo = file;
  e.lpImage = image;
}

}  // namespace

void button_save_write(const engine::VmContext& vm, codec::ByteWriter& out) {
  for (uint32_t g = 0; g < kSavedGroups; ++g) {
    const ButtonGroup& group = vm.buttons.groups[g];
    out.u32(group.bInit ? 1 : 0);
    if (!group.bInit) continue;
    StoredHead head;
    head.hoverSound = group.dwHoverSound;
    head.clickSound = group.dwClickSound;
    // A style may name a number without a button (the style commands take any number);
    // such a style means no button, stored as -1 so that the block stays within its range.
    for (uint32_t i = 0; i < engine::kStyleFields; ++i) {
      const int32_t s = group.nStyle[i];
      head.style[i] = s >= 0 && s < static_cast<int32_t>(kButtonsPerGroup) ? s : -1;
    }
    sync_head(out, head);
    for (const ButtonEntry& e : group.entries) {
      const uint32_t file = stored_file(e);
      out.u32(file);
      if (file == 0) continue;
      StoredButton b;
      b.entry = e;
      if (group.lpHovered == &e) {
        b.info = group.hoverInfo;
      } else {
        orv.OrvSpriteGetInfo(e.lpImage->hSprite, &b.info);
      }
      b.base = e.lpImage->base;
      std::memcpy(b.name, e.lpImage->szFileName, sizeof b.name);
      sync_button(out, b, file);
    }
  }
}

bool button_save_check(codec::ByteReader& in, SaveCheck& check) {
  for (uint32_t g = 0; g < kSavedGroups; ++g) {
    const uint32_t init = in.u32();
    if (!check.whole(in, "button group") || !check.range(init, 0, 1, "button group")) {
      return false;
    }
    if (!init) continue;
    StoredHead head;
    sync_head(in, head);
    if (!check.whole(in, "button group")) return false;
    for (int32_t s : head.style) {
      if (!check.range(s, -1, kButtonsPerGroup - 1, "button style")) return false;
    }
    for (uint32_t no = 0; no < kButtonsPerGroup; ++no) {
      const uint32_t file = in.u32();
      if (file == 0) continue;
      StoredButton b;
      sync_button(in, b, file);
      if (!check.whole(in, "button")) return false;
      const ButtonEntry& e = b.entry;
      // Labels are offsets from the code base; 0 is none.
      auto label_ok = [&](uint32_t rel, const char* name) {
        return rel == 0 || check.label(rel, false, name);
      };
      if (!label_ok(e.dwClickLabel, "button click label") ||
          !label_ok(e.dwHoverLabel, "button hover label") ||
          !label_ok(e.dwLeaveLabel, "button leave label") ||
          !check.range(e.dwLink, 0, kButtonsPerGroup - 1, "button link") ||
          !check.range(e.dwFlags, 0, engine::kButtonDisabled, "button flags")) {
        return false;
      }
      if (!layers::sprite_info_sizes_ok(b.info)) return check.fail("button sprite size");
    }
  }
  return check.whole(in, "button groups");
}

void button_save_read(engine::VmContext& vm, codec::ByteReader& in, const LoadMode&) {
  for (uint32_t g = 0; g < kSavedGroups; ++g) {
    if (in.u32() == 0) continue;
    ButtonGroup& group = vm.buttons.groups[g];
    StoredHead head;
    sync_head(in, head);
    group.dwHoverSound = head.hoverSound;
    group.dwClickSound = head.clickSound;
    std::memcpy(group.nStyle, head.style, sizeof head.style);
    group.hGroup = orv.OrvButtonCreateEx(load_button_sound(vm, head.hoverSound),
                                         load_button_sound(vm, head.clickSound));
    group.bInit = 1;
    for (uint32_t no = 0; no < kButtonsPerGroup; ++no) {
      const uint32_t file = in.u32();
      if (file == 0) continue;
      StoredButton b;
      sync_button(in, b, file);
      if (in.ok()) rebuild_button(vm, g, no, file, b);
    }
  }
  vm.buttons.dwWaitStart = 0;
  vm.buttons.dwInvalidTime = 0;
}

}  // namespace save
