#include "engine/engine_seams.h"

#include <deque>
#include <map>
#include <mutex>
#include <utility>

#include "engine/orv_api.h"

namespace engine {

void seam_debug_print(int, const char*) {}
void seam_error_log(const char*) {}
void seam_end_program() {}
void seam_end_update(int) {}

namespace {

// Stand-in for OrvList until it is exported: ids to node chains, guarded for the work thread.
struct ListTable {
  std::mutex mutex;
  OrvHandle next = 1;
  std::map<OrvHandle, std::deque<std::pair<uint32_t, uintptr_t>>> lists;
};
ListTable& list_table() {
  static ListTable table;
  return table;
}

}  // namespace

OrvHandle seam_list_create() {
  ListTable& t = list_table();
  std::lock_guard lock(t.mutex);
  OrvHandle id = t.next++;
  t.lists[id];
  return id;
}

void seam_list_release(OrvHandle list) {
  ListTable& t = list_table();
  std::lock_guard lock(t.mutex);
  t.lists.erase(list);
}

bool seam_list_push(OrvHandle list, uintptr_t data, uint32_t key) {
  ListTable& t = list_table();
  std::lock_guard lock(t.mutex);
  auto it = t.lists.find(list);
  if (it == t.lists.end()) return false;
  it->second.emplace_front(key, data);
  return true;
}

bool seam_list_push_last(OrvHandle list, uintptr_t data, uint32_t key) {
  ListTable& t = list_table();
  std::lock_guard lock(t.mutex);
  auto it = t.lists.find(list);
  if (it == t.lists.end()) return false;
  it->second.emplace_back(key, data);
  return true;
}

uintptr_t seam_list_pop(OrvHandle list, uint32_t key) {
  ListTable& t = list_table();
  std::lock_guard lock(t.mutex);
  auto it = t.lists.find(list);
  if (it == t.lists.end()) return 0;
  auto& nodes = it->second;
  for (auto n = nodes.begin(); n != nodes.end(); ++n) {
    if (n->first == key) {
      uintptr_t data = n->second;
      nodes.erase(n);
      return data;
    }
  }
  return 0;
}

uint32_t seam_list_count(OrvHandle list, uint32_t key) {
  ListTable& t = list_table();
  std::lock_guard lock(t.mutex);
  auto it = t.lists.find(list);
  if (it == t.lists.end()) return 0;
  uint32_t count = 0;
  for (auto& n : it->second) count += n.first == key;
  return count;
}

uintptr_t seam_list_get_data(OrvHandle list, uint32_t key, uint32_t n) {
  ListTable& t = list_table();
  std::lock_guard lock(t.mutex);
  auto it = t.lists.find(list);
  if (it == t.lists.end()) return 0;
  for (auto& node : it->second) {
    if (node.first != key) continue;
    if (n == 0) return node.second;
    --n;
  }
  return 0;
}

int32_t seam_input_wheel() {
  return 0;
}
uint32_t seam_input_key_push() {
  return 0;
}
uint32_t seam_input_key_pull() {
  return 0;
}
uint32_t seam_input_key_on() {
  return 0;
}

bool seam_render_lock_enter() {
  return false;
}
void seam_render_lock_leave() {}

int seam_file_read_whole(const char*, uint8_t** data, uint32_t* size, uint32_t) {
  *data = nullptr;
  *size = 0;
  return 1;
}

OrvHandle seam_task_create(OrvTaskProc, OrvTaskProc, uint32_t, void** data, const char*) {
  *data = nullptr;
  return 0;
}
void seam_task_set_task_data(OrvHandle) {}
void seam_task_change_next(OrvTaskProc) {}

OrvHandle seam_render_init() {
  return 0;
}
void seam_render_set_active(OrvHandle) {}
void seam_render_uninit(OrvHandle) {}

void seam_screen_size(uint32_t* width, uint32_t* height) {
  *width = 1280;
  *height = 720;
}

uint32_t seam_boot_word() {
  return 0;
}

}  // namespace engine
