// OrvList: a small singly linked list of (data, key) pairs.
//
// The library keeps its search folders in one; the game program keeps its display queue,
// return stack and event entries in them. A list is a head node followed by a chain of nodes;
// order is insertion order, and several nodes may share a key or a data value. Lists are short,
// so nothing keeps a tail pointer or an index.
//
// Handles: a list is named by a kList id (its head); a node is named by a kListNode id, given
// out only when a find function returns it as a cursor. A cursor is the node *before* the found
// node (the list itself for the first node), so that the found node is the cursor's next.
// Functions that only read accept a list or a cursor; functions that change a list take the
// list. A stale or foreign id counts as null.
//
// Head and nodes are taken zeroed through OrvMemoryAlloc and counted. Lists have no lock: each
// list belongs to one user (the game program's lists live under the render lock).
//
// Exports (orv/exports.h, "memory and lists"):
//
//   OrvHandle OrvListCreate(void)                     a new empty list; 0 when out of memory.
//   void OrvListRelease(OrvHandle list)               frees every node and the head; 0 does
//   nothing. OrvBool OrvListPush(list, uintptr_t data, uint32_t key)
//                                                     a new node in front; 1, or 0 for no list or
//                                                     no memory (the list is left as it was).
//   OrvBool OrvListPushLast(list, data, key)          appends a node at the end; as OrvListPush.
//   uintptr_t OrvListPopFirst(list)                   unlinks and frees the first node, returns its
//                                                     data; 0 for no list or an empty one.
//   uintptr_t OrvListPop(list, uint32_t key)          the same for the first node with that key.
//   OrvBool OrvListDelete(list, uintptr_t data)       unlinks and frees the first node whose data
//                                                     equals data; 1, or 0 when there is none.
//   OrvHandle OrvListFind(list_or_cursor, key)        the cursor of the first node with that key
//                                                     after the given node; 0 when there is none.
//   OrvHandle OrvListFindNext(cursor)                 the cursor of the next node with the same key
//                                                     as the cursor's node; 0 when there is none.
//   uintptr_t OrvListGetData(list_or_cursor, key, int32_t n)
//                                                     the data of the n-th node (from 0) with that
//                                                     key after the given node; 0 when there are
//                                                     fewer (or n is negative).
//   int32_t OrvListGetDataCount(list_or_cursor, key)  nodes with that key after the given node.
//   void OrvListPrint(OrvHandle list, int32_t id)     writes the list to stderr: a title line with
//                                                     id, then per node its key and, reading its
//                                                     data as a pointer to two 32-bit words, the
//                                                     second word and the first (nodes with data
//                                                     0 print zeros). Debugging aid: the data of
//                                                     every node must then be such a pointer or 0.
#pragma once

#include <cstdint>

#include "orv/types.h"

struct OrvListNode {
  uintptr_t data;     // the caller's value (often a pointer); 0 in the head
  uint32_t key;       // the caller's key; 0 in the head
  OrvListNode* next;  // in the head, the first node; null at the end
  OrvHandle id;       // this node's handle once it was given out (the head: always), else 0
};
