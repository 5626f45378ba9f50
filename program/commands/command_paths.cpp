#include "commands/command_paths.h"

#include "platform/program_path.h"
#include "platform/sjis.h"

namespace engine {

namespace {

std::string g_program_folder;
std::string g_save_folder;

std::string default_program_folder() {
  std::string sjis = platform::utf8_to_sjis_path(platform::program_folder_utf8());
  for (char& c : sjis) {
    if (c == '/') c = '\\';
  }
  return sjis;
}

}  // namespace

const std::string& command_program_folder() {
  if (g_program_folder.empty()) g_program_folder = default_program_folder();
  return g_program_folder;
}

const std::string& command_save_folder() {
  return g_save_folder.empty() ? command_program_folder() : g_save_folder;
}

void set_command_program_folder(const std::string& sjis_folder) {
  g_program_folder = sjis_folder;
}
void set_command_save_folder(const std::string& sjis_folder) {
  g_save_folder = sjis_folder;
}

std::string command_path(const std::string& sjis_name) {
  return sjis_name;
}

}  // namespace engine
