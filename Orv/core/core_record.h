// CoreRecord: the platform library's single state record.
//
// It is built when the window is created (OrvInit) and torn down by OrvUninit; `alive` tells
// which. A few services work before and after that (counted memory, lists, files, search
// paths), so the record itself is a process-wide object that always exists and each service
// checks `alive` where its behaviour depends on the core.
//
// Each subsystem keeps its state in a record of its own, declared in its own header and held
// here as one member, so the parts of the library stay apart.
#pragma once

#include <atomic>
#include <cstdint>

#include "Orv/core/core_services.h"
#include "Orv/core/window/process.h"
#include "Orv/core/files/file_record.h"
#include "Orv/render/render_state.h"
#include "Orv/core/sound/sound_record.h"
#include "Orv/render/font/font_state.h"

struct CoreRecord {
  std::atomic<bool> alive{false};
  // Live blocks taken through OrvMemoryAlloc while the core exists (memory.h); atomic so that
  // the leak report stays exact with several threads.
  std::atomic<int32_t> alloc_count{0};
  CoreServices services;  // tasks and frame time, work pools, random table
  // Start parameters, window, threads, geometry, input, cursor and debug log.
  ProcessRecord process;
  FileRecord files;     // base folder and search folders
  RenderState render;   // render list, sprites, image store, software renderer
  SoundRecord sound;    // sound channels, mixer and sound thread
  // The current font, the loaded bitmap and extra fonts, the last glyph drawn.
  FontState fonts;
};

CoreRecord& orv_core();
