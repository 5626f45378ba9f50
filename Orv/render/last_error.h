// The calling thread's last error, as the exports report it (Win32 GetLastError codes).
#pragma once

#include <cstdint>

constexpr uint32_t kErrorInvalidFunction = 1;
constexpr uint32_t kErrorAccessDenied = 5;
constexpr uint32_t kErrorInvalidHandle = 6;

void orv_set_last_error(uint32_t code);
uint32_t orv_last_error();
