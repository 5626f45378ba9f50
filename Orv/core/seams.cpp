#include "Orv/core/seams.h"

#include "Orv/core/files/file_access.h"
#include "Orv/render/font/fonts.h"
#include "platform/file.h"
#include "platform/program_path.h"

bool seam_texture_table_create() {
  return true;
}

std::string seam_base_folder_utf8() {
  // The base folder is the program's folder once the search paths exist; before that (the
  // debug log opens first) the program's folder stands in for it.
  const char* base = file_base_folder();
  if (base && base[0]) {
    std::string native = platform::native_path(base);
    if (!native.empty()) return native;
  }
  return platform::program_folder_utf8();
}

void seam_fonts_release() {
  fonts_release();
}
