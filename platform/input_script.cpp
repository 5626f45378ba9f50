#include "platform/input_script.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

bool number(const std::string& s, int base, int64_t* out) {
  if (s.empty()) return false;
  char* end = nullptr;
  const long long v = std::strtoll(s.c_str(), &end, base);
  if (*end != '\0') return false;
  *out = v;
  return true;
}

}  // namespace

bool input_script_parse(const std::string& text, std::vector<InputStep>* steps,
                        std::string* error) {
  steps->clear();
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(';', start);
    if (end == std::string::npos) end = text.size();
    const std::string step = text.substr(start, end - start);
    start = end + 1;
    if (step.empty()) continue;
    const size_t colon = step.find(':'), at = step.find('@');
    const size_t comma = at == std::string::npos ? std::string::npos : step.find(',', at);
    const bool move = at != std::string::npos;
    int64_t frame = 0, keys = 0, x = 0, y = 0;
    const size_t keys_end = move ? at : step.size();
    bool ok = colon != std::string::npos && colon < keys_end &&
              number(step.substr(0, colon), 10, &frame) &&
              number(step.substr(colon + 1, keys_end - colon - 1), 16, &keys) && frame >= 0 &&
              frame <= 0xFFFFFFFFll && keys >= 0 && keys <= 0xFFFFFFFFll &&
              (steps->empty() || frame >= steps->back().frame);
    if (ok && move) {
      ok = comma != std::string::npos && number(step.substr(at + 1, comma - at - 1), 10, &x) &&
           number(step.substr(comma + 1), 10, &y) && x >= -100000 && x <= 100000 && y >= -100000 &&
           y <= 100000;
    }
    if (!ok) {
      *error = "bad step \"" + step + "\" (FRAME:KEYS or FRAME:KEYS@X,Y, frames rising)";
      steps->clear();
      return false;
    }
    steps->push_back({static_cast<uint32_t>(frame), static_cast<uint32_t>(keys), move,
                      static_cast<int32_t>(x), static_cast<int32_t>(y)});
  }
  return true;
}

bool input_script_from_environment(std::vector<InputStep>* steps) {
  const char* text = std::getenv("VELMORA_INPUT_SCRIPT");
  if (!text) return false;
  std::string error;
  if (!input_script_parse(text, steps, &error)) {
    std::fprintf(stderr, "VELMORA_INPUT_SCRIPT: %s\n", error.c_str());
  }
  return true;
}

}  // namespace platform
