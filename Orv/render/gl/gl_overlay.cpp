#include "Orv/render/gl/gl_overlay.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "Orv/core/widgets/widgets.h"
#include "Orv/render/gl/gl_device.h"
#include "Orv/render/render_lock.h"
#include "Orv/render/render_state.h"
#include "platform/gl_context.h"
#include "platform/window.h"

namespace gl = platform::gl;

namespace {

using Picture = std::shared_ptr<const std::vector<uint32_t>>;

// A widget picture's texture. The picture it was made from is kept: the widgets make a new
// picture whenever they draw again, so a different pointer means new pixels, and holding the
// old one keeps its address from being reused by a later picture.
struct OverlayTexture {
  platform::GLuint id = 0;
  int32_t width = 0, height = 0;
  Picture picture;
};

// The textures of the widgets shown in the last frame, in the order they were drawn, for the
// peer that made them. Game thread only.
struct OverlayCache {
  const GlRenderer* owner = nullptr;
  std::vector<OverlayTexture> textures;
};

OverlayCache& cache() {
  static OverlayCache c;
  return c;
}

// Deletes the textures from `from` on.
void drop_from(GlRenderer* g, OverlayCache& c, size_t from) {
  for (size_t i = from; i < c.textures.size(); ++i) {
    OverlayTexture& t = c.textures[i];
    if (t.id) g->f.DeleteTextures(1, &t.id);
    g->texture_bytes -= gl_texture_bytes(t.width, t.height);
  }
  c.textures.resize(std::min(from, c.textures.size()));
}

// The texture of overlay `o` (whose picture `picture` holds), uploaded when the picture is new;
// false when the driver cannot take a picture that large.
bool upload(GlRenderer* g, OverlayTexture& t, const platform::Overlay& o, const Picture& picture) {
  if (o.width > g->max_texture || o.height > g->max_texture) return false;
  if (t.id && t.picture == picture) return true;
  const platform::GlFunctions& f = g->f;
  const bool fresh = !t.id;
  if (fresh) {
    f.GenTextures(1, &t.id);
    f.BindTexture(gl::kTexture2D, t.id);
    // Pixel for pixel: the nearest texel, and none from beyond the edge.
    f.TexParameteri(gl::kTexture2D, gl::kTextureMinFilter, gl::kNearest);
    f.TexParameteri(gl::kTexture2D, gl::kTextureMagFilter, gl::kNearest);
    f.TexParameteri(gl::kTexture2D, gl::kTextureWrapS, gl::kClampToEdge);
    f.TexParameteri(gl::kTexture2D, gl::kTextureWrapT, gl::kClampToEdge);
  } else {
    f.BindTexture(gl::kTexture2D, t.id);
  }
  f.PixelStorei(gl::kUnpackRowLength, 0);
  f.PixelStorei(gl::kUnpackAlignment, 4);
  if (!fresh && t.width == o.width && t.height == o.height) {
    f.TexSubImage2D(gl::kTexture2D, 0, 0, 0, o.width, o.height, gl::kBgra, gl::kUnsignedByte,
                    o.pixels);
  } else {
    g->texture_bytes -= gl_texture_bytes(t.width, t.height);
    t.width = o.width;
    t.height = o.height;
    g->texture_bytes += gl_texture_bytes(t.width, t.height);
    f.TexImage2D(gl::kTexture2D, 0, static_cast<platform::GLint>(gl::kRgba), o.width, o.height, 0,
                 gl::kBgra, gl::kUnsignedByte, o.pixels);
  }
  t.picture = picture;
  ++g->stats.uploads;
  return true;
}

}  // namespace

void gl_draw_overlays(GlRenderer* g, int32_t width, int32_t height) {
  OverlayCache& c = cache();
  if (c.owner != g) {
    // Another peer's textures went with its close.
    c.textures.clear();
    c.owner = g;
  }
  std::vector<platform::Overlay> overlays;
  std::vector<Picture> keep;
  widgets_overlays(width, height, &overlays, &keep);
  drop_from(g, c, overlays.size());
  if (overlays.empty()) return;
  c.textures.resize(overlays.size());

  const platform::GlFunctions& f = g->f;
  f.BindFramebuffer(gl::kFramebuffer, 0);
  f.Viewport(0, 0, width, height);
  f.Disable(gl::kScissorTest);
  f.ActiveTexture(gl::kTexture0);
  // Straight alpha over the opaque frame, which stays opaque.
  f.Enable(gl::kBlend);
  f.BlendEquation(gl::kFuncAdd);
  f.BlendFuncSeparate(gl::kSrcAlpha, gl::kOneMinusSrcAlpha, gl::kZero, gl::kOne);
  for (size_t i = 0; i < overlays.size(); ++i) {
    const platform::Overlay& o = overlays[i];
    OverlayTexture& t = c.textures[i];
    if (!o.pixels || o.width <= 0 || o.height <= 0 || !upload(g, t, o, keep[i])) continue;
    f.BindTexture(gl::kTexture2D, t.id);
    const float l = static_cast<float>(o.x), r = static_cast<float>(o.x + o.width);
    const float top = static_cast<float>(o.y), b = static_cast<float>(o.y + o.height);
    const GlQuad q{{l, r, l, r}, {top, top, b, b}, {0, 1, 0, 1}, {0, 0, 1, 1}};
    // The texel as it is (white modulation); texels of alpha 0 are not drawn.
    gl_draw_quad(g, q, width, height, -1.0f, 0xFFFFFFFFu, kGlModeModulate);
  }
  f.Disable(gl::kBlend);
}

void gl_overlays_release(GlRenderer* g) {
  OverlayCache& c = cache();
  if (c.owner == g && g && platform::gl_context_current_here(g->context)) drop_from(g, c, 0);
  c.textures.clear();
  c.owner = nullptr;
}

namespace {

// Whether this thread may show a frame through the GL peer.
bool gl_presents_here() {
  const RenderState& st = orv_render();
  // Only the thread where the context is current reads the peer's record.
  if (!st.gl_context || !platform::gl_context_current_here(st.gl_context)) return false;
  return st.gl && !st.present_failed;
}

}  // namespace

bool gl_show_widgets_now() {
  if (!gl_presents_here()) return false;
  // The game thread that waits here holds the lock already; the try never waits for another.
  if (!render_lock_try_enter()) return false;
  const bool shown = gl_renderer().present(nullptr);
  render_lock_leave();
  return shown;
}

bool gl_show_widgets_over_held_frame() {
  return gl_presents_here() && gl_renderer().present(nullptr);
}
