#include "Orv/core/seams.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "platform/program_path.h"
#include "platform/sjis.h"

bool seam_work_pool_create() {
  return true;
}
bool seam_renderer_create() {
  return true;
}
bool seam_texture_table_create() {
  return true;
}
bool seam_effect_surface_create() {
  return true;
}
bool seam_task_scheduler_create() {
  return true;
}
bool seam_sound_create() {
  return true;
}
bool seam_random_table_create() {
  return true;
}
void seam_search_paths_init() {}
void seam_font_defaults() {}
std::string seam_base_folder_utf8() {
  return platform::program_folder_utf8();
}

bool seam_file_read_all(const char* name, std::vector<uint8_t>* out) {
  if (!name || !out) return false;
  std::string path = platform::sjis_to_utf8_lossy(name);
  std::replace(path.begin(), path.end(), '\\', '/');
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

void* seam_main_task_data() {
  return nullptr;
}
void seam_video_step() {}

void seam_fonts_release() {}
void seam_search_paths_release() {}
void seam_sound_destroy() {}
void seam_renderer_destroy() {}
