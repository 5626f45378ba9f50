// The steps of start-up and shutdown that other modules of the library provide. Until a
// module is built, its step here does nothing and start-up goes on; each is replaced by a call
// into the module when it lands. One function per step, so that each is wired in one place.
#pragma once

#include <string>

// System init (window creation).
bool seam_texture_table_create();     // the renderer's texture table
std::string seam_base_folder_utf8();  // the base folder (where setting.ini and reports lie)

// OrvUninit.
void seam_fonts_release();
