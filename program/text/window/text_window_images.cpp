// The window's pictures: the message and name sprites it makes itself, and the base image and
// icons it loads from files.
#include <cstring>

#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/vm_services.h"
#include "graphics/animations/anim_player.h"
#include "graphics/layers/graphic_dat.h"
#include "graphics/layers/image_record.h"
#include "graphics/layers/sprite_loader.h"
#include "text/window/text_settings.h"
#include "text/window/text_window_ops.h"

namespace textwindow {
namespace {

using layers::ImageRecord;

constexpr int32_t kKeepPosition = 0x0FFFFFFF;
constexpr int32_t kNameWidth = 1024;
constexpr int32_t kNameHeight = 64;

void set_pos(ImageRecord& image, int32_t x, int32_t y) {
  image.base.pos = {x, y, 0};
  image.base.fPos = {static_cast<float>(x), static_cast<float>(y), 0.0f};
}

// A blank hidden sprite in system image n at the window's position; null when it cannot be made.
ImageRecord* blank_image(uint32_t n, int32_t w, int32_t h, int32_t x, int32_t y) {
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
  set_pos(*image, x, y);
  return image;
}

}  // namespace

void text_icon_animation_create(engine::TextIcon& icon, uint32_t ms) {
  if (!icon.lpImage) return;
  icon.hAnimation =
      orv.OrvAnimation(icon.lpImage->hSprite, kOrvAnimationAcross, ms ? ms : kIconAnimationTime);
}

void text_icon_animation_reset(engine::TextIcon& icon) {
  if (icon.hAnimation) orv.OrvAnimationReset(icon.hAnimation);
}

void text_icon_animation_release(engine::TextIcon& icon) {
  if (icon.hAnimation) orv.OrvAnimationRelease(icon.hAnimation);
  icon.hAnimation = 0;
}

uint32_t text_icon_animation_time(const engine::TextIcon& icon) {
  const int32_t ms = icon.hAnimation ? orv.OrvAnimationGetTime(icon.hAnimation) : 0;
  return ms > 0 ? static_cast<uint32_t>(ms) : 0;
}

void text_image_ani_start(VmContext& vm, const layers::ImageRecord& image) {
  if (image.dwAnimeNo) animations::AdvAnimStart(vm, image.dwAnimeNo);
}

bool text_window_sprites_create(VmContext& vm, TextWindow& tw) {
  layers::image_release(vm, tw.lpMessage);
  const int64_t w = int64_t{tw.nWidth} + tw.nCharSize + engine::text_settings.render.nPitch;
  const int32_t sw = w > 0 && w <= (1 << 30) ? pow2_up(static_cast<int32_t>(w)) : 0;
  tw.lpMessage = blank_image(kImageMessage, sw, pow2_up(tw.nHeight), tw.x, tw.y);
  layers::image_release(vm, tw.lpName);
  tw.lpName = blank_image(kImageName, kNameWidth, kNameHeight, tw.nNameX, tw.nNameY);
  return tw.lpMessage && tw.lpName;
}

bool text_window_image_load(VmContext& vm, TextWindow& tw, uint32_t slot, uint32_t file, int32_t x,
                            int32_t y) {
  char name[33] = {};
  engine::get_file_name_operand(vm, reinterpret_cast<uint8_t*>(name), sizeof name, file, 1);
  name[32] = 0;

  ImageRecord** place;
  if (slot == 0) {
    place = &tw.lpBase;
    layers::image_release_now(tw.lpBase);
  } else {
    engine::TextIcon& icon = tw.icons[slot - 1];
    place = &icon.lpImage;
    const uint32_t animation = icon.hAnimation;
    text_icon_animation_release(icon);
    // A scene skip runs no frames between commands: end the released task now rather than
    // leave it to a pass the skip may not reach before the next icon is made.
    if (animation && vm.run.bSceneSkip) orv.OrvTaskReProcess(animation);
    layers::image_release(vm, icon.lpImage);
  }
  *place = nullptr;

  char field[32];
  layers::graphic_name_field(name, field);
  layers::GraphicInfo info{};
  const bool found = layers::graphic_dat.find(field, &info);
  char load[33] = {};
  std::memcpy(load, found ? info.loadName : name, 32);

  ImageRecord* image = layers::image_alloc(layers::kBaseSystem, slot);
  if (!image) return false;
  int32_t w = 0, h = 0, priority = engine::kBasePriority - static_cast<int32_t>(slot);
  if (slot == 0) {
    uint32_t sw = 0, sh = 0;
    engine::game_screen_size(&sw, &sh);
    w = static_cast<int32_t>(sw);
    h = static_cast<int32_t>(sh);
    priority = engine::kBasePriority;
  }
  const uint32_t sprite = layers::sprite_load_by_name_unlocked(vm, load, w, h, priority);
  if (!sprite) {
    layers::image_release_now(image);
    return false;
  }
  image->hSprite = sprite;
  OrvSpriteInfo si{};
  orv.OrvSpriteGetInfo(sprite, &si);
  if (x == kKeepPosition && y == kKeepPosition) {
    set_pos(*image, static_cast<int32_t>(si.x), static_cast<int32_t>(si.y));
  } else {
    set_pos(*image, x, y);
  }
  image->base.posOfs = {info.x, info.y, 0};
  image->base.fPosOfs = {static_cast<float>(info.x), static_cast<float>(info.y), 0.0f};
  if (info.flags & layers::kGraphicScale) {
    const float s = static_cast<float>(info.scalePercent) / 100.0f;
    image->base.scale = {s, s};
  } else {
    image->base.scale = {si.scale_x, si.scale_y};
  }
  image->base.rot = {static_cast<int32_t>(si.rotation_x), static_cast<int32_t>(si.rotation_y),
                     static_cast<int32_t>(si.rotation_z)};
  image->base.fRot = {si.rotation_x, si.rotation_y, si.rotation_z};
  image->base.dwColor = si.color;
  layers::image_keep_file(*image, file, load, name);
  layers::image_apply_graphic_info(vm, *image, info, 0xFFFFFFFFu);
  layers::image_apply_transform(vm, *image);
  *place = image;
  if (slot == 0) {
    text_image_ani_start(vm, *image);
  } else {
    text_icon_animation_create(tw.icons[slot - 1]);
  }
  return true;
}

}  // namespace textwindow
