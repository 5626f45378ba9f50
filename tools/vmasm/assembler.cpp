#include "vmasm/assembler.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

#include "platform/sjis.h"
#include "shared/byte_codec.h"
#include "shared/word_scrambler.h"
#include "vmasm/command_names.h"
#include "vmasm/encoding.h"

namespace vmasm {
namespace {

struct Error {
  std::string text;
  size_t line = 0;  // 0: the line being read
};

// ---- tokens ----

bool is_name_char(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// Removes a ';' comment outside quotes.
std::string_view strip_comment(std::string_view line) {
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\\' && quoted) {
      ++i;
    } else if (line[i] == '"') {
      quoted = !quoted;
    } else if (line[i] == ';' && !quoted) {
      return line.substr(0, i);
    }
  }
  return line;
}

// Splits at top-level commas (outside quotes, brackets and parentheses).
std::vector<std::string_view> split_commas(std::string_view s) {
  std::vector<std::string_view> parts;
  int depth = 0;
  bool quoted = false;
  size_t start = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (quoted) {
      if (c == '\\')
        ++i;
      else if (c == '"')
        quoted = false;
    } else if (c == '"') {
      quoted = true;
    } else if (c == '[' || c == '(') {
      ++depth;
    } else if (c == ']' || c == ')') {
      --depth;
    } else if (c == ',' && depth == 0) {
      parts.push_back(trim(s.substr(start, i - start)));
      start = i + 1;
    }
  }
  std::string_view last = trim(s.substr(start));
  if (!last.empty() || !parts.empty()) parts.push_back(last);
  return parts;
}

// Splits at blanks outside quotes.
std::vector<std::string_view> split_blanks(std::string_view s) {
  std::vector<std::string_view> parts;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    if (i >= s.size()) break;
    const size_t start = i;
    bool quoted = false;
    while (i < s.size() && (quoted || (s[i] != ' ' && s[i] != '\t'))) {
      if (quoted && s[i] == '\\')
        ++i;
      else if (s[i] == '"')
        quoted = !quoted;
      ++i;
    }
    parts.push_back(s.substr(start, std::min(i, s.size()) - start));
  }
  return parts;
}

std::optional<int64_t> parse_number(std::string_view s) {
  bool negative = false;
  if (!s.empty() && s.front() == '-') {
    negative = true;
    s.remove_prefix(1);
  }
  if (s.empty()) return std::nullopt;
  int base = 10;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  uint64_t v = 0;
  for (char c : s) {
    int d;
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      d = c - 'A' + 10;
    else
      return std::nullopt;
    v = v * base + d;
    if (v > 0xFFFFFFFFull) return std::nullopt;
  }
  return negative ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
}

uint32_t number_word(std::string_view s) {
  auto v = parse_number(s);
  if (!v || *v < INT32_MIN) throw Error{"bad number '" + std::string(s) + "'"};
  return static_cast<uint32_t>(*v);
}

// A quoted UTF-8 literal, converted to Shift-JIS.
std::string parse_string(std::string_view s) {
  if (s.size() < 2 || s.front() != '"' || s.back() != '"') {
    throw Error{"expected a quoted text, got '" + std::string(s) + "'"};
  }
  std::string utf8;
  for (size_t i = 1; i + 1 < s.size(); ++i) {
    char c = s[i];
    if (c == '\\' && i + 2 < s.size()) {
      c = s[++i];
      if (c == 'n')
        c = '\n';
      else if (c == 't')
        c = '\t';
    }
    utf8 += c;
  }
  std::string sjis;
  if (!platform::utf8_to_sjis(utf8, sjis)) throw Error{"text has no Shift-JIS form: " + utf8};
  return sjis;
}

bool is_name(std::string_view s) {
  if (s.empty() || (s[0] >= '0' && s[0] <= '9')) return false;
  return std::all_of(s.begin(), s.end(), is_name_char);
}

// ---- the assembler ----

struct Assembler {
  uint32_t stamp = 0;
  std::optional<uint32_t> entry_offset;
  std::string entry_label;
  bool scramble[4] = {};
  std::vector<uint32_t> code;  // words after the 12-byte header
  std::vector<std::string> file_names;
  std::string text_body;
  uint32_t text_count = 0;
  uint32_t next_text_id = 0;
  std::vector<uint32_t> mem_cells;
  std::map<std::string, uint32_t> label_numbers;
  std::vector<std::string> label_order;  // by number - 1
  std::map<std::string, uint32_t> label_offsets;
  struct FileFixup {
    size_t code_index;
    std::string name;
  };
  std::vector<FileFixup> file_fixups;
  size_t line_no = 0;                             // the source line being read
  std::map<std::string, size_t> label_first_use;  // where an undefined label is reported

  uint32_t label_number(const std::string& name) {
    auto it = label_numbers.find(name);
    if (it != label_numbers.end()) return it->second;
    label_first_use[name] = line_no;
    label_order.push_back(name);
    const uint32_t n = static_cast<uint32_t>(label_order.size());
    label_numbers[name] = n;
    return n;
  }

  void define_label(const std::string& name, uint32_t offset) {
    if (!is_name(name)) throw Error{"bad label name '" + name + "'"};
    label_number(name);
    if (!label_offsets.emplace(name, offset).second) throw Error{"label defined twice: " + name};
  }

  uint32_t here() const { return static_cast<uint32_t>(code.size() * 4); }

  uint32_t add_text(const std::string& sjis, std::optional<uint32_t> id) {
    const uint32_t offset = 16 + static_cast<uint32_t>(text_body.size());
    const uint32_t text_id = id ? *id : next_text_id;
    next_text_id = text_id + 1;
    for (int i = 0; i < 4; ++i) text_body += static_cast<char>(text_id >> (8 * i));
    text_body += sjis;
    text_body += '\0';
    ++text_count;
    return offset;
  }

  std::string file_key(const std::string& sjis) {
    if (sjis.size() > 32) throw Error{"file name longer than 32 bytes"};
    std::string upper = sjis;
    for (size_t i = 0; i < upper.size(); ++i) {
      const uint8_t b = static_cast<uint8_t>(upper[i]);
      if (platform::sjis_is_lead(b))
        ++i;
      else if (b >= 'a' && b <= 'z')
        upper[i] = static_cast<char>(b - 'a' + 'A');
    }
    return upper;
  }

  void add_file(const std::string& sjis) {
    const std::string key = file_key(sjis);
    if (std::find(file_names.begin(), file_names.end(), key) == file_names.end()) {
      file_names.push_back(key);
    }
  }

  static uint32_t immediate(int64_t v, std::string_view text) {
    const uint32_t word = static_cast<uint32_t>(v);
    const uint32_t kind = word >> 28;
    if (v < INT32_MIN || (kind != 0 && kind < 10)) {
      throw Error{"immediate " + std::string(text) + " cannot be written; use a register"};
    }
    return word;
  }

  static uint32_t register_index(std::string_view s) {
    if (s.size() < 2 || s[0] != 'r')
      throw Error{"expected a register, got '" + std::string(s) + "'"};
    auto n = parse_number(s.substr(1));
    if (!n || *n < 0 || *n > 0xFFFF) throw Error{"bad register '" + std::string(s) + "'"};
    return static_cast<uint32_t>(*n);
  }

  // Emits one operand word.
  void operand(std::string_view s) {
    s = trim(s);
    if (s.empty()) throw Error{"missing operand"};
    if (s[0] == '=') {
      code.push_back(number_word(s.substr(1)));
      return;
    }
    if (s[0] == '@') {
      code.push_back(label_number(std::string(s.substr(1))));
      return;
    }
    if (s.rfind("text\"", 0) == 0) {
      const uint32_t offset = add_text(parse_string(s.substr(4)), std::nullopt);
      code.push_back(immediate(offset, s));
      return;
    }
    if (s.rfind("file\"", 0) == 0) {
      const std::string name = file_key(parse_string(s.substr(4)));
      add_file(name);
      file_fixups.push_back({code.size(), name});
      code.push_back(0);
      return;
    }
    if (s == "ebp") {
      code.push_back(0x90000000u);
      return;
    }
    if (auto v = parse_number(s)) {
      code.push_back(immediate(*v, s));
      return;
    }
    const size_t open = s.find('[');
    if (open != std::string_view::npos && s.back() == ']') {
      const std::string_view area = s.substr(0, open);
      std::string_view inside = trim(s.substr(open + 1, s.size() - open - 2));
      uint32_t k = 0;
      const size_t plus = inside.find('+');
      if (plus != std::string_view::npos) {
        auto kv = parse_number(trim(inside.substr(plus + 1)));
        if (!kv || *kv < 0 || *kv > 0xFFF) throw Error{"bad offset in '" + std::string(s) + "'"};
        k = static_cast<uint32_t>(*kv);
        inside = trim(inside.substr(0, plus));
      }
      uint32_t kind;
      uint32_t n;
      if (area == "a" || area == "f") {
        auto nv = parse_number(inside);
        if (!nv || *nv < 0 || *nv > 0xFFFF) throw Error{"bad index in '" + std::string(s) + "'"};
        n = static_cast<uint32_t>(*nv);
        kind = area == "a" ? 3 : 8;
        if (k) throw Error{"no offset allowed in '" + std::string(s) + "'"};
      } else {
        n = register_index(inside);
        if (area == "u")
          kind = 1;
        else if (area == "s")
          kind = 2;
        else if (area == "t")
          kind = 5;
        else if (area == "m")
          kind = 6;
        else if (area == "mi")
          kind = 7;
        else
          throw Error{"unknown memory '" + std::string(area) + "'"};
        if (k && (kind == 1 || kind == 2))
          throw Error{"no offset allowed in '" + std::string(s) + "'"};
      }
      code.push_back(encode_operand(kind, k, n));
      return;
    }
    if (s[0] == 'r' && s.size() > 1 && s[1] >= '0' && s[1] <= '9') {
      code.push_back(encode_operand(4, 0, register_index(s)));
      return;
    }
    throw Error{"bad operand '" + std::string(s) + "'"};
  }

  void expect_count(const std::vector<std::string_view>& ops, size_t n, std::string_view op) {
    if (ops.size() != n) {
      throw Error{std::string(op) + " takes " + std::to_string(n) + " operand(s)"};
    }
  }

  void call(std::string_view rest) {
    // NAME(ARGS) -> rR
    uint32_t result_reg = 0;
    const size_t arrow = rest.find("->");
    if (arrow != std::string_view::npos) {
      std::string_view r = trim(rest.substr(arrow + 2));
      if (auto v = parse_number(r))
        result_reg = static_cast<uint32_t>(*v);
      else
        result_reg = register_index(r);
      rest = trim(rest.substr(0, arrow));
    }
    std::string_view name = rest;
    std::vector<std::string_view> args;
    bool has_args = false;
    const size_t open = rest.find('(');
    if (open != std::string_view::npos) {
      if (rest.back() != ')') throw Error{"missing ')'"};
      name = trim(rest.substr(0, open));
      args = split_commas(rest.substr(open + 1, rest.size() - open - 2));
      has_args = true;
    }
    uint32_t id;
    if (auto v = parse_number(name)) {
      id = static_cast<uint32_t>(*v);
    } else {
      const CommandName* c = command_by_name(name);
      if (!c) throw Error{"unknown command '" + std::string(name) + "'"};
      id = c->id;
      if (has_args && c->argc >= 0 && args.size() != static_cast<size_t>(c->argc)) {
        throw Error{std::string(name) + " takes " + std::to_string(c->argc) + " argument(s)"};
      }
    }
    // The handler pops the last pushed value first: push the arguments from the last.
    for (auto it = args.rbegin(); it != args.rend(); ++it) {
      code.push_back(0x0001001F);
      operand(*it);
    }
    code.push_back(0x00010017);
    code.push_back(id);
    code.push_back(result_reg);
  }

  void instruction(std::string_view mnemonic, std::string_view rest) {
    const std::vector<std::string_view> ops = split_commas(rest);
    const uint32_t index = core_op_index(mnemonic);
    if (mnemonic == "call") {
      call(rest);
      return;
    }
    if (index == 0) throw Error{"unknown instruction '" + std::string(mnemonic) + "'"};
    const OpShape shape = core_op_shape(index);
    code.push_back(0x00010000u | index);
    switch (shape) {
      case OpShape::kNone:
        expect_count(ops, 0, mnemonic);
        break;
      case OpShape::kOperand:
        expect_count(ops, 1, mnemonic);
        if ((index == 0x09 || index == 0x0B) && is_name(ops[0]) && ops[0] != "ebp" &&
            !(ops[0][0] == 'r' && ops[0].size() > 1 && ops[0][1] >= '0' && ops[0][1] <= '9')) {
          code.push_back(label_number(std::string(ops[0])));
        } else {
          operand(ops[0]);
        }
        break;
      case OpShape::kTwoOperands:
        expect_count(ops, 2, mnemonic);
        operand(ops[0]);
        operand(ops[1]);
        break;
      case OpShape::kRawRegister:
        expect_count(ops, 1, mnemonic);
        code.push_back(register_index(ops[0]));
        break;
      case OpShape::kLabelAndOperand:
        expect_count(ops, 2, mnemonic);
        if (auto v = parse_number(ops[0]))
          code.push_back(static_cast<uint32_t>(*v));
        else
          code.push_back(label_number(std::string(ops[0])));
        operand(ops[1]);
        break;
      case OpShape::kCall:
        break;
    }
  }

  void directive(std::string_view name, std::string_view rest) {
    const std::vector<std::string_view> args = split_blanks(rest);
    if (name == ".stamp") {
      if (args.size() != 1) throw Error{".stamp takes one number"};
      stamp = number_word(args[0]);
    } else if (name == ".entry") {
      if (args.size() != 1) throw Error{".entry takes a label or an offset"};
      if (auto v = parse_number(args[0]))
        entry_offset = static_cast<uint32_t>(*v);
      else
        entry_label = std::string(args[0]);
    } else if (name == ".scramble") {
      static const char* kTables[4] = {"file", "text", "mem", "point"};
      for (std::string_view a : args) {
        bool known = false;
        for (int i = 0; i < 4; ++i) {
          if (a == kTables[i] || a == "all") {
            scramble[i] = true;
            known = true;
          }
        }
        if (!known) throw Error{"unknown table '" + std::string(a) + "'"};
      }
    } else if (name == ".file") {
      if (args.size() != 1) throw Error{".file takes one quoted name"};
      add_file(parse_string(args[0]));
    } else if (name == ".text") {
      if (args.size() == 1) {
        add_text(parse_string(args[0]), std::nullopt);
      } else if (args.size() == 2) {
        add_text(parse_string(args[1]), number_word(args[0]));
      } else {
        throw Error{".text takes [id] \"text\""};
      }
    } else if (name == ".mem") {
      for (std::string_view a : args) {
        if (a[0] == '@')
          mem_cells.push_back(label_number(std::string(a.substr(1))));
        else
          mem_cells.push_back(number_word(a));
      }
    } else if (name == ".labels") {
      for (std::string_view a : args) {
        if (!is_name(a)) throw Error{"bad label name '" + std::string(a) + "'"};
        if (label_numbers.count(std::string(a)))
          throw Error{"label numbered twice: " + std::string(a)};
        label_number(std::string(a));
      }
    } else if (name == ".label") {
      if (args.size() != 2) throw Error{".label takes a name and an offset"};
      define_label(std::string(args[0]), number_word(args[1]));
    } else if (name == ".word") {
      for (std::string_view a : args) code.push_back(number_word(a));
    } else {
      throw Error{"unknown directive '" + std::string(name) + "'"};
    }
  }

  void line(std::string_view text) {
    text = trim(strip_comment(text));
    if (text.empty()) return;
    // NAME: defines a label; the rest of the line may hold a statement.
    size_t i = 0;
    while (i < text.size() && is_name_char(text[i])) ++i;
    if (i > 0 && i < text.size() && text[i] == ':') {
      define_label(std::string(text.substr(0, i)), here());
      line(text.substr(i + 1));
      return;
    }
    size_t end = 0;
    while (end < text.size() && text[end] != ' ' && text[end] != '\t') ++end;
    const std::string_view head = text.substr(0, end);
    const std::string_view rest = trim(text.substr(end));
    if (head[0] == '.')
      directive(head, rest);
    else
      instruction(head, rest);
  }

  static std::string table(bool scrambled, uint32_t count, std::string body) {
    std::string out;
    codec::StringByteWriter w(&out);
    w.u8(scrambled ? '$' : 0);
    w.zeros(11);
    w.u32(count);
    if (scrambled) scramble_words(reinterpret_cast<uint8_t*>(body.data()), body.size());
    return out + body;
  }

  void finish(ScriptFiles* out) {
    for (const std::string& name : label_order) {
      if (!label_offsets.count(name)) {
        throw Error{"label never defined: " + name, label_first_use[name]};
      }
    }
    // File.dat: sorted by unsigned bytewise comparison of the zero-padded 32 bytes.
    std::vector<std::string> names = file_names;
    for (std::string& n : names) n.resize(32, '\0');
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
      return std::memcmp(a.data(), b.data(), 32) < 0;
    });
    for (const FileFixup& f : file_fixups) {
      std::string key = f.name;
      key.resize(32, '\0');
      code[f.code_index] =
          static_cast<uint32_t>(std::find(names.begin(), names.end(), key) - names.begin());
    }
    uint32_t entry = 12;
    if (!entry_label.empty()) {
      auto it = label_offsets.find(entry_label);
      if (it == label_offsets.end()) throw Error{"entry label never defined: " + entry_label};
      entry = 12 + it->second;
    } else if (entry_offset) {
      entry = *entry_offset;
    }
    out->script.clear();
    codec::StringByteWriter script(&out->script);
    script.u32(0x30327653u);  // "Sv20"
    script.u32(stamp);
    script.u32(entry);
    script.u32s(code.data(), code.size());

    std::string body;
    for (const std::string& n : names) body += n;
    out->file = table(scramble[0], static_cast<uint32_t>(names.size()), body);
    out->text = table(scramble[1], text_count, text_body);
    body.clear();
    codec::StringByteWriter cells(&body);
    cells.u32s(mem_cells.data(), mem_cells.size());
    out->mem = table(scramble[2], static_cast<uint32_t>(mem_cells.size()), body);
    body.clear();
    // Label k lies 4k bytes before the end: the last label first.
    for (size_t k = label_order.size(); k >= 1; --k) cells.u32(label_offsets[label_order[k - 1]]);
    out->point = table(scramble[3], static_cast<uint32_t>(label_order.size()), body);
  }
};

}  // namespace

bool assemble(std::string_view source, ScriptFiles* out, std::string* error, size_t* error_line) {
  Assembler a;
  try {
    size_t start = 0;
    while (start <= source.size()) {
      size_t end = source.find('\n', start);
      if (end == std::string_view::npos) end = source.size();
      ++a.line_no;
      a.line(source.substr(start, end - start));
      start = end + 1;
    }
    a.line_no = 0;
    a.finish(out);
  } catch (const Error& e) {
    *error = e.text;
    *error_line = e.line ? e.line : a.line_no;
    return false;
  }
  return true;
}

bool assemble(std::string_view source, ScriptFiles* out, std::string* error) {
  size_t line = 0;
  if (assemble(source, out, error, &line)) return true;
  if (line) *error = "line " + std::to_string(line) + ": " + *error;
  return false;
}

}  // namespace vmasm
