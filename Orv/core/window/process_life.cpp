// The life of the process: OrvInit with the system init, OrvRun, OrvEnd and OrvUninit.
#include <cstdio>
#include <string>
#include <system_error>

#include "Orv/core/error_report.h"
#include "Orv/core/files/data_file_read.h"
#include "Orv/core/movie/movie_player.h"
#include "Orv/core/movie/video_player.h"
#include "Orv/core/random_table.h"
#include "Orv/core/seams.h"
#include "Orv/core/sound/sound_system.h"
#include "Orv/core/task.h"
#include "Orv/core/widgets/widgets.h"
#include "Orv/core/window/app_messages.h"
#include "Orv/core/window/frame_draw.h"
#include "Orv/core/window/game_thread.h"
#include "Orv/core/window/process.h"
#include "Orv/core/window/window_geometry.h"
#include "Orv/core/window/window_proc.h"
#include "Orv/core/work_pool.h"
#include "Orv/core_record.h"
#include "Orv/render/font/fonts.h"
#include "Orv/render/gl/gl_renderer.h"
#include "Orv/render/render_system.h"
#include "Orv/render/transition/screen_transition.h"
#include "orv/orv.h"
#include "platform/clock.h"
#include "platform/console.h"
#include "platform/gl_context.h"
#include "platform/message_box.h"
#include "platform/program_path.h"
#include "platform/test_seams.h"
#include "platform/window.h"

namespace {

constexpr uint32_t kShowHidden = 0x1;  // show flag bit 0
constexpr uint32_t kDisplayGpu = 0x8;  // display flag bit 3
constexpr const char* kInitCaption = "initialize error";

// "システムの初期化に失敗。\n0x.."
#define ORV_INIT_FAILED \
  "\x83V\x83X\x83\x65\x83\x80\x82\xcc\x8f\x89\x8a\xfa\x89\xbb\x82\xc9\x8e\xb8\x94s\x81\x42\n"

bool step_params() {
  ProcessRecord& p = orv_process();
  if (!p.params.start_func) return false;
  if (p.params.frame_rate == 0) {
    // A rate of 0 would divide by zero in the pacing; the default rate stands in.
    process_box("OrvFrameSkip zero div", "", platform::kMbOk);
    p.params.frame_rate = 60;
  }
  return true;
}

bool step_window_record() {
  ProcessRecord& p = orv_process();
  p.clear_colour = 0xFF000000u;
  fonts_set_defaults();
  p.module_folder = platform::program_folder_utf8();
  return true;
}

bool step_debug_files() {
  if (orv_process().params.debug) debug_log_open(seam_base_folder_utf8());
  return true;  // a missing log leaves the log off; start-up goes on
}

// Work pools are reserved per thread on first use; what remains of this step is the count of
// blocks, which starts from here (blocks taken before the core existed are not counted).
bool step_work_pool() {
  orv_core().alloc_count = 0;
  return true;
}

bool step_random_table() {
  const StartParams& sp = orv_process().params;
  return random_table_create(static_cast<uint32_t>(sp.random_count), sp.debug != 0);
}

void drop_gl_context();

// The renderer (GL when the display flags ask for it and the window has a context, software
// otherwise) and its image pool; software frames reach the window through
// frame_present_pixels, files through the search folders.
bool step_renderer() {
  ProcessRecord& p = orv_process();
  StartParams& sp = p.params;
  RenderParams rp;
  rp.game_width = sp.screen_width;
  rp.game_height = sp.screen_height;
  rp.window_width = sp.client_width;
  rp.window_height = sp.client_height;
  rp.display_flags = sp.display_flags;
  rp.device_flags = ((sp.display_flags & 0x2) ? 0x1u : 0u) | (sp.wait_mode == 1 ? 0x2u : 0u) |
                    ((sp.display_flags & 0x10) ? 0x4u : 0u);
  rp.texture_count = sp.texture_count;
  orv_present().smooth = (rp.device_flags & 0x1) != 0;
  if (p.gl_context) {
    gl_renderer_use_context(p.gl_context);
    rp.gl = &gl_renderer();
  }
  bool ok = false;
  sp.display_flags = render_system_init(rp, &ok);
  if (p.gl_context) {
    if (sp.display_flags & kDisplayGpu) {
      // The game thread makes it current for the whole run.
      platform::gl_context_release(p.gl_context);
    } else {
      platform::stderr_line("OpenGL renderer could not start: drawing in software");
      drop_gl_context();
    }
  }
  RenderState& rs = orv_render();
  rs.present = &frame_present_pixels;
  rs.present_area = [](OrvRect* area) {
    *area = orv_geometry().client_rect;
    return area->right > area->left && area->bottom > area->top;
  };
  rs.read_file = &data_file_read;
  return ok;
}

// The pads start once the first frame is shown (kWndPadsStart): looking for them scans the
// input devices, which a first frame does not wait for.
bool step_joystick() {
  return true;  // no joystick is not an error
}

bool step_search_paths() {
  return OrvSystemPathInit() != 0;
}

bool step_debug_windows() {
  ProcessRecord& p = orv_process();
  if (!p.params.debug) return true;
  debug_dialog_create();
  std::string ini = orv_debug().base_folder + "/setting.ini";
  p.params.window_x = settings_read_int(ini, "MainWindow", "x", p.params.window_x);
  p.params.window_y = settings_read_int(ini, "MainWindow", "y", p.params.window_y);
  platform::window_move(p.window, p.params.window_x, p.params.window_y);
  OrvDebugWindowCreate(0, "system", 1);
  // "ライブラリ初期化->OK", "ライブラリデバッグモード"
  OrvErrorLogPrintf("%s", "\x83\x89\x83\x43\x83u\x83\x89\x83\x8a\x8f\x89\x8a\xfa\x89\xbb->OK");
  OrvErrorLogPrintf(
      "%s", "\x83\x89\x83\x43\x83u\x83\x89\x83\x8a\x83\x66\x83o\x83\x62\x83O\x83\x82\x81[\x83h");
  return true;
}

struct InitStep {
  int32_t number;
  bool (*run)();
  const char* failure;  // the box text; null: the step reports nothing
};

// The system init, in order. The numbers are the steps' places in the sequence; the failure
// texts carry the codes that tell a player's report which step failed.
const InitStep kInitSteps[] = {
    {3, step_params, "first func error"},
    {4, step_window_record, nullptr},
    {5, step_debug_files, nullptr},
    // "メモリ確保に失敗。\n0x00"
    {6, step_work_pool, "\x83\x81\x83\x82\x83\x8a\x8am\x95\xdb\x82\xc9\x8e\xb8\x94s\x81\x42\n0x00"},
    {7, step_renderer, ORV_INIT_FAILED "0x02"},
    {8, seam_texture_table_create, ORV_INIT_FAILED "0x05"},
    // "エフェクトの初期化に失敗。\n0x07"
    {9, screen_transition_create,
     "\x83G\x83t\x83\x46\x83N\x83g\x82\xcc\x8f\x89\x8a\xfa\x89\xbb\x82\xc9\x8e\xb8\x94s\x81\x42\n0x"
     "07"},
    {10, step_joystick, nullptr},
    {11, task_scheduler_create, ORV_INIT_FAILED "0x06"},
    // "サウンドの初期化に失敗\nスピーカー等の再生環境を確認してください。\n0x09"
    {12, sound_system_create,
     "\x83T\x83\x45\x83\x93\x83h\x82\xcc\x8f\x89\x8a\xfa\x89\xbb\x82\xc9\x8e\xb8\x94s\n\x83X\x83s"
     "\x81[\x83J\x81[\x93\x99\x82\xcc\x8d\xc4\x90\xb6\x8a\xc2\x8b\xab\x82\xf0\x8am\x94\x46\x82\xb5"
     "\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81\x42\n0x09"},
    {13, step_random_table, ORV_INIT_FAILED "0x0A"},
    {14, step_search_paths, nullptr},
    {15, step_debug_windows, nullptr},
};

bool system_init() {
  int32_t fail_at = process_switches().fail_init_step;
  for (const InitStep& step : kInitSteps) {
    bool ok = step.run() && step.number != fail_at;
    if (!ok) {
      if (step.failure) process_box(step.failure, kInitCaption, platform::kMbOk);
      return false;
    }
  }
  return true;
}

void drop_gl_context() {
  ProcessRecord& p = orv_process();
  gl_renderer_use_context(nullptr);
  platform::gl_context_destroy(p.gl_context);
  p.gl_context = nullptr;
}

// Everything OrvUninit and a failed OrvInit take down, in the order they were built.
void teardown() {
  ProcessRecord& p = orv_process();
  if (!p.system_end) stop_threads();
  task_scheduler_destroy();
  seam_fonts_release();
  OrvSystemPathUninit();
  random_table_destroy();
  // Movies stop before the mixer that plays their sound goes.
  video_shutdown();
  movie_players_stop_all();
  sound_system_destroy();
  if (platform::Joystick* joy = p.joystick.exchange(nullptr)) platform::joystick_close(joy);
  screen_transition_destroy();
  // The game thread has let the context go: its objects are deleted here, then the context.
  if (p.gl_context) platform::gl_context_make_current(p.gl_context, nullptr);
  render_system_uninit();
  drop_gl_context();
  orv_render().present = nullptr;
  orv_render().present_area = nullptr;
  orv_render().read_file = nullptr;
  int32_t leaked = orv_core().alloc_count.load();
  if (leaked > 0 && p.params.debug) {
    // "メモリの解放忘れが %d 個あります"
    OrvErrorLogPrintf(
        "\x83\x81\x83\x82\x83\x8a\x82\xcc\x89\xf0\x95\xfa\x96Y\x82\xea\x82\xaa %d "
        "\x8c\xc2\x82\xa0\x82\xe8\x82\xdc\x82\xb7",
        leaked);
  }
  work_pools_release_all();
  debug_dialog_destroy();
  debug_log_close();
  if (p.cursor.loaded) platform::cursor_destroy(p.cursor.loaded);
  p.cursor.loaded = p.cursor.current = nullptr;
  if (p.window) platform::window_destroy(p.window);
  p.window = nullptr;
  platform::video_quit();
}

bool spawn_thread(std::thread& thread, void (*main)()) {
  try {
    thread = std::thread(main);
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

// Pumps the window's messages until a spawned thread has set its start event.
void wait_started(platform::Event& started) {
  // The new thread only sets its event, which wakes nobody: look every millisecond, so that
  // each thread start costs the start, not a 10 ms step of the pump.
  orv_process().window_queue.wait_pumping([&] { return started.is_set(); }, window_message, 1);
}

bool start_thread(std::thread& thread, void (*main)(), platform::Event& started) {
  if (!spawn_thread(thread, main)) return false;
  wait_started(started);
  return true;
}

}  // namespace

extern "C" {

void OrvDefaultCreate(StartParams* params) {
  if (!params) return;
  *params = StartParams{};
  params->title = "WindowTitle";
  params->class_name = "CLASS";
  params->window_style = 0x02CF0000u;
  params->frame_rate = 60;
  params->client_width = 1280;
  params->client_height = 720;
  params->screen_width = 1280;
  params->screen_height = 720;
  params->texture_count = 256;
  params->count = 512;
  params->random_count = 2048;
  params->display_flags = 0x441Bu;
  params->wait_mode = 2;
  params->aspect_mode = 1;
  params->movie_format = 1;
  OrvRect desktop = desktop_rect();
  params->window_x = (desktop.right - 1280) >> 1;
  params->window_y = (desktop.bottom - 720) >> 1;
}

int32_t OrvInit(StartParams* params) {
  if (!params || params->client_width == 0 || params->client_height == 0) return 0;
  ProcessRecord& p = orv_process();
  if (orv_core().alive) return 0;  // one core per process
  // The headless tests' fixed-step clock and frame dump (README, testing seams).
  platform::fixed_step_clock_install();
  platform::frame_dump_configure();
  std::string error;
  if (!platform::video_init(&error)) {
    error_reportf(ErrorLog::kSkip, "OrvInit: no video: %s", error.c_str());
    return 0;
  }
  p.reset();
  orv_geometry().reset();
  orv_present().reset();
  p.window_thread_id = std::this_thread::get_id();
  // The window thread sleeps on its window's events; a message for it wakes that sleep.
  p.window_queue.set_wake(platform::event_wake);

  OrvRect desktop = desktop_rect();
  if (desktop_override().set) {
    params->window_x = params->window_y = 0;
  } else if (params->window_x < desktop.left || params->window_y < desktop.top ||
             params->window_x > desktop.left + (desktop.right - desktop.left) ||
             params->window_y > desktop.top + (desktop.bottom - desktop.top)) {
    centre_position(desktop, params->client_width, params->client_height, &params->window_x,
                    &params->window_y);
  }

  platform::WindowDesc desc;
  desc.title_sjis = params->title ? params->title : "";
  desc.x = params->window_x;
  desc.y = params->window_y;
  desc.width = params->client_width;
  desc.height = params->client_height;
  desc.try_gl = (params->display_flags & kDisplayGpu) != 0;
  desc.hidden = true;  // shown below, once the core is built
  bool with_gl = false;
  p.window = platform::window_create(desc, &with_gl, &error);
  if (!p.window) {
    error_reportf(ErrorLog::kSkip, "OrvInit: no window: %s", error.c_str());
    // "システムの初期化時に問題が生じました。" / "警告"
    process_box(
        "\x83V\x83X\x83\x65\x83\x80\x82\xcc\x8f\x89\x8a\xfa\x89\xbb\x8e\x9e\x82\xc9\x96\xe2"
        "\x91\xe8\x82\xaa\x90\xb6\x82\xb6\x82\xdc\x82\xb5\x82\xbd\x81\x42",
        "\x8cx\x8d\x90", platform::kMbIconExclamation);
    platform::video_quit();
    return 0;
  }
  p.window_handle = platform::window_id(p.window);
  if (with_gl) {
    std::string gl_error;
    p.gl_context = platform::gl_context_create(p.window, &gl_error);
    if (!p.gl_context) {
      platform::stderr_line("OpenGL 3.3 core context unavailable (" + gl_error +
                            "): drawing in software");
    }
  } else if (desc.try_gl) {
    platform::stderr_line("no OpenGL window: drawing in software");
  }

  // The window's creation: the core is built.
  orv_core().alive = true;
  process_switches().change_mode_time = platform::time_ms();
  p.params = *params;
  bool ok = system_init();
  process_switches().init_result = ok ? 1 : 0;
  if (!ok) return 0;

  geometry_on_created();
  p.cursor.show_count = 0;
  OrvSetCursor(reinterpret_cast<const char*>(static_cast<uintptr_t>(kCursorArrow)), 1, 0, 0);
  orv_geometry().change_enabled = 1;
  window_apply_screensaver();
  if (!(p.params.show_flags & kShowHidden)) {
    platform::window_show(p.window);
    p.active = true;
    sound_window_active(true, p.params.display_flags);
  }
  if (desktop_override().set ||
      client_fills_desktop(orv_geometry().desktop, p.params.client_width, p.params.client_height)) {
    p.params.full_screen = 1;
  }
  return 1;
}

int32_t OrvRun(void) {
  ProcessRecord& p = orv_process();
  if (!orv_core().alive || !p.window || p.system_end) return 0;
  p.running = true;
  if (!start_thread(p.work_thread, work_thread_main, p.work_started)) {
    // "スレッドの作成に失敗しました。[0x0A]" / "実行エラー"
    process_box(
        "\x83X\x83\x8c\x83\x62\x83h\x82\xcc\x8d\xec\x90\xac\x82\xc9\x8e\xb8\x94s\x82\xb5"
        "\x82\xdc\x82\xb5\x82\xbd\x81\x42[0x0A]",
        "\x8e\xc0\x8ds\x83G\x83\x89\x81[", platform::kMbOk);
    return -1;
  }
  if (!spawn_thread(p.game_thread, game_thread_main)) {
    process_box(
        "\x83X\x83\x8c\x83\x62\x83h\x82\xcc\x8d\xec\x90\xac\x82\xc9\x8e\xb8\x94s\x82\xb5"
        "\x82\xdc\x82\xb5\x82\xbd\x81\x42[0x0B]",
        "\x8e\xc0\x8ds\x83G\x83\x89\x81[", platform::kMbOk);
    return -1;
  }
  // The window shows the clear colour at once, not only once the game has drawn a frame (the
  // software renderer's window; the GL renderer's window is GL's alone to present). The game
  // thread is spawned first: the window surface's first fill (some 900 fresh pages) and the
  // game's start and first frame run side by side. A frame the game has handed over by then
  // is shown in place of the clear colour.
  if (!(p.params.show_flags & kShowHidden) && !(p.params.display_flags & kDisplayFlagDirect3D)) {
    frame_present_on_window();
  }
  wait_started(p.game_started);
  if (p.params.full_screen) {
    p.params.full_screen = 0;
    OrvWindowChangeMode(1);
  }
  while (window_pump(kPumpUntilEvent)) {
    if (p.end_pending) end_program();
  }
  return 0;
}

void OrvEnd(void) {
  ProcessRecord& p = orv_process();
  if (!orv_core().alive || p.system_end) return;
  p.end_requested = true;
  // The request is posted and this call returns: waiting here would block a thread that the
  // window thread is about to wait for. The window thread's loop carries it out.
  if (on_window_thread() && !p.running) {
    end_program();  // before OrvRun: no thread to wait for
  } else if (on_window_thread()) {
    p.end_pending = true;
  } else {
    window_post(kWndEnd);
  }
}

int32_t OrvUninit(void) {
  if (!orv_core().alive) return 0;
  ProcessRecord& p = orv_process();
  p.running = false;
  teardown();
  widgets_reset();  // the edit boxes and dialogs go with the window
  // A later init in the same process (tests, tools) must not find this run's end still
  // requested; the rest of the record stays readable until then.
  p.system_end = p.end_requested = p.end_pending = false;
  orv_core().alive = false;
  return 1;
}

}  // extern "C"
