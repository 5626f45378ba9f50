#include "Orv/core/list.h"

#include <cstdio>
#include <cstring>

#include "Orv/core/error_report.h"
#include "Orv/core/handle_table.h"
#include "Orv/core/memory.h"
#include "orv/orv.h"

namespace {

OrvListNode* list_of(OrvHandle list) {
  return orv_handles().get_as<OrvListNode>(list, HandleKind::kList);
}

// A list's head or any node that was given out as a cursor.
OrvListNode* node_of(OrvHandle id) {
  if (OrvListNode* head = list_of(id)) return head;
  return orv_handles().get_as<OrvListNode>(id, HandleKind::kListNode);
}

// The id under which a cursor is handed out; nodes get one the first time.
OrvHandle cursor_id(OrvListNode* node) {
  if (node->id == 0) node->id = orv_handles().add(HandleKind::kListNode, node);
  return node->id;
}

OrvListNode* new_node(uintptr_t data, uint32_t key) {
  auto* node = static_cast<OrvListNode*>(OrvMemoryAlloc(sizeof(OrvListNode), kOrvMemoryZero));
  if (!node) return nullptr;
  node->data = data;
  node->key = key;
  return node;
}

void free_node(OrvListNode* node) {
  if (node->id) orv_handles().remove(node->id, HandleKind::kListNode);
  OrvMemoryFree(node);
}

// Unlinks prev->next and frees it; returns its data.
uintptr_t remove_after(OrvListNode* prev) {
  OrvListNode* node = prev->next;
  prev->next = node->next;
  uintptr_t data = node->data;
  free_node(node);
  return data;
}

// The node before the first node with key after start, or null.
OrvListNode* find_before(OrvListNode* start, uint32_t key) {
  for (OrvListNode* prev = start; prev->next; prev = prev->next) {
    if (prev->next->key == key) return prev;
  }
  return nullptr;
}

uint32_t read_u32(const void* p) {
  uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

}  // namespace

extern "C" {

OrvHandle OrvListCreate(void) {
  auto* head = new_node(0, 0);
  if (!head) return 0;
  head->id = orv_handles().add(HandleKind::kList, head);
  if (head->id == 0) {
    OrvMemoryFree(head);
    return 0;
  }
  return head->id;
}

void OrvListRelease(OrvHandle list) {
  OrvListNode* head = list_of(list);
  if (!head) return;
  while (head->next) remove_after(head);
  orv_handles().remove(head->id, HandleKind::kList);
  OrvMemoryFree(head);
}

OrvBool OrvListPush(OrvHandle list, uintptr_t data, uint32_t key) {
  OrvListNode* head = list_of(list);
  if (!head) return 0;
  OrvListNode* node = new_node(data, key);
  if (!node) return 0;
  node->next = head->next;
  head->next = node;
  return 1;
}

OrvBool OrvListPushLast(OrvHandle list, uintptr_t data, uint32_t key) {
  OrvListNode* last = list_of(list);
  if (!last) return 0;
  OrvListNode* node = new_node(data, key);
  if (!node) return 0;
  while (last->next) last = last->next;
  last->next = node;
  return 1;
}

uintptr_t OrvListPopFirst(OrvHandle list) {
  OrvListNode* head = list_of(list);
  if (!head || !head->next) return 0;
  return remove_after(head);
}

uintptr_t OrvListPop(OrvHandle list, uint32_t key) {
  OrvListNode* head = list_of(list);
  if (!head) return 0;
  OrvListNode* prev = find_before(head, key);
  return prev ? remove_after(prev) : 0;
}

OrvBool OrvListDelete(OrvHandle list, uintptr_t data) {
  OrvListNode* head = list_of(list);
  if (!head) return 0;
  for (OrvListNode* prev = head; prev->next; prev = prev->next) {
    if (prev->next->data == data) {
      remove_after(prev);
      return 1;
    }
  }
  return 0;
}

OrvHandle OrvListFind(OrvHandle list, uint32_t key) {
  OrvListNode* start = node_of(list);
  if (!start) return 0;
  OrvListNode* prev = find_before(start, key);
  return prev ? cursor_id(prev) : 0;
}

OrvHandle OrvListFindNext(OrvHandle cursor) {
  OrvListNode* prev = node_of(cursor);
  if (!prev || !prev->next) return 0;
  OrvListNode* found = prev->next;
  OrvListNode* next = find_before(found, found->key);
  return next ? cursor_id(next) : 0;
}

uintptr_t OrvListGetData(OrvHandle list, uint32_t key, int32_t n) {
  OrvListNode* start = node_of(list);
  if (!start || n < 0) return 0;
  for (OrvListNode* node = start->next; node; node = node->next) {
    if (node->key == key && n-- == 0) return node->data;
  }
  return 0;
}

int32_t OrvListGetDataCount(OrvHandle list, uint32_t key) {
  OrvListNode* start = node_of(list);
  if (!start) return 0;
  int32_t count = 0;
  for (OrvListNode* node = start->next; node; node = node->next) count += node->key == key;
  return count;
}

void OrvListPrint(OrvHandle list, int32_t id) {
  OrvListNode* head = list_of(list);
  if (!head) return;
  error_reportf(ErrorLog::kSkip, "OrvList ---- search id : %d", id);
  for (OrvListNode* node = head->next; node; node = node->next) {
    uint32_t words[2] = {0, 0};
    if (node->data) {
      const auto* p = reinterpret_cast<const unsigned char*>(node->data);
      words[0] = read_u32(p);
      words[1] = read_u32(p + 4);
    }
    error_reportf(ErrorLog::kSkip, "ID=%d / Data=%d / RetPtr=%08X", static_cast<int32_t>(node->key),
                  static_cast<int32_t>(words[1]), words[0]);
  }
}

}  // extern "C"
