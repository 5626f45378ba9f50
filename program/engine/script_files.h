// The compiled script: Script.src and its four tables, and the engine's start and end.
//
// Script.src: magic "Sv20" (0x30327653), the build stamp, the entry offset (the byte offset of
// the first instruction, used as is), then code words; label offsets count from byte 12. The
// tables File.dat, Text.dat, Mem.dat and Point.dat share a 16-byte header whose byte 0 is '$'
// when the bytes from 16 on are scrambled with the data-file word scrambler, and whose word at
// 12 is the entry count (File.dat, Text.dat). All little-endian.
//
// The images are held in blocks from OrvMemoryAlloc until engine_shutdown. A table that reads
// short keeps the bytes that were read, and its size is the size read.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/vm_context.h"
#include "shared/byte_codec.h"

namespace engine {

constexpr uint32_t kScriptMagic = 0x30327653;  // "Sv20"
constexpr uint32_t kScriptHeaderBytes = 12;

// The first 12 bytes of Script.src.
struct ScriptHeader {
  uint32_t magic = 0;
  uint32_t stamp = 0;  // compared with the one system.dat keeps
  uint32_t entry = 0;
};
// The 16-byte header of the four tables.
struct TableHeader {
  uint8_t mark = 0;  // '$': scrambled from byte 16 on
  uint8_t unread[11] = {};
  uint32_t count = 0;  // entries of File.dat and Text.dat
};

template <class IO>
constexpr void sync(IO& io, ScriptHeader& h) {
  io.u32(h.magic);
  io.u32(h.stamp);
  io.u32(h.entry);
}
template <class IO>
constexpr void sync(IO& io, TableHeader& h) {
  io.u8(h.mark);
  io.bytes(h.unread);
  io.u32(h.count);
}

// Read the header at the start of data; false (and zeros) when data is shorter.
bool script_header_read(const uint8_t* data, size_t size, ScriptHeader* header);
bool table_header_read(const uint8_t* data, size_t size, TableHeader* header);

// Bytes of the five files as read.
struct ScriptFileBytes {
  struct Span {
    const uint8_t* data;
    uint32_t size;
  };
  Span script, file, text, mem, point;
};

// Loads the five files from memory into the machine: copies them, unscrambles '$' tables, sets
// dwCodeSize, dwBase = 12 and dwPc = dwRestartPc = the entry offset. On failure logs one of
// "script load error", "filelist load error", "textlist load error", "tablelist load error",
// "pointlist load error" with key 0 and returns false (what loaded stays until
// script_files_free).
bool script_files_load(VmContext& vm, const ScriptFileBytes& bytes);
// Frees the code and the four tables and nulls them.
void script_files_free(VmContext& vm);

// Starts the engine: loads the five files along the search paths, sets up the save buffers,
// resets the machine, loads graphic.dat (layers::graphic_dat), creates the render list, the return stack and the
// data-file list, and fits the seen-mark bits to the tables. Returns 0, or on failure logs the
// reason with key 0, asks the program to end and returns 0x80004005.
uint32_t engine_init(VmContext& vm);
// Releases what engine_init and the running game created.
void engine_shutdown(VmContext& vm);


}  // namespace engine
