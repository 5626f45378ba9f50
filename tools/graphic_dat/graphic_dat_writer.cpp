#include "graphic_dat/graphic_dat_writer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>
#include <sstream>

#include "platform/sjis.h"
#include "shared/word_scrambler.h"

namespace graphicdat {

using layers::GraphicInfo;

bool build(const std::vector<GraphicInfo>& records, bool scramble, std::vector<uint8_t>* out,
           std::string* error) {
  std::set<std::string> seen;
  for (const GraphicInfo& r : records) {
    const std::string key(r.name, sizeof r.name);
    const size_t length = strnlen(r.name, sizeof r.name);
    if (length == 0 || length > 31) {
      *error = "a name must be 1 to 31 bytes long";
      return false;
    }
    if (static_cast<uint8_t>(r.name[0]) == 0xFF) {
      *error = "a name may not begin with byte 255 (the index has no entry for it)";
      return false;
    }
    if (!seen.insert(key).second) {
      *error = "the name " + std::string(r.name, length) + " appears twice";
      return false;
    }
  }
  std::vector<const GraphicInfo*> sorted;
  for (const GraphicInfo& r : records) sorted.push_back(&r);
  std::stable_sort(sorted.begin(), sorted.end(), [](const GraphicInfo* a, const GraphicInfo* b) {
    return static_cast<uint8_t>(a->name[0]) < static_cast<uint8_t>(b->name[0]);
  });

  out->clear();
  codec::ByteWriter w(out);
  w.zeros(layers::kGraphicDatHeaderBytes);
  if (scramble) (*out)[0] = '$';
  size_t at = 0;
  for (size_t b = 0; b < layers::kGraphicDatIndexEntries; ++b) {
    const size_t first = at;
    while (at < sorted.size() && static_cast<uint8_t>(sorted[at]->name[0]) == b) ++at;
    w.u16(static_cast<uint16_t>(at - first));
    w.u16(0);
    w.u32(static_cast<uint32_t>(first * layers::kGraphicInfoBytes));
  }
  for (const GraphicInfo* r : sorted) {
    GraphicInfo copy = *r;
    sync(w, copy);
  }
  if (scramble) {
    scramble_words(out->data() + layers::kGraphicDatHeaderBytes,
                   out->size() - layers::kGraphicDatHeaderBytes);
  }
  return true;
}

namespace {

bool set_name(const std::string& utf8, char (&field)[32], std::string* error) {
  std::string sjis;
  if (!platform::utf8_to_sjis(utf8, sjis)) {
    *error = "the name " + utf8 + " has no Shift-JIS form";
    return false;
  }
  if (sjis.empty() || sjis.size() > 31) {
    *error = "the name " + utf8 + " must be 1 to 31 bytes long in Shift-JIS";
    return false;
  }
  std::memset(field, 0, sizeof field);
  std::memcpy(field, sjis.data(), sjis.size());
  return true;
}

bool number(const std::string& text, int64_t* out) {
  if (text.empty()) return false;
  char* end = nullptr;
  *out = std::strtoll(text.c_str(), &end, 0);
  return *end == '\0' && *out >= INT32_MIN && *out <= UINT32_MAX;
}

bool parse_line(const std::string& line, GraphicInfo* r, std::string* error) {
  std::istringstream words(line);
  std::string word;
  words >> word;
  *r = GraphicInfo{};
  if (!set_name(word, r->name, error)) return false;
  bool flags_given = false;
  uint32_t flags = 0;
  while (words >> word) {
    const size_t eq = word.find('=');
    if (eq == std::string::npos) {
      *error = "expected key=value, found " + word;
      return false;
    }
    const std::string key = word.substr(0, eq), value = word.substr(eq + 1);
    if (key == "load") {
      if (!set_name(value, r->loadName, error)) return false;
      continue;
    }
    if (key == "ani") {
      if (!set_name(value, r->aniName, error)) return false;
      flags |= layers::kGraphicAnimation;
      continue;
    }
    int64_t n = 0;
    if (!number(value, &n)) {
      *error = "not a number: " + word;
      return false;
    }
    const int32_t v = static_cast<int32_t>(n);
    if (key == "step") {
      r->priorityStep = v;
    } else if (key == "mode") {
      r->renderMode = v, flags |= layers::kGraphicRenderMode;
    } else if (key == "x") {
      r->x = v, flags |= 0x20000;
    } else if (key == "y") {
      r->y = v, flags |= 0x20000;
    } else if (key == "scale") {
      r->scalePercent = v, flags |= layers::kGraphicScale;
    } else if (key == "color") {
      r->color = static_cast<uint32_t>(n), flags |= layers::kGraphicColor;
    } else if (key == "cx") {
      r->centerX = v, flags |= 0x8000;
    } else if (key == "cy") {
      r->centerY = v, flags |= 0x8000;
    } else if (key == "flags") {
      r->flags = static_cast<uint32_t>(n), flags_given = true;
    } else {
      *error = "unknown key " + key;
      return false;
    }
  }
  if (!flags_given) r->flags = flags;
  // The game loads a found record's load name whatever its flags: without load= the picture
  // keeps its own name (an empty one would load nothing).
  if (!r->loadName[0]) std::memcpy(r->loadName, r->name, sizeof r->loadName);
  return true;
}

}  // namespace

bool parse_list(const std::string& text, std::vector<GraphicInfo>* records, std::string* error) {
  std::istringstream lines(text);
  std::string line;
  for (size_t line_no = 1; std::getline(lines, line); ++line_no) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == ';') continue;
    GraphicInfo r;
    if (!parse_line(line.substr(start), &r, error)) {
      *error = "line " + std::to_string(line_no) + ": " + *error;
      return false;
    }
    records->push_back(r);
  }
  return true;
}

}  // namespace graphicdat
