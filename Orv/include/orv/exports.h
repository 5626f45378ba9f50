// The one list of every function that the platform library exports.
//
// ORV_EXPORT(result type, name, (parameters)) — one line per export. This list generates the
// declarations of orv.h, the library's exported symbols and the binding table through which
// Velmora calls the library (program/engine/orv_api.h). Append only: never reorder or remove
// a line. Each family keeps its own block; add a function to its family's block when the
// function exists. Every entry's contract (units, ownership, thread, failure) is documented
// in the family's header under Orv/core or Orv/render.
//
// No include guard: the list is meant to be expanded several times.

// ---- process and window ----

// ---- tasks and waits ----

// ---- input ----

// ---- memory and lists ----
ORV_EXPORT(void*, OrvMemoryAlloc, (uint32_t size, uint32_t flags))
ORV_EXPORT(OrvBool, OrvMemoryFree, (void* block))
ORV_EXPORT(int32_t, OrvGetAllocCount, (void))

// ---- files ----

// ---- debug ----

// ---- random numbers ----

// ---- sound ----

// ---- movie sprites and video ----

// ---- buttons and cell animations ----

// ---- render list ----

// ---- sprites ----

// ---- images ----

// ---- fonts ----

// ---- effects, filters and transitions ----

// ---- thumbnails and digits ----
