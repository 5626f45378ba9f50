// The commands of group 0x12 that talk to the player through dialogs of their own: free-text
// entry, the name-and-line entry, the message box and the file dialogs; and the posting service
// that this system does not support.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
// A string slot reference is 0x10000000 | slot, slot 0-15.
#pragma once

// clang-format off
#define DIALOG_COMMANDS(X)                                                                                       \
  X(0x120029, "is_tweet", 0, cmd_is_tweet, "not supported: 0")                                                   \
  X(0x12002A, "twitter", 2, cmd_twitter, "not supported")                                                        \
  X(0x12002C, "edit", 4, cmd_edit, "text-entry dialog into a string slot; 1 after OK")                           \
  X(0x12004A, "result_tweet", 0, cmd_result_tweet, "not supported: -1")                                          \
  X(0x12004B, "get_tweet_key", 2, cmd_get_tweet_key, "not supported")                                            \
  X(0x12004C, "set_tweet_key", 2, cmd_set_tweet_key, "not supported")                                            \
  X(0x12004E, "tweet_authorize", 0, cmd_tweet_authorize, "not supported")                                        \
  X(0x120085, "message_box", 3, cmd_message_box, "a message box; result the button that closed it")              \
  X(0x120088, "open_file_dialog", 5, cmd_open_file_dialog, "choose a file to open; nonzero when one was chosen") \
  X(0x120089, "save_file_dialog", 5, cmd_save_file_dialog, "choose a file to save; nonzero when one was chosen") \
  X(0x12008A, "get_file_dialog_path", 1, cmd_get_file_dialog_path, "the last chosen path into a string slot")    \
  X(0x12008B, "stand_edit", 3, cmd_stand_edit, "name-and-line dialog (name width, line width, lines); 1 after OK") \
  X(0x12008C, "stand_edit_get_name", 1, cmd_stand_edit_get_name, "the converted name into a string slot")        \
  X(0x12008D, "stand_edit_get_text", 1, cmd_stand_edit_get_text, "the converted line into a string slot")        \
  X(0x120090, "set_hankaku_width", 1, cmd_set_hankaku_width, "half-width characters count 1 (on) or 2")
// clang-format on
