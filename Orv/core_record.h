// CoreRecord: the platform library's single state record, above both of its folders.
//
// It is built when the window is created (OrvInit) and torn down by OrvUninit; `alive` tells
// which. A few services work before and after that (counted memory, lists, files, search
// paths), so the record itself is a process-wide object that always exists and each service
// checks `alive` where its behaviour depends on the core.
//
// Each subsystem keeps its state in a record of its own, declared in its own header and held
// here as one member, so the parts of the library stay apart. A subsystem reaches its own
// member through the accessor its header declares (orv_process(), orv_render(), font_state(),
// orv_geometry(), orv_present(), orv_debug(), orv_services(); core_alive.h for `alive`), all
// defined in core_record.cpp: the window code and the render code never include this header,
// so neither sees the other's records. What composes the whole library (its life in
// process_life.cpp) and the services that keep library-wide counts include it.
#pragma once

#include <atomic>
#include <cstdint>

#include "Orv/core/core_services.h"
#include "Orv/core/debug_log.h"
#include "Orv/core/files/file_record.h"
#include "Orv/core/sound/sound_record.h"
#include "Orv/core/window/frame_draw.h"
#include "Orv/core/window/process.h"
#include "Orv/core/window/window_geometry.h"
#include "Orv/render/font/font_state.h"
#include "Orv/render/render_state.h"

struct CoreRecord {
  std::atomic<bool> alive{false};
  // Live blocks taken through OrvMemoryAlloc while the core exists (memory.h); atomic so that
  // the leak report stays exact with several threads.
  std::atomic<int32_t> alloc_count{0};
  CoreServices services;  // tasks and frame time, work pools, random table
  // Start parameters, window, threads and queues, input and cursor.
  ProcessRecord process;
  GeometryState geometry;  // the window's place and size, window mode, the desktop
  PresentBuffer present;   // the frame handed from the game thread to the window thread
  DebugState debug;        // log windows, debug log and error log
  FileRecord files;        // base folder and search folders
  RenderState render;      // render list, sprites, image store, renderer table
  SoundRecord sound;       // sound channels, mixer and sound thread
  // The current font, the loaded bitmap and extra fonts, the last glyph drawn.
  FontState fonts;
};

CoreRecord& orv_core();
