// StartParams: the start parameters that the game program hands to OrvInit, and the rectangle
// type of the window functions.
#pragma once

#include <cstdint>

#include "orv/types.h"

// Called first on the game thread; 0 ends the program.
using OrvStartFunc = int32_t (*)(void);
// Called when the game thread ends, with the data block of the main task.
using OrvEndFunc = void (*)(void* data);

// The 27 fields in the system's order. Texts are Shift-JIS and owned by the caller; OrvInit
// keeps the pointers, so they must outlive the library's use (the game's static strings).
struct StartParams {
  uint32_t instance;       // the program's module; 0 here
  int32_t full_screen;     // 1: OrvRun switches to full screen; kept current (1 while full screen)
  int32_t debug;           // nonzero: debug mode (log.txt, debug windows, hotkeys)
  const char* title;       // window title; caption of the close question and renderer errors
  const char* class_name;  // window class name
  const char* icon;        // icon resource name or number
  const char* menu;        // menu resource name
  const char* command_line;  // returned by OrvGetCmdLine
  uint32_t window_style;     // style in window mode
  int32_t frame_rate;        // frames per second of the game thread; -1: no frame wait
  int32_t window_x;          // left of the window; kept current
  int32_t window_y;          // top of the window; kept current
  int32_t client_width;      // client size in window mode; kept current
  int32_t client_height;
  int32_t screen_width;  // the virtual screen the game draws on
  int32_t screen_height;
  int32_t texture_count;    // entries of the renderer's texture table
  int32_t count;            // not consulted
  int32_t random_count;     // size of the random table
  OrvStartFunc start_func;  // required
  OrvEndFunc end_func;      // optional
  int32_t adapter;          // display adapter of the GPU renderer
  uint32_t show_flags;      // bit 0: OrvInit leaves the window hidden; bit 2: no mode changes
  uint32_t display_flags;   // bit 0: run while inactive; bit 2: screen saver; bit 3: GPU renderer
  int32_t wait_mode;        // 2: sleep out each frame; 1: present in step with the display
  int32_t aspect_mode;      // 0 stretch, 1 fit with bars, 2 centre, 3 cover and crop; kept current
  int32_t movie_format;     // nonzero allows .wmv movies besides .mpg
};

