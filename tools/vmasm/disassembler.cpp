#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "platform/sjis.h"
#include "shared/byte_codec.h"
#include "shared/word_scrambler.h"
#include "vmasm/assembler.h"
#include "vmasm/command_names.h"
#include "vmasm/encoding.h"

namespace vmasm {
namespace {

// The word at byte `at`; 0 where the bytes run out.
uint32_t get32(const std::string& s, size_t at) {
  codec::ByteReader r(reinterpret_cast<const uint8_t*>(s.data()), s.size());
  r.seek(at);
  return r.u32();
}

std::string hex(uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%X", v);
  return buf;
}

// A Shift-JIS text as a quoted UTF-8 literal; false when it has no UTF-8 form.
bool quote(std::string_view sjis, std::string* out) {
  std::string utf8;
  if (!platform::sjis_to_utf8(sjis, utf8)) return false;
  *out = "\"";
  for (char c : utf8) {
    if (c == '"' || c == '\\')
      *out += '\\', *out += c;
    else if (c == '\n')
      *out += "\\n";
    else if (c == '\t')
      *out += "\\t";
    else
      *out += c;
  }
  *out += '"';
  return true;
}

// A table's header as the assembler writes it; its unscrambled body.
bool read_table(const std::string& bytes, const char* name, bool* scrambled, uint32_t* count,
                std::string* body, std::string* error) {
  if (bytes.size() < 16) {
    *error = std::string(name) + " is shorter than its 16-byte header";
    return false;
  }
  for (int i = 1; i < 12; ++i) {
    if (bytes[i] != 0) {
      *error = std::string(name) + " has header bytes the assembler does not write";
      return false;
    }
  }
  if (bytes[0] != '$' && bytes[0] != 0) {
    *error = std::string(name) + " has a header byte 0 the assembler does not write";
    return false;
  }
  *scrambled = bytes[0] == '$';
  *count = get32(bytes, 12);
  *body = bytes.substr(16);
  if (*scrambled) unscramble_words(reinterpret_cast<uint8_t*>(body->data()), body->size());
  return true;
}

std::string operand_text(uint32_t w, uint32_t label_count, bool label_context) {
  const uint32_t kind = w >> 28, k = (w >> 16) & 0xFFF, n = w & 0xFFFF;
  const std::string rn = "r" + std::to_string(n);
  switch (kind) {
    case 0:
      if (label_context && w >= 1 && w <= label_count) return "L" + std::to_string(w);
      return std::to_string(w);
    case 1:
      return k ? "=" + hex(w) : "u[" + rn + "]";
    case 2:
      return k ? "=" + hex(w) : "s[" + rn + "]";
    case 3:
      return k ? "=" + hex(w) : "a[" + std::to_string(n) + "]";
    case 4:
      return k ? "=" + hex(w) : rn;
    case 5:
      return k ? "t[" + rn + "+" + std::to_string(k) + "]" : "t[" + rn + "]";
    case 6:
      return k ? "m[" + rn + "+" + std::to_string(k) + "]" : "m[" + rn + "]";
    case 7:
      return k ? "mi[" + rn + "+" + std::to_string(k) + "]" : "mi[" + rn + "]";
    case 8:
      return k ? "=" + hex(w) : "f[" + std::to_string(n) + "]";
    case 9:
      return w == 0x90000000u ? "ebp" : "=" + hex(w);
    default:
      return std::to_string(static_cast<int32_t>(w));
  }
}

}  // namespace

bool disassemble(const ScriptFiles& files, std::string* source, std::string* error) {
  const std::string& code = files.script;
  if (code.size() < 12 || get32(code, 0) != 0x30327653u) {
    *error = "Script.src: no \"Sv20\" header";
    return false;
  }
  if (code.size() % 4 != 0) {
    *error = "Script.src: its size is not a whole number of words";
    return false;
  }
  struct Table {
    const std::string* bytes;
    const char* name;
    const char* key;
    bool scrambled;
    uint32_t count;
    std::string body;
  } tables[4] = {{&files.file, "File.dat", "file", false, 0, {}},
                 {&files.text, "Text.dat", "text", false, 0, {}},
                 {&files.mem, "Mem.dat", "mem", false, 0, {}},
                 {&files.point, "Point.dat", "point", false, 0, {}}};
  for (Table& t : tables) {
    if (!read_table(*t.bytes, t.name, &t.scrambled, &t.count, &t.body, error)) return false;
  }
  std::string out;
  out += ".stamp " + hex(get32(code, 4)) + "\n";
  out += ".entry " + hex(get32(code, 8)) + "\n";
  std::string scramble;
  for (const Table& t : tables) {
    if (t.scrambled) scramble += std::string(" ") + t.key;
  }
  if (!scramble.empty()) out += ".scramble" + scramble + "\n";

  // File.dat: names as the assembler would sort them.
  const std::string& fb = tables[0].body;
  if (fb.size() % 32 || tables[0].count != fb.size() / 32) {
    *error = "File.dat: its count or size does not match whole names";
    return false;
  }
  for (size_t i = 0; i < fb.size(); i += 32) {
    std::string name = fb.substr(i, 32);
    name.resize(strnlen(name.c_str(), 32));
    std::string q;
    if (!quote(name, &q)) {
      *error = "File.dat: a name has no UTF-8 form";
      return false;
    }
    out += ".file " + q + "\n";
  }
  // Text.dat entries in order, each with its id.
  const std::string& tb = tables[1].body;
  uint32_t texts = 0;
  for (size_t i = 0; i < tb.size();) {
    const size_t end = tb.find('\0', i + 4);
    if (i + 4 > tb.size() || end == std::string::npos) {
      *error = "Text.dat: an entry has no terminator";
      return false;
    }
    std::string q;
    if (!quote(std::string_view(tb).substr(i + 4, end - i - 4), &q)) {
      *error = "Text.dat: a text has no UTF-8 form";
      return false;
    }
    out += ".text " + std::to_string(get32(tb, i)) + " " + q + "\n";
    ++texts;
    i = end + 1;
  }
  if (texts != tables[1].count) {
    *error = "Text.dat: its count differs from its entries";
    return false;
  }
  const std::string& mb = tables[2].body;
  if (mb.size() % 4 || tables[2].count != mb.size() / 4) {
    *error = "Mem.dat: its count or size does not match whole cells";
    return false;
  }
  for (size_t i = 0; i < mb.size(); i += 4) out += ".mem " + hex(get32(mb, i)) + "\n";
  const std::string& pb = tables[3].body;
  if (pb.size() % 4 || tables[3].count != pb.size() / 4) {
    *error = "Point.dat: its count or size does not match whole labels";
    return false;
  }
  const uint32_t label_count = static_cast<uint32_t>(pb.size() / 4);
  std::multimap<uint32_t, uint32_t> labels_at;  // offset -> label number
  if (label_count) {
    out += ".labels";
    for (uint32_t k = 1; k <= label_count; ++k) {
      out += " L" + std::to_string(k);
      labels_at.emplace(get32(pb, pb.size() - 4 * k), k);
    }
    out += "\n";
  }

  // Code.
  std::vector<uint32_t> words;
  for (size_t i = 12; i < code.size(); i += 4) words.push_back(get32(code, i));
  std::vector<bool> placed(label_count + 1, false);
  auto place_labels = [&](uint32_t offset) {
    auto range = labels_at.equal_range(offset);
    for (auto it = range.first; it != range.second; ++it) {
      out += "L" + std::to_string(it->second) + ":\n";
      placed[it->second] = true;
    }
  };
  size_t i = 0;
  while (i < words.size()) {
    place_labels(static_cast<uint32_t>(i * 4));
    const uint32_t w = words[i];
    const uint32_t index = w & 0xFFFF;
    const char* name = (w >> 16) == 1 ? core_op_name(index) : nullptr;
    size_t need = 0;
    const OpShape shape = core_op_shape(index);
    switch (shape) {
      case OpShape::kNone:
        need = 0;
        break;
      case OpShape::kOperand:
      case OpShape::kRawRegister:
        need = 1;
        break;
      default:
        need = 2;
        break;
    }
    // An instruction whose words run past the end, or a label inside it, stays raw words.
    bool raw = !name || i + need >= words.size();
    for (size_t j = 1; !raw && j <= need; ++j) {
      if (labels_at.count(static_cast<uint32_t>((i + j) * 4))) raw = true;
    }
    if (!raw && shape == OpShape::kRawRegister && words[i + 1] > 0xFFFF) raw = true;
    if (raw) {
      out += "  .word " + hex(w) + "\n";
      ++i;
      continue;
    }
    std::string line = std::string("  ") + name;
    switch (shape) {
      case OpShape::kNone:
        break;
      case OpShape::kOperand:
        line += " " + operand_text(words[i + 1], label_count, index == 0x09 || index == 0x0B);
        break;
      case OpShape::kTwoOperands:
        line += " " + operand_text(words[i + 1], label_count, false) + ", " +
                operand_text(words[i + 2], label_count, false);
        break;
      case OpShape::kRawRegister:
        line += " r" + std::to_string(words[i + 1]);
        break;
      case OpShape::kLabelAndOperand: {
        const uint32_t l = words[i + 1];
        line += " " + (l >= 1 && l <= label_count ? "L" + std::to_string(l) : hex(l)) + ", " +
                operand_text(words[i + 2], label_count, false);
        break;
      }
      case OpShape::kCall: {
        const CommandName* c = command_by_id(words[i + 1]);
        line += std::string(" ") + (c ? c->name : hex(words[i + 1])) + " -> " + hex(words[i + 2]);
        break;
      }
    }
    out += line + "\n";
    i += 1 + need;
  }
  place_labels(static_cast<uint32_t>(words.size() * 4));
  for (uint32_t k = 1; k <= label_count; ++k) {
    if (!placed[k]) {
      out += ".label L" + std::to_string(k) + " " + hex(get32(pb, pb.size() - 4 * k)) + "\n";
    }
  }
  *source = out;
  return true;
}

}  // namespace vmasm
