#include "platform/gl_context.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include "platform/window.h"

namespace platform {

struct GlContext {
  SDL_Window* window = nullptr;
  SDL_GLContext gl = nullptr;
  bool own_window = false;
};

namespace {

GlContext* make_context(SDL_Window* window, bool own_window, std::string* error) {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GLContext gl = SDL_GL_CreateContext(window);
  if (!gl) {
    if (error) *error = SDL_GetError();
    if (own_window) SDL_DestroyWindow(window);
    return nullptr;
  }
  int major = 0, minor = 0, profile = 0;
  SDL_GL_GetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, &major);
  SDL_GL_GetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, &minor);
  SDL_GL_GetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, &profile);
  if (major * 10 + minor < 33 || profile != SDL_GL_CONTEXT_PROFILE_CORE) {
    if (error) *error = "no OpenGL 3.3 core context";
    SDL_GL_DeleteContext(gl);
    if (own_window) SDL_DestroyWindow(window);
    return nullptr;
  }
  return new GlContext{window, gl, own_window};
}

}  // namespace

GlContext* gl_context_create(Window* window, std::string* error) {
  SDL_Window* sdl = static_cast<SDL_Window*>(window_sdl_handle(window));
  if (!sdl || !(SDL_GetWindowFlags(sdl) & SDL_WINDOW_OPENGL)) {
    if (error) *error = "the window was made without OpenGL";
    return nullptr;
  }
  return make_context(sdl, false, error);
}

GlContext* gl_context_create_hidden(int32_t width, int32_t height, std::string* error) {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_Window* sdl = SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width,
                                     height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!sdl) {
    if (error) *error = SDL_GetError();
    return nullptr;
  }
  return make_context(sdl, true, error);
}

void gl_context_destroy(GlContext* context) {
  if (!context) return;
  if (SDL_GL_GetCurrentContext() == context->gl) SDL_GL_MakeCurrent(context->window, nullptr);
  SDL_GL_DeleteContext(context->gl);
  if (context->own_window) SDL_DestroyWindow(context->window);
  delete context;
}

bool gl_context_make_current(GlContext* context, std::string* error) {
  if (!context) return false;
  if (SDL_GL_MakeCurrent(context->window, context->gl) != 0) {
    if (error) *error = SDL_GetError();
    return false;
  }
  return true;
}

void gl_context_release(GlContext* context) {
  if (context && SDL_GL_GetCurrentContext() == context->gl) {
    SDL_GL_MakeCurrent(context->window, nullptr);
  }
}

bool gl_context_current_here(const GlContext* context) {
  return context && SDL_GL_GetCurrentContext() == context->gl;
}

void gl_context_swap(GlContext* context) {
  if (context) SDL_GL_SwapWindow(context->window);
}

bool gl_context_set_swap_interval(GlContext* context, int32_t interval) {
  return context && SDL_GL_SetSwapInterval(interval) == 0;
}

void gl_context_drawable_size(GlContext* context, int32_t* width, int32_t* height) {
  int w = 0, h = 0;
  if (context) SDL_GL_GetDrawableSize(context->window, &w, &h);
  if (width) *width = w;
  if (height) *height = h;
}

std::string gl_context_description() {
  auto get = reinterpret_cast<const GLubyte* (*)(GLenum)>(SDL_GL_GetProcAddress("glGetString"));
  if (!get) return "";
  const GLubyte* version = get(GL_VERSION);
  const GLubyte* renderer = get(GL_RENDERER);
  std::string out = version ? reinterpret_cast<const char*>(version) : "?";
  out += " / ";
  out += renderer ? reinterpret_cast<const char*>(renderer) : "?";
  return out;
}

}  // namespace platform
