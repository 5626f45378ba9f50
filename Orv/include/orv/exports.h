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
ORV_EXPORT(void, OrvDefaultCreate, (StartParams* params))
ORV_EXPORT(int32_t, OrvInit, (StartParams* params))
ORV_EXPORT(int32_t, OrvRun, (void))
ORV_EXPORT(void, OrvEnd, (void))
ORV_EXPORT(int32_t, OrvUninit, (void))
ORV_EXPORT(int32_t, OrvGetSystemParameters, (StartParams* params))
ORV_EXPORT(int32_t, IsActive, (void))
ORV_EXPORT(int32_t, IsMovie, (void))
ORV_EXPORT(int32_t, IsSystemEnd, (void))
ORV_EXPORT(uint32_t, OrvGetWindowHandle, (void))
ORV_EXPORT(uint32_t, OrvGetInstanceHandle, (void))
ORV_EXPORT(const char*, OrvGetCmdLine, (void))
ORV_EXPORT(int32_t, OrvCheckWindowMode, (void))
ORV_EXPORT(int32_t, OrvCheckAspectMode, (void))
ORV_EXPORT(int32_t, OrvDebugIs, (void))
ORV_EXPORT(uint32_t, Orv3DIs, (void))
ORV_EXPORT(int32_t, OrvDisableChangeWindowMode, (int32_t flag))
ORV_EXPORT(uint32_t, OrvGetChangeWindowModeTime, (void))
ORV_EXPORT(uint32_t, OrvSetChangeWindowModeTime, (void))
ORV_EXPORT(void, OrvDebugDump, (void))
ORV_EXPORT(int32_t, OrvAttachWorkProcess, (void (*func)(void*), void* arg))
ORV_EXPORT(int32_t, OrvAttachProcess, (void (*func)(void*), void* arg))
ORV_EXPORT(int32_t, OrvIsWorkThreadId, (void))
ORV_EXPORT(int32_t, OrvFrameRateSet, (int32_t frame_rate))
ORV_EXPORT(int32_t, OrvWindowChangeMode, (int32_t full_screen))
ORV_EXPORT(int32_t, OrvChangeWindowSize, (int32_t width, int32_t height))
ORV_EXPORT(int32_t, OrvChangeAspectMode, (int32_t mode))
ORV_EXPORT(int32_t, OrvWindowChangeEnable, (int32_t flag))
ORV_EXPORT(int32_t, OrvWindowChangeEnableIs, (void))
ORV_EXPORT(int32_t, OrvGetWindowSize, (int32_t* width, int32_t* height))
ORV_EXPORT(int32_t, OrvWindowGetPos, (int32_t* x, int32_t* y))
ORV_EXPORT(int32_t, OrvWindowSetPos, (int32_t x, int32_t y))
ORV_EXPORT(int32_t, OrvWindowGetPosCenter, (int32_t* pos, int32_t width, int32_t height))
ORV_EXPORT(int32_t, GetMinWindowSize, (int32_t* width, int32_t* height))
ORV_EXPORT(int32_t, OrvSetDesktopRect, (int32_t flag, int32_t width, int32_t height))
ORV_EXPORT(int32_t, OrvIsDesktopRectFix, (void))
ORV_EXPORT(int32_t, OrvGetDesktopRect, (OrvRect* rect))

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
ORV_EXPORT(uint32_t, OrvInputGetKeyPush, (void))
ORV_EXPORT(uint32_t, OrvInputGetKeyOn, (void))
ORV_EXPORT(uint32_t, OrvInputGetKeyPull, (void))
ORV_EXPORT(uint32_t, OrvInputGetKeyOnEx, (void))
ORV_EXPORT(uint32_t, OrvInputGetKeyEx, (void))
ORV_EXPORT(void, OrvInputSetKeyPush, (uint32_t bits))
ORV_EXPORT(void, OrvInputSetKeyOn, (uint32_t bits))
ORV_EXPORT(void, OrvInputSetKeyPull, (uint32_t bits))
ORV_EXPORT(void, OrvInputKeyCancel, (uint32_t key_mask, uint32_t event_mask))
ORV_EXPORT(void, OrvInputKeyRepeatClear, (void))
ORV_EXPORT(void, OrvInputClear, (void))
ORV_EXPORT(int32_t, OrvInputGetMouseX, (void))
ORV_EXPORT(int32_t, OrvInputGetMouseY, (void))
ORV_EXPORT(int32_t, OrvInputGetMouseMoveX, (void))
ORV_EXPORT(int32_t, OrvInputGetMouseMoveY, (void))
ORV_EXPORT(int32_t, OrvInputGetWheel, (void))
ORV_EXPORT(uint32_t, OrvInputGetJoyPush, (void))
ORV_EXPORT(uint32_t, OrvInputGetJoyOn, (void))
ORV_EXPORT(uint32_t, OrvInputGetJoyPull, (void))
ORV_EXPORT(uint32_t, OrvInputGetJoyOnEx, (void))
ORV_EXPORT(int32_t, OrvSetCursor, (const char* name, int32_t mode, int32_t hotspot_x, int32_t hotspot_y))
ORV_EXPORT(void, OrvReleaseCursor, (void))
ORV_EXPORT(void, OrvDeleteCursor, (void))
ORV_EXPORT(int32_t, OrvCursorSetAutoHideTime, (uint32_t ms))
ORV_EXPORT(int32_t, OrvCursorSetPos, (int32_t x, int32_t y))
ORV_EXPORT(int32_t, OrvTouchMode, (int32_t on))
ORV_EXPORT(int32_t, OrvIsTouchMode, (void))
ORV_EXPORT(int32_t, OrvTouchEnable, (int32_t flag))
ORV_EXPORT(int32_t, OrvIsTouch, (void))
ORV_EXPORT(int32_t, OrvSetGesture, (int32_t flags))
ORV_EXPORT(void*, OrvGetGesture, (void* record))
ORV_EXPORT(int32_t, OrvGestureCheck, (void))

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
ORV_EXPORT(int32_t, OrvDebugPrintf, (int32_t key, const char* label, const char* format, ...))
ORV_EXPORT(int32_t, OrvDebugWindowCreate, (int32_t key, const char* name, int32_t type))
ORV_EXPORT(int32_t, OrvDebugWindowDelete, (int32_t key))
ORV_EXPORT(int32_t, OrvDebugWindowDeleteLog, (int32_t key))
ORV_EXPORT(int32_t, OrvDebugWindowToggleControl, (int32_t key))
ORV_EXPORT(uint32_t, OrvDebugWindowGetState, (void))
ORV_EXPORT(int32_t, OrvDebugWindowSetState, (uint32_t state))
ORV_EXPORT(int32_t, OrvDebugSetData, (int32_t key, int32_t* const* array, int32_t rows))
ORV_EXPORT(int32_t, OrvBeginUpdate, (int32_t key))
ORV_EXPORT(int32_t, OrvEndUpdate, (void))
ORV_EXPORT(int32_t, OrvDebugSetRegistryCount, (int32_t value))
ORV_EXPORT(int32_t, OrvDebugSetEBP, (const int32_t* value))
ORV_EXPORT(int32_t, OrvDebugSetESP, (const int32_t* value))
ORV_EXPORT(int32_t, OrvDebugSetSaveThumbnail, (int32_t value))
ORV_EXPORT(int32_t, OrvDebugSetStringNo, (int32_t value))
ORV_EXPORT(void, DebugSetActionList, (const char* name))
ORV_EXPORT(int32_t, OrvErrorLogPrintf, (const char* format, ...))
ORV_EXPORT(int32_t, OrvErrorLogPrintfBasic, (const char* format, ...))
ORV_EXPORT(int32_t, OrvErrorLogPuts, (void))

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
