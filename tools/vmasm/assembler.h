// The script assembler and disassembler.
//
// The assembler turns a UTF-8 text source into the five files of a compiled script:
// Script.src, File.dat, Text.dat, Mem.dat and Point.dat. The disassembler turns the five files
// back into a source that assembles to the same bytes.
//
// ---- Source format ----
// One statement per line; ';' starts a comment (outside quotes). Names are letters, digits
// and '_'. Numbers are decimal or 0x hexadecimal, with an optional '-'.
//
// Directives:
//   .stamp N                 build stamp (Script.src offset 4); default 0
//   .entry LABEL | .entry N  entry: the label's code offset + 12, or the byte offset N as is;
//                            default 12 (the first code word)
//   .scramble T...           tables whose body is stored scrambled ('$' in byte 0):
//                            any of file, text, mem, point, or all
//   .file "NAME"             adds a File.dat name (upper-cased; the table is sorted)
//   .text "TEXT" | .text ID "TEXT"
//                            adds a Text.dat entry (id defaults to the next id, from 0)
//   .mem V...                appends Mem.dat cells (numbers or @LABEL)
//   .labels A B ...          fixes the numbers of labels 1, 2, ... in this order
//   .label NAME OFFSET       defines a label at a code offset (relative to byte 12)
//   .word W...               raw code words (for malformed scripts)
//   NAME:                    defines a label at the current code position
//
// Labels are numbered from 1 in the order they first appear (unless .labels fixed them);
// Point.dat stores label k's offset at its size - 4k, so the last label comes first.
//
// Operands (a core operation's operand words):
//   N            immediate: 0..0x0FFFFFFF or -0x60000000..-1 (other values need a register)
//   @LABEL       the label's number as an immediate
//   text"TEXT"   a new Text.dat entry; its byte offset as an immediate
//   file"NAME"   a File.dat name (added when new); its index as an immediate
//   rN           register N (kind 4)            u[rN]     UserMemory[R[N]] (kind 1)
//   s[rN]        SystemMemory[R[N]] (kind 2)    a[N]      argument stack slot N (kind 3)
//   t[rN]        TempMemory[R[N]] (kind 5)      t[rN+K]   TempMemory[R[N] + K + ebp] (kind 5)
//   m[rN+K]      Mem.dat cell R[N] + K (kind 6)
//   mi[rN+K]     Mem.dat cell R[N] + bits 16-27 of Mem.dat cell K (kind 7)
//   f[N]         frame cell esp - N (kind 8)    ebp       the frame base (kind 9)
//   =W           the raw operand word W
//
// Instructions:
//   mov add sub mul div and or xor eq ne le ge lt gt lor land mod shl sar   D, S
//   jmp L | gosub L      L an operand; a bare label name means @name
//   jz LABEL, C          raw label number (name or number), then the condition operand
//   not rN | neg rN      raw register word
//   push S | pop D | enter N | leave N
//   end nop ret reset
//   call NAME(ARGS) -> rR    pushes ARGS, then the command call; ARGS are written in the
//                            order the handler pops them (so the last is pushed first)
//   call NAME -> rR          the call alone; NAME may be a number (raw command id)
//                            "-> rR" is optional (result register 0); "-> R" takes any number
// Command names come from command_names.cpp.
#pragma once

#include <string>
#include <string_view>

namespace vmasm {

// The five files' bytes.
struct ScriptFiles {
  std::string script, file, text, mem, point;
};

// Assembles source. On failure returns false and sets error to "line N: reason".
bool assemble(std::string_view source, ScriptFiles* out, std::string* error);
// The same, with the reason and its line apart (line 0: the source as a whole), so that a
// caller can name the file as "FILE:LINE: reason". An undefined label is reported at the line
// that first used it.
bool assemble(std::string_view source, ScriptFiles* out, std::string* error, size_t* error_line);

// Disassembles the five files into a source that assembles to the same bytes. Returns false
// with a reason when a file is malformed beyond what the source format can express.
bool disassemble(const ScriptFiles& files, std::string* source, std::string* error);

// Writes or reads the five files (Script.src, File.dat, Text.dat, Mem.dat, Point.dat) in dir;
// writing creates dir (and its parents) when missing. Errors name the file and the reason.
bool write_script_files(const ScriptFiles& files, const std::string& dir, std::string* error);
bool read_script_files(const std::string& dir, ScriptFiles* files, std::string* error);

}  // namespace vmasm
