#include "engine/script_files.h"

#include "engine/decoded_code.h"

#include <cstring>
#include <string>
#include <vector>

#include "commands/data_file.h"
#include "engine/neighbours.h"
#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/layers/graphic_dat.h"
#include "graphics/layers/image_record.h"
#include "shared/word_scrambler.h"

namespace engine {

namespace {

constexpr uint32_t kFailure = 0x80004005u;

uint8_t* copy_block(const uint8_t* data, uint32_t size) {
  auto* block = static_cast<uint8_t*>(orv.OrvMemoryAlloc(size, 0));
  if (block && size) std::memcpy(block, data, size);
  return block;
}

void unscramble_table(uint8_t* image, uint32_t size) {
  if (size > kTableHeaderBytes && image[0] == '$') {
    unscramble_words(image + kTableHeaderBytes, size - kTableHeaderBytes);
  }
}

bool load_table(uint8_t** image, uint32_t* size, const ScriptFileBytes::Span& span,
                const char* error) {
  if (*image) orv.OrvMemoryFree(*image);
  *image = copy_block(span.data, span.size);
  *size = *image ? span.size : 0;
  if (!*image) {
    vm_log(kLogMain, "%s", error);
    return false;
  }
  unscramble_table(*image, *size);
  return true;
}

void free_block(uint8_t** block) {
  if (*block) orv.OrvMemoryFree(*block);
  *block = nullptr;
}

bool code_valid(const uint8_t* data, uint32_t size) {
  ScriptHeader h;
  return script_header_read(data, size, &h) && h.magic == kScriptMagic;
}

bool fail(VmContext&, const char* message, uint32_t* result) {
  vm_log(kLogMain, "%s", message);
  orv_end_program();
  *result = kFailure;
  return false;
}

}  // namespace

static_assert(codec::stored_size<ScriptHeader>([](auto& io, auto& h) { sync(io, h); }) ==
              kScriptHeaderBytes);
static_assert(codec::stored_size<TableHeader>([](auto& io, auto& h) { sync(io, h); }) ==
              kTableHeaderBytes);

bool script_header_read(const uint8_t* data, size_t size, ScriptHeader* header) {
  codec::ByteReader r(data, size);
  sync(r, *header);
  return !r.failed();
}

bool table_header_read(const uint8_t* data, size_t size, TableHeader* header) {
  codec::ByteReader r(data, size);
  sync(r, *header);
  return !r.failed();
}

bool script_files_load(VmContext& vm, const ScriptFileBytes& bytes) {
  ScriptRunner& r = vm.runner;
  if (!code_valid(bytes.script.data, bytes.script.size)) {
    vm_log(kLogMain, "script load error");
    return false;
  }
  decoded_code_free(r);
  if (r.pCode) orv.OrvMemoryFree(r.pCode);
  r.pCode = copy_block(bytes.script.data, bytes.script.size);
  if (!r.pCode) {
    r.dwCodeSize = 0;
    vm_log(kLogMain, "script load error");
    return false;
  }
  r.dwCodeSize = bytes.script.size;
  ScriptHeader header;
  script_header_read(r.pCode, r.dwCodeSize, &header);
  r.dwBase = kScriptHeaderBytes;
  r.dwRestartPc = header.entry;
  r.dwPc = header.entry;
  ScriptFiles& f = vm.files;
  const bool loaded =
      load_table(&f.pFileDat, &f.dwFileDatSize, bytes.file, "filelist load error") &&
      load_table(&f.pTextDat, &f.dwTextDatSize, bytes.text, "textlist load error") &&
      load_table(&f.pMemDat, &f.dwMemDatSize, bytes.mem, "tablelist load error") &&
      load_table(&f.pPointDat, &f.dwPointDatSize, bytes.point, "pointlist load error");
  if (loaded) decoded_code_build(vm);
  return loaded;
}

void script_files_free(VmContext& vm) {
  decoded_code_free(vm.runner);
  free_block(&vm.runner.pCode);
  vm.runner.dwCodeSize = 0;
  free_block(&vm.files.pPointDat);
  free_block(&vm.files.pMemDat);
  free_block(&vm.files.pFileDat);
  free_block(&vm.files.pTextDat);
  vm.files = ScriptFiles{};
}

namespace {

// Reads one file for engine_init; a short read keeps what was read unless whole is asked.
bool read_file(const char* name, uint8_t** data, uint32_t* size, bool whole = false) {
  const int status = orv_file_read_whole(name, data, size);
  return status == 0 || (status == 3 && !whole);
}

bool load_files(VmContext& vm, uint32_t* result) {
  struct Named {
    const char* name;
    const char* error;
  };
  const Named names[5] = {{"Script.src", "script load error"},
                          {"File.dat", "filelist load error"},
                          {"Text.dat", "textlist load error"},
                          {"Mem.dat", "tablelist load error"},
                          {"Point.dat", "pointlist load error"}};
  uint8_t* data[5] = {};
  uint32_t sizes[5] = {};
  bool ok = true;
  for (int i = 0; i < 5 && ok; ++i) {
    // A table that reads short keeps what it has; the code must arrive whole. Besides the key-0
    // line, the error log names the file and what is wrong with it.
    if (!read_file(names[i].name, &data[i], &sizes[i], i == 0)) {
      vm_error_log("%s: not found or unreadable among the data files", names[i].name);
      ok = fail(vm, names[i].error, result);
    } else if (i == 0 && !code_valid(data[0], sizes[0])) {
      vm_error_log("%s: damaged (%u bytes, no script header)", names[0].name, sizes[0]);
      ok = fail(vm, names[0].error, result);
    }
  }
  if (ok) {
    ScriptFileBytes bytes{{data[0], sizes[0]},
                          {data[1], sizes[1]},
                          {data[2], sizes[2]},
                          {data[3], sizes[3]},
                          {data[4], sizes[4]}};
    if (!script_files_load(vm, bytes)) {
      orv_end_program();
      *result = kFailure;
      ok = false;
    }
  }
  for (uint8_t* block : data) {
    if (block) orv.OrvMemoryFree(block);
  }
  return ok;
}

bool save_buffers_init(VmContext& vm, uint32_t* result) {
  SaveStream& s = vm.save;
  uint32_t width = 0, height = 0;
  game_screen_size(&width, &height);
  s.dwResumePc = 0;
  s.dwThumbWidth = width / 10;
  s.dwThumbHeight = height / 10;
  s.bThumbEnabled = 1;
  s.dwThumbSize = s.dwThumbWidth * s.dwThumbHeight * 4;
  s.bSnapValid = 0;
  s.bSavePointLock = 0;
  s.dwPrevRawLength = 0;
  if (save_stream_init(s)) return true;
  save_stream_free(s);
  return fail(vm, "saveload initialize error", result);
}

// A missing graphic.dat leaves every image on its own name and defaults; a damaged one is
// named in the log and treated as missing.
void graphic_dat_load() {
  uint8_t* data = nullptr;
  uint32_t size = 0;
  layers::graphic_dat.clear();
  if (!read_file("graphic.dat", &data, &size)) return;
  std::vector<uint8_t> bytes(data, data + size);
  orv.OrvMemoryFree(data);
  std::string error;
  if (!layers::graphic_dat.load(std::move(bytes), &error)) {
    vm_log(kLogMain, "graphic.dat: %s", error.c_str());
  }
}

// Rotations reach the sprites as floats when the renderer takes them.
void rotation_mode_set() {
  layers::g_float_rotation = orv.Orv3DIs && orv.Orv3DIs() != 0;
}

}  // namespace

uint32_t engine_init(VmContext& vm) {
  uint32_t result = 0;
  if (!load_files(vm, &result)) return result;
  if (!save_buffers_init(vm, &result)) return result;
  vm_reset(vm);
  graphic_dat_load();
  rotation_mode_set();
  vm.hRender = orv_render_init();
  if (!vm.hRender) return fail(vm, "render init error", &result), result;
  orv_render_set_active(vm.hRender);
  vm.hReturnStack = orv_list_create();
  if (!vm.hReturnStack) return fail(vm, "list create error", &result), result;
  vm.hDataFiles = orv_list_create();
  if (!vm.hDataFiles) return fail(vm, "saveload initialize error", &result), result;
  neighbour_run(neighbours.text.voice_system_init, vm);
  vm.debugPointers[0] = vm.userMem;
  vm.debugPointers[1] = vm.tempMem;
  vm.debugPointers[2] = vm.sysMem;
  vm.debugPointers[3] = &vm.frame.dwEbp;
  vm.debugPointers[4] = &vm.frame.dwEsp;
  // Seen marks kept by an older system.dat may be smaller than the current tables need.
  if (!seen_flags_fit_tables(vm)) vm_log(kLogMain, "seen marks: memory allocate error");
  return 0;
}

void engine_shutdown(VmContext& vm) {
  neighbour_run(neighbours.text.text_window_free, vm);
  neighbour_run(neighbours.interaction.btn_release_all, vm);
  neighbour_run(neighbours.text.se_release_all, vm);
  neighbour_run(neighbours.text.bgm_release_all, vm);
  neighbour_run(neighbours.text.voice_release_all, vm);
  neighbour_run(neighbours.layers.action_uninit_all, vm);
  neighbour_run(neighbours.layers.layers_clear_all, vm);
  neighbour_run(neighbours.layers.anim_release_all, vm);
  neighbour_run(neighbours.interaction.select_release, vm);
  return_stack_clear(vm);
  if (vm.playerName.bWindow) neighbour_run(neighbours.interaction.player_name_window_destroy, vm);
  save_stream_free(vm.save);
  data_files_close_all(vm);
  orv_list_release(vm.hDataFiles);
  vm.hDataFiles = 0;
  layers::graphic_dat.clear();
  decoded_code_free(vm.runner);
  free_block(&vm.runner.pCode);
  vm.runner.dwCodeSize = 0;
  orv_list_release(vm.hReturnStack);
  vm.hReturnStack = 0;
  if (vm.hRender) orv_render_uninit(vm.hRender);
  vm.hRender = 0;
  free_block(&vm.files.pPointDat);
  free_block(&vm.files.pMemDat);
  free_block(&vm.files.pFileDat);
  free_block(&vm.files.pTextDat);
  vm.files = ScriptFiles{};
}

}  // namespace engine
