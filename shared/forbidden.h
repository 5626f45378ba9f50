// The symbol wall: the C and C++ functions that code above platform/ must not call.
//
// platform/ stands in for files, stderr, the environment, time, process exit and child
// processes, so that the game logic stays portable and a headless run has one clock and one
// view of the files. Each forbidden name below becomes a compile error whose text names what
// to use instead (an undeclared FORBIDDEN_SYMBOL_use_<replacement>).
//
// CMake force-includes this header (-include) into every C++ source of shared/, Orv/ and
// program/. platform/, tests, tools, benchmarks and fuzz targets do not see it: platform/ is
// where these calls belong, and the others are build-time or test programs.
//
// The standard headers that declare or use these names are included first, so that their own
// text stays untouched; a later #include of one of them is then empty. Including <fstream> or
// <filesystem> after this header fails inside that header, which is the point.
#pragma once

#ifdef __cplusplus

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iosfwd>
#include <mutex>
#include <shared_mutex>
#include <thread>

// Files: the platform file layer (platform/file.h in the library, the Orv file exports in
// the game program), which matches names the way the games expect.
#define fopen(...) FORBIDDEN_SYMBOL_use_platform_file_open
#define freopen(...) FORBIDDEN_SYMBOL_use_platform_file_open
#define fdopen(...) FORBIDDEN_SYMBOL_use_platform_file_open
#define tmpfile(...) FORBIDDEN_SYMBOL_use_platform_file_open
#define ifstream FORBIDDEN_SYMBOL_use_platform_file_open
#define ofstream FORBIDDEN_SYMBOL_use_platform_file_open
#define fstream FORBIDDEN_SYMBOL_use_platform_file_open
#define filesystem FORBIDDEN_SYMBOL_use_platform_file

// stderr and stdout: the library's error reporter (Orv/core/error_report.h), or
// platform::stderr_line for what the game says before the library is bound.
#undef stderr
#undef stdout
#define stderr FORBIDDEN_SYMBOL_use_error_report
#define stdout FORBIDDEN_SYMBOL_use_error_report
#define printf(...) FORBIDDEN_SYMBOL_use_error_report
#define vprintf(...) FORBIDDEN_SYMBOL_use_error_report
#define fprintf(...) FORBIDDEN_SYMBOL_use_error_report
#define vfprintf(...) FORBIDDEN_SYMBOL_use_error_report
#define puts(...) FORBIDDEN_SYMBOL_use_error_report
#define fputs(...) FORBIDDEN_SYMBOL_use_error_report
#define fwrite(...) FORBIDDEN_SYMBOL_use_error_report
#define perror(...) FORBIDDEN_SYMBOL_use_error_report

// The environment: the switches of the test seams (platform::test_switch_on) and the folders
// of platform/user_folders.h.
#define getenv(...) FORBIDDEN_SYMBOL_use_platform_test_switch_on
#define secure_getenv(...) FORBIDDEN_SYMBOL_use_platform_test_switch_on
#define setenv(...) FORBIDDEN_SYMBOL_use_platform_test_switch_on
#define putenv(...) FORBIDDEN_SYMBOL_use_platform_test_switch_on

// Ending the process: return from main (the game) or end through OrvEnd (the library).
#define exit(...) FORBIDDEN_SYMBOL_return_from_main_or_OrvEnd
#define _Exit(...) FORBIDDEN_SYMBOL_return_from_main_or_OrvEnd
#define quick_exit(...) FORBIDDEN_SYMBOL_return_from_main_or_OrvEnd

// Time: the one injectable millisecond clock (OrvtimeGetTime and the clock export in the game,
// platform/clock.h in the library).
#define time(...) FORBIDDEN_SYMBOL_use_platform_clock
#define clock(...) FORBIDDEN_SYMBOL_use_platform_clock
#define gettimeofday(...) FORBIDDEN_SYMBOL_use_platform_clock
#define clock_gettime(...) FORBIDDEN_SYMBOL_use_platform_clock
#define steady_clock FORBIDDEN_SYMBOL_use_platform_clock
#define system_clock FORBIDDEN_SYMBOL_use_platform_clock
#define high_resolution_clock FORBIDDEN_SYMBOL_use_platform_clock
#define sleep(...) FORBIDDEN_SYMBOL_use_platform_sleep_ms
#define usleep(...) FORBIDDEN_SYMBOL_use_platform_sleep_ms
#define nanosleep(...) FORBIDDEN_SYMBOL_use_platform_sleep_ms
#define sleep_for(...) FORBIDDEN_SYMBOL_use_platform_sleep_ms
#define sleep_until(...) FORBIDDEN_SYMBOL_use_platform_sleep_ms

// Other programs: platform::shell_open (the desktop's handler, never a shell).
#define system(...) FORBIDDEN_SYMBOL_use_platform_shell_open
#define popen(...) FORBIDDEN_SYMBOL_use_platform_shell_open

#endif  // __cplusplus
