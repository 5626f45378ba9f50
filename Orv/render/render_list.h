// The render list: every drawable owns one node, and the frame draw calls the nodes' draw
// callbacks from the head (drawn first, farthest back) to the tail (in front).
//
// Keys do not increase from head to tail: a node inserted by key goes after every node whose
// key is greater or equal, so equal keys draw in insertion order. Lists, and the nodes the
// exports hand out, are 32-bit handle ids; a node's user data is pointer-sized.
//
// Locks: the render lock (the list's own recursive mutex, held by the task pass, the frame
// draw and OrvRenderLockEnter callers) comes before the render-list lock (RenderState's
// list_lock), which guards walks against removal. A node removed while the frame walk is
// running (a draw callback releasing a sprite) is only marked dead and unlinked after the walk,
// so the walk never follows a freed node.
//
// Exports (render_list.cpp). Without an active list the lock calls set last error 6 and
// return 0 (-1 for OrvRenderGetState, 1 for OrvRenderLockIsBusy).
// - OrvRenderInit() -> list id (0 when out of memory); OrvRenderUninit(list) frees its nodes
//   (never their user data); OrvRenderSetActive / OrvRenderGetActive.
// - OrvRenderInsert(list, user data, callback, key) -> node id, placed by key;
//   OrvRenderInsertNext(list, user data, callback, key, existing) -> node id, placed before the
//   first node holding `existing`, or at the tail.
// - OrvRenderLockEnter / OrvRenderLockLeave: the render lock (re-entrant, waits) and the busy
//   flag; a leave on a thread that holds no lock only clears the flag. OrvRenderLockIsBusy:
//   whether any thread holds it. OrvRenderLockWait: sleeps 1 ms at a time while busy.
//   OrvRenderLock / OrvRenderUnlock / OrvRenderMainLock(value) / OrvRenderGetState: the busy
//   flag alone.
// - OrvTargetRenderList{Clear,Add,Draw}: the target list; the software renderer has no
//   off-screen target, so Draw succeeds without drawing.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <unordered_map>

#include "orv/types.h"

struct RenderNode {
  uintptr_t user_data = 0;
  OrvRenderCallback callback = nullptr;
  int32_t key = 0;
  RenderNode* next = nullptr;  // towards the tail
  RenderNode* prev = nullptr;  // towards the head; the list's head sentinel for the first node
  OrvHandle id = 0;
  OrvHandle list = 0;  // the list it is linked into
  bool dead = false;
};

// The live nodes holding one user data value: the node itself while it is the only one.
struct RenderDataEntry {
  RenderNode* node = nullptr;  // valid when count is 1
  int32_t count = 0;
};

// Indexes kept beside the links (under the render-list lock) so that inserting, finding and
// removing a node costs a logarithmic or constant time, not a walk. While every key is
// greater or equal to the next one (the usual case: only OrvRenderInsertNext can break it),
// key_tail names the last linked node of each key; once the order breaks, inserts walk as
// before until the list is empty again.
struct RenderList {
  std::atomic<int32_t> busy{0};
  std::recursive_mutex lock;   // the render lock
  RenderNode head;             // sentinel: head.next is the first node
  RenderNode* last = nullptr;  // the tail node, null when empty
  int32_t walk_depth = 0;      // frame walks in progress (under the render-list lock)
  bool has_dead = false;
  bool ordered = true;                      // keys never increase from head to tail
  std::map<int32_t, RenderNode*> key_tail;  // while ordered: last linked node per key
  std::unordered_map<uintptr_t, RenderDataEntry> by_data;  // live nodes per user data
  OrvHandle id = 0;
};

// The list behind a handle, or null.
RenderList* render_list_from(OrvHandle list);
// The active list, or null.
RenderList* render_list_active();

// Moves a node to a new key: towards the head it passes every node of its new key (drawn
// before them), towards the tail likewise (drawn after them). Null or an unchanged key: nothing.
void render_node_set_key(RenderNode* node, int32_t key);
// Unlinks and frees the first node from the head holding user_data; true when one was found.
// The caller holds the render-list lock (render_node_remove_locked takes it).
bool render_node_remove(RenderList* list, uintptr_t user_data);
bool render_node_remove_locked(RenderList* list, uintptr_t user_data);
// The node behind a node handle (null when it was freed, also by OrvRenderUninit).
RenderNode* render_node_from(OrvHandle node);
// The first live node holding user_data, or null. The caller holds the render-list lock.
RenderNode* render_node_find(RenderList* list, uintptr_t user_data);
