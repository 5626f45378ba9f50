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
ORV_EXPORT(OrvBool, OrvFontBegin, (void))
ORV_EXPORT(void, OrvFontEnd, (void))
ORV_EXPORT(OrvBool, OrvFontGetSize, (const char* text, int32_t* size_out))
ORV_EXPORT(OrvBool, OrvFontDrawText, (uint32_t* pixels, const char* text, int32_t x, int32_t y, int32_t width, int32_t height))
ORV_EXPORT(int32_t, OrvFontGetDrawTextRect, (int32_t* rect_out))
ORV_EXPORT(OrvBool, OrvFontHasDrawTextRect, (void))
ORV_EXPORT(int32_t, OrvDrawTextStepX, (int32_t effect))
ORV_EXPORT(OrvBool, OrvFontGetColor, (int32_t* text_colour, int32_t* effect_colour))
ORV_EXPORT(OrvBool, OrvFontSetColor, (uint32_t text_colour, uint32_t effect_colour))
ORV_EXPORT(int32_t, OrvFontGetEffect, (void))
ORV_EXPORT(OrvBool, OrvFontSetEffect, (int32_t effect))
ORV_EXPORT(int32_t, OrvFontGetFontSize, (void))
ORV_EXPORT(OrvBool, OrvFontSetFontSize, (int32_t size))
ORV_EXPORT(int32_t, OrvFontGetType, (void))
ORV_EXPORT(OrvBool, OrvFontSetType, (int32_t type))
ORV_EXPORT(OrvBool, OrvFontOrgSetLoad, (const char* path))
ORV_EXPORT(OrvBool, OrvFontLoad, (const char* path))
ORV_EXPORT(OrvBool, OrvFontUnload, (void))
ORV_EXPORT(OrvBool, OrvExFontLoad, (const char* path))
ORV_EXPORT(OrvBool, OrvExFontUnload, (void))

// ---- effects, filters and transitions ----

// ---- thumbnails and digits ----
