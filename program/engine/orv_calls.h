// The platform-library calls of the script machine, each in one place.
//
// Each function makes one call through the binding table `orv`. The log and end calls and the
// input reads do nothing (or read no input) while the table has no entry for them, so that
// tools which run the machine without the library stay quiet. The screen size and the boot
// word belong to the program's start-up and keep their fixed answers until it provides them.
// Thread: as the export.
#pragma once

#include <cstdint>

#include "orv/types.h"

namespace engine {

// OrvDebugPrintf(key, null, "%s", line): the library's debug log.
bool orv_debug_print(int key, const char* line);
// OrvDebugIs(): whether the library keeps debug-log lines other than key 0 (debug mode);
// false without the library.
bool orv_debug_on();
// OrvErrorLogPrintf("%s", line): the error log (stderr, and log.txt in debug mode).
bool orv_error_log(const char* line);
// OrvEnd(): asks the program to end (the caller also records it: the machine stops running the
// script either way).
void orv_end_program();
// IsSystemEnd(): whether the program has been asked to end from anywhere (the window's close,
// a signal, OrvEnd on another thread); false without the library.
bool orv_system_end();
// OrvEndUpdate(): lets the log windows draw again (the key is the caller's note only).
void orv_end_update(int key);

// OrvList*: the library's keyed list (data is pointer-sized): create gives a nonzero id (0 out
// of memory), push puts a node in front, push_last appends, pop takes the first node with the
// key (0 when none), count counts nodes with the key, get_data gives the n-th node's data with
// that key (0 when there are fewer).
OrvHandle orv_list_create();
void orv_list_release(OrvHandle list);
bool orv_list_push(OrvHandle list, uintptr_t data, uint32_t key);
bool orv_list_push_last(OrvHandle list, uintptr_t data, uint32_t key);
uintptr_t orv_list_pop(OrvHandle list, uint32_t key);
uint32_t orv_list_count(OrvHandle list, uint32_t key);
uintptr_t orv_list_get_data(OrvHandle list, uint32_t key, uint32_t n);

// OrvInputGetWheel / GetKeyPush / GetKeyPull / GetKeyOn: this frame's input.
int32_t orv_input_wheel();
uint32_t orv_input_key_push();
uint32_t orv_input_key_pull();
uint32_t orv_input_key_on();

// OrvRenderLockEnter / OrvRenderLockLeave: the render lock around one instruction of the
// work-thread runner. Enter returns false when there is no lock to take (then no leave).
bool orv_render_lock_enter();
void orv_render_lock_leave();

// Reads a data file whole, found along the search paths like every data file (OrvFileCreate
// and a read of its size). On success *data is a block from OrvMemoryAlloc (size + extra
// bytes, the extra ones zeroed) that the caller frees with OrvMemoryFree, *size the bytes
// read. Returns 0 read whole, 1 not found, 2 no memory (or a size that cannot be held with the
// extra bytes), 3 read short (data and size then hold what was read).
int orv_file_read_whole(const char* name, uint8_t** data, uint32_t* size, uint32_t extra = 0);

// Tasks: OrvTaskCreate(step, end, size, &data, 1, null, name), OrvTaskSetTaskData(task),
// OrvTaskChangeNext(step). Create gives 0 (and *data null) when the task cannot be made.
OrvHandle orv_task_create(OrvTaskProc step, OrvTaskProc end, uint32_t size, void** data,
                          const char* name);
void orv_task_set_task_data(OrvHandle task);
void orv_task_change_next(OrvTaskProc step);

// OrvRenderInit / OrvRenderSetActive / OrvRenderUninit: the render list of the game; init
// gives 0 when none can be made, and the engine goes on without one.
OrvHandle orv_render_init();
void orv_render_set_active(OrvHandle list);
void orv_render_uninit(OrvHandle list);

// The game's screen size (from the start-up information); 1280 x 720 until start-up gives it.
void game_screen_size(uint32_t* width, uint32_t* height);

// The start-up boot word (from the program's start-up); 0 until start-up gives it.
uint32_t startup_boot_word();

}  // namespace engine
