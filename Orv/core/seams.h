// The steps of start-up and shutdown that other modules of the library provide. Until a
// module is built, its step here does nothing and start-up goes on; each is replaced by a call
// into the module when it lands. One function per step, so that each is wired in one place.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "orv/start_params.h"

// System init (window creation).
bool seam_renderer_create();          // the software renderer (GPU renderer later)
bool seam_texture_table_create();     // the renderer's texture table
bool seam_effect_surface_create();    // the screen-effect surface and transition record
bool seam_sound_create();             // the sound device and the sound thread
void seam_search_paths_init();        // an empty search-path list
void seam_font_defaults();            // the font state's defaults
std::string seam_base_folder_utf8();  // the base folder (where setting.ini and reports lie)
// Reads a whole data file found by name (Shift-JIS, folders with '\\'); false when not found.
bool seam_file_read_all(const char* name, std::vector<uint8_t>* out);

// Frames.
void seam_video_step();  // the events of a full-screen video

// OrvUninit.
void seam_fonts_release();
void seam_search_paths_release();
void seam_sound_destroy();
void seam_renderer_destroy();
