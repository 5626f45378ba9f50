// Large scratch buffers that cost nothing until they are used.
//
// A reservation is address space that reads as zero and is backed by memory only page by page
// as it is first touched, so a 128 MiB buffer that one thread fills with a 40 KiB file uses
// about 40 KiB.
#pragma once

#include <cstddef>

namespace platform {

// Reserves size bytes, readable and writable; null when the address space cannot be had.
// Any thread.
void* reserve_address_space(size_t size);

// Gives back a reservation; base and size exactly as reserved. Null base does nothing.
void release_address_space(void* base, size_t size);

}  // namespace platform
