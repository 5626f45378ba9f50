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
ORV_EXPORT(OrvHandle, OrvRenderInit, (void))
ORV_EXPORT(void, OrvRenderUninit, (OrvHandle list))
ORV_EXPORT(void, OrvRenderSetActive, (OrvHandle list))
ORV_EXPORT(OrvHandle, OrvRenderGetActive, (void))
ORV_EXPORT(OrvHandle, OrvRenderInsert, (OrvHandle list, uintptr_t user_data, OrvRenderCallback callback, int32_t key))
ORV_EXPORT(OrvHandle, OrvRenderInsertNext, (OrvHandle list, uintptr_t user_data, OrvRenderCallback callback, int32_t key, uintptr_t existing))
ORV_EXPORT(int32_t, OrvRenderLockEnter, (void))
ORV_EXPORT(int32_t, OrvRenderLockLeave, (void))
ORV_EXPORT(int32_t, OrvRenderLockIsBusy, (void))
ORV_EXPORT(int32_t, OrvRenderLockWait, (void))
ORV_EXPORT(int32_t, OrvRenderLock, (void))
ORV_EXPORT(int32_t, OrvRenderUnlock, (void))
ORV_EXPORT(int32_t, OrvRenderMainLock, (int32_t value))
ORV_EXPORT(int32_t, OrvRenderGetState, (void))
ORV_EXPORT(void, OrvTargetRenderListClear, (void))
ORV_EXPORT(void, OrvTargetRenderListAdd, (uintptr_t user_data))
ORV_EXPORT(int32_t, OrvTargetRenderListDraw, (void))

// ---- sprites ----
ORV_EXPORT(OrvHandle, OrvSpriteCreate, (OrvHandle list, int32_t width, int32_t height, int32_t priority))
ORV_EXPORT(OrvHandle, OrvSpriteLoadMemory, (OrvHandle list, const char* name, const void* data, uint32_t size, int32_t priority))
ORV_EXPORT(OrvHandle, OrvSpriteLoad, (OrvHandle list, const char* path, int32_t priority))
ORV_EXPORT(OrvHandle, OrvSpriteCopy, (OrvHandle list, OrvHandle source, const OrvRect* src_rect, const OrvRect* dst_rect, int32_t priority))
ORV_EXPORT(OrvBool, OrvSpriteRelease, (OrvHandle list, OrvHandle sprite))
ORV_EXPORT(OrvBool, OrvSpriteReleaseArray, (OrvHandle list, OrvHandle* sprites, int32_t count))
ORV_EXPORT(OrvBool, OrvSpritePaint, (OrvHandle sprite, const OrvRect* rect, uint32_t argb))
ORV_EXPORT(OrvBool, OrvSpriteSetPos, (OrvHandle sprite, float x, float y, float z))
ORV_EXPORT(OrvBool, OrvSpriteMovePos, (OrvHandle sprite, float dx, float dy, float dz))
ORV_EXPORT(OrvBool, OrvSpriteSetOffsetPos, (OrvHandle sprite, int32_t ox, int32_t oy))
ORV_EXPORT(OrvBool, OrvSpriteMoveOffsetPos, (OrvHandle sprite, int32_t dx, int32_t dy))
ORV_EXPORT(OrvBool, OrvSpriteChangePriority, (OrvHandle sprite, int32_t priority))
ORV_EXPORT(OrvBool, OrvSpriteSetScale, (OrvHandle sprite, float sx, float sy))
ORV_EXPORT(OrvBool, OrvSpriteSetRotate, (OrvHandle sprite, int32_t rz))
ORV_EXPORT(OrvBool, OrvSpriteSetRotateFloat, (OrvHandle sprite, float rz))
ORV_EXPORT(OrvBool, OrvSpriteSetRotateEx, (OrvHandle sprite, int32_t rx, int32_t ry, int32_t rz))
ORV_EXPORT(OrvBool, OrvSpriteSetRotateExFloat, (OrvHandle sprite, float rx, float ry, float rz))
ORV_EXPORT(OrvBool, OrvSpriteSetColor, (OrvHandle sprite, uint32_t argb))
ORV_EXPORT(OrvBool, OrvSpriteViewCtrl, (OrvHandle sprite, int32_t visible))
ORV_EXPORT(int32_t, OrvSpriteViewIs, (OrvHandle sprite))
ORV_EXPORT(OrvBool, OrvSpriteSetRect, (OrvHandle sprite, const OrvRect* rect))
ORV_EXPORT(OrvBool, OrvSpriteGetRect, (OrvHandle sprite, OrvRect* rect))
ORV_EXPORT(OrvBool, OrvSpriteSetOffsetRect, (OrvHandle sprite, int32_t cell_width, int32_t cell_height))
ORV_EXPORT(OrvBool, OrvSpriteRectSetPos, (OrvHandle sprite, int32_t column, int32_t row))
ORV_EXPORT(void, OrvSpriteSetCenterOffset, (OrvHandle sprite, int32_t cx, int32_t cy))
ORV_EXPORT(OrvBool, OrvSpriteSetRenderMode, (OrvHandle sprite, int32_t mode))
ORV_EXPORT(OrvBool, OrvSpriteSetLayer, (OrvHandle sprite, int32_t layer))
ORV_EXPORT(void, OrvSpriteConvertAspectPosition, (OrvHandle sprite, int32_t mode))
ORV_EXPORT(OrvBool, OrvSpriteHit, (OrvHandle sprite, int32_t x, int32_t y, int32_t alpha_test))
ORV_EXPORT(OrvHandle, OrvSpriteGetForeground, (int32_t x, int32_t y, int32_t alpha_test))
ORV_EXPORT(OrvBool, OrvSpriteGetInfo, (OrvHandle sprite, OrvSpriteInfo* info))
ORV_EXPORT(OrvBool, OrvSpriteSetInfo, (OrvHandle sprite, const OrvSpriteInfo* info))
ORV_EXPORT(int32_t, OrvSpriteGetWidth, (OrvHandle sprite))
ORV_EXPORT(int32_t, OrvSpriteGetHeight, (OrvHandle sprite))
ORV_EXPORT(uint32_t*, OrvSpriteLock, (OrvHandle sprite, int32_t* width, int32_t* height))
ORV_EXPORT(void, OrvSpriteUnlock, (OrvHandle sprite))
ORV_EXPORT(int32_t, OrvSpriteIsUseSpriteInfoCache, (void))
ORV_EXPORT(OrvHandle, OrvSpriteInfoCreateFromCache, (const char* name, int32_t unused1, int32_t unused2, int32_t priority))

// ---- images ----

// ---- fonts ----

// ---- effects, filters and transitions ----
ORV_EXPORT(OrvHandle, OrvSpriteCreateTransitionHandle, (void))
ORV_EXPORT(OrvBool, OrvSpriteReleaseTransitionHandle, (OrvHandle handle))
ORV_EXPORT(OrvBool, OrvSpriteSetTransition, (OrvHandle list, OrvHandle incoming, OrvHandle outgoing, int32_t kind, uint32_t start, uint32_t duration, OrvHandle handle))
ORV_EXPORT(OrvBool, OrvSpriteCancelTransition, (OrvHandle handle))
ORV_EXPORT(int32_t, OrvSpriteGetTransitionState, (OrvHandle handle))
ORV_EXPORT(int32_t, OrvSetFxEffect, (const void* target, uint32_t flags, int32_t command, uint32_t duration, const void* block))
ORV_EXPORT(int32_t, OrvSpriteSetFxEffect, (OrvHandle sprite, int32_t type, int32_t command, uint32_t duration, const void* block))
ORV_EXPORT(int32_t, OrvReleaseFxEffect, (const void* target, uint32_t flags))
ORV_EXPORT(int32_t, OrvGetFxEffectState, (const void* target, uint32_t flags))
ORV_EXPORT(int32_t, OrvSpriteGetFxEffectState, (OrvHandle sprite))

// ---- thumbnails and digits ----
ORV_EXPORT(OrvBool, OrvThumbnailCreate, (uint32_t* dst, uint32_t size, int32_t w, int32_t h))
ORV_EXPORT(OrvBool, OrvThumbnailCreateMosaic, (uint32_t* dst, uint32_t size, int32_t w, int32_t h, int32_t factor))
ORV_EXPORT(OrvBool, OrvThumbnailCreateEx, (uint32_t* dst, int32_t w, int32_t h, const uint32_t* src, int32_t sw, int32_t sh))
ORV_EXPORT(OrvBool, OrvThumbnailCreateMosaicEx, (uint32_t* dst, int32_t w, int32_t h, const uint32_t* src, int32_t sw, int32_t sh, int32_t factor))
ORV_EXPORT(OrvBool, OrvThumbnailCreateNull, (uint32_t* dst, uint32_t size, int32_t w, int32_t h))
ORV_EXPORT(void, OrvNumberCreate, (OrvHandle list, const char* path, OrvHandle* sprites, int32_t count, int32_t priority))
ORV_EXPORT(void, OrvNumberSetEx, (const OrvHandle* sprites, int32_t x, int32_t y, int32_t step, int32_t count))
ORV_EXPORT(void, OrvNumberSet, (const OrvHandle* sprites, int32_t x, int32_t y, int32_t count))
ORV_EXPORT(void, OrvNumberAlphaType, (const OrvHandle* sprites, int32_t count, uint32_t argb))
ORV_EXPORT(void, OrvNumberDrawCtrl, (const OrvHandle* sprites, int32_t count, int32_t visible))
ORV_EXPORT(void, OrvSameNumberDraw, (const OrvHandle* sprites, int32_t count, int32_t cell))
ORV_EXPORT(int32_t, OrvNumberDraw, (const OrvHandle* sprites, int32_t value, int32_t count, int32_t flags))
ORV_EXPORT(int32_t, OrvNumberGetPlace, (int32_t value))
