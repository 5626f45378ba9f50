// The texture cache: one texture per image slot, made again from the slot's pixels when its
// revision moved on (a new picture in the slot, or pixels written since). A texture has the
// slot's storage size: the image's own, or powers of two after OrvSetPow. The internal format
// is the unsized RGBA (8 bits a channel) so that the driver may keep the texels in the BGRA
// order they arrive in: uploads and read-backs are then plain copies.
#include "Orv/render/gl/gl_device.h"
#include "Orv/render/image_store.h"

namespace gl = platform::gl;

const GlTexture* gl_texture_for(GlRenderer* g, const ImageObject* image) {
  int32_t pitch = 0, rows = 0;
  const uint32_t* pixels = image_pixels(image, &pitch, &rows);
  if (!pixels) return nullptr;
  if (pitch > g->max_texture || rows > g->max_texture) return nullptr;
  const platform::GlFunctions& f = g->f;
  GlTexture& t = g->textures[image->slot];
  uint32_t revision = image_revision(image);
  if (t.id && t.buffer == pixels && t.revision == revision && t.width == pitch &&
      t.height == rows) {
    return &t;
  }
  bool same_size = t.id && t.width == pitch && t.height == rows;
  bool fresh = !t.id;
  if (fresh) f.GenTextures(1, &t.id);
  f.BindTexture(gl::kTexture2D, t.id);
  if (fresh) {
    // Without mipmaps a texture is complete only with a filter that needs none.
    f.TexParameteri(gl::kTexture2D, gl::kTextureMinFilter, gl::kNearest);
    f.TexParameteri(gl::kTexture2D, gl::kTextureMagFilter, gl::kNearest);
  }
  f.PixelStorei(gl::kUnpackRowLength, pitch);
  f.PixelStorei(gl::kUnpackAlignment, 4);
  if (same_size) {
    f.TexSubImage2D(gl::kTexture2D, 0, 0, 0, pitch, rows, gl::kBgra, gl::kUnsignedByte, pixels);
  } else {
    g->texture_bytes -=
        uint64_t{4} * static_cast<uint64_t>(t.width) * static_cast<uint64_t>(t.height);
    g->texture_bytes += uint64_t{4} * static_cast<uint64_t>(pitch) * static_cast<uint64_t>(rows);
    f.TexImage2D(gl::kTexture2D, 0, static_cast<platform::GLint>(gl::kRgba), pitch, rows, 0,
                 gl::kBgra, gl::kUnsignedByte, pixels);
  }
  f.PixelStorei(gl::kUnpackRowLength, 0);
  t.width = pitch;
  t.height = rows;
  t.buffer = pixels;
  t.revision = revision;
  ++g->stats.uploads;
  return &t;
}

void gl_textures_clear(GlRenderer* g) {
  for (auto& [slot, t] : g->textures) {
    if (t.id) g->f.DeleteTextures(1, &t.id);
    g->texture_bytes -=
        uint64_t{4} * static_cast<uint64_t>(t.width) * static_cast<uint64_t>(t.height);
  }
  g->textures.clear();
}

void gl_textures_purge(GlRenderer* g) {
  for (auto it = g->textures.begin(); it != g->textures.end();) {
    if (it->first->refcount == 0) {
      GlTexture& t = it->second;
      if (t.id) g->f.DeleteTextures(1, &t.id);
      g->texture_bytes -=
          uint64_t{4} * static_cast<uint64_t>(t.width) * static_cast<uint64_t>(t.height);
      it = g->textures.erase(it);
    } else {
      ++it;
    }
  }
}
