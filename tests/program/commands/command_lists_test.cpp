// The command lists: what start-up installs is what the assembler names, one entry per id.
#include <set>
#include <string>

#include "commands/data_file.h"
#include "commands/file_commands.h"
#include "commands/ini_profile.h"
#include "commands/library_commands.h"
#include "commands/math_commands.h"
#include "commands/memory_blocks.h"
#include "commands/string_commands.h"
#include "commands/system_commands.h"
#include "engine/thread_commands.h"
#include "engine/wait_commands.h"
#include "support/vm_fixture.h"
#include "vmasm/command_names.h"

namespace enginetest {
namespace {

const engine::CommandList* const kLists[] = {
    &engine::string_commands,    &engine::file_commands,         &engine::ini_commands,
    &engine::data_file_commands, &engine::access_flag_commands,  &engine::system_commands,
    &engine::math_commands,      &engine::memory_block_commands, &engine::wait_commands,
    &engine::thread_commands,    &engine::message_commands,      &engine::debug_commands,
};

class CommandLists : public VmTest {};

TEST_F(CommandLists, EveryEntryIsInstalledAndNamedOnceForTheAssembler) {
  std::set<uint32_t> ids;
  std::set<std::string> names;
  for (const engine::CommandList* list : kLists) {
    for (uint32_t i = 0; i < list->count; ++i) {
      const engine::CommandEntry& e = list->entries[i];
      SCOPED_TRACE(e.name);
      EXPECT_TRUE(ids.insert(e.id).second);
      EXPECT_TRUE(names.insert(e.name).second);
      ASSERT_NE(e.handler, nullptr);
      EXPECT_EQ(engine::command_lookup(e.id), e.handler);
      const vmasm::CommandName* named = vmasm::command_by_name(e.name);
      ASSERT_NE(named, nullptr);
      EXPECT_EQ(named->id, e.id);
      EXPECT_EQ(named->argc, e.argc);
      ASSERT_NE(vmasm::command_by_id(e.id), nullptr);
      EXPECT_STREQ(vmasm::command_by_id(e.id)->name, e.name);
    }
  }
}

uint32_t handler_a(engine::VmContext&) {
  return 1;
}

TEST_F(CommandLists, AnIdWithoutAPlaceIsRefusedAndTheRestInstalled) {
  const engine::CommandEntry entries[] = {
      {0x180000, "past_the_groups", 0, handler_a, ""},
      {0x14FFFF, "past_the_group_end", 0, handler_a, ""},
      {0x140001, "abs", 1, handler_a, ""},
      {0x140002, "named_only", 1, nullptr, ""},
  };
  const engine::CommandHandler abs = engine::command_lookup(0x140001);
  const engine::CommandHandler sin = engine::command_lookup(0x140002);
  install(0x140001, abs);  // restored after the test
  EXPECT_FALSE(engine::command_list_install(engine::command_list(entries)));
  EXPECT_EQ(engine::command_lookup(0x140001), handler_a);
  EXPECT_EQ(engine::command_lookup(0x140002), sin);  // an entry without a handler leaves it
  EXPECT_EQ(engine::command_lookup(0x180000), nullptr);
}

}  // namespace
}  // namespace enginetest
