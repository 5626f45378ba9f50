#include "platform/window.h"

#include <SDL.h>

#include <atomic>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

#include "platform/sjis.h"
#include "platform/window_record.h"

namespace platform {

struct Cursor {
  SDL_Cursor* sdl = nullptr;
};
struct Joystick {
  SDL_Joystick* sdl = nullptr;
};

namespace {

// Video at video_init; the joysticks and game controllers later, at joysticks_start.
constexpr uint32_t kSubsystems = SDL_INIT_VIDEO | SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER;

// The user event that wakes a waiting window thread; 0 until video has started.
std::atomic<uint32_t> g_wake_type{0};
// Video started by a question about the desktop before video_init, and left running for it:
// starting and stopping video costs a connection to the display each time.
std::atomic<bool> g_video_from_question{false};

uint32_t vk_from_scancode(SDL_Scancode sc) {
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return 0x41 + (sc - SDL_SCANCODE_A);
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return 0x31 + (sc - SDL_SCANCODE_1);
  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return 0x70 + (sc - SDL_SCANCODE_F1);
  switch (sc) {
    case SDL_SCANCODE_0:
      return 0x30;
    case SDL_SCANCODE_ESCAPE:
      return 0x1B;
    case SDL_SCANCODE_SPACE:
      return 0x20;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER:
      return 0x0D;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL:
      return 0x11;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT:
      return 0x10;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT:
      return 0x12;
    case SDL_SCANCODE_TAB:
      return 0x09;
    case SDL_SCANCODE_BACKSPACE:
      return 0x08;
    case SDL_SCANCODE_UP:
      return 0x26;
    case SDL_SCANCODE_DOWN:
      return 0x28;
    case SDL_SCANCODE_LEFT:
      return 0x25;
    case SDL_SCANCODE_RIGHT:
      return 0x27;
    case SDL_SCANCODE_PAGEUP:
      return 0x21;
    case SDL_SCANCODE_PAGEDOWN:
      return 0x22;
    case SDL_SCANCODE_END:
      return 0x23;
    case SDL_SCANCODE_HOME:
      return 0x24;
    case SDL_SCANCODE_INSERT:
      return 0x2D;
    case SDL_SCANCODE_DELETE:
      return 0x2E;
    default:
      return 0;
  }
}

SDL_SystemCursor system_cursor_for(uint32_t id) {
  switch (id) {
    case 32513:
      return SDL_SYSTEM_CURSOR_IBEAM;
    case 32514:
      return SDL_SYSTEM_CURSOR_WAIT;
    case 32515:
      return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case 32642:
      return SDL_SYSTEM_CURSOR_SIZENWSE;
    case 32643:
      return SDL_SYSTEM_CURSOR_SIZENESW;
    case 32644:
      return SDL_SYSTEM_CURSOR_SIZEWE;
    case 32645:
      return SDL_SYSTEM_CURSOR_SIZENS;
    case 32646:
      return SDL_SYSTEM_CURSOR_SIZEALL;
    case 32648:
      return SDL_SYSTEM_CURSOR_NO;
    case 32649:
      return SDL_SYSTEM_CURSOR_HAND;
    case 32650:
      return SDL_SYSTEM_CURSOR_WAITARROW;
    default:
      return SDL_SYSTEM_CURSOR_ARROW;
  }
}

}  // namespace

bool video_init(std::string* error) {
  // Closing the window asks the player first; SDL's quit event is left to the signals (SIGINT,
  // SIGTERM), which end without asking.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  // Video a desktop question started is taken over as it is, not started a second time.
  if (!g_video_from_question.exchange(false) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    if (error) *error = SDL_GetError();
    return false;
  }
  // SDL turns text input on with video; the input method stays off until an edit box.
  SDL_StopTextInput();
  if (g_wake_type.load() == 0) {
    const uint32_t type = SDL_RegisterEvents(1);
    if (type != static_cast<uint32_t>(-1)) g_wake_type.store(type);
  }
  return true;
}

void video_quit() {
  g_video_from_question = false;
  // The events of the windows that went are dropped with them: SDL's event queue outlives
  // video while another part (sound) keeps SDL's events running, and a later window must not
  // take them for its own.
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  SDL_QuitSubSystem(SDL_WasInit(kSubsystems));
}

bool joysticks_start() {
  if (SDL_WasInit(SDL_INIT_GAMECONTROLLER)) return true;
  return SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
}

std::string video_driver_name() {
  const char* name = SDL_GetCurrentVideoDriver();
  return name ? name : "";
}

int display_count() {
  int n = SDL_GetNumVideoDisplays();
  return n > 0 ? n : 0;
}

bool display_bounds(int index, Rect* out) {
  SDL_Rect r;
  if (!out || SDL_GetDisplayBounds(index, &r) != 0) return false;
  // The test seam of a desktop size: it stands in for what the driver reports once video runs
  // (SDL's headless drivers always report 1024 x 768).
  if (index == 0) {
    int w = 0, h = 0;
    const char* size = std::getenv("VELMORA_DESKTOP_SIZE");
    if (size && std::sscanf(size, "%dx%d", &w, &h) == 2 && w > 0 && h > 0) {
      r.w = w;
      r.h = h;
    }
  }
  *out = Rect{r.x, r.y, r.x + r.w, r.y + r.h};
  return true;
}

bool display_mode(int index, DisplayMode* out) {
  SDL_DisplayMode mode;
  if (!out || index < 0 || index >= display_count() ||
      SDL_GetCurrentDisplayMode(index, &mode) != 0) {
    return false;
  }
  *out = DisplayMode{mode.w, mode.h, mode.refresh_rate > 0 ? mode.refresh_rate : 0};
  return true;
}

bool primary_display_bounds(Rect* out) {
  // Before video starts SDL knows no display: start it for the question and leave it running
  // for the video_init that follows (the window comes next).
  if (!SDL_WasInit(SDL_INIT_VIDEO)) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    g_video_from_question = true;
  }
  return display_count() > 0 && display_bounds(0, out);
}

int display_at_point(int32_t x, int32_t y) {
  int best = -1;
  long long best_distance = LLONG_MAX;
  for (int i = 0; i < display_count(); ++i) {
    Rect r;
    if (!display_bounds(i, &r)) continue;
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return i;
    long long dx = x - (r.left + r.right) / 2, dy = y - (r.top + r.bottom) / 2;
    if (dx * dx + dy * dy < best_distance) {
      best_distance = dx * dx + dy * dy;
      best = i;
    }
  }
  return best;
}

void screensaver_allow(bool allow) {
  if (allow) {
    SDL_EnableScreenSaver();
  } else {
    SDL_DisableScreenSaver();
  }
}

Window* window_create(const WindowDesc& desc, bool* with_gl, std::string* error) {
  std::string title = sjis_to_utf8_lossy(desc.title_sjis);
  uint32_t flags = (desc.hidden ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN) |
                   (desc.resizable ? SDL_WINDOW_RESIZABLE : 0);
  SDL_Window* sdl = nullptr;
  if (desc.try_gl) {
    sdl = SDL_CreateWindow(title.c_str(), desc.x, desc.y, desc.width, desc.height,
                           flags | SDL_WINDOW_OPENGL);
  }
  if (with_gl) *with_gl = sdl != nullptr;
  // Drivers without GL (SDL's dummy driver) refuse a GL window: the software renderer serves.
  if (!sdl) sdl = SDL_CreateWindow(title.c_str(), desc.x, desc.y, desc.width, desc.height, flags);
  if (!sdl) {
    if (error) *error = SDL_GetError();
    return nullptr;
  }
  auto* window = new Window;
  window->sdl = sdl;
  return window;
}

void window_destroy(Window* window) {
  if (!window) return;
  SDL_FreeSurface(window->stretched);
  SDL_DestroyWindow(window->sdl);
  delete window;
}

void* window_sdl_handle(Window* window) {
  return window ? window->sdl : nullptr;
}

uint32_t window_id(Window* window) {
  return window ? SDL_GetWindowID(window->sdl) : 0;
}
void window_show(Window* window) {
  SDL_ShowWindow(window->sdl);
}

void window_set_title(Window* window, const std::string& title_sjis) {
  SDL_SetWindowTitle(window->sdl, sjis_to_utf8_lossy(title_sjis).c_str());
}

bool window_set_title_by_handle(uint32_t handle, const std::string& title_sjis) {
  SDL_Window* sdl = handle ? SDL_GetWindowFromID(handle) : nullptr;
  if (!sdl) return false;
  SDL_SetWindowTitle(sdl, sjis_to_utf8_lossy(title_sjis).c_str());
  return true;
}

std::string window_title_sjis(uint32_t handle) {
  SDL_Window* sdl = handle ? SDL_GetWindowFromID(handle) : nullptr;
  return sdl ? utf8_to_sjis_lossy(SDL_GetWindowTitle(sdl)) : std::string();
}

void window_position(Window* window, int32_t* x, int32_t* y) {
  int px = 0, py = 0;
  SDL_GetWindowPosition(window->sdl, &px, &py);
  if (x) *x = px;
  if (y) *y = py;
}

void window_move(Window* window, int32_t x, int32_t y) {
  SDL_SetWindowPosition(window->sdl, x, y);
}

void window_size(Window* window, int32_t* width, int32_t* height) {
  int w = 0, h = 0;
  SDL_GetWindowSize(window->sdl, &w, &h);
  if (width) *width = w;
  if (height) *height = h;
}

void window_resize(Window* window, int32_t width, int32_t height) {
  SDL_SetWindowSize(window->sdl, width, height);
}

void window_set_size_limits(Window* window, int32_t min_w, int32_t min_h, int32_t max_w,
                            int32_t max_h) {
  SDL_SetWindowMinimumSize(window->sdl, min_w > 0 ? min_w : 1, min_h > 0 ? min_h : 1);
  if (max_w > 0 && max_h > 0) SDL_SetWindowMaximumSize(window->sdl, max_w, max_h);
}

bool window_set_fullscreen(Window* window, bool fullscreen) {
  return SDL_SetWindowFullscreen(window->sdl, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0;
}

void window_restore(Window* window) {
  SDL_RestoreWindow(window->sdl);
}

bool window_is_minimized(Window* window) {
  return (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_MINIMIZED) != 0;
}

int window_display(Window* window) {
  int index = SDL_GetWindowDisplayIndex(window->sdl);
  return index < 0 ? 0 : index;
}

namespace {

bool translate(const SDL_Event& e, WindowEvent* out) {
  WindowEvent ev;
  switch (e.type) {
    case SDL_QUIT:
      ev.kind = WindowEventKind::kQuit;
      break;
    case SDL_WINDOWEVENT:
      ev.x = e.window.data1;
      ev.y = e.window.data2;
      switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
          ev.kind = WindowEventKind::kClose;
          break;
        case SDL_WINDOWEVENT_MOVED:
          ev.kind = WindowEventKind::kMoved;
          break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          ev.kind = WindowEventKind::kResized;
          break;
        case SDL_WINDOWEVENT_MINIMIZED:
          ev.kind = WindowEventKind::kMinimized;
          break;
        case SDL_WINDOWEVENT_MAXIMIZED:
          ev.kind = WindowEventKind::kMaximized;
          break;
        case SDL_WINDOWEVENT_RESTORED:
          ev.kind = WindowEventKind::kRestored;
          break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          ev.kind = WindowEventKind::kFocusGained;
          break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          ev.kind = WindowEventKind::kFocusLost;
          break;
        case SDL_WINDOWEVENT_ENTER:
          ev.kind = WindowEventKind::kMouseEnter;
          break;
        case SDL_WINDOWEVENT_LEAVE:
          ev.kind = WindowEventKind::kMouseLeave;
          break;
        default:
          break;
      }
      break;
    case SDL_MOUSEMOTION:
      ev.kind = WindowEventKind::kMouseMove;
      ev.from_touch = e.motion.which == SDL_TOUCH_MOUSEID;
      ev.x = e.motion.x;
      ev.y = e.motion.y;
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      ev.from_touch = e.button.which == SDL_TOUCH_MOUSEID;
      ev.kind =
          e.type == SDL_MOUSEBUTTONDOWN ? WindowEventKind::kMouseDown : WindowEventKind::kMouseUp;
      ev.x = e.button.x;
      ev.y = e.button.y;
      ev.clicks = e.button.clicks;
      ev.shift = (SDL_GetModState() & KMOD_SHIFT) != 0;
      ev.button = e.button.button == SDL_BUTTON_LEFT     ? kMouseLeft
                  : e.button.button == SDL_BUTTON_RIGHT  ? kMouseRight
                  : e.button.button == SDL_BUTTON_MIDDLE ? kMouseMiddle
                                                         : 0;
      if (!ev.button) ev.kind = WindowEventKind::kNone;
      break;
    case SDL_MOUSEWHEEL: {
      ev.kind = WindowEventKind::kWheel;
      int y = e.wheel.y;
      if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) y = -y;
      ev.y = y;
      if (y == 0) ev.kind = WindowEventKind::kNone;
      break;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      ev.kind = e.type == SDL_KEYDOWN ? WindowEventKind::kKeyDown : WindowEventKind::kKeyUp;
      ev.vk = vk_from_scancode(e.key.keysym.scancode);
      ev.repeat = e.key.repeat != 0;
      ev.alt = (e.key.keysym.mod & KMOD_ALT) != 0;
      ev.shift = (e.key.keysym.mod & KMOD_SHIFT) != 0;
      ev.ctrl = (e.key.keysym.mod & KMOD_CTRL) != 0;
      break;
    case SDL_TEXTINPUT:
      ev.kind = WindowEventKind::kTextInput;
      ev.text = e.text.text;
      break;
    case SDL_TEXTEDITING:
      ev.kind = WindowEventKind::kTextEditing;
      ev.text = e.edit.text;
      ev.cursor = e.edit.start;
      break;
    case SDL_FINGERDOWN:
    case SDL_FINGERUP:
    case SDL_FINGERMOTION:
      ev.kind = e.type == SDL_FINGERDOWN ? WindowEventKind::kFingerDown
                : e.type == SDL_FINGERUP ? WindowEventKind::kFingerUp
                                         : WindowEventKind::kFingerMove;
      ev.finger = e.tfinger.fingerId;
      ev.fx = e.tfinger.x;
      ev.fy = e.tfinger.y;
      break;
    case SDL_JOYDEVICEADDED:
      ev.kind = WindowEventKind::kJoystickAdded;
      break;
    case SDL_JOYDEVICEREMOVED:
      ev.kind = WindowEventKind::kJoystickRemoved;
      break;
    default:
      break;
  }
  if (ev.kind == WindowEventKind::kNone) return false;
  *out = ev;
  return true;
}

}  // namespace

void text_input_start(const Rect& rect) {
  SDL_Rect r{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
  SDL_SetTextInputRect(&r);
  if (!SDL_IsTextInputActive()) SDL_StartTextInput();
}

void text_input_stop() {
  if (SDL_IsTextInputActive()) SDL_StopTextInput();
}

void beep() {
  // SDL has no system sound; a terminal rings its bell.
  if (isatty(2)) (void)!write(2, "\a", 1);
}

bool event_poll(WindowEvent* out) {
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    if (translate(e, out)) return true;
  }
  return false;
}

bool event_wait(WindowEvent* out, int32_t timeout_ms) {
  SDL_Event e;
  if (!SDL_WaitEventTimeout(&e, timeout_ms < 0 ? -1 : timeout_ms)) return false;
  return translate(e, out);
}

bool event_wait_blocks() {
  // SDL's dummy and offscreen drivers have no event source to sleep on: SDL polls them every
  // millisecond while it waits.
  const char* name = SDL_GetCurrentVideoDriver();
  return name && std::strcmp(name, "dummy") != 0 && std::strcmp(name, "offscreen") != 0;
}

void event_wake() {
  const uint32_t type = g_wake_type.load();
  if (type == 0) return;
  SDL_Event e{};
  e.type = type;
  SDL_PushEvent(&e);
}

Cursor* cursor_create_system(uint32_t resource_id) {
  SDL_Cursor* sdl = SDL_CreateSystemCursor(system_cursor_for(resource_id));
  return sdl ? new Cursor{sdl} : nullptr;
}

Cursor* cursor_create_argb(const uint32_t* pixels, int32_t width, int32_t height, int32_t hotspot_x,
                           int32_t hotspot_y) {
  if (!pixels || width <= 0 || height <= 0) return nullptr;
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
      const_cast<uint32_t*>(pixels), width, height, 32, width * 4, SDL_PIXELFORMAT_ARGB8888);
  if (!surface) return nullptr;
  SDL_Cursor* sdl = SDL_CreateColorCursor(surface, hotspot_x, hotspot_y);
  SDL_FreeSurface(surface);
  return sdl ? new Cursor{sdl} : nullptr;
}

void cursor_destroy(Cursor* cursor) {
  if (!cursor) return;
  SDL_FreeCursor(cursor->sdl);
  delete cursor;
}

void cursor_set(Cursor* cursor) {
  if (cursor) SDL_SetCursor(cursor->sdl);
}

void cursor_show(bool visible) {
  SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

void cursor_warp(Window* window, int32_t x, int32_t y) {
  SDL_WarpMouseInWindow(window->sdl, x, y);
}

bool cursor_global_position(int32_t* x, int32_t* y) {
  int gx = 0, gy = 0;
  SDL_GetGlobalMouseState(&gx, &gy);
  if (x) *x = gx;
  if (y) *y = gy;
  return true;
}

Joystick* joystick_open_first() {
  for (int i = 0; i < SDL_NumJoysticks(); ++i) {
    if (SDL_Joystick* sdl = SDL_JoystickOpen(i)) return new Joystick{sdl};
  }
  return nullptr;
}

void joystick_close(Joystick* joystick) {
  if (!joystick) return;
  SDL_JoystickClose(joystick->sdl);
  delete joystick;
}

bool joystick_attached(Joystick* joystick) {
  return joystick && SDL_JoystickGetAttached(joystick->sdl);
}

bool joystick_read(Joystick* joystick, JoystickState* state) {
  if (!joystick || !state || !SDL_JoystickGetAttached(joystick->sdl)) return false;
  // SDL's axes run -32768..32767; the system's thresholds are set on -1000..1000.
  auto axis = [&](int index) {
    return static_cast<int32_t>(SDL_JoystickGetAxis(joystick->sdl, index)) * 1000 / 32768;
  };
  state->axis_x = SDL_JoystickNumAxes(joystick->sdl) > 0 ? axis(0) : 0;
  state->axis_y = SDL_JoystickNumAxes(joystick->sdl) > 1 ? axis(1) : 0;
  state->buttons = 0;
  int buttons = SDL_JoystickNumButtons(joystick->sdl);
  for (int i = 0; i < buttons && i < 32; ++i) {
    if (SDL_JoystickGetButton(joystick->sdl, i)) state->buttons |= 1u << i;
  }
  return true;
}

namespace {

int16_t stick_up(int16_t sdl_y) {
  // SDL's y grows downwards; -32768 has no positive twin.
  return sdl_y == INT16_MIN ? INT16_MAX : static_cast<int16_t>(-sdl_y);
}

uint8_t trigger_byte(int16_t value) {
  return value <= 0 ? 0 : static_cast<uint8_t>(value * 255 / 32767);
}

}  // namespace

bool pad_read(int index, PadState* state) {
  if (!state || index < 0 || !SDL_WasInit(SDL_INIT_GAMECONTROLLER)) return false;
  SDL_GameController* pad = nullptr;
  int seen = 0;
  for (int i = 0; i < SDL_NumJoysticks() && !pad; ++i) {
    if (!SDL_IsGameController(i) || seen++ != index) continue;
    // A pad stays open once asked for; SDL closes them all when the subsystem stops.
    pad = SDL_GameControllerFromInstanceID(SDL_JoystickGetDeviceInstanceID(i));
    if (!pad) pad = SDL_GameControllerOpen(i);
    if (!pad) return false;
  }
  if (!pad || !SDL_GameControllerGetAttached(pad)) return false;
  static constexpr struct {
    SDL_GameControllerButton button;
    uint16_t bit;
  } kButtons[] = {
      {SDL_CONTROLLER_BUTTON_DPAD_UP, 0x0001},
      {SDL_CONTROLLER_BUTTON_DPAD_DOWN, 0x0002},
      {SDL_CONTROLLER_BUTTON_DPAD_LEFT, 0x0004},
      {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 0x0008},
      {SDL_CONTROLLER_BUTTON_START, 0x0010},
      {SDL_CONTROLLER_BUTTON_BACK, 0x0020},
      {SDL_CONTROLLER_BUTTON_LEFTSTICK, 0x0040},
      {SDL_CONTROLLER_BUTTON_RIGHTSTICK, 0x0080},
      {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 0x0100},
      {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 0x0200},
      {SDL_CONTROLLER_BUTTON_A, 0x1000},
      {SDL_CONTROLLER_BUTTON_B, 0x2000},
      {SDL_CONTROLLER_BUTTON_X, 0x4000},
      {SDL_CONTROLLER_BUTTON_Y, 0x8000},
  };
  PadState out;
  for (const auto& b : kButtons) {
    if (SDL_GameControllerGetButton(pad, b.button)) out.buttons |= b.bit;
  }
  out.left_trigger = trigger_byte(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT));
  out.right_trigger =
      trigger_byte(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT));
  out.left_x = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
  out.left_y = stick_up(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY));
  out.right_x = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTX);
  out.right_y = stick_up(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTY));
  *state = out;
  return true;
}

}  // namespace platform
