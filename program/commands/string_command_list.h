// The string commands of group 0x12: copies, joins, cuts, searches and the string list.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define STRING_COMMANDS(X)                                                                        \
  X(0x120003, "str_contains_nocase", 2, cmd_str_contains_nocase,                                  \
    "1 when text contains part, ignoring the case of ASCII letters (slot texts upper-cased)")     \
  X(0x120004, "strcatf", 2, cmd_strcatf,                                                          \
    "appends text to the slot, a slot's text upper-cased as a file name (unless it begins with "  \
    "http)")                                                                                      \
  X(0x120005, "strgetcf", 3, cmd_strgetcf,                                                        \
    "count 0: the byte at position; else the decimal number of the count digits at position (0 "  \
    "unless all are digits)")                                                                     \
  X(0x120006, "string", 1, cmd_string,                                                            \
    "takes the next string slot of the ring, empties it and gives its handle")                    \
  X(0x120007, "strcpyf", 3, cmd_strcpyf,                                                          \
    "copies count bytes of text (-1: all) over the start of the slot, a slot's text upper-cased " \
    "as a file name")                                                                             \
  X(0x120009, "wsprint", 10, cmd_wsprint,                                                         \
    "formats eight values into the slot: %d %x %c numbers, %s text, %f file name, %n CR LF")      \
  X(0x120012, "strreplace", 3, cmd_strreplace,                                                    \
    "overwrites the first occurrence of search in the slot with replacement byte for byte (what " \
    "follows does not move)")                                                                     \
  X(0x120015, "strlenf", 1, cmd_strlenf,                                                          \
    "the length of text, a slot's text taken upper-cased as a file name")                         \
  X(0x120038, "strslim", 1, cmd_strslim, "removes every <...> tag from the slot's text")          \
  X(0x120039, "strcut", 2, cmd_strcut,                                                            \
    "counts the characters of the slot (a double-byte character, a %-code or CR LF is one) and "  \
    "cuts it to count (count >= 1)")                                                              \
  X(0x12003A, "strcpy", 3, cmd_strcpy,                                                            \
    "copies count bytes of text (-1: all of it, with its end) over the start of the slot")        \
  X(0x12003B, "strcat", 2, cmd_strcat, "appends text to the slot's text")                         \
  X(0x12004D, "is_var_string", 1, cmd_is_var_string,                                              \
    "1 when the value is a string handle (0x10000000 | n)")                                       \
  X(0x120050, "get_char", 3, cmd_get_char,                                                        \
    "the byte at position of the slot's text as a signed number (0 at the end); flag is ignored") \
  X(0x12006B, "strlen", 1, cmd_strlen, "the length of text in bytes")                             \
  X(0x12006D, "str_equal_nocase", 2, cmd_str_equal_nocase,                                        \
    "compares two texts ignoring the case of ASCII letters: 0 when equal")                        \
  X(0x120077, "substr", 4, cmd_substr,                                                            \
    "puts count bytes of text from start (-1: to the end) into the slot")                         \
  X(0x120078, "get_str_char", 2, cmd_get_str_char,                                                \
    "the byte at position of text as a signed number (0 past the end, -1 from 2048 on)")          \
  X(0x120080, "string_move", 1, cmd_string_move,                                                  \
    "moves the slot ring by step and empties that slot; 0 gives the current slot untouched")      \
  X(0x120081, "cat_str_char", 2, cmd_cat_str_char, "appends one byte to the slot's text")         \
  X(0x120082, "download_text", 2, cmd_download_text,                                              \
    "downloads are not supported: empties the slot and fails")                                    \
  X(0x120083, "str_indexof", 4, cmd_str_indexof,                                                  \
    "the position of part (up to 27 bytes) within count bytes (-1: to the end) of text from "     \
    "start")                                                                                      \
  X(0x120086, "get_active_string_add_no", 0, cmd_get_active_string_add_no,                        \
    "the number of the slot the next string call takes")                                          \
  X(0x12008E, "strlist_clear", 0, cmd_strlist_clear,                                              \
    "empties the list of texts the name-entry dialog offers")                                     \
  X(0x12008F, "strlist_push", 1, cmd_strlist_push,                                                \
    "adds text (up to 60 bytes) to the list the name-entry dialog offers")
