#include "save/save_slot_draw.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "commands/command_util.h"
#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/layers/image_record.h"
#include "graphics/layers/sprite_loader.h"
#include "platform/local_time.h"
#include "save/save_files.h"
#include "save/save_head.h"
#include "save/save_settings.h"
#include "save/save_stream.h"
#include "text/render/text_render.h"

namespace save {

namespace {

using engine::vm_log;
using engine::vm_pop;
using engine::VmContext;

constexpr uint32_t kLayers = 128;

int32_t pop_int(VmContext& vm) {
  return static_cast<int32_t>(vm_pop(vm));
}

int32_t priority(const VmContext& vm) {
  return static_cast<int32_t>(vm.run.dwSpritePriorityBase) + 4866;
}

// The slot's file whole, or false with the queries' lines.
bool slot_bytes(int32_t slot, std::vector<uint8_t>* bytes, int64_t* mtime = nullptr) {
  const std::string path = slot_path(slot);
  if (path.empty() || !orv.OrvFileExists(path.c_str())) {
    vm_log(engine::kLogHistory, "No SaveData. Therefore disregards");
    vm_log(engine::kLogHistory, "open error SaveFileNo(%d)", slot);
    return false;
  }
  if (file_read_whole(path, bytes, engine::kSaveBufferBytes) != ReadResult::kOk ||
      (mtime && !file_stat(path, nullptr, mtime))) {
    vm_log(engine::kLogHistory, "open error SaveFileNo(%d)", slot);
    return false;
  }
  return true;
}

void queue_show(VmContext& vm, uint32_t id, uint32_t layer) {
  engine::DisplayOp op{};
  op.dwId = id;
  op.args[0] = layer;
  engine::display_op_push(vm, op);
}

void place(layers::ImageRecord& image, int32_t x, int32_t y) {
  image.base.pos = {x, y, 0};
  image.base.fPos = {static_cast<float>(x), static_cast<float>(y), 0.0f};
}

// Draws text into the layer's sprite: the existing one is redrawn, else a text sprite is made.
void draw_text(VmContext& vm, uint32_t layer, const char* text, int32_t x, int32_t y) {
  engine::LayerSlot& slot = vm.layers[layer];
  if (slot.lpImage && slot.lpImage->hSprite) {
    orv.OrvSpriteCreateTextEx(slot.lpImage->hSprite, text, x, y, 0xFFFFFFFFu);
    return;
  }
  layers::ImageRecord* image = layers::image_alloc(layers::kBaseLayer, layer);
  if (!image) return;
  image->hSprite =
      orv.OrvSpriteCreateText(orv.OrvRenderGetActive(), text, priority(vm), 0xFFFFFFFFu);
  if (!image->hSprite) {
    layers::image_release_now(image);
    return;
  }
  place(*image, x, y);
  slot.lpImage = image;
}

// The save font while a slot's text is drawn; the platform's font comes back afterwards.
struct SaveFont {
  int32_t color = 0, shadow = 0, size = 0, type = 0, effect = 0;
  SaveFont(const engine::SaveStream& s, bool size_only) {
    orv.OrvFontGetColor(&color, &shadow);
    size = orv.OrvFontGetFontSize();
    type = orv.OrvFontGetType();
    effect = orv.OrvFontGetEffect();
    orv.OrvFontSetFontSize(s.wFontSize);
    if (size_only) return;
    orv.OrvFontSetColor(s.dwFontColor, s.dwShadowColor);
    orv.OrvFontSetType(s.wFontType);
    orv.OrvFontSetEffect(s.wFontEffect);
  }
  ~SaveFont() {
    orv.OrvFontSetColor(static_cast<uint32_t>(color), static_cast<uint32_t>(shadow));
    orv.OrvFontSetFontSize(size);
    orv.OrvFontSetType(type);
    orv.OrvFontSetEffect(effect);
  }
};

bool layer_ok(const char* name, uint32_t layer) {
  if (layer < kLayers) return true;
  vm_log(engine::kLogMain, "%s: layer %d outside 0-127", name, static_cast<int32_t>(layer));
  return false;
}

}  // namespace

uint32_t cmd_thumbnail_set(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const int32_t slot = pop_int(vm), x = pop_int(vm), y = pop_int(vm);
  vm_log(engine::kLogHistory, "thumbnail_set  %d, %d, %d, %d", static_cast<int32_t>(layer), slot, x,
         y);
  if (!layer_ok("thumbnail_set", layer)) return 1;
  std::vector<uint8_t> bytes;
  if (!slot_bytes(slot, &bytes)) return 1;
  SaveHead head;
  if (!save_head_read(bytes.data(), bytes.size(), &head) || !head.dwThumbWidth) {
    vm_log(engine::kLogMain, "thumbnail_set: no thumbnail in SaveFileNo(%d)", slot);
    return 1;
  }
  const auto tw = static_cast<int32_t>(head.dwThumbWidth);
  const auto th = static_cast<int32_t>(head.dwThumbHeight);
  engine::LayerSlot& ls = vm.layers[layer];
  int32_t dx = x, dy = y;
  if (!ls.lpImage || !ls.lpImage->hSprite) {
    layers::ImageRecord* image = layers::image_alloc(layers::kBaseLayer, layer);
    if (!image) return 1;
    image->hSprite = orv.OrvSpriteCreate(orv.OrvRenderGetActive(), tw, th, priority(vm));
    if (!image->hSprite) {
      layers::image_release_now(image);
      return 1;
    }
    orv.OrvSpriteSetPos(image->hSprite, static_cast<float>(x), static_cast<float>(y), 0);
    place(*image, x, y);
    ls.lpImage = image;
    dx = dy = 0;
  }
  int32_t sw = 0, sh = 0;
  uint32_t* pixels = orv.OrvSpriteLock(ls.lpImage->hSprite, &sw, &sh);
  if (pixels) {
    // Only what lies inside the sprite is copied.
    const int32_t x0 = std::max(0, -dx), y0 = std::max(0, -dy);
    const int32_t x1 = std::min(tw, sw - dx), y1 = std::min(th, sh - dy);
    for (int32_t row = y0; row < y1 && x0 < x1; ++row) {
      std::memcpy(pixels + static_cast<size_t>(row + dy) * sw + (x0 + dx),
                  head.lpThumbPixels + (static_cast<size_t>(row) * tw + x0) * 4,
                  static_cast<size_t>(x1 - x0) * 4);
    }
    orv.OrvSpriteUnlock(ls.lpImage->hSprite);
  }
  queue_show(vm, 0xa0005, layer);
  return 1;
}

uint32_t cmd_get_save_text(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const int32_t slot = pop_int(vm), x = pop_int(vm), y = pop_int(vm);
  if (!layer_ok("get_save_text", layer)) return 1;
  std::vector<uint8_t> bytes;
  if (!slot_bytes(slot, &bytes)) return 1;
  SaveHead head;
  if (!save_head_read(bytes.data(), bytes.size(), &head)) {
    vm_log(engine::kLogMain, "get_save_text: SaveFileNo(%d) is damaged", slot);
    return 1;
  }
  {
    SaveFont font(vm.save, false);
    std::vector<char> laid(textrender::kTextBufferBytes);
    textrender::save_text_wrap(laid.data(), laid.size(), head.text.c_str(),
                               static_cast<int32_t>(vm.save.dwTextRectWidth),
                               static_cast<int32_t>(vm.save.dwTextRectHeight), vm.save.wFontSize);
    draw_text(vm, layer, laid.data(), x, y);
  }
  vm_log(engine::kLogHistory, "get_save_text  %d, %d, %d, %d", static_cast<int32_t>(layer), slot, x,
         y);
  queue_show(vm, 0xa0010, layer);
  return 1;
}

uint32_t cmd_save_get_title(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const int32_t slot = pop_int(vm), x = pop_int(vm), y = pop_int(vm);
  if (!layer_ok("save_get_title", layer)) return 1;
  std::vector<uint8_t> bytes;
  if (!slot_bytes(slot, &bytes)) return 1;
  SaveHead head;
  if (!save_head_read(bytes.data(), bytes.size(), &head)) {
    vm_log(engine::kLogMain, "save_get_title: SaveFileNo(%d) is damaged", slot);
    return 1;
  }
  {
    SaveFont font(vm.save, true);
    const std::string title = engine::fetch_text(vm, head.dwTitle, 264);
    draw_text(vm, layer, title.c_str(), x, y);
  }
  vm_log(engine::kLogHistory, "save_get_title  %d, %d, %d, %d", static_cast<int32_t>(layer), slot,
         x, y);
  queue_show(vm, 0xa0006, layer);
  return 1;
}

namespace {

// "日" ... "土", Sunday first.
constexpr const char* kWeekdays[] = {"\x93\xfa", "\x8c\x8e", "\x89\xce", "\x90\x85",
                                     "\x96\xd8", "\x8b\xe0", "\x93\x79"};

uint32_t draw_time(VmContext& vm, bool date) {
  const uint32_t layer = vm_pop(vm);
  const int32_t slot = pop_int(vm), x = pop_int(vm), y = pop_int(vm), format = pop_int(vm);
  const char* name = date ? "get_save_date_text" : "get_save_time_text";
  if (!layer_ok(name, layer)) return 1;
  std::vector<uint8_t> bytes;
  int64_t mtime = 0;
  if (!slot_bytes(slot, &bytes, &mtime)) return 1;
  const platform::LocalTime t = platform::local_time_of(mtime);
  char text[64] = {};
  if (date && format == 0) {
    std::snprintf(text, sizeof text, "%02d/%02d/%02d", t.year, t.month, t.day);
  } else if (date && format == 1) {
    std::snprintf(text, sizeof text, "%02d/%02d/%02d (%s)", t.year, t.month, t.day,
                  kWeekdays[t.weekday % 7]);
  } else if (!date && format == 0) {
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
  } else if (!date && format == 1) {  // 時 分 秒
    std::snprintf(text, sizeof text, "%02d\x8e\x9e%02d\x95\xaa%02d\x95\x62", t.hour, t.minute,
                  t.second);
  } else if (!date && format == 2) {
    std::snprintf(text, sizeof text, "%02d:%02d", t.hour, t.minute);
  } else if (!date && format == 3) {
    std::snprintf(text, sizeof text, "%02d\x8e\x9e%02d\x95\xaa", t.hour, t.minute);
  }
  {
    SaveFont font(vm.save, false);
    draw_text(vm, layer, text, x, y);
  }
  vm_log(engine::kLogHistory, "%s  %d, %d, %d, %d, %d", name, static_cast<int32_t>(layer), slot, x,
         y, format);
  queue_show(vm, date ? 0xa000e : 0xa000d, layer);
  return 1;
}

}  // namespace

uint32_t cmd_get_save_time_text(VmContext& vm) {
  return draw_time(vm, false);
}
uint32_t cmd_get_save_date_text(VmContext& vm) {
  return draw_time(vm, true);
}

}  // namespace save

namespace save {

uint32_t cmd_load_thumbnail(VmContext& vm) {
  const uint32_t file = vm_pop(vm);
  engine::SaveStream& s = vm.save;
  if (file == engine::kNoText) {
    s.bThumbEnabled = 1;
    return 1;
  }
  s.bThumbEnabled = 0;
  char name[33] = {};
  engine::get_file_name_operand(vm, reinterpret_cast<uint8_t*>(name), sizeof name, file, 1);
  name[32] = 0;
  uint32_t width = 0, height = 0;
  engine::game_screen_size(&width, &height);
  const uint32_t sprite = layers::sprite_load_by_name_unlocked(
      vm, name, static_cast<int32_t>(width), static_cast<int32_t>(height), 0);
  bool drawn = false;
  if (sprite && s.lpThumbPixels) {
    int32_t sw = 0, sh = 0;
    const uint32_t* pixels = orv.OrvSpriteLock(sprite, &sw, &sh);
    // The picture's own size inside its storage (rows sw pixels apart).
    const int32_t pw = std::min(sw, orv.OrvSpriteGetWidth(sprite));
    const int32_t ph = std::min(sh, orv.OrvSpriteGetHeight(sprite));
    if (pixels && pw > 0 && ph > 0) {
      std::vector<uint32_t> picture(static_cast<size_t>(pw) * ph);
      for (int32_t row = 0; row < ph; ++row) {
        std::memcpy(picture.data() + static_cast<size_t>(row) * pw,
                    pixels + static_cast<size_t>(row) * sw, static_cast<size_t>(pw) * 4);
      }
      orv.OrvSpriteUnlock(sprite);
      auto* dst = reinterpret_cast<uint32_t*>(s.lpThumbPixels);
      const auto tw = static_cast<int32_t>(s.dwThumbWidth);
      const auto th = static_cast<int32_t>(s.dwThumbHeight);
      if (s.dwMosaicThumbnail || settings_of(vm).bAllMosaicThumbnail) {
        orv.OrvThumbnailCreateMosaicEx(dst, tw, th, picture.data(), pw, ph, 6);
      } else {
        orv.OrvThumbnailCreateEx(dst, tw, th, picture.data(), pw, ph);
      }
      drawn = true;
    } else if (pixels) {
      orv.OrvSpriteUnlock(sprite);
    }
  }
  if (sprite) orv.OrvSpriteRelease(orv.OrvRenderGetActive(), sprite);
  if (!drawn && s.lpThumbPixels) std::memset(s.lpThumbPixels, 0, s.dwThumbSize);
  vm_log(engine::kLogHistory, "load_thumbnail %s", name);
  return 1;
}

}  // namespace save
