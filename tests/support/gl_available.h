// Whether this machine gives a 3.3 core context at all, asked once per test binary before the
// library starts (video is started for the question and stopped again).
#pragma once

#include <string>

#include "platform/gl_context.h"
#include "platform/window.h"

namespace testsupport {

inline bool gl_available() {
  static const bool yes = [] {
    std::string error;
    if (!platform::video_init(&error)) return false;
    platform::GlContext* c = platform::gl_context_create_hidden(16, 16, &error);
    platform::gl_context_destroy(c);
    platform::video_quit();
    return c != nullptr;
  }();
  return yes;
}

}  // namespace testsupport
