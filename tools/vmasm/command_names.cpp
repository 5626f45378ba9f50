#include "vmasm/command_names.h"

#include <iterator>

namespace vmasm {
namespace {

// In id order. argc: arguments the handler pops.
const CommandName kCommands[] = {
    {"wait", 0x070000, 2},
    {"wait_click", 0x070001, 1},
    {"wait_sync_begin", 0x070002, 0},
    {"wait_sync", 0x070003, 1},
    {"wait_sync_end", 0x070004, 0},
    {"wait_frame", 0x070005, 0},
    {"wait_clear", 0x070006, 0},
    {"wait_click_no_anim", 0x070007, 1},
    {"wait_sync_get_time", 0x070008, 0},
    {"wait_time_push", 0x070009, 0},
    {"wait_time_pop", 0x07000A, 0},
    {"wait_get_time", 0x07000B, 0},
    {"wait_is_clear", 0x07000C, 0},
    {"get_monitor_size", 0x090029, 2},
    {"set_system_path", 0x09002C, 1},
    {"set_allmosaicthumbnail", 0x09002D, 1},
    {"get_exe_run_mode", 0x090040, 0},
    {"save_system_data", 0x0A0019, 0},
    {"movie_play", 0x0B0000, -1},
    {"work_thread_start", 0x12001C, 0},
    {"work_thread_stop", 0x12001D, 0},
    {"create_thread", 0x150000, 1},
    {"exit_thread", 0x150001, 0},
    {"enable_thread", 0x150002, 1},
    {"get_thread", 0x150003, 0},
    {"get_script_thread_id", 0x150004, 0},
    {"create_message", 0x170000, 1},
    {"get_message", 0x170001, 0},
    {"get_message_param", 0x170002, 1},
};

}  // namespace

const CommandName* command_by_name(std::string_view name) {
  for (const CommandName& c : kCommands) {
    if (name == c.name) return &c;
  }
  return nullptr;
}

const CommandName* command_by_id(uint32_t id) {
  for (const CommandName& c : kCommands) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

}  // namespace vmasm
