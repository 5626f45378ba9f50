#include "save/save_fixed.h"

#include <bit>
#include <cstring>

namespace save {

static_assert(std::endian::native == std::endian::little,
              "memories are copied as they stand: little-endian hosts only");
static_assert(sizeof(engine::MemoryStack) == 32772);
static_assert(sizeof(engine::StringSlots) == 32756);
static_assert(sizeof(engine::FrameStack) == 2056);

void fixed_save_write(const engine::VmContext& vm, codec::ByteWriter& out) {
  const engine::SaveStream& s = vm.save;
  out.u32(0);
  out.u32(s.dwTitle);
  out.bytes(s.szSaveText);
  out.u32(s.dwMosaicThumbnail);
  out.u32(s.dwResumePc);
  out.u32(static_cast<uint32_t>(s.nLoadAfterLabel));
  out.u32(s.dwThumbWidth);
  out.u32(s.dwThumbHeight);
  out.u32(s.dwThumbSize);
  out.u32(s.bThumbEnabled);
  if (s.lpThumbPixels) {
    out.bytes(s.lpThumbPixels, s.dwThumbSize);
  } else {
    out.zeros(s.dwThumbSize);
  }
  out.bytes(vm.userMem, sizeof vm.userMem);
  out.bytes(&vm.memStack, sizeof vm.memStack);
  out.bytes(&vm.strings, sizeof vm.strings);
  out.u32(vm.run.dwSpritePriorityBase);
  out.u32(vm.run.dwKeyCancel[0]);
  out.zeros(8);
  out.u32(vm.sysMem[509]);
  out.u32(vm.sysMem[511]);
  out.i32(vm.nArgCount);
  out.bytes(vm.argStack, sizeof vm.argStack);
  out.u32(vm.frame.dwEbp);
  out.u32(vm.frame.dwEsp);
  out.bytes(vm.frame.cells, sizeof vm.frame.cells);
  out.bytes(vm.playerName.szName);
  out.u32(vm.playerName.dwNameLength);
  out.u32(vm.playerName.bChanged);
}

bool fixed_save_check(codec::ByteReader& in, SaveCheck& check, FixedInfo* info) {
  in.skip(kHeadMosaic);  // lock word, title, save text (terminated when read)
  in.u32();              // mosaic flag
  if (!check.whole(in, "head") || !check.code(in.u32(), "resume pc")) return false;
  if (!check.label(in.u32(), true, "load-after label")) return false;
  const uint32_t width = in.u32(), height = in.u32(), size = in.u32();
  in.u32();  // enabled
  if (!check.whole(in, "thumbnail")) return false;
  if (static_cast<uint64_t>(width) * height * 4 != size || size > engine::kThumbMaxBytes) {
    return check.fail("thumbnail size");
  }
  if (info) *info = FixedInfo{width, height, size};
  in.skip(size);
  in.skip(kFixedMemoryStack);
  if (!check.range(in.u32(), 0, 32, "memory stack depth")) return false;
  in.skip(32 * 256 * 4);
  if (!check.range(in.u32(), 0, engine::kStringSlots - 1, "string ring index")) return false;
  in.skip(engine::kStringSlots * engine::kVarStringBytes);
  in.skip(4 + 4 + 8 + 4 + 4);  // priority base, key cancel, save-point words, 509, 511
  if (!check.range(in.i32(), 0, engine::kArgumentCells, "argument count")) return false;
  in.skip(sizeof(uint32_t) * engine::kArgumentCells);
  if (!check.range(in.u32(), 0, engine::kFrameCells, "frame base")) return false;
  if (!check.range(in.u32(), 0, engine::kFrameCells, "frame stack pointer")) return false;
  in.skip(sizeof(uint32_t) * engine::kFrameCells);
  in.skip(32);
  if (!check.range(in.u32(), 0, 32, "player-name length")) return false;
  in.u32();
  return check.whole(in, "fixed part");
}

void fixed_save_read(engine::VmContext& vm, codec::ByteReader& in) {
  engine::SaveStream& s = vm.save;
  in.skip(4);
  s.dwTitle = in.u32();
  in.bytes(s.szSaveText);
  s.szSaveText[sizeof s.szSaveText - 1] = 0;
  s.dwMosaicThumbnail = in.u32();
  s.dwResumePc = in.u32();
  s.nLoadAfterLabel = in.i32();
  const uint32_t width = in.u32(), height = in.u32(), size = in.u32();
  s.bThumbEnabled = in.u32();
  const auto pixels = in.take(size);
  if (s.lpThumbPixels && s.dwThumbSize == size && pixels.size() == size) {
    std::memcpy(s.lpThumbPixels, pixels.data(), size);
    s.dwThumbWidth = width;
    s.dwThumbHeight = height;
  }
  in.bytes(vm.userMem, sizeof vm.userMem);
  in.bytes(&vm.memStack, sizeof vm.memStack);
  in.bytes(&vm.strings, sizeof vm.strings);
  for (char* slot : vm.strings.slots) slot[engine::kVarStringBytes - 1] = 0;
  vm.run.dwSpritePriorityBase = in.u32();
  vm.run.dwKeyCancel[0] = in.u32();
  vm.run.dwSavePointMark = 0;
  vm.run.qwSavePointValue = 0;
  in.skip(8);
  vm.run.dwSysMem509 = in.u32();
  vm.run.dwSysMem511 = in.u32();
  vm.nArgCount = in.i32();
  in.bytes(vm.argStack, sizeof vm.argStack);
  vm.frame.dwEbp = in.u32();
  vm.frame.dwEsp = in.u32();
  in.bytes(vm.frame.cells, sizeof vm.frame.cells);
  in.bytes(vm.playerName.szName);
  vm.playerName.dwNameLength = in.u32();
  vm.playerName.bChanged = in.u32();
}

}  // namespace save
