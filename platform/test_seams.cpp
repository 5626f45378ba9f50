#include "platform/test_seams.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/image_codec.h"

namespace platform {
namespace {

std::atomic<uint32_t> g_fixed_now{0};
std::atomic<uint32_t> g_fixed_step{0};

uint32_t fixed_step_now() {
  return g_fixed_now.load(std::memory_order_acquire);
}

struct FrameDump {
  std::mutex mutex;
  std::string folder;  // empty: off
  bool all = true;     // no list of times: every frame
  std::vector<uint32_t> times;
  bool failed = false;  // a write failed and was reported
};

FrameDump& frame_dump() {
  static FrameDump dump;
  return dump;
}

// A decimal number of the whole text, at most max; false otherwise.
bool parse_number(const std::string& text, uint32_t max, uint32_t* out) {
  if (text.empty() || text.size() > 10) return false;
  uint64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  if (v > max) return false;
  *out = static_cast<uint32_t>(v);
  return true;
}

}  // namespace

bool fixed_step_clock_install() {
  const char* text = std::getenv("VELMORA_FIXED_STEP_MS");
  uint32_t step = 0;
  if (!text || !parse_number(text, 1000, &step) || step == 0) return false;
  g_fixed_step.store(step, std::memory_order_release);
  g_fixed_now.store(0, std::memory_order_release);
  set_clock_source(fixed_step_now);
  return true;
}

void fixed_step_clock_step() {
  const uint32_t step = g_fixed_step.load(std::memory_order_acquire);
  if (step) g_fixed_now.fetch_add(step, std::memory_order_acq_rel);
}

void frame_dump_configure() {
  FrameDump& d = frame_dump();
  std::lock_guard<std::mutex> lock(d.mutex);
  const char* folder = std::getenv("VELMORA_FRAME_DUMP");
  d.folder = folder ? folder : "";
  d.times.clear();
  d.failed = false;
  const char* at = std::getenv("VELMORA_FRAME_DUMP_AT");
  d.all = !at || !*at;
  if (d.all) return;
  std::string list(at);
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(',', start);
    if (end == std::string::npos) end = list.size();
    uint32_t t = 0;
    if (parse_number(list.substr(start, end - start), 0xFFFFFFFFu, &t)) d.times.push_back(t);
    start = end + 1;
  }
}

bool frame_dump_wanted(uint32_t frame_time) {
  FrameDump& d = frame_dump();
  std::lock_guard<std::mutex> lock(d.mutex);
  if (d.folder.empty()) return false;
  if (d.all) return true;
  for (uint32_t t : d.times) {
    if (t == frame_time) return true;
  }
  return false;
}

void frame_dump_offer(uint32_t frame_time, const uint32_t* pixels, int32_t width, int32_t height) {
  FrameDump& d = frame_dump();
  std::lock_guard<std::mutex> lock(d.mutex);
  if (d.folder.empty() || !pixels || width <= 0 || height <= 0) return;
  if (!d.all) {
    bool listed = false;
    for (uint32_t t : d.times) listed = listed || t == frame_time;
    if (!listed) return;
  }
  std::vector<uint8_t> png;
  const std::string path = d.folder + "/frame-" + std::to_string(frame_time) + ".png";
  bool written = false;
  if (png_encode(pixels, width, height, false, &png)) {
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
      written = std::fwrite(png.data(), 1, png.size(), f) == png.size();
      written = std::fclose(f) == 0 && written;
    }
  }
  if (!written && !d.failed) {
    d.failed = true;
    std::fprintf(stderr, "frame dump: %s could not be written\n", path.c_str());
  }
}

}  // namespace platform
