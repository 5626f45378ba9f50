// The binding table through which the game program calls the platform library.
//
// Velmora never links Orv: it loads dll/libOrv.so at start-up and binds every export of
// orv/exports.h by name into `orv`, our form of delay-bound imports. Game code calls
// orv.OrvSpriteSetPos(...). Unit tests fill the table with the statically linked library or
// with fakes.
#pragma once

#include "orv/types.h"

struct OrvApi {
#define ORV_EXPORT(ret, name, params) ret(*name) params = nullptr;
#include "orv/exports.h"
#undef ORV_EXPORT
};

extern OrvApi orv;

// Fills `orv` through lookup(name). Returns null when every export was found, otherwise the
// name of the first one that was missing (the table is then left partly filled).
using OrvSymbolLookup = void* (*)(const char* name, void* context);
const char* orv_api_bind(OrvSymbolLookup lookup, void* context);
