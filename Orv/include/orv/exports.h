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
ORV_EXPORT(OrvFileHandle, OrvFileCreateEx, (const char* name, uint32_t access, uint32_t share, uint32_t disposition, uint32_t flags, FileRange* range))
ORV_EXPORT(OrvFileHandle, OrvFileCreate, (const char* name, FileRange* range))
ORV_EXPORT(OrvBool, OrvFileGetFullPath, (char* out, uint32_t size, const char* name))
ORV_EXPORT(OrvBool, OrvFileSetFilePointer, (OrvFileHandle file, int32_t low, int32_t high, uint32_t unused, uint32_t method))
ORV_EXPORT(OrvBool, OrvSystemPathInit, (void))
ORV_EXPORT(OrvBool, OrvSystemPathSet, (const char* folder))
ORV_EXPORT(OrvBool, OrvSystemPathClear, (void))
ORV_EXPORT(OrvBool, OrvSystemPathUninit, (void))

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
