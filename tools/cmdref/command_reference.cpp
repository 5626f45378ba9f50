#include "cmdref/command_reference.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "program/command_lists.h"

namespace cmdref {

namespace {

// The lists expanded without their handlers, as the assembler does; a handler written as
// `nullptr` marks a command that is named but not built.
#define REFERENCE_ENTRY(id, name, argc, handler, description) \
  Command{id, name, argc, description, std::string_view(#handler) != "nullptr"},
#define REFERENCE_FAMILY(list) Family{#list, {list(REFERENCE_ENTRY)}},

std::vector<Family> make_families() {
  return {VELMORA_COMMAND_LISTS(REFERENCE_FAMILY)};
}

#undef REFERENCE_FAMILY
#undef REFERENCE_ENTRY

// The list's macro name without "_COMMANDS", words capitalised: "DATA_FILE" -> "Data file".
std::string title_from_macro(std::string_view list) {
  if (list.size() > 9 && list.substr(list.size() - 9) == "_COMMANDS") {
    list.remove_suffix(9);
  }
  std::string title;
  for (char c : list) {
    if (c == '_') {
      title += ' ';
    } else if (title.empty()) {
      title += c;
    } else {
      title += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
  }
  return title;
}

int count_args(const char* args) {
  if (!args || !*args) return 0;
  int n = 1;
  for (const char* p = args; *p; ++p) n += (*p == ',');
  return n;
}

std::string hex_id(uint32_t id) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(id));
  return text;
}

// A table cell: a pipe would end the cell early and a '<' could open an HTML tag.
std::string cell(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '<') {
      out += "&lt;";
      continue;
    }
    if (c == '|') out += '\\';
    out += c;
  }
  return out;
}

std::string call_of(const Command& c) {
  std::string call = c.name;
  const Signature* s = signature_of(c.name);
  if (s) {
    if (*s->args) call += std::string("(") + s->args + ")";
    return "`" + call + "`";
  }
  if (c.argc < 0) return "`" + call + "(...)` (any number of arguments)";
  if (c.argc == 0) return "`" + call + "`";
  return "`" + call + "(...)` (" + std::to_string(c.argc) +
         (c.argc == 1 ? " argument)" : " arguments)");
}

std::string result_of(const Command& c) {
  const Signature* s = signature_of(c.name);
  if (!s) return "see description";
  return *s->result ? s->result : "none";
}

}  // namespace

const std::vector<Family>& command_families() {
  static const std::vector<Family> families = make_families();
  return families;
}

std::string render_reference(const std::vector<Family>& families) {
  std::string out =
      "# Script commands\n"
      "\n"
      "<!-- Made by tools/cmdref from the command lists; do not edit by hand. Regenerate with\n"
      "     `build/tools/cmdref docs/commands.md` after changing a list. -->\n"
      "\n"
      "Every command a script can call, by family. `call NAME(A, B) -> rR` passes the arguments\n"
      "in the order shown and puts the result in register R (see [script.md](script.md)). A\n"
      "text argument takes a string handle (`0x10000000 | n`) or a `text\"...\"` alike; a\n"
      "*slot* argument must be a string handle, and the command writes into that slot.\n"
      "Numbers are signed 32-bit unless a description says otherwise. A command listed here\n"
      "with an argument count in place of names takes that many values.\n";
  for (const Family& f : families) {
    bool any = false;
    for (const Command& c : f.commands) any = any || c.built;
    if (!any) continue;
    const FamilyText text = family_text(f.list);
    out += "\n## ";
    out += text.title ? std::string(text.title) : title_from_macro(f.list);
    out += "\n\n";
    if (text.paragraph && *text.paragraph) {
      out += text.paragraph;
      out += "\n\n";
    }
    out += "| id | call | result | description |\n";
    out += "|----|------|--------|-------------|\n";
    for (const Command& c : f.commands) {
      if (!c.built) continue;
      out += "| " + hex_id(c.id) + " | " + cell(call_of(c)) + " | " + cell(result_of(c)) + " | " +
             cell(c.description) + " |\n";
    }
  }
  return out;
}

std::vector<std::string> reference_faults(const std::vector<Family>& families) {
  std::vector<std::string> faults;
  for (const Family& f : families) {
    for (const Command& c : f.commands) {
      if (!c.built) continue;
      if (!c.description || !*c.description) {
        faults.push_back(std::string(f.list) + ": " + c.name + " (" + hex_id(c.id) +
                         ") has no description");
      }
      const Signature* s = signature_of(c.name);
      if (s && c.argc >= 0 && count_args(s->args) != c.argc) {
        faults.push_back(std::string("tools/cmdref/signatures.cpp: ") + c.name + " names " +
                         std::to_string(count_args(s->args)) + " arguments, its list says " +
                         std::to_string(c.argc));
      }
    }
  }
  return faults;
}

}  // namespace cmdref
