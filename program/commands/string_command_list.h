// The string commands of group 0x12: copies, joins, cuts, searches and the string list.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define STRING_COMMANDS(X)                                                     \
  X(0x120003, "str_contains_nocase", 2, cmd_str_contains_nocase, "")           \
  X(0x120004, "strcatf", 2, cmd_strcatf, "")                                   \
  X(0x120005, "strgetcf", 3, cmd_strgetcf, "")                                 \
  X(0x120006, "string", 1, cmd_string, "")                                     \
  X(0x120007, "strcpyf", 3, cmd_strcpyf, "")                                   \
  X(0x120009, "wsprint", 10, cmd_wsprint, "")                                  \
  X(0x120012, "strreplace", 3, cmd_strreplace, "")                             \
  X(0x120015, "strlenf", 1, cmd_strlenf, "")                                   \
  X(0x120038, "strslim", 1, cmd_strslim, "")                                   \
  X(0x120039, "strcut", 2, cmd_strcut, "")                                     \
  X(0x12003A, "strcpy", 3, cmd_strcpy, "")                                     \
  X(0x12003B, "strcat", 2, cmd_strcat, "")                                     \
  X(0x12004D, "is_var_string", 1, cmd_is_var_string, "")                       \
  X(0x120050, "get_char", 3, cmd_get_char, "")                                 \
  X(0x12006B, "strlen", 1, cmd_strlen, "")                                     \
  X(0x12006D, "str_equal_nocase", 2, cmd_str_equal_nocase, "")                 \
  X(0x120077, "substr", 4, cmd_substr, "")                                     \
  X(0x120078, "get_str_char", 2, cmd_get_str_char, "")                         \
  X(0x120080, "string_move", 1, cmd_string_move, "")                           \
  X(0x120081, "cat_str_char", 2, cmd_cat_str_char, "")                         \
  X(0x120082, "download_text", 2, cmd_download_text, "")                       \
  X(0x120083, "str_indexof", 4, cmd_str_indexof, "")                           \
  X(0x120086, "get_active_string_add_no", 0, cmd_get_active_string_add_no, "") \
  X(0x12008E, "strlist_clear", 0, cmd_strlist_clear, "")                       \
  X(0x12008F, "strlist_push", 1, cmd_strlist_push, "")
