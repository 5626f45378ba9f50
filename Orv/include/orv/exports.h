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
ORV_EXPORT(OrvHandle, OrvTaskCreate,
           (OrvTaskProc step, OrvTaskProc end, uint32_t data_size, void** data, uint32_t link,
            OrvHandle reference, const char* name))
ORV_EXPORT(OrvBool, OrvTaskFree, (OrvHandle task))
ORV_EXPORT(OrvTaskProc, OrvTaskChangeNext, (OrvTaskProc step))
ORV_EXPORT(void, OrvTaskChangeNextImm, (OrvTaskProc step))
ORV_EXPORT(void*, OrvTaskGetTaskData, (OrvHandle task))
ORV_EXPORT(void, OrvTaskSetTaskData, (OrvHandle task))
ORV_EXPORT(uint32_t, OrvTaskGetMessage, (OrvHandle task))
ORV_EXPORT(uint32_t, OrvTaskSetMessage, (OrvHandle task, uint32_t message))
ORV_EXPORT(int32_t, OrvTaskGetState, (OrvHandle task))
ORV_EXPORT(int32_t, OrvTaskChangeState, (OrvHandle task, int32_t state))
ORV_EXPORT(void, OrvTaskReProcess, (OrvHandle task))
ORV_EXPORT(void, OrvTaskReset, (void))
ORV_EXPORT(OrvHandle, OrvWait, (int32_t frames))
ORV_EXPORT(OrvHandle, OrvWaitTime, (uint32_t ms))
ORV_EXPORT(OrvHandle, OrvWaitTimeEx, (uint32_t ms, OrvHandle reference))
ORV_EXPORT(uint32_t, OrvUpdateTime, (void))
ORV_EXPORT(uint32_t, OrvtimeGetTime, (void))

// ---- input ----

// ---- memory and lists ----
ORV_EXPORT(void*, OrvMemoryAlloc, (uint32_t size, uint32_t flags))
ORV_EXPORT(OrvBool, OrvMemoryFree, (void* block))
ORV_EXPORT(int32_t, OrvGetAllocCount, (void))
ORV_EXPORT(void*, GetMemoryPool, (uint32_t * size))
ORV_EXPORT(void*, OrvGetlpPool, (void))
ORV_EXPORT(OrvHandle, OrvListCreate, (void))
ORV_EXPORT(void, OrvListRelease, (OrvHandle list))
ORV_EXPORT(OrvBool, OrvListPush, (OrvHandle list, uintptr_t data, uint32_t key))
ORV_EXPORT(OrvBool, OrvListPushLast, (OrvHandle list, uintptr_t data, uint32_t key))
ORV_EXPORT(uintptr_t, OrvListPopFirst, (OrvHandle list))
ORV_EXPORT(uintptr_t, OrvListPop, (OrvHandle list, uint32_t key))
ORV_EXPORT(OrvBool, OrvListDelete, (OrvHandle list, uintptr_t data))
ORV_EXPORT(OrvHandle, OrvListFind, (OrvHandle list, uint32_t key))
ORV_EXPORT(OrvHandle, OrvListFindNext, (OrvHandle cursor))
ORV_EXPORT(uintptr_t, OrvListGetData, (OrvHandle list, uint32_t key, int32_t n))
ORV_EXPORT(int32_t, OrvListGetDataCount, (OrvHandle list, uint32_t key))
ORV_EXPORT(void, OrvListPrint, (OrvHandle list, int32_t id))

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
ORV_EXPORT(int32_t, OrvRandomEx, (void))
ORV_EXPORT(int32_t, OrvRandom, (void))
ORV_EXPORT(void, OrvRandomReset, (void))
ORV_EXPORT(void, OrvRandomSetSeed, (const int32_t* values, int32_t count))
ORV_EXPORT(int32_t, OrvRandomGetSeed, (int32_t * values, int32_t count))

// ---- sound ----

// ---- movie sprites and video ----

// ---- buttons and cell animations ----

// ---- render list ----

// ---- sprites ----

// ---- images ----

// ---- fonts ----

// ---- effects, filters and transitions ----

// ---- thumbnails and digits ----
