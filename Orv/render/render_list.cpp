#include "Orv/render/render_list.h"

#include <cstdio>
#include <mutex>
#include <new>
#include <vector>

#include "Orv/core/error_report.h"
#include "Orv/core/handle_table.h"
#include "Orv/render/gl/gl_overlay.h"
#include "Orv/render/last_error.h"
#include "Orv/render/render_lock.h"
#include "Orv/render/render_state.h"
#include "Orv/render/render_system.h"
#include "orv/orv.h"
#include "platform/clock.h"

namespace {

RenderState& rs() {
  return orv_render();
}

// Which list this thread entered through OrvRenderLockEnter, and how often. Keeping the
// marker per thread means a leave without a matching enter never unlocks a lock the thread
// does not hold.
thread_local RenderList* t_entered = nullptr;
thread_local int32_t t_enter_depth = 0;

RenderNode* new_node(uintptr_t user_data, OrvRenderCallback callback, int32_t key) {
  void* block = OrvMemoryAlloc(sizeof(RenderNode), 0);
  if (!block) return nullptr;
  auto* node = new (block) RenderNode;
  node->user_data = user_data;
  node->callback = callback;
  node->key = key;
  node->id = orv_handles().add(HandleKind::kRenderNode, node);
  if (!node->id) {
    node->~RenderNode();
    OrvMemoryFree(block);
    return nullptr;
  }
  return node;
}

void free_node(RenderNode* node) {
  orv_handles().remove(node->id, HandleKind::kRenderNode);
  node->~RenderNode();
  OrvMemoryFree(node);
}

void link_after(RenderList* list, RenderNode* pos, RenderNode* node) {
  node->prev = pos;
  node->next = pos->next;
  if (pos->next) {
    pos->next->prev = node;
  } else {
    list->last = node;
  }
  pos->next = node;
  if (!list->ordered) return;
  bool fits = (pos == &list->head || pos->key >= node->key) &&
              (!node->next || node->key >= node->next->key);
  if (!fits) {
    list->ordered = false;
    list->key_tail.clear();
    return;
  }
  if (!node->next || node->next->key != node->key) list->key_tail[node->key] = node;
}

void unlink(RenderList* list, RenderNode* node) {
  if (list->ordered) {
    auto it = list->key_tail.find(node->key);
    if (it != list->key_tail.end() && it->second == node) {
      if (node->prev != &list->head && node->prev->key == node->key) {
        it->second = node->prev;
      } else {
        list->key_tail.erase(it);
      }
    }
  }
  node->prev->next = node->next;
  if (node->next) {
    node->next->prev = node->prev;
  } else {
    list->last = node->prev == &list->head ? nullptr : node->prev;
  }
  node->next = node->prev = nullptr;
  if (!list->head.next) {  // an empty list is ordered again
    list->ordered = true;
    list->key_tail.clear();
  }
}

// The first live node from the head holding user_data, by walking (the index's fallback when
// several nodes hold it). `except` is skipped.
RenderNode* walk_find(RenderList* list, uintptr_t user_data, const RenderNode* except) {
  for (RenderNode* n = list->head.next; n; n = n->next) {
    if (!n->dead && n != except && n->user_data == user_data) return n;
  }
  return nullptr;
}

void index_live(RenderList* list, RenderNode* node) {
  RenderDataEntry& e = list->by_data[node->user_data];
  if (++e.count == 1) e.node = node;
}

// Called before a live node turns dead or leaves the list.
void index_gone(RenderList* list, RenderNode* node) {
  auto it = list->by_data.find(node->user_data);
  if (it == list->by_data.end()) return;
  if (--it->second.count <= 0) {
    list->by_data.erase(it);
  } else if (it->second.count == 1) {
    it->second.node = walk_find(list, node->user_data, node);
  }
}

// Where a node of `key` goes: after every node whose key is greater or equal.
RenderNode* insert_position(RenderList* list, int32_t key) {
  if (list->ordered) {
    auto it = list->key_tail.lower_bound(key);
    return it == list->key_tail.end() ? &list->head : it->second;
  }
  RenderNode* pos = &list->head;
  while (pos->next && pos->next->key >= key) pos = pos->next;
  return pos;
}

// Unlinks now, or marks dead while a walk is running (the walk unlinks it afterwards).
void drop_node(RenderList* list, RenderNode* node) {
  index_gone(list, node);
  if (list->walk_depth > 0) {
    node->dead = true;
    list->has_dead = true;
    return;
  }
  unlink(list, node);
  free_node(node);
}

void sweep_dead(RenderList* list) {
  if (!list->has_dead || list->walk_depth > 0) return;
  RenderNode* node = list->head.next;
  while (node) {
    RenderNode* next = node->next;
    if (node->dead) {
      unlink(list, node);
      free_node(node);
    }
    node = next;
  }
  list->has_dead = false;
}

// Calls every live node's callback from the head. The next node is read only after the
// callback returns, and nodes that go away meanwhile are unlinked after the walk. Callbacks
// receive the active renderer's table as their opaque first argument; the library's own ones
// draw through render_renderer() and do not read it.
void walk_nodes(RenderList* list, void* renderer) {
  std::lock_guard<std::recursive_mutex> guard(rs().list_lock);
  ++list->walk_depth;
  for (RenderNode* node = list->head.next; node; node = node->next) {
    if (node->dead || !node->callback) continue;
    if (node->callback(renderer, node->user_data) == 0) {
      index_gone(list, node);
      node->dead = true;
      list->has_dead = true;
    }
  }
  --list->walk_depth;
  sweep_dead(list);
}

void screen_transition_step() {
  if (rs().transition_step) rs().transition_step();
}

}  // namespace

RenderList* render_list_from(OrvHandle list) {
  return orv_handles().get_as<RenderList>(list, HandleKind::kRenderList);
}

RenderList* render_list_active() {
  return render_list_from(rs().active_list.load());
}

RenderNode* render_node_find(RenderList* list, uintptr_t user_data) {
  if (!list) return nullptr;
  auto it = list->by_data.find(user_data);
  if (it == list->by_data.end()) return nullptr;
  if (it->second.count == 1) return it->second.node;
  return walk_find(list, user_data, nullptr);
}

bool render_node_remove(RenderList* list, uintptr_t user_data) {
  RenderNode* node = render_node_find(list, user_data);
  if (!node) return false;
  drop_node(list, node);
  return true;
}

bool render_node_remove_locked(RenderList* list, uintptr_t user_data) {
  std::lock_guard<std::recursive_mutex> guard(rs().list_lock);
  return render_node_remove(list, user_data);
}

void render_node_set_key(RenderNode* node, int32_t key) {
  if (!node || node->dead || !node->prev || node->key == key) return;
  std::lock_guard<std::recursive_mutex> guard(rs().list_lock);
  RenderList* list = render_list_from(node->list);
  if (!list) return;
  RenderNode* before = node->prev;
  RenderNode* after = node->next;
  bool grew = key > node->key;
  unlink(list, node);
  node->key = key;
  if (list->ordered) {
    // Towards the head it goes after the last node of a greater key, towards the tail after
    // the last node of a greater or equal key: the walks below, looked up.
    auto it = grew ? list->key_tail.upper_bound(key) : list->key_tail.lower_bound(key);
    link_after(list, it == list->key_tail.end() ? &list->head : it->second, node);
  } else if (grew) {
    // Towards the head: stop at the sentinel or at the first node with a greater key.
    RenderNode* pos = before;
    while (pos->prev && pos->key <= key) pos = pos->prev;
    link_after(list, pos, node);
  } else {
    RenderNode* pos = before;
    RenderNode* cur = after;
    while (cur && cur->key >= key) {
      pos = cur;
      cur = cur->next;
    }
    link_after(list, pos, node);
  }
}

bool render_lock_enter() {
  return OrvRenderLockEnter() != 0 && t_entered != nullptr;
}

bool render_lock_try_enter() {
  RenderList* list = render_list_active();
  if (!list) return false;
  if (!list->lock.try_lock()) return false;
  t_entered = list;
  ++t_enter_depth;
  list->busy.store(1);
  return true;
}

void render_lock_leave() {
  OrvRenderLockLeave();
}

bool render_lock_held_here() {
  return t_entered != nullptr && t_enter_depth > 0;
}

bool render_frame_draw() {
  RenderState& st = rs();
  RenderList* list = render_list_active();
  if (!list) {
    orv_set_last_error(kErrorInvalidHandle);
    return false;
  }
  if (!render_lock_try_enter()) {
    // Another thread holds it: skip this frame. A thread that waits for the player in a dialog
    // while it holds the lock touches nothing of the picture meanwhile, and the dialog must be
    // seen: the last frame is shown again with it (the GL peer; the software peer's window
    // thread lays the widgets over its last frame by itself).
    if (st.dialog_waits_locked.load() > 0) gl_show_widgets_over_held_frame();
    return false;
  }
  const Renderer* renderer = render_renderer();
  if (!renderer || st.present_failed) {
    render_lock_leave();
    return false;
  }
  if (st.fullscreen_movie.load()) {
    // A full-screen video owns the picture: its frame on black, and nothing of the game.
    renderer->clear(0xFF000000u);
    if (st.draw_movie) st.draw_movie(renderer);
  } else {
    renderer->clear(st.clear_color.load());
    walk_nodes(list, &st.renderer);
    screen_transition_step();
  }
  if (!renderer->present(st.present)) {
    st.present_failed = true;
    error_report("Present : Error");
  }
  render_lock_leave();
  return true;
}

extern "C" {

OrvHandle OrvRenderInit(void) {
  void* block = OrvMemoryAlloc(sizeof(RenderList), 1);
  if (!block) return 0;
  auto* list = new (block) RenderList;
  list->id = orv_handles().add(HandleKind::kRenderList, list);
  if (!list->id) {
    list->~RenderList();
    OrvMemoryFree(block);
    return 0;
  }
  return list->id;
}

void OrvRenderUninit(OrvHandle handle) {
  RenderList* list = render_list_from(handle);
  if (!list) return;
  {
    std::lock_guard<std::recursive_mutex> guard(rs().list_lock);
    RenderNode* node = list->head.next;
    while (node) {
      RenderNode* next = node->next;
      free_node(node);
      node = next;
    }
    list->head.next = nullptr;
    list->last = nullptr;
    list->key_tail.clear();
    list->by_data.clear();
  }
  orv_handles().remove(handle, HandleKind::kRenderList);
  OrvHandle expected = handle;
  rs().active_list.compare_exchange_strong(expected, 0);
  list->~RenderList();
  OrvMemoryFree(list);
}

void OrvRenderSetActive(OrvHandle list) {
  rs().active_list.store(list);
}

OrvHandle OrvRenderGetActive(void) {
  return render_list_active() ? rs().active_list.load() : 0;
}

OrvHandle OrvRenderInsert(OrvHandle handle, uintptr_t user_data, OrvRenderCallback callback,
                          int32_t key) {
  RenderList* list = render_list_from(handle);
  if (!list) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  RenderNode* node = new_node(user_data, callback, key);
  if (!node) return 0;
  node->list = list->id;
  std::lock_guard<std::recursive_mutex> guard(rs().list_lock);
  link_after(list, insert_position(list, key), node);
  index_live(list, node);
  return node->id;
}

OrvHandle OrvRenderInsertNext(OrvHandle handle, uintptr_t user_data, OrvRenderCallback callback,
                              int32_t key, uintptr_t existing) {
  RenderList* list = render_list_from(handle);
  if (!list) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  RenderNode* node = new_node(user_data, callback, key);
  if (!node) return 0;
  node->list = list->id;
  std::lock_guard<std::recursive_mutex> guard(rs().list_lock);
  RenderNode* before = render_node_find(list, existing);
  RenderNode* pos = before ? before->prev : (list->last ? list->last : &list->head);
  link_after(list, pos, node);
  index_live(list, node);
  return node->id;
}

int32_t OrvRenderLockEnter(void) {
  RenderList* list = render_list_active();
  if (!list) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  list->lock.lock();
  t_entered = list;
  ++t_enter_depth;
  list->busy.store(1);
  return 1;
}

int32_t OrvRenderLockLeave(void) {
  RenderList* list = render_list_active();
  if (!list) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  list->busy.store(0);
  if (t_entered && t_enter_depth > 0) {
    RenderList* entered = t_entered;
    if (--t_enter_depth == 0) t_entered = nullptr;
    entered->lock.unlock();
  }
  return 1;
}

int32_t OrvRenderLockIsBusy(void) {
  RenderList* list = render_list_active();
  if (!list) return 1;
  if (!list->lock.try_lock()) return 1;
  list->lock.unlock();
  return 0;
}

int32_t OrvRenderLockWait(void) {
  RenderList* list = render_list_active();
  if (!list) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  while (list->busy.load() != 0) platform::sleep_ms(1);
  return 1;
}

int32_t OrvRenderMainLock(int32_t value) {
  RenderList* list = render_list_active();
  if (!list) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  list->busy.store(value);
  return 1;
}

int32_t OrvRenderLock(void) {
  return OrvRenderMainLock(1);
}
int32_t OrvRenderUnlock(void) {
  return OrvRenderMainLock(0);
}

int32_t OrvRenderGetState(void) {
  RenderList* list = render_list_active();
  if (!list) {
    orv_set_last_error(kErrorInvalidHandle);
    return -1;
  }
  return list->busy.load();
}

void OrvTargetRenderListClear(void) {
  std::lock_guard<std::mutex> lock(rs().target_mutex);
  rs().target_list.clear();
}

void OrvTargetRenderListAdd(uintptr_t user_data) {
  std::lock_guard<std::mutex> lock(rs().target_mutex);
  rs().target_list.push_back(user_data);
}

// The nodes named in the target list, in its order, drawn into the renderer's temporary target
// (cleared to transparent black first). A renderer without one (software) draws nothing.
int32_t OrvTargetRenderListDraw(void) {
  if (rs().fullscreen_movie.load()) return 1;
  RenderList* list = render_list_active();
  if (!list) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  RenderState& st = rs();
  if (!st.renderer.targets_begin || !st.renderer.targets_begin()) return 1;
  std::vector<uintptr_t> targets;
  {
    std::lock_guard<std::mutex> lock(st.target_mutex);
    targets = st.target_list;
  }
  st.drawing_targets = true;
  {
    std::lock_guard<std::recursive_mutex> guard(st.list_lock);
    ++list->walk_depth;
    for (uintptr_t value : targets) {
      for (RenderNode* node = list->head.next; node; node = node->next) {
        if (node->dead || !node->callback || node->user_data != value) continue;
        if (node->callback(&st.renderer, node->user_data) == 0) {
          index_gone(list, node);
          node->dead = true;
          list->has_dead = true;
          break;  // on with the next value of the target list
        }
      }
    }
    --list->walk_depth;
    sweep_dead(list);
  }
  st.drawing_targets = false;
  st.renderer.targets_end();
  return 1;
}

}  // extern "C"

RenderNode* render_node_from(OrvHandle node) {
  RenderNode* n = orv_handles().get_as<RenderNode>(node, HandleKind::kRenderNode);
  return (n && !n->dead) ? n : nullptr;
}
