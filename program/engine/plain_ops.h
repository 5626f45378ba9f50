// The one list of the plain binary operations: each one's statement is written here once and
// expanded wherever the interpreter runs it: the operation functions of the plain path
// (core_ops.h), the plain path's switch and the two loops over decoded operations
// (script_runner.cpp: one instruction at a time, and back to back), and the decoder's choice
// of what it pre-decodes (decoded_code.cpp).
//
// PLAIN_BINARY(index, function, expression)
//   index       the core operation index (the low 16 bits of its group-1 word)
//   function    the plain path's operation (engine::ops::function)
//   expression  the destination's new value from `dst` (its value before) and `s` (the source
//               value), both uint32_t
// Arithmetic wraps at 32 bits; signed operations convert through ops::as_signed, so that no
// overflow is undefined. The includer defines PLAIN_BINARY inside namespace engine.
//
// The jumps (jmp, jz) and nop are not here: what they do is move the pc, which each loop
// keeps its own way (the back-to-back loop in a local), so each loop writes them itself.
//
// No include guard: the list is meant to be expanded several times.

// (clang-format would take `dst * s` and `dst & s` for declarations.)
// clang-format off
PLAIN_BINARY(0x01, op_mov, s)
PLAIN_BINARY(0x02, op_add, dst + s)
PLAIN_BINARY(0x03, op_sub, dst - s)
PLAIN_BINARY(0x04, op_mul, dst * s)
// Division by zero leaves the destination as it was. INT_MIN / -1 has no 32-bit quotient: the
// wrapped value INT_MIN stands in for it (and 0 for its remainder).
PLAIN_BINARY(0x05, op_div,
             s == 0 ? dst
             : (dst == 0x80000000u && s == 0xFFFFFFFFu)
                 ? dst
                 : static_cast<uint32_t>(ops::as_signed(dst) / ops::as_signed(s)))
PLAIN_BINARY(0x06, op_and, dst & s)
PLAIN_BINARY(0x07, op_or, dst | s)
PLAIN_BINARY(0x08, op_xor, dst ^ s)
PLAIN_BINARY(0x0C, op_eq, static_cast<uint32_t>(dst == s))
PLAIN_BINARY(0x0D, op_ne, static_cast<uint32_t>(dst != s))
PLAIN_BINARY(0x0E, op_le, static_cast<uint32_t>(ops::as_signed(dst) <= ops::as_signed(s)))
PLAIN_BINARY(0x0F, op_ge, static_cast<uint32_t>(ops::as_signed(dst) >= ops::as_signed(s)))
PLAIN_BINARY(0x10, op_lt, static_cast<uint32_t>(ops::as_signed(dst) < ops::as_signed(s)))
PLAIN_BINARY(0x11, op_gt, static_cast<uint32_t>(ops::as_signed(dst) > ops::as_signed(s)))
PLAIN_BINARY(0x12, op_lor, static_cast<uint32_t>(dst != 0 || s != 0))
PLAIN_BINARY(0x13, op_land, static_cast<uint32_t>(dst != 0 && s != 0))
PLAIN_BINARY(0x1A, op_mod,
             s == 0 ? dst
             : (dst == 0x80000000u && s == 0xFFFFFFFFu)
                 ? 0u
                 : static_cast<uint32_t>(ops::as_signed(dst) % ops::as_signed(s)))
PLAIN_BINARY(0x1B, op_shl, dst << (s & 31))
PLAIN_BINARY(0x1C, op_sar, static_cast<uint32_t>(ops::as_signed(dst) >> (s & 31)))
// clang-format on
