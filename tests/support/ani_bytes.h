// .ani files laid out byte by byte for tests: ops appended in order, then the label table, an
// unread word and the start offset.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace testsupport {

class AniBytes {
 public:
  // Appends an op; returns its offset.
  uint32_t op(uint8_t code, std::initializer_list<int32_t> operands = {}) {
    const uint32_t at = static_cast<uint32_t>(bytes_.size());
    bytes_.push_back(static_cast<char>(code));
    for (int32_t v : operands) word(static_cast<uint32_t>(v), &bytes_);
    return at;
  }
  uint32_t here() const { return static_cast<uint32_t>(bytes_.size()); }
  // The whole file: labels[L] is label L's offset.
  std::string file(uint32_t start, std::vector<uint32_t> labels = {}) const {
    std::string out = bytes_;
    for (auto it = labels.rbegin(); it != labels.rend(); ++it) word(*it, &out);
    word(0xDEADBEEF, &out);
    word(start, &out);
    return out;
  }

 private:
  static void word(uint32_t v, std::string* out) {
    for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>(v >> (8 * i)));
  }
  std::string bytes_;
};

}  // namespace testsupport
