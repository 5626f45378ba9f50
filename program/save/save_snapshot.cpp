#include "save/save_snapshot.h"

#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "save/save_blocks.h"
#include "save/save_settings.h"

#include <algorithm>
#include <iterator>

namespace save {

namespace {

struct BlockEntry {
  const char* name;
  void (*write)(const engine::VmContext&, codec::ByteWriter&);
  bool (*check)(codec::ByteReader&, SaveCheck&);
  void (*read)(engine::VmContext&, codec::ByteReader&, const LoadMode&);
};

#define SAVE_BLOCK_ENTRY(block) \
  { #block, block##_save_write, block##_save_check, block##_save_read }
constexpr BlockEntry kBlocks[] = {
    SAVE_BLOCK_ENTRY(button), SAVE_BLOCK_ENTRY(choice),        SAVE_BLOCK_ENTRY(thread),
    SAVE_BLOCK_ENTRY(layer),  SAVE_BLOCK_ENTRY(screen_effect), SAVE_BLOCK_ENTRY(layer_shader),
    SAVE_BLOCK_ENTRY(music),  SAVE_BLOCK_ENTRY(sound_effect),  SAVE_BLOCK_ENTRY(autopan),
    SAVE_BLOCK_ENTRY(bgv),    SAVE_BLOCK_ENTRY(backlog),       SAVE_BLOCK_ENTRY(text_window),
    SAVE_BLOCK_ENTRY(action), SAVE_BLOCK_ENTRY(return_stack),
};
#undef SAVE_BLOCK_ENTRY
static_assert(std::size(kBlocks) == 14);

}  // namespace

void save_thumbnail_take(engine::VmContext& vm) {
  engine::SaveStream& s = vm.save;
  if (!s.lpThumbPixels || !s.dwThumbSize) return;
  auto* pixels = reinterpret_cast<uint32_t*>(s.lpThumbPixels);
  const auto w = static_cast<int32_t>(s.dwThumbWidth), h = static_cast<int32_t>(s.dwThumbHeight);
  const bool mosaic = s.dwMosaicThumbnail || settings_of(vm).bAllMosaicThumbnail;
  if (mosaic) {
    orv.OrvThumbnailCreateMosaic(pixels, s.dwThumbSize, w, h, 6);
  } else {
    orv.OrvThumbnailCreate(pixels, s.dwThumbSize, w, h);
  }
}

void save_snapshot_make(engine::VmContext& vm) {
  engine::SaveStream& s = vm.save;
  if (!engine::save_stream_init(s)) {
    engine::vm_log(engine::kLogMain, "save buffer over");
    s.bSnapValid = 0;
    s.dwSnapOffset = s.dwSnapLength = 0;
    return;
  }
  if (s.bThumbEnabled && !(engine::get_skip_state(vm) & engine::kSkipAny)) {
    save_thumbnail_take(vm);
  }
  std::vector<uint8_t>& buffer = *s.lpSnapshot;
  buffer.clear();
  codec::ByteWriter out(&buffer);
  fixed_save_write(vm, out);
  for (const BlockEntry& block : kBlocks) {
    block.write(vm, out);
    if (buffer.size() > engine::kSaveBufferBytes) {
      // A snapshot with blocks missing could not be read back: keep none.
      engine::vm_log(engine::kLogMain, "save buffer over (%s)", block.name);
      buffer.clear();
      s.bSnapValid = 0;
      s.dwSnapOffset = s.dwSnapLength = 0;
      return;
    }
  }
  s.dwSnapOffset = s.dwSnapLength = static_cast<uint32_t>(buffer.size());
  s.bSnapValid = 1;
}

SaveCheck save_check_for(const engine::VmContext& vm) {
  SaveCheck check;
  check.dwCodeSize = vm.runner.dwCodeSize;
  check.dwCodeBase = vm.runner.dwBase;
  return check;
}

bool save_data_check(const uint8_t* data, size_t size, SaveCheck& check, FixedInfo* fixed,
                     std::vector<size_t>* ends) {
  if (size > engine::kSaveBufferBytes) return check.fail("file size");
  codec::ByteReader in(data, size);
  if (!fixed_save_check(in, check, fixed)) return false;
  if (ends) ends->push_back(in.pos());
  for (const BlockEntry& block : kBlocks) {
    if (!block.check(in, check) || in.failed()) return check.fail(block.name);
    if (ends) ends->push_back(in.pos());
  }
  if (in.remaining() != 0) return check.fail("length");
  return true;
}

void save_data_read(engine::VmContext& vm, const uint8_t* data, size_t size, const LoadMode& mode) {
  codec::ByteReader in(data, size);
  fixed_save_read(vm, in);
  for (const BlockEntry& block : kBlocks) block.read(vm, in, mode);
  if (in.failed() || in.remaining() != 0) engine::vm_log(engine::kLogMain, "load error");
  vm.runner.dwPc = vm.save.dwResumePc;
}

void save_snapshot_read(engine::VmContext& vm) {
  engine::SaveStream& s = vm.save;
  const std::vector<uint8_t>* buffer = s.lpSnapshot;
  const size_t size = buffer ? std::min<size_t>(s.dwSnapLength, buffer->size()) : 0;
  SaveCheck check = save_check_for(vm);
  FixedInfo fixed;
  if (!buffer || !save_data_check(buffer->data(), size, check, &fixed) ||
      (fixed.dwThumbSize != s.dwThumbSize &&
       !engine::save_thumbnail_resize(s, static_cast<int32_t>(fixed.dwThumbWidth),
                                      static_cast<int32_t>(fixed.dwThumbHeight)))) {
    engine::vm_log(engine::kLogMain, "load error: snapshot refused (%s)",
                   check.field ? check.field : "memory");
    vm.runner.dwPc = s.dwResumePc;
    return;
  }
  save_data_read(vm, buffer->data(), size, LoadMode{});
}

}  // namespace save
