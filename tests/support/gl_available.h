// Whether this machine gives a 3.3 core context at all, asked once per test binary before the
// library starts (video is started for the question and stopped again).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>

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

// A hidden w x h window with a 3.3 core context, made at the first call for that size and kept
// for the test binary; null where video or such a context cannot be had.
inline platform::GlContext* hidden_gl_context(int32_t w, int32_t h) {
  static std::map<std::pair<int32_t, int32_t>, platform::GlContext*> made;
  const auto key = std::make_pair(w, h);
  const auto found = made.find(key);
  if (found != made.end()) return found->second;
  std::string error;
  platform::GlContext* c =
      platform::video_init(&error) ? platform::gl_context_create_hidden(w, h, &error) : nullptr;
  made[key] = c;
  return c;
}

}  // namespace testsupport
