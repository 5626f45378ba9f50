// The text window's block of save data. Little-endian; P is 4,484, or 4,636 in page mode:
//
//   0      u32    initialised; 0 ends the block (4 bytes)
//   4      u32    text mode          8  u32  icon layout mode
//   12     36     char size, ruby size, x, y, width, height, name x, name y, button group word
//   48     4,132  page x, y, width, height, name flag, next x, next y, icon x, icon y, page text
//   4,180  152    BaseTransform of the message image; 4,332: of the name image
//   4,484  152    BaseTransform of the page image, in page mode only
//   P      u32    base image file reference; 0: no base image, the next two fields are absent
//          372    its sprite info           152  its BaseTransform
//   then three icons (click wait, skip, auto): u32 file reference (0: nothing more), sprite info,
//   BaseTransform, u32 animation time; then the name (260), message (4,096), voice (32), the
//   read-colour switch and the read colour pair (3 x u32).
//
// 8,900 bytes, plus 152 in page mode, 524 with a base image and 528 per icon. The line's ids,
// mode word, timing and visibility are not stored: a load rebuilds the window hidden, with its
// message drawn whole, and the text command that the snapshot resumes at shows the line again.
#include <cstddef>
#include <cstring>

#include "engine/game_state.h"
#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/vm_services.h"
#include "graphics/layers/graphic_dat.h"
#include "graphics/layers/image_record.h"
#include "graphics/layers/sprite_info_record.h"
#include "graphics/layers/sprite_loader.h"
#include "save/save_blocks.h"
#include "text/window/reveal.h"
#include "text/window/text_settings.h"
#include "text/window/text_window_ops.h"
#include "text/window/text_window_seams.h"

namespace save {
namespace {

using engine::TextWindow;
using layers::ImageRecord;

constexpr int32_t kMaxSize = engine::kMaxTextSide;
constexpr int32_t kNameAreaWidth = 1024;
constexpr int32_t kNameAreaHeight = 64;

// The fixed head after the initialised word: modes, geometry and the page run.
template <class IO, class W>
constexpr void sync_head(IO& io, W& w) {
  io.u32(w.dwTextMode);
  io.u32(w.dwIconMode);
  io.i32(w.nCharSize);
  io.i32(w.nRubySize);
  io.i32(w.x);
  io.i32(w.y);
  io.i32(w.nWidth);
  io.i32(w.nHeight);
  io.i32(w.nNameX);
  io.i32(w.nNameY);
  io.u32(w.dwButtonGroup);
  io.i32(w.nPageX);
  io.i32(w.nPageY);
  io.i32(w.nPageWidth);
  io.i32(w.nPageHeight);
  io.u32(w.bPageName);
  io.i32(w.nPageNextX);
  io.i32(w.nPageNextY);
  io.i32(w.nPageIconX);
  io.i32(w.nPageIconY);
  io.bytes(w.szPage);
}
static_assert(codec::stored_size<TextWindow>([](auto& io, auto& r) { sync_head(io, r); }) ==
              4180 - 4);

// The texts and read colours at the end of the block.
struct StoredTail {
  char name[engine::kTextNameBytes]{};
  char message[engine::kTextMessageBytes]{};
  char voice[engine::kTextVoiceBytes]{};
  uint32_t bReadColor = 0, dwReadColor = 0, dwReadShadowColor = 0;
};
template <class IO, class T>
constexpr void sync_tail(IO& io, T& t) {
  io.bytes(t.name);
  io.bytes(t.message);
  io.bytes(t.voice);
  io.u32(t.bReadColor);
  io.u32(t.dwReadColor);
  io.u32(t.dwReadShadowColor);
}
static_assert(codec::stored_size<StoredTail>([](auto& io, auto& r) { sync_tail(io, r); }) ==
              260 + 4096 + 32 + 12);

// A loaded picture of the window (base image or icon) after its file reference.
struct StoredImage {
  OrvSpriteInfo info{};
  layers::BaseTransform base{};
  uint32_t animationTime = 0;
};
template <class IO, class S>
void sync_image(IO& io, S& s, bool icon) {
  layers::sync_sprite_info(io, s.info);
  layers::sync_transform(io, s.base);
  if (icon) io.u32(s.animationTime);
}

template <size_t N>
void terminate(char (&text)[N]) {
  text[N - 1] = 0;
}

void write_transform(codec::ByteWriter& out, const ImageRecord* image) {
  const layers::BaseTransform base = image ? image->base : layers::BaseTransform{};
  layers::sync_transform(out, base);
}

// The file a picture of the window reloads from; 0 for none.
uint32_t stored_file(const ImageRecord* image) {
  return image ? image->lFileNo : 0;
}

// An icon's animation time goes with it (icon given); the base image has none.
void write_image(codec::ByteWriter& out, const ImageRecord* image,
                 const engine::TextIcon* icon = nullptr) {
  const uint32_t file = stored_file(image);
  out.u32(file);
  if (file == 0) return;
  StoredImage s;
  if (image->hSprite) orv.OrvSpriteGetInfo(image->hSprite, &s.info);
  s.base = image->base;
  if (icon) s.animationTime = textwindow::text_icon_animation_time(*icon);
  sync_image(out, s, icon != nullptr);
}

bool check_image(codec::ByteReader& in, SaveCheck& check, bool icon, const char* field) {
  const uint32_t file = in.u32();
  if (!check.whole(in, field)) return false;
  if (file == 0) return true;
  StoredImage s;
  sync_image(in, s, icon);
  if (!check.whole(in, field)) return false;
  return layers::sprite_info_sizes_ok(s.info) || check.fail(field);
}

// A blank hidden sprite in system image n; null when it cannot be made.
ImageRecord* blank_image(uint32_t n, int32_t w, int32_t h) {
  ImageRecord* image = layers::image_alloc(layers::kBaseSystem, n);
  if (!image) return nullptr;
  const uint32_t sprite = w > 0 && h > 0 ? orv.OrvSpriteCreate(orv.OrvRenderGetActive(), w, h,
                                                               engine::text_settings.nPriority)
                                         : 0;
  if (!sprite) {
    layers::image_release_now(image);
    return nullptr;
  }
  image->hSprite = sprite;
  return image;
}

// Loads the base image (slot 0) or an icon (slots 1-3) from its stored form; null when the
// picture does not load.
ImageRecord* load_image(engine::VmContext& vm, uint32_t slot, uint32_t file, StoredImage& s) {
  char name[33] = {};
  engine::get_file_name_operand(vm, reinterpret_cast<uint8_t*>(name), sizeof name, file, 1);
  name[32] = 0;
  char field[32];
  layers::graphic_name_field(name, field);
  layers::GraphicInfo info{};
  if (layers::graphic_dat.find(field, &info)) {
    std::memset(name, 0, sizeof name);
    std::memcpy(name, info.loadName, sizeof info.loadName);
  }
  ImageRecord* image = layers::image_alloc(layers::kBaseSystem, slot);
  if (!image) return nullptr;
  image->base = s.base;
  uint32_t w = 0, h = 0;
  engine::game_screen_size(&w, &h);
  const uint32_t sprite = layers::sprite_load_by_name_unlocked(
      vm, name, static_cast<int32_t>(w), static_cast<int32_t>(h), s.info.priority);
  if (!sprite) {
    layers::image_release_now(image);
    return nullptr;
  }
  image->hSprite = sprite;
  terminate(s.info.name);
  orv.OrvSpriteSetInfo(sprite, &s.info);
  orv.OrvSpriteViewCtrl(sprite, 0);
  layers::image_apply_graphic_info(vm, *image, info, 0x6000);
  image->lFileNo = file;
  if (file & engine::kStringHandleBit) std::memcpy(image->szFileName, name, 32);
  return image;
}

void redraw_texts(engine::VmContext& vm, TextWindow& tw) {
  const textrender::TextRenderSettings& rs = engine::text_settings.render;
  if (tw.szName[0]) {
    int32_t x = 0, y = 0;
    textrender::draw_text_tagged(vm, rs, textwindow::text_sprite(tw.lpName), tw.szName, &x, &y,
                                 kNameAreaWidth, kNameAreaHeight, tw.nCharSize, 0, tw.dwColor,
                                 tw.dwShadowColor, nullptr);
    tw.dwLineFlags |= engine::kLineHasName;
  }
  if (tw.szMessage[0]) {
    uint32_t colour = tw.dwColor, shadow = tw.dwShadowColor;
    if (engine::text_settings.bReadColor) {
      colour = engine::text_settings.dwReadColor;
      shadow = engine::text_settings.dwReadShadowColor;
      orv.OrvFontSetColor(colour, shadow);
    }
    tw.nEndX = 0;
    tw.nEndY = 0;
    tw.nRenderedLength = textrender::draw_text_tagged(
        vm, rs, textwindow::text_sprite(tw.lpMessage), tw.szMessage, &tw.nEndX, &tw.nEndY,
        tw.nWidth, tw.nHeight, tw.nCharSize, tw.nRubySize, colour, shadow, &tw.reveal);
    orv.OrvFontSetColor(tw.dwColor, tw.dwShadowColor);
    textwindow::text_icons_place(vm, tw);
  }
  if (tw.szVoice[0]) tw.dwLineFlags |= engine::kLineHasVoice;
}

}  // namespace

void text_window_save_write(const engine::VmContext& vm, codec::ByteWriter& out) {
  const TextWindow& tw = vm.text;
  out.u32(tw.bInit ? 1 : 0);
  if (!tw.bInit) return;
  sync_head(out, tw);
  write_transform(out, tw.lpMessage);
  write_transform(out, tw.lpName);
  if (tw.dwTextMode == 1) write_transform(out, tw.lpPage);
  write_image(out, tw.lpBase);
  for (const engine::TextIcon& icon : tw.icons) write_image(out, icon.lpImage, &icon);
  StoredTail tail;
  std::memcpy(tail.name, tw.szName, sizeof tail.name);
  std::memcpy(tail.message, tw.szMessage, sizeof tail.message);
  std::memcpy(tail.voice, tw.szVoice, sizeof tail.voice);
  tail.bReadColor = engine::text_settings.bReadColor;
  tail.dwReadColor = engine::text_settings.dwReadColor;
  tail.dwReadShadowColor = engine::text_settings.dwReadShadowColor;
  sync_tail(out, tail);
}

bool text_window_save_check(codec::ByteReader& in, SaveCheck& check) {
  const uint32_t init = in.u32();
  if (!check.whole(in, "text window") || !check.range(init, 0, 1, "text window")) return false;
  if (!init) return true;
  TextWindow tw{};
  sync_head(in, tw);
  if (!check.whole(in, "text window")) return false;
  const uint32_t group = tw.dwButtonGroup & 0xFFFF;
  if (!check.range(tw.dwTextMode, 0, 2, "text mode") ||
      !check.range(tw.nCharSize, 0, kMaxSize, "text char size") ||
      !check.range(tw.nRubySize, 0, kMaxSize, "text ruby size") ||
      !check.range(tw.nWidth, 0, kMaxSize, "text width") ||
      !check.range(tw.nHeight, 0, kMaxSize, "text height") ||
      !check.range(tw.nPageWidth, 0, kMaxSize, "text page width") ||
      !check.range(tw.nPageHeight, 0, kMaxSize, "text page height")) {
    return false;
  }
  if (group >= engine::kButtonGroups && group != engine::kNoButtonGroup) {
    return check.fail("text button group");
  }
  in.skip(tw.dwTextMode == 1 ? 3 * 152 : 2 * 152);
  if (!check.whole(in, "text window images")) return false;
  if (!check_image(in, check, false, "text base image")) return false;
  for (uint32_t i = 0; i < engine::kIconCount; ++i) {
    if (!check_image(in, check, true, "text icon")) return false;
  }
  in.skip(260 + 4096 + 32 + 12);
  return check.whole(in, "text window texts");
}

void text_window_save_read(engine::VmContext& vm, codec::ByteReader& in, const LoadMode&) {
  if (in.u32() == 0) return;
  TextWindow& tw = vm.text;
  sync_head(in, tw);
  terminate(tw.szPage);
  layers::BaseTransform transforms[3] = {};
  layers::sync_transform(in, transforms[0]);
  layers::sync_transform(in, transforms[1]);
  if (tw.dwTextMode == 1) layers::sync_transform(in, transforms[2]);
  uint32_t files[4] = {};
  StoredImage images[4];
  for (uint32_t i = 0; i < 4; ++i) {
    files[i] = in.u32();
    if (files[i]) sync_image(in, images[i], i != 0);
  }
  StoredTail tail;
  sync_tail(in, tail);
  if (in.failed()) return;

  tw.bInit = 1;
  textwindow::text_button_group_view(vm, tw, false);
  const textrender::TextRenderSettings& rs = engine::text_settings.render;
  orv.OrvFontSetFontSize(tw.nCharSize);
  const int32_t pitch =
      textrender::text_base_line_pitch(rs, tw.nCharSize, tw.nRubySize, orv.OrvFontGetEffect());
  textwindow::reveal_init(tw.reveal, tw.nWidth + tw.nCharSize, tw.nHeight, pitch);
  textwindow::text_window_sprites_create(vm, tw);
  if (tw.lpMessage) tw.lpMessage->base = transforms[0];
  if (tw.lpName) tw.lpName->base = transforms[1];
  if (tw.dwTextMode == 1) {
    uint32_t w = 0, h = 0;
    engine::game_screen_size(&w, &h);
    tw.lpPage =
        blank_image(textwindow::kImagePage, static_cast<int32_t>(w), static_cast<int32_t>(h));
    if (tw.lpPage) tw.lpPage->base = transforms[2];
  }

  if (files[0]) {
    const engine::SystemSettings& settings = engine::player_settings(vm);
    uint32_t file = files[0];
    // A kept base image (text_set_base with its keep flag) wins over the stored one.
    if (settings.nTextBaseImage != -1 && settings.nTextBaseImage != 0) {
      file = static_cast<uint32_t>(settings.nTextBaseImage);
    }
    StoredImage& s = images[0];
    if (settings.nTextAlpha != -1) {
      s.info.color =
          ((static_cast<uint32_t>(settings.nTextAlpha) & 0xFF) << 24) | (s.info.color & 0xFFFFFF);
      s.base.dwColor = s.info.color;
    }
    tw.lpBase = load_image(vm, textwindow::kImageBase, file, s);
  }
  for (uint32_t i = 0; i < engine::kIconCount; ++i) {
    if (!files[i + 1]) continue;
    engine::TextIcon& icon = tw.icons[i];
    icon.lpImage = load_image(vm, textwindow::kImageIcon0 + i, files[i + 1], images[i + 1]);
    if (icon.lpImage) {
      textwindow::text_icon_animation_create(icon, images[i + 1].animationTime);
    }
  }

  tw.dwIcon = engine::kIconClick;
  int32_t colour = 0, shadow = 0;
  orv.OrvFontGetColor(&colour, &shadow);
  tw.dwSavedColor = tw.dwColor = static_cast<uint32_t>(colour);
  tw.dwSavedShadowColor = tw.dwShadowColor = static_cast<uint32_t>(shadow);
  terminate(tail.name);
  terminate(tail.message);
  terminate(tail.voice);
  std::memcpy(tw.szName, tail.name, sizeof tw.szName);
  std::memcpy(tw.szMessage, tail.message, sizeof tw.szMessage);
  std::memcpy(tw.szVoice, tail.voice, sizeof tw.szVoice);
  engine::text_settings.bReadColor = tail.bReadColor;
  engine::text_settings.dwReadColor = tail.dwReadColor;
  engine::text_settings.dwReadShadowColor = tail.dwReadShadowColor;
  redraw_texts(vm, tw);
  orv.OrvFontSetColor(tw.dwSavedColor, tw.dwSavedShadowColor);
  tw.bVisible = 0;
  tw.dwMode = 0;
}

}  // namespace save
