// RenderState: the rendering subsystem's member of the CoreRecord.
//
// It holds what the library keeps once per process for drawing: the active render list, the
// render-list lock, the target list, the renderer table and its peers' records, the image
// pool, the sprite-info cache, the full-screen effect blend, and the seams through which the
// frame loop, the window and the image decoders plug in. Everything here is reached through
// orv_render().
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <unordered_set>
#include <vector>

#include "Orv/render/image_store.h"
#include "Orv/render/renderer.h"
#include "Orv/render/sprite_info_cache.h"
#include "orv/types.h"

struct DibRenderer;
struct GlRenderer;
namespace platform {
struct GlContext;
}
struct FxRecord;
struct OrvSprite;
struct ScreenTransition;

// What a decoder reports besides the pixels: images with their own header (GE) carry a
// position and a cell size.
struct DecodedImageInfo {
  bool has_header = false;
  int32_t x = 0, y = 0;
  int32_t cell_width = 0, cell_height = 0;
};

// Decodes a whole image file held in memory into a new image (image_create_from_bgra or
// image_create + image_pixels). Returns null when the bytes are not a picture it can read;
// it must report a bad file in one line naming `name`. Runs under the render lock.
using ImageDecoder = ImageObject* (*)(const char* name, const uint8_t* data, size_t size,
                                      DecodedImageInfo* info);

// Reads the whole file `path` (a Shift-JIS game path, loose or from an archive) into out.
// Returns 1 on success, 0 when the file cannot be opened or read, and -1 when it is larger
// than limit bytes (nothing is read then).
using FileReader = int32_t (*)(const char* path, std::vector<uint8_t>* out, size_t limit);

// The library's decoder of every picture format and its reader of game files (search folders
// and archives), both in Orv/render/image/sprite_pictures.h.
ImageObject* decode_image_object(const char* name, const uint8_t* data, size_t size,
                                 DecodedImageInfo* info);
int32_t game_file_read(const char* path, std::vector<uint8_t>* out, size_t limit);
// A FileReader that reads at most `limit` bytes from the start of the file (all of a shorter
// one): 1, or 0 when the file cannot be opened or read. Headers are read through it.
int32_t game_file_read_head(const char* path, std::vector<uint8_t>* out, size_t limit);

struct RenderState {
  std::atomic<OrvHandle> active_list{0};
  // The render-list lock: guards node walks against node removal. Taken after the render lock.
  std::recursive_mutex list_lock;
  std::mutex target_mutex;
  std::vector<uintptr_t> target_list;

  // Every sprite alive, so that shutdown can release what the game left behind.
  std::mutex sprites_mutex;
  std::unordered_set<OrvHandle> sprites;

  // The active renderer's table, copied at render_system_init; all entries null before and
  // after. Draw through render_renderer() (render_system.h).
  Renderer renderer;
  DibRenderer* dib = nullptr;                 // the software peer's record; read by sw/ only
  GlRenderer* gl = nullptr;                   // the GL peer's record; read by gl/ only
  platform::GlContext* gl_context = nullptr;  // the window's context, for the GL peer
  // Test seam: the effect library's path, in place of dll/ and the loader's search path.
  const char* gl_effect_library = nullptr;
  bool present_failed = false;  // a present failed; frames stop until render_present_restored
  // Dialogs being waited for by a thread that holds the render lock (a script on the work
  // thread): the frame draw cannot take the lock then, and shows the last frame again with the
  // dialogs over it instead.
  std::atomic<int32_t> dialog_waits_locked{0};
  ImagePool images;
  SpriteInfoCache info_cache;

  std::atomic<uint32_t> clear_color{0xFF000000u};
  std::atomic<bool> fullscreen_movie{false};  // set while a full-screen video owns the screen
  std::atomic<bool> effects_enabled{true};    // screen effects switch
  // Set while the target list is drawn: hidden sprites are drawn too. Game thread.
  bool drawing_targets = false;

  // Full-screen effect blend and the raster phase shared by every raster blend.
  FxRecord* fullscreen_fx = nullptr;
  OrvHandle fullscreen_fx_list = 0;
  bool raster_phase_set = false;
  uint32_t raster_phase_start = 0;

  // Aspect crop of full-screen aspect mode 3, kept by the window code: while `crop_active`,
  // the game picture (picture_w x picture_h) covers the monitor (monitor_w x monitor_h).
  bool crop_active = false;
  int32_t monitor_w = 0, monitor_h = 0, picture_w = 0, picture_h = 0;
  int32_t game_w = 0, game_h = 0;
  // Raised by render_targets_rebuild_soon (any thread); a GPU peer that has not yet rebuilt
  // for the value it reads rebuilds its targets before the next frame.
  std::atomic<uint32_t> targets_generation{0};

  // Seams filled by the other subsystems; null ones are skipped.
  ImageDecoder decode_image = decode_image_object;
  FileReader read_file = game_file_read;
  FileReader read_file_head = game_file_read_head;
  PresentFn present = nullptr;  // where the software peer shows its frames (the window)
  // Where a GPU peer puts the frame in the window's drawable (client pixels, top-left origin);
  // false or null: the whole drawable. Set by the window code; read on the game thread.
  bool (*present_area)(OrvRect* area) = nullptr;
  // One step of a running screen transition, called after the node walk of every frame.
  void (*transition_step)() = nullptr;
  // The screen-transition record (transition/screen_transition.h), made by the system
  // initialisation; null before.
  ScreenTransition* transition = nullptr;
  // Releases the movie record of a movie sprite when the sprite is released (under the
  // render-list lock).
  void (*release_movie)(void* movie) = nullptr;
  // The draw callback of movie sprites' nodes, which are sprites like those of
  // sprite_draw_callback for the hit tests; null until the first movie sprite.
  OrvRenderCallback movie_sprite_draw = nullptr;
  // Draws the full-screen video's frame over the black frame while fullscreen_movie is set
  // (game thread, under the render lock); null: the frame stays black.
  void (*draw_movie)(const Renderer* renderer) = nullptr;
};

// The render state, one member of the library's state record. Any thread; its members say
// which lock guards them.
RenderState& orv_render();
