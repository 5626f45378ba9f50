#include "platform/gl_functions.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <type_traits>

namespace platform {

// Our constants are GL's own.
static_assert(gl::kNoError == GL_NO_ERROR);
static_assert(gl::kVersion == GL_VERSION);
static_assert(gl::kRenderer == GL_RENDERER);
static_assert(gl::kMaxTextureSize == GL_MAX_TEXTURE_SIZE);
static_assert(gl::kTexture2D == GL_TEXTURE_2D);
static_assert(gl::kTexture0 == GL_TEXTURE0);
static_assert(gl::kTextureMinFilter == GL_TEXTURE_MIN_FILTER);
static_assert(gl::kTextureMagFilter == GL_TEXTURE_MAG_FILTER);
static_assert(gl::kTextureWrapS == GL_TEXTURE_WRAP_S);
static_assert(gl::kTextureWrapT == GL_TEXTURE_WRAP_T);
static_assert(gl::kNearest == GL_NEAREST);
static_assert(gl::kLinear == GL_LINEAR);
static_assert(gl::kClampToEdge == GL_CLAMP_TO_EDGE);
static_assert(gl::kRepeat == GL_REPEAT);
static_assert(gl::kRgba8 == GL_RGBA8);
static_assert(gl::kRgba == GL_RGBA);
static_assert(gl::kBgra == GL_BGRA);
static_assert(gl::kUnsignedByte == GL_UNSIGNED_BYTE);
static_assert(gl::kFloat == GL_FLOAT);
static_assert(gl::kUnpackRowLength == GL_UNPACK_ROW_LENGTH);
static_assert(gl::kUnpackAlignment == GL_UNPACK_ALIGNMENT);
static_assert(gl::kPackAlignment == GL_PACK_ALIGNMENT);
static_assert(gl::kFramebuffer == GL_FRAMEBUFFER);
static_assert(gl::kReadFramebuffer == GL_READ_FRAMEBUFFER);
static_assert(gl::kDrawFramebuffer == GL_DRAW_FRAMEBUFFER);
static_assert(gl::kColorAttachment0 == GL_COLOR_ATTACHMENT0);
static_assert(gl::kFramebufferComplete == GL_FRAMEBUFFER_COMPLETE);
static_assert(gl::kColorBufferBit == GL_COLOR_BUFFER_BIT);
static_assert(gl::kBlend == GL_BLEND);
static_assert(gl::kScissorTest == GL_SCISSOR_TEST);
static_assert(gl::kDepthTest == GL_DEPTH_TEST);
static_assert(gl::kCullFace == GL_CULL_FACE);
static_assert(gl::kFuncAdd == GL_FUNC_ADD);
static_assert(gl::kZero == GL_ZERO);
static_assert(gl::kOne == GL_ONE);
static_assert(gl::kSrcColor == GL_SRC_COLOR);
static_assert(gl::kSrcAlpha == GL_SRC_ALPHA);
static_assert(gl::kOneMinusSrcAlpha == GL_ONE_MINUS_SRC_ALPHA);
static_assert(gl::kDstColor == GL_DST_COLOR);
static_assert(gl::kOneMinusDstColor == GL_ONE_MINUS_DST_COLOR);
static_assert(gl::kMin == GL_MIN);
static_assert(gl::kMax == GL_MAX);
static_assert(gl::kFuncReverseSubtract == GL_FUNC_REVERSE_SUBTRACT);
static_assert(gl::kConstantAlpha == GL_CONSTANT_ALPHA);
static_assert(gl::kOneMinusConstantAlpha == GL_ONE_MINUS_CONSTANT_ALPHA);
static_assert(gl::kVertexShader == GL_VERTEX_SHADER);
static_assert(gl::kFragmentShader == GL_FRAGMENT_SHADER);
static_assert(gl::kCompileStatus == GL_COMPILE_STATUS);
static_assert(gl::kLinkStatus == GL_LINK_STATUS);
static_assert(gl::kArrayBuffer == GL_ARRAY_BUFFER);
static_assert(gl::kStreamDraw == GL_STREAM_DRAW);
static_assert(gl::kStaticDraw == GL_STATIC_DRAW);
static_assert(gl::kTriangleStrip == GL_TRIANGLE_STRIP);
static_assert(gl::kTriangles == GL_TRIANGLES);
static_assert(gl::kElementArrayBuffer == GL_ELEMENT_ARRAY_BUFFER);
static_assert(gl::kViewport == GL_VIEWPORT);
static_assert(gl::kDynamicDraw == GL_DYNAMIC_DRAW);
static_assert(gl::kUnsignedInt == GL_UNSIGNED_INT);

bool gl_functions_load(GlFunctions* out, std::string* error) {
  GlFunctions f;
  bool ok = true;
  auto load = [&](auto& slot, const char* name) {
    void* p = SDL_GL_GetProcAddress(name);
    if (!p && ok) {
      ok = false;
      if (error) *error = std::string("no ") + name;
    }
    slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(p);
  };
  load(f.GetString, "glGetString");
  load(f.GetIntegerv, "glGetIntegerv");
  load(f.GetError, "glGetError");
  load(f.Viewport, "glViewport");
  load(f.Scissor, "glScissor");
  load(f.ClearColor, "glClearColor");
  load(f.Clear, "glClear");
  load(f.ColorMask, "glColorMask");
  load(f.Enable, "glEnable");
  load(f.Disable, "glDisable");
  load(f.BlendEquation, "glBlendEquation");
  load(f.BlendFuncSeparate, "glBlendFuncSeparate");
  load(f.BlendColor, "glBlendColor");
  load(f.Finish, "glFinish");
  load(f.GenTextures, "glGenTextures");
  load(f.DeleteTextures, "glDeleteTextures");
  load(f.BindTexture, "glBindTexture");
  load(f.ActiveTexture, "glActiveTexture");
  load(f.TexImage2D, "glTexImage2D");
  load(f.TexSubImage2D, "glTexSubImage2D");
  load(f.TexParameteri, "glTexParameteri");
  load(f.PixelStorei, "glPixelStorei");
  load(f.ReadPixels, "glReadPixels");
  load(f.GenFramebuffers, "glGenFramebuffers");
  load(f.DeleteFramebuffers, "glDeleteFramebuffers");
  load(f.BindFramebuffer, "glBindFramebuffer");
  load(f.FramebufferTexture2D, "glFramebufferTexture2D");
  load(f.CheckFramebufferStatus, "glCheckFramebufferStatus");
  load(f.BlitFramebuffer, "glBlitFramebuffer");
  load(f.CreateShader, "glCreateShader");
  load(f.ShaderSource, "glShaderSource");
  load(f.CompileShader, "glCompileShader");
  load(f.GetShaderiv, "glGetShaderiv");
  load(f.GetShaderInfoLog, "glGetShaderInfoLog");
  load(f.DeleteShader, "glDeleteShader");
  load(f.CreateProgram, "glCreateProgram");
  load(f.AttachShader, "glAttachShader");
  load(f.BindAttribLocation, "glBindAttribLocation");
  load(f.LinkProgram, "glLinkProgram");
  load(f.GetProgramiv, "glGetProgramiv");
  load(f.GetProgramInfoLog, "glGetProgramInfoLog");
  load(f.DeleteProgram, "glDeleteProgram");
  load(f.UseProgram, "glUseProgram");
  load(f.GetUniformLocation, "glGetUniformLocation");
  load(f.Uniform1i, "glUniform1i");
  load(f.Uniform1f, "glUniform1f");
  load(f.Uniform4i, "glUniform4i");
  load(f.Uniform1iv, "glUniform1iv");
  load(f.Uniform2f, "glUniform2f");
  load(f.Uniform3f, "glUniform3f");
  load(f.Uniform4f, "glUniform4f");
  load(f.UniformMatrix4fv, "glUniformMatrix4fv");
  load(f.GenVertexArrays, "glGenVertexArrays");
  load(f.DeleteVertexArrays, "glDeleteVertexArrays");
  load(f.BindVertexArray, "glBindVertexArray");
  load(f.GenBuffers, "glGenBuffers");
  load(f.DeleteBuffers, "glDeleteBuffers");
  load(f.BindBuffer, "glBindBuffer");
  load(f.BufferData, "glBufferData");
  load(f.BufferSubData, "glBufferSubData");
  load(f.VertexAttribPointer, "glVertexAttribPointer");
  load(f.EnableVertexAttribArray, "glEnableVertexAttribArray");
  load(f.DrawArrays, "glDrawArrays");
  load(f.DrawElements, "glDrawElements");
  load(f.Uniform2i, "glUniform2i");
  if (ok) *out = f;
  return ok;
}

}  // namespace platform
