#include "graphics/layers/image_record.h"

#include <cstring>

#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/animations/anim_player.h"

namespace layers {

ImageRecord image_table[kImageRecords + 1];

namespace {

constexpr uint32_t kBases[3] = {0, kSystemImages, kSystemImages + kLayerImages};
constexpr uint32_t kDisplayOpReleaseSprite = 0x30005;

ImageRecord& list_head() {
  return image_table[kImageRecords];
}

void unlink_and_zero(ImageRecord* image) {
  if (image->prev) image->prev->next = image->next;
  if (image->next) image->next->prev = image->prev;
  std::memset(static_cast<void*>(image), 0, sizeof *image);
}

}  // namespace

int32_t decode_image_no(uint32_t image_no) {
  const uint32_t kind = (image_no >> 24) & 0xF;
  const uint32_t n = image_no & 0xFFFF;
  const uint32_t plane = (image_no >> 20) & 0xF;
  int32_t index = -1;
  if (kind == 0 && n < kLayerImages) index = static_cast<int32_t>(kBases[kBaseLayer] + n);
  if (kind == 1 && n < kSystemImages) index = static_cast<int32_t>(kBases[kBaseSystem] + n);
  if (kind == 2 && n < kPlaneImages) {
    index = static_cast<int32_t>(kBases[kBasePlane] + kPlaneImages * plane + n);
  }
  if (index < 0) engine::vm_log(engine::kLogMain, "fail original image no : 0x%08X", image_no);
  return index;
}

uint32_t make_plane_image_no(uint32_t plane, uint32_t n) {
  if (plane >= kPlanes || n >= kPlaneImages) return 0xFFFFFFFFu;
  return 0x02000000u | plane << 20 | n;
}

ImageRecord* image_record_at(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(kImageRecords)) return nullptr;
  // A free record is all zero and in no list: whoever follows or reads it would take zeroes
  // for a picture's place.
  ImageRecord* r = &image_table[index];
  return r->prev ? r : nullptr;
}

uint32_t image_get_file_name(engine::VmContext& vm, uint32_t image_no, char (&name)[33]) {
  std::memset(name, 0, sizeof name);
  const ImageRecord* r = image_record_at(decode_image_no(image_no));
  if (!r || !r->lFileNo) return 0;
  if (r->lFileNo & engine::kStringHandleBit) {
    std::memcpy(name, r->szFileName, 32);
  } else {
    engine::get_file_name_operand(vm, reinterpret_cast<uint8_t*>(name), sizeof name, r->lFileNo, 0);
  }
  name[32] = 0;
  return 1;
}

void image_keep_file(ImageRecord& image, uint32_t file, const char* slot_name, const char* name) {
  if (file & engine::kStringHandleBit) {
    std::memcpy(image.szFileName, slot_name, sizeof image.szFileName);
  } else if (file == 0) {
    std::memcpy(image.szFileName, name, sizeof image.szFileName);
    file = engine::kStringHandleBit;
  }
  image.lFileNo = file;
}

void image_op_keep_name(engine::VmContext& vm, uint32_t file, char (&field)[32]) {
  std::memset(field, 0, sizeof field);
  if (!(file & engine::kStringHandleBit)) return;
  const uint32_t slot = file & ~engine::kStringHandleBit;
  if (slot >= 16) return;
  const char* text = engine::AdvGetVarString(vm, slot);
  for (size_t i = 0; i < sizeof field - 1 && text[i]; ++i) field[i] = text[i];
}

ImageRecord* image_alloc(ImageBase base, uint32_t n) {
  const uint32_t limit = base == kBaseSystem  ? kSystemImages
                         : base == kBaseLayer ? kLayerImages
                                              : kPlanes * kPlaneImages;
  if (base > kBasePlane || n >= limit) return nullptr;
  ImageRecord* r = &image_table[kBases[base] + n];
  std::memset(static_cast<void*>(r), 0, sizeof *r);
  r->dwIndex = kBases[base] + n;
  r->base.scale = {1.0f, 1.0f};
  r->base.dwColor = 0xFFFFFFFFu;
  ImageRecord& head = list_head();
  r->next = head.next;
  r->prev = &head;
  if (head.next) head.next->prev = r;
  head.next = r;
  return r;
}

void image_release(engine::VmContext& vm, ImageRecord* image) {
  if (!image) return;
  animations::anim_unload_released(*image);
  engine::DisplayOp op{};
  op.dwId = kDisplayOpReleaseSprite;
  op.args[0] = image->hSprite;
  engine::display_op_push(vm, op);
  unlink_and_zero(image);
}

void image_release_now(ImageRecord* image) {
  if (!image) return;
  animations::anim_unload_released(*image);
  if (image->hSprite && orv.OrvSpriteRelease) {
    orv.OrvSpriteRelease(orv.OrvRenderGetActive(), image->hSprite);
  }
  unlink_and_zero(image);
}

}  // namespace layers
