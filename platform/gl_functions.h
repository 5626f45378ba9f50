// The OpenGL 3.3 core entry points the GL renderer calls, loaded from the current context.
//
// Code above platform/ never includes GL headers: it calls GL through this table of typed
// function pointers and the constants below (the same values as GL's own; gl_functions.cpp
// checks each against the GL header when it is compiled). The pointers are those of the
// context current when gl_functions_load ran; call them only on a thread where that context
// is current.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

using GLenum = uint32_t;
using GLuint = uint32_t;
using GLint = int32_t;
using GLsizei = int32_t;
using GLbitfield = uint32_t;
using GLboolean = uint8_t;
using GLfloat = float;
using GLchar = char;
using GLsizeiptr = ptrdiff_t;
using GLintptr = ptrdiff_t;

namespace gl {
constexpr GLenum kNoError = 0;
constexpr GLenum kVersion = 0x1F02;
constexpr GLenum kRenderer = 0x1F01;
constexpr GLenum kMaxTextureSize = 0x0D33;
constexpr GLenum kTexture2D = 0x0DE1;
constexpr GLenum kTexture0 = 0x84C0;
constexpr GLenum kTextureMinFilter = 0x2801;
constexpr GLenum kTextureMagFilter = 0x2800;
constexpr GLenum kTextureWrapS = 0x2802;
constexpr GLenum kTextureWrapT = 0x2803;
constexpr GLenum kNearest = 0x2600;
constexpr GLenum kLinear = 0x2601;
constexpr GLenum kClampToEdge = 0x812F;
constexpr GLenum kRepeat = 0x2901;
constexpr GLenum kRgba8 = 0x8058;
constexpr GLenum kRgba = 0x1908;
constexpr GLenum kBgra = 0x80E1;
constexpr GLenum kUnsignedByte = 0x1401;
constexpr GLenum kFloat = 0x1406;
constexpr GLenum kUnpackRowLength = 0x0CF2;
constexpr GLenum kUnpackAlignment = 0x0CF5;
constexpr GLenum kPackAlignment = 0x0D05;
constexpr GLenum kFramebuffer = 0x8D40;
constexpr GLenum kReadFramebuffer = 0x8CA8;
constexpr GLenum kDrawFramebuffer = 0x8CA9;
constexpr GLenum kColorAttachment0 = 0x8CE0;
constexpr GLenum kFramebufferComplete = 0x8CD5;
constexpr GLbitfield kColorBufferBit = 0x00004000;
constexpr GLenum kBlend = 0x0BE2;
constexpr GLenum kScissorTest = 0x0C11;
constexpr GLenum kDepthTest = 0x0B71;
constexpr GLenum kCullFace = 0x0B44;
constexpr GLenum kFuncAdd = 0x8006;
constexpr GLenum kZero = 0;
constexpr GLenum kOne = 1;
constexpr GLenum kSrcColor = 0x0300;
constexpr GLenum kSrcAlpha = 0x0302;
constexpr GLenum kOneMinusSrcAlpha = 0x0303;
constexpr GLenum kDstColor = 0x0306;
constexpr GLenum kOneMinusDstColor = 0x0307;
constexpr GLenum kMin = 0x8007;
constexpr GLenum kMax = 0x8008;
constexpr GLenum kFuncReverseSubtract = 0x800B;
constexpr GLenum kConstantAlpha = 0x8003;
constexpr GLenum kOneMinusConstantAlpha = 0x8004;
constexpr GLenum kVertexShader = 0x8B31;
constexpr GLenum kFragmentShader = 0x8B30;
constexpr GLenum kCompileStatus = 0x8B81;
constexpr GLenum kLinkStatus = 0x8B82;
constexpr GLenum kArrayBuffer = 0x8892;
constexpr GLenum kStreamDraw = 0x88E0;
constexpr GLenum kStaticDraw = 0x88E4;
constexpr GLenum kTriangleStrip = 0x0005;
constexpr GLenum kTriangles = 0x0004;
constexpr GLenum kElementArrayBuffer = 0x8893;
constexpr GLenum kViewport = 0x0BA2;
constexpr GLenum kDynamicDraw = 0x88E8;
constexpr GLenum kUnsignedInt = 0x1405;
}  // namespace gl

struct GlFunctions {
  const uint8_t* (*GetString)(GLenum name) = nullptr;
  void (*GetIntegerv)(GLenum name, GLint* data) = nullptr;
  GLenum (*GetError)() = nullptr;
  void (*Viewport)(GLint x, GLint y, GLsizei w, GLsizei h) = nullptr;
  void (*Scissor)(GLint x, GLint y, GLsizei w, GLsizei h) = nullptr;
  void (*ClearColor)(GLfloat r, GLfloat g, GLfloat b, GLfloat a) = nullptr;
  void (*Clear)(GLbitfield mask) = nullptr;
  void (*ColorMask)(GLboolean r, GLboolean g, GLboolean b, GLboolean a) = nullptr;
  void (*Enable)(GLenum cap) = nullptr;
  void (*Disable)(GLenum cap) = nullptr;
  void (*BlendEquation)(GLenum mode) = nullptr;
  void (*BlendFuncSeparate)(GLenum src_rgb, GLenum dst_rgb, GLenum src_a, GLenum dst_a) = nullptr;
  void (*BlendColor)(GLfloat r, GLfloat g, GLfloat b, GLfloat a) = nullptr;
  void (*Finish)() = nullptr;

  void (*GenTextures)(GLsizei n, GLuint* textures) = nullptr;
  void (*DeleteTextures)(GLsizei n, const GLuint* textures) = nullptr;
  void (*BindTexture)(GLenum target, GLuint texture) = nullptr;
  void (*ActiveTexture)(GLenum unit) = nullptr;
  void (*TexImage2D)(GLenum target, GLint level, GLint internal_format, GLsizei w, GLsizei h,
                     GLint border, GLenum format, GLenum type, const void* pixels) = nullptr;
  void (*TexSubImage2D)(GLenum target, GLint level, GLint x, GLint y, GLsizei w, GLsizei h,
                        GLenum format, GLenum type, const void* pixels) = nullptr;
  void (*TexParameteri)(GLenum target, GLenum name, GLint value) = nullptr;
  void (*PixelStorei)(GLenum name, GLint value) = nullptr;
  void (*ReadPixels)(GLint x, GLint y, GLsizei w, GLsizei h, GLenum format, GLenum type,
                     void* pixels) = nullptr;

  void (*GenFramebuffers)(GLsizei n, GLuint* ids) = nullptr;
  void (*DeleteFramebuffers)(GLsizei n, const GLuint* ids) = nullptr;
  void (*BindFramebuffer)(GLenum target, GLuint id) = nullptr;
  void (*FramebufferTexture2D)(GLenum target, GLenum attachment, GLenum tex_target, GLuint texture,
                               GLint level) = nullptr;
  GLenum (*CheckFramebufferStatus)(GLenum target) = nullptr;
  void (*BlitFramebuffer)(GLint sx0, GLint sy0, GLint sx1, GLint sy1, GLint dx0, GLint dy0,
                          GLint dx1, GLint dy1, GLbitfield mask, GLenum filter) = nullptr;

  GLuint (*CreateShader)(GLenum type) = nullptr;
  void (*ShaderSource)(GLuint shader, GLsizei count, const GLchar* const* text,
                       const GLint* lengths) = nullptr;
  void (*CompileShader)(GLuint shader) = nullptr;
  void (*GetShaderiv)(GLuint shader, GLenum name, GLint* value) = nullptr;
  void (*GetShaderInfoLog)(GLuint shader, GLsizei size, GLsizei* length, GLchar* log) = nullptr;
  void (*DeleteShader)(GLuint shader) = nullptr;
  GLuint (*CreateProgram)() = nullptr;
  void (*AttachShader)(GLuint program, GLuint shader) = nullptr;
  void (*BindAttribLocation)(GLuint program, GLuint index, const GLchar* name) = nullptr;
  void (*LinkProgram)(GLuint program) = nullptr;
  void (*GetProgramiv)(GLuint program, GLenum name, GLint* value) = nullptr;
  void (*GetProgramInfoLog)(GLuint program, GLsizei size, GLsizei* length, GLchar* log) = nullptr;
  void (*DeleteProgram)(GLuint program) = nullptr;
  void (*UseProgram)(GLuint program) = nullptr;
  GLint (*GetUniformLocation)(GLuint program, const GLchar* name) = nullptr;
  void (*Uniform1i)(GLint location, GLint v) = nullptr;
  void (*Uniform1f)(GLint location, GLfloat v) = nullptr;
  void (*Uniform4i)(GLint location, GLint a, GLint b, GLint c, GLint d) = nullptr;
  void (*Uniform1iv)(GLint location, GLsizei count, const GLint* values) = nullptr;
  void (*Uniform2f)(GLint location, GLfloat a, GLfloat b) = nullptr;
  void (*Uniform3f)(GLint location, GLfloat a, GLfloat b, GLfloat c) = nullptr;
  void (*Uniform4f)(GLint location, GLfloat a, GLfloat b, GLfloat c, GLfloat d) = nullptr;
  void (*UniformMatrix4fv)(GLint location, GLsizei count, GLboolean transpose,
                           const GLfloat* values) = nullptr;

  void (*GenVertexArrays)(GLsizei n, GLuint* ids) = nullptr;
  void (*DeleteVertexArrays)(GLsizei n, const GLuint* ids) = nullptr;
  void (*BindVertexArray)(GLuint id) = nullptr;
  void (*GenBuffers)(GLsizei n, GLuint* ids) = nullptr;
  void (*DeleteBuffers)(GLsizei n, const GLuint* ids) = nullptr;
  void (*BindBuffer)(GLenum target, GLuint id) = nullptr;
  void (*BufferData)(GLenum target, GLsizeiptr size, const void* data, GLenum usage) = nullptr;
  void (*BufferSubData)(GLenum target, GLintptr offset, GLsizeiptr size,
                        const void* data) = nullptr;
  void (*VertexAttribPointer)(GLuint index, GLint size, GLenum type, GLboolean normalized,
                              GLsizei stride, const void* offset) = nullptr;
  void (*EnableVertexAttribArray)(GLuint index) = nullptr;
  void (*DrawArrays)(GLenum mode, GLint first, GLsizei count) = nullptr;
  void (*DrawElements)(GLenum mode, GLsizei count, GLenum type, const void* offset) = nullptr;
  void (*Uniform2i)(GLint location, GLint a, GLint b) = nullptr;
};

// Fills *out from the context current on the calling thread. False, naming the first entry
// point the driver lacks in *error, when one is missing (*out is then unusable).
bool gl_functions_load(GlFunctions* out, std::string* error);

}  // namespace platform
