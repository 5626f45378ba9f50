#include "commands/string_commands.h"

#include <cstring>

#include "commands/command_util.h"
#include "commands/script_format.h"
#include "commands/string_command_list.h"
#include "engine/command_list.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"

namespace engine {

namespace {

std::vector<std::string> g_string_list;

void set_result(VmContext& vm, uint32_t v) {
  vm_set_result(vm, v);
}

char fold(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
std::string folded(std::string s) {
  for (char& c : s) c = fold(c);
  return s;
}

int32_t sign_byte(char c) {
  return static_cast<int8_t>(c);
}

uint32_t cmd_string(VmContext& vm) {
  vm_pop(vm);
  const uint32_t r = vm.strings.nRing % kStringSlots;
  std::memset(vm.strings.slots[r], 0, kVarStringBytes);
  vm.strings.nRing = (r + 1) % kStringSlots;
  set_result(vm, kStringHandleBit | r);
  vm_log(kLogHistory, "string %d", r);
  return 1;
}

uint32_t cmd_string_move(VmContext& vm) {
  const int32_t n = static_cast<int32_t>(vm_pop(vm));
  const int32_t prev = static_cast<int32_t>(vm.strings.nRing % kStringSlots);
  if (n == 0) {
    set_result(vm, kStringHandleBit | static_cast<uint32_t>(prev));
    vm_log(kLogHistory, "string %d : prevno=%d => actno=%d", n, prev, 0);
    return 1;
  }
  int32_t next = static_cast<int32_t>((static_cast<int64_t>(prev) + n) % 16);
  if (next < 0) next += 16;
  vm.strings.nRing = static_cast<uint32_t>(next);
  std::memset(vm.strings.slots[next], 0, kVarStringBytes);
  set_result(vm, kStringHandleBit | static_cast<uint32_t>(next));
  vm_log(kLogHistory, "string %d : prevno=%d => actno=%d", n, prev, next);
  return 1;
}

uint32_t cmd_get_active_string_add_no(VmContext& vm) {
  const uint32_t r = vm.strings.nRing % kStringSlots;
  set_result(vm, r);
  vm_log(kLogHistory, "get_active_string_add_no => %d", r);
  return 1;
}

uint32_t cmd_is_var_string(VmContext& vm) {
  set_result(vm, is_string_handle(vm_pop(vm)) ? 1 : 0);
  return 1;
}

// strcpy and strcpyf: count bytes of the text over the start of dest, no terminator unless
// the count runs past the text (then the text's terminator goes with it).
uint32_t copy_over(VmContext& vm, bool file, const char* name) {
  const uint32_t dest = vm_pop(vm);
  const uint32_t source = vm_pop(vm);
  int32_t count = static_cast<int32_t>(vm_pop(vm));
  if (!is_string_handle(dest)) {
    vm_log(kLogMain, "%s : " CMD_NOT_STRING_TYPE, name);
    return 1;
  }
  const std::string text = file ? fetch_file_name(vm, source) : fetch_text(vm, source);
  char* slot = slot_of(vm, dest);
  if (!slot) {
    AdvGetVarString(vm, dest & ~kStringHandleBit);  // logs the bad slot
    return 1;
  }
  if (count == -1) count = static_cast<int32_t>(text.size());
  if (count <= 0) return 1;
  size_t n = static_cast<size_t>(count);
  bool terminate = false;
  if (n > text.size()) {
    n = text.size();
    terminate = true;
  }
  n = sjis_clamp(text, n < kSlotTextMax ? n : kSlotTextMax);
  std::memcpy(slot, text.data(), n);
  if (terminate) slot[n] = 0;
  slot[kSlotTextMax] = 0;  // the slot stays terminated whatever it held
  return 1;
}
uint32_t cmd_strcpy(VmContext& vm) {
  return copy_over(vm, false, "strcpy");
}
uint32_t cmd_strcpyf(VmContext& vm) {
  return copy_over(vm, true, "strcpyf");
}

uint32_t append(VmContext& vm, bool file, const char* name) {
  const uint32_t dest = vm_pop(vm);
  const uint32_t source = vm_pop(vm);
  if (!is_string_handle(dest)) {
    vm_log(kLogMain, "%s : " CMD_NOT_STRING_TYPE, name);
    return 1;
  }
  const std::string text = file ? fetch_file_name(vm, source) : fetch_text(vm, source);
  char* slot = slot_of(vm, dest);
  if (!slot) {
    AdvGetVarString(vm, dest & ~kStringHandleBit);
    return 1;
  }
  std::string joined(slot_text(slot));
  joined += text;
  slot_store(slot, joined);
  return 1;
}
uint32_t cmd_strcat(VmContext& vm) {
  return append(vm, false, "strcat");
}
uint32_t cmd_strcatf(VmContext& vm) {
  return append(vm, true, "strcatf");
}

uint32_t cmd_cat_str_char(VmContext& vm) {
  const uint32_t dest = vm_pop(vm);
  const uint32_t value = vm_pop(vm);
  if (!is_string_handle(dest)) {
    vm_log(kLogMain, "cat_str_char : " CMD_NOT_STRING_TYPE);
    set_result(vm, static_cast<uint32_t>(-1));
    return 1;
  }
  char* slot = AdvGetVarString(vm, dest & ~kStringHandleBit);
  const size_t len = strnlen(slot, kSlotTextMax);
  // The scratch text of a bad slot has room for nothing.
  if (slot_of(vm, dest) && len < kSlotTextMax) {
    slot[len] = static_cast<char>(value & 0xFF);
    slot[len + 1] = 0;
  }
  set_result(vm, 0);
  return 1;
}

uint32_t cmd_substr(VmContext& vm) {
  const uint32_t dest = vm_pop(vm);
  const uint32_t source = vm_pop(vm);
  const int32_t start = static_cast<int32_t>(vm_pop(vm));
  int32_t count = static_cast<int32_t>(vm_pop(vm));
  if (!is_string_handle(dest)) {
    vm_log(kLogMain, "substr : " CMD_NOT_STRING_TYPE);
    return 1;
  }
  const std::string text = fetch_text(vm, source, 2048);
  char* slot = slot_of(vm, dest);
  if (!slot) {
    AdvGetVarString(vm, dest & ~kStringHandleBit);
    return 1;
  }
  const int32_t len = static_cast<int32_t>(text.size());
  const int32_t from = start < 0 ? 0 : (start > len ? len : start);
  if (count == -1) count = len - from;
  if (count < 0) count = 0;
  if (count > len - from) count = len - from;
  slot_store(slot, std::string_view(text).substr(from, count));
  return 1;
}

uint32_t cmd_download_text(VmContext& vm) {
  const uint32_t source = vm_pop(vm);
  const uint32_t dest = vm_pop(vm);
  fetch_text(vm, source);
  set_result(vm, static_cast<uint32_t>(-1));
  if (!is_string_handle(dest)) {
    vm_log(kLogMain, "download_text dest not str type error");
    return 1;
  }
  if (char* slot = slot_of(vm, dest)) slot[0] = 0;
  return 1;
}

uint32_t cmd_strlen(VmContext& vm) {
  const uint32_t source = vm_pop(vm);
  const std::string text = fetch_text(vm, source);
  set_result(vm, static_cast<uint32_t>(text.size()));
  vm_log(kLogHistory, "[%d]strlen %s", static_cast<int32_t>(text.size()), text.c_str());
  return 1;
}

uint32_t cmd_strlenf(VmContext& vm) {
  const std::string text = fetch_file_name(vm, vm_pop(vm));
  set_result(vm, static_cast<uint32_t>(text.size()));
  vm_log(kLogHistory, "[%d]strlenf %s", static_cast<int32_t>(text.size()), text.c_str());
  return 1;
}

uint32_t cmd_get_char(VmContext& vm) {
  const uint32_t source = vm_pop(vm);
  const int32_t position = static_cast<int32_t>(vm_pop(vm));
  vm_pop(vm);  // flag: the single byte is returned either way
  if (!is_string_handle(source)) {
    vm_log(kLogMain, "get_char : " CMD_NOT_STRING_TYPE);
    return 1;
  }
  const std::string text = fetch_text(vm, source);
  const int32_t len = static_cast<int32_t>(text.size());
  if (position < 0 || position > len) {
    // "文字の位置指定がオーバーしています。"
    vm_log(kLogMain,
           "get_char : \x95\xb6\x8e\x9a\x82\xcc\x88\xca\x92u\x8ew\x92\xe8\x82\xaa\x83I\x81[\x83o"
           "\x81[\x82\xb5\x82\xc4\x82\xa2\x82\xdc\x82\xb7\x81"
           "B[%d/%d]",
           position, len);
    return 1;
  }
  set_result(vm, static_cast<uint32_t>(position == len ? 0 : sign_byte(text[position])));
  return 1;
}

uint32_t cmd_get_str_char(VmContext& vm) {
  const uint32_t source = vm_pop(vm);
  const uint32_t position = vm_pop(vm);
  const std::string text = fetch_text(vm, source, 2048);
  if (position >= 2048) {
    vm_log(kLogMain, "get_str_char : string position error");
    set_result(vm, static_cast<uint32_t>(-1));
    return 0;
  }
  // Past the text the fetch buffer holds zeros.
  set_result(vm, static_cast<uint32_t>(position < text.size() ? sign_byte(text[position]) : 0));
  return 1;
}

uint32_t cmd_strgetcf(VmContext& vm) {
  const std::string text = fetch_file_name(vm, vm_pop(vm));
  const int32_t position = static_cast<int32_t>(vm_pop(vm));
  const int32_t count = static_cast<int32_t>(vm_pop(vm));
  const int64_t len = static_cast<int64_t>(text.size());
  int32_t result = 0;
  bool digits = true;
  if (count == 0) {
    result = (position >= 0 && position < len) ? sign_byte(text[position]) : 0;
  } else if (count > 0 && position >= 0 && static_cast<int64_t>(position) + count <= len) {
    for (int32_t k = 0; k < count; ++k) {
      const char c = text[position + k];
      if (c < '0' || c > '9') {
        digits = false;
        break;
      }
      result = static_cast<int32_t>(static_cast<uint32_t>(result) * 10u +
                                    static_cast<uint32_t>(c - '0'));
    }
    if (!digits) result = 0;
  } else {
    digits = false;  // a window outside the text reads no digits
  }
  set_result(vm, static_cast<uint32_t>(result));
  if (digits || result != 0) {
    vm_log(kLogHistory, "[%d]strgetcf %s, %d, %d", result, text.c_str(), position, count);
  }
  return 1;
}

uint32_t cmd_str_contains_nocase(VmContext& vm) {
  const std::string a = folded(fetch_file_name(vm, vm_pop(vm), 1024));
  const std::string b = folded(fetch_file_name(vm, vm_pop(vm), 1024));
  set_result(vm, a.find(b) != std::string::npos ? 1 : 0);
  return 1;
}

uint32_t cmd_str_equal_nocase(VmContext& vm) {
  const std::string a = folded(fetch_text(vm, vm_pop(vm)));
  const std::string b = folded(fetch_text(vm, vm_pop(vm)));
  set_result(vm, a == b ? 0 : 1);
  return 1;
}

uint32_t cmd_str_indexof(VmContext& vm) {
  const uint32_t haystack_ref = vm_pop(vm);
  const uint32_t needle_ref = vm_pop(vm);
  const int32_t start = static_cast<int32_t>(vm_pop(vm));
  int32_t count = static_cast<int32_t>(vm_pop(vm));
  set_result(vm, static_cast<uint32_t>(-1));
  const std::string needle = fetch_text(vm, needle_ref, 32);
  std::string haystack;
  if (is_string_handle(haystack_ref)) {
    const char* slot = slot_of(vm, haystack_ref);
    if (!slot) {
      vm_log(kLogMain, "error str_indexof(), stringno=%d overflow",
             static_cast<int32_t>(haystack_ref & ~kStringHandleBit));
      return 0;
    }
    haystack = std::string(slot_text(slot));
  } else {
    haystack = fetch_text(vm, haystack_ref);
  }
  const int32_t len = static_cast<int32_t>(haystack.size());
  if (start < 0) {
    vm_log(kLogMain, "error str_indexof(), index < 0");
    return 0;
  }
  if (count == -1) count = len - start;
  if (count < 0) {
    vm_log(kLogMain, "error str_indexof(), length < 0");
    return 0;
  }
  if (static_cast<int64_t>(count) > static_cast<int64_t>(len) - start) {
    vm_log(kLogMain, "error str_indexof(), index over");
    return 0;
  }
  const std::string_view window = std::string_view(haystack).substr(start, count);
  const size_t at = window.find(needle);
  if (at != std::string_view::npos) set_result(vm, static_cast<uint32_t>(start + at));
  return 1;
}

uint32_t cmd_strreplace(VmContext& vm) {
  const uint32_t dest = vm_pop(vm);
  const uint32_t search_ref = vm_pop(vm);
  const uint32_t replacement_ref = vm_pop(vm);
  if (!is_string_handle(dest)) {
    vm_log(kLogMain, "strreplace : " CMD_NOT_STRING_TYPE);
    return 1;
  }
  const std::string search = fetch_file_name(vm, search_ref);
  char* slot = slot_of(vm, dest);
  if (!slot) {
    AdvGetVarString(vm, dest & ~kStringHandleBit);
    return 1;
  }
  std::string text(slot_text(slot));
  const size_t at = text.find(search);
  if (at == std::string::npos) return 1;
  const std::string replacement = fetch_file_name(vm, replacement_ref);
  // The bytes after the occurrence stay where they are; a replacement that runs past the end
  // of the text makes the text longer (and stays within the slot).
  if (at + replacement.size() > text.size()) text.resize(at + replacement.size());
  text.replace(at, replacement.size(), replacement);
  slot_store(slot, text);
  return 1;
}

uint32_t cmd_strslim(VmContext& vm) {
  const uint32_t dest = vm_pop(vm);
  if (!is_string_handle(dest)) {
    vm_log(kLogMain, "strslim : " CMD_NOT_STRING_TYPE);
    set_result(vm, 0);
    return 1;
  }
  const std::string before = fetch_text(vm, dest);
  std::string after;
  for (size_t i = 0; i < before.size(); ++i) {
    if (before[i] == '<') {
      const size_t close = before.find('>', i);
      if (close == std::string::npos) break;
      i = close;
      continue;
    }
    after.push_back(before[i]);
  }
  if (char* slot = slot_of(vm, dest)) slot_store(slot, after);
  set_result(vm, 1);
  vm_log(kLogHistory, "strslim [%s][%s]", before.c_str(), after.c_str());
  return 1;
}

}  // namespace

int32_t strcut_count(std::string* text, int32_t limit) {
  const std::string& s = *text;
  int32_t count = 0;
  size_t i = 0;
  while (i < s.size()) {
    if (limit >= 1 && count == limit) {
      text->resize(i);
      return -1;
    }
    const uint8_t b = static_cast<uint8_t>(s[i]);
    size_t step = 1;
    if (b >= 0x80) {
      step = 2;
    } else if (b == '%') {
      if (i + 1 < s.size() && s[i + 1] == '%') {
        step = 2;
      } else {
        while (step < 7 && i + step < s.size() && s[i + step] >= '0' && s[i + step] <= '9') ++step;
      }
    } else if (b == '\r' && i + 1 < s.size() && s[i + 1] == '\n') {
      step = 2;
    }
    i += step;
    ++count;
  }
  return count;
}

namespace {

uint32_t cmd_strcut(VmContext& vm) {
  const uint32_t dest = vm_pop(vm);
  const int32_t n = static_cast<int32_t>(vm_pop(vm));
  if (!is_string_handle(dest)) {
    vm_log(kLogMain, "strcut : " CMD_NOT_STRING_TYPE);
    set_result(vm, 0);
    return 1;
  }
  std::string text = fetch_text(vm, dest);
  vm_log(kLogHistory, "strcut [%s][%d]", text.c_str(), n);
  std::string counted = text;
  const int32_t count = strcut_count(&counted, 0);
  if (count > n && n >= 1) {
    strcut_count(&text, n);
    if (char* slot = slot_of(vm, dest)) slot_store(slot, text);
  }
  set_result(vm, static_cast<uint32_t>(count));
  return 1;
}

struct WsprintContext {
  VmContext* vm;
};
std::string format_text(uint32_t v, void* c) {
  return fetch_text(*static_cast<WsprintContext*>(c)->vm, v);
}
std::string format_file_name(uint32_t v, void* c) {
  return fetch_file_name(*static_cast<WsprintContext*>(c)->vm, v);
}

uint32_t cmd_wsprint(VmContext& vm) {
  const uint32_t dest = vm_pop(vm);
  const uint32_t format_ref = vm_pop(vm);
  uint32_t values[8];
  for (uint32_t& v : values) v = vm_pop(vm);
  const std::string format = fetch_text(vm, format_ref);
  WsprintContext context{&vm};
  const FormatSource source{values, format_text, format_file_name, &context};
  const std::string out = wsprint_format(format, source, kSlotTextMax);
  if (!is_string_handle(dest)) {
    vm_log(kLogMain, "wsprint : " CMD_NOT_STRING_TYPE);
    return 1;
  }
  if (char* slot = slot_of(vm, dest)) {
    slot_store(slot, out);
  } else {
    AdvGetVarString(vm, dest & ~kStringHandleBit);
  }
  return 1;
}

uint32_t cmd_strlist_clear(VmContext&) {
  g_string_list.clear();
  return 1;
}

uint32_t cmd_strlist_push(VmContext& vm) {
  const std::string text = fetch_text(vm, vm_pop(vm), 64);
  g_string_list.emplace_back(text, 0, sjis_clamp(text, 60));
  return 1;
}

}  // namespace

const std::vector<std::string>& string_list() {
  return g_string_list;
}

namespace {
const CommandEntry kStringCommands[] = {STRING_COMMANDS(COMMAND_ENTRY)};
}  // namespace

const CommandList string_commands = command_list(kStringCommands);

}  // namespace engine
