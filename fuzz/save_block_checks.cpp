// The checks of the subsystems' save blocks over any bytes: the first byte picks the block.
// A check never reads outside the bytes and names a field when it refuses; run twice it gives
// the same verdict at the same place. The readers without pictures (screen effects, shader
// effects, actions, sound effects, background voices, backlog) then read what their check
// accepted and must consume exactly the same bytes.
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "engine/game_state.h"
#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/orv_static_bind.h"
#include "engine/vm_log.h"
#include "graphics/actions/action_reset.h"
#include "graphics/effects/layer_shader_pool.h"
#include "orv/orv.h"
#include "save/save_blocks.h"

namespace {

using Checker = bool (*)(codec::ByteReader&, save::SaveCheck&);
using Reader = void (*)(engine::VmContext&, codec::ByteReader&, const save::LoadMode&);

struct Block {
  Checker check;
  Reader read;  // null: the reader rebuilds pictures and is not run here
};
constexpr Block kBlocks[] = {
    {save::button_save_check, nullptr},
    {save::layer_save_check, nullptr},
    {save::screen_effect_save_check, save::screen_effect_save_read},
    {save::layer_shader_save_check, save::layer_shader_save_read},
    {save::sound_effect_save_check, save::sound_effect_save_read},
    {save::bgv_save_check, save::bgv_save_read},
    {save::backlog_save_check, save::backlog_save_read},
    {save::text_window_save_check, nullptr},
    {save::action_save_check, save::action_save_read},
};

void install_fakes() {
  // The machine's lists come from the linked library: reading background voices registers each
  // voice's file name in the list of names seen, as the game does.
  static const bool bound = (engine::orv_static_bind(), true);
  (void)bound;
  orv.OrvtimeGetTime = []() -> uint32_t { return 1000; };
  orv.OrvSoundLoad = [](const char*, int32_t, const BgmLoopPoints*) -> uint32_t { return 0; };
  orv.OrvSoundLoadEx = [](const char*, int32_t, const BgmLoopPoints*, float) -> uint32_t {
    return 0;
  };
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  install_fakes();
  engine::set_log_sink([](int, const char*, void*) {}, nullptr);
  const Block& block = kBlocks[data[0] % (sizeof kBlocks / sizeof kBlocks[0])];
  const uint8_t* bytes = data + 1;
  const size_t n = size - 1;

  save::SaveCheck check;
  check.dwCodeBase = 12;
  check.dwCodeSize = 0x1000;
  codec::ByteReader in(bytes, n);
  save::SaveCheck first = check;
  const bool ok = block.check(in, first);
  if (!ok && !first.field) std::abort();
  if (ok && (first.field || in.failed())) std::abort();
  codec::ByteReader again(bytes, n);
  save::SaveCheck second = check;
  if (block.check(again, second) != ok || again.pos() != in.pos()) std::abort();
  if (!ok || !block.read) return 0;

  // One game state for the whole run, made fresh for each input in the same place: a new
  // block per input spent most of the time on new pages.
  static auto* const gs = new engine::GameState();
  std::destroy_at(gs);
  std::construct_at(gs);
  engine::VmContext& vm = gs->vm;
  layers::shader_effect_pool_reset(vm);
  if (block.read == save::action_save_read) engine::action_system_clear(vm);
  vm.seen.hEntryNames = engine::orv_list_create();
  codec::ByteReader read_in(bytes, n);
  block.read(vm, read_in, save::LoadMode{});
  while (void* e = reinterpret_cast<void*>(engine::orv_list_pop(vm.seen.hEntryNames, 0))) {
    OrvMemoryFree(e);
  }
  engine::orv_list_release(vm.seen.hEntryNames);
  if (read_in.pos() != in.pos() || read_in.failed()) std::abort();
  if (vm.history.nEntryCount > engine::kHistoryEntries) std::abort();
  return 0;
}
