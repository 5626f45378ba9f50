// A script machine loaded from assembled source, with the real Orv memory functions, a fake
// clock and the log lines captured.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/dispatch.h"
#include "engine/game_state.h"
#include "engine/interpreter.h"
#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/orv_static_bind.h"
#include "engine/script_files.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "platform/clock.h"
#include "platform/sjis.h"
#include "save/save_stream.h"
#include "subsystems.h"
#include "vmasm/assembler.h"

namespace enginetest {

inline uint32_t g_fake_now = 1000;
inline uint32_t fake_clock() {
  return g_fake_now;
}

class VmTest : public ::testing::Test {
 protected:
  void SetUp() override {
    attach_subsystems();  // as the program does at start-up
    engine::orv_static_bind();
    platform::set_clock_source(fake_clock);
    engine::set_log_sink(&VmTest::capture, this);
    gs_ = std::make_unique<engine::GameState>();
    vm().hReturnStack = engine::orv_list_create();
    vm().seen.hEntryNames = engine::orv_list_create();
  }

  void TearDown() override {
    engine::VmContext& v = vm();
    engine::return_stack_clear(v);
    engine::orv_list_release(v.hReturnStack);
    while (void* e = reinterpret_cast<void*>(engine::orv_list_pop(v.seen.hEntryNames, 0))) {
      orv.OrvMemoryFree(e);
    }
    engine::orv_list_release(v.seen.hEntryNames);
    if (v.seen.lpFileSeen) orv.OrvMemoryFree(v.seen.lpFileSeen);
    if (v.seen.lpTextRead) orv.OrvMemoryFree(v.seen.lpTextRead);
    engine::script_files_free(v);
    engine::save_stream_free(v.save);  // a snapshot made by a command allocates its buffers
    // Last installed first, so that an id installed twice gets its first handler back.
    for (auto it = installed_.rbegin(); it != installed_.rend(); ++it) {
      engine::set_command_handler(it->first, it->second);
    }
    engine::set_log_sink(nullptr, nullptr);
    platform::set_clock_source(nullptr);
    engine::script_profile_clear();
    engine::script_thread_id.store(0);
    engine::pending_async_step.store(nullptr);
    engine::g_advance_latch = engine::AdvanceLatch{0, 0, 1};
  }

  engine::VmContext& vm() { return gs_->vm; }
  engine::GameState& gs() { return *gs_; }

  // Assembles source and loads it; fails the test when either step fails.
  void load(const std::string& source) {
    std::string error;
    ASSERT_TRUE(vmasm::assemble(source, &files_, &error)) << error;
    load_files();
  }
  void load_files() {
    auto span = [](const std::string& s) {
      return engine::ScriptFileBytes::Span{reinterpret_cast<const uint8_t*>(s.data()),
                                           static_cast<uint32_t>(s.size())};
    };
    engine::ScriptFileBytes bytes{span(files_.script), span(files_.file), span(files_.text),
                                  span(files_.mem), span(files_.point)};
    ASSERT_TRUE(engine::script_files_load(vm(), bytes));
    ASSERT_TRUE(engine::seen_flags_fit_tables(vm()));
  }

  // Puts a handler at a command id for this test only.
  void install(uint32_t id, engine::CommandHandler handler) {
    installed_.emplace_back(id, engine::set_command_handler(id, handler));
  }

  uint32_t run() { return engine::script_run(vm()); }
  // Runs one command with these arguments (the first is popped first) and result register 0;
  // returns the handler's status.
  uint32_t command(uint32_t id, std::initializer_list<uint32_t> args = {}) {
    for (auto it = std::rbegin(args); it != std::rend(args); ++it) engine::vm_push(vm(), *it);
    vm().dwResultReg = 0;
    return engine::command_lookup(id)(vm());
  }

  // True when a captured line with that key contains text (Shift-JIS given as UTF-8).
  bool logged(int key, const std::string& utf8) const {
    const std::string sjis = platform::utf8_to_sjis_lossy(utf8);
    for (const auto& [k, line] : logs_) {
      if (k == key && line.find(sjis) != std::string::npos) return true;
    }
    return false;
  }
  size_t log_count(int key) const {
    size_t n = 0;
    for (const auto& entry : logs_) n += entry.first == key;
    return n;
  }

  std::vector<std::pair<int, std::string>> logs_;
  vmasm::ScriptFiles files_;

 private:
  static void capture(int key, const char* line, void* self) {
    static_cast<VmTest*>(self)->logs_.emplace_back(key, line);
  }

  std::unique_ptr<engine::GameState> gs_;
  std::vector<std::pair<uint32_t, engine::CommandHandler>> installed_;
};

}  // namespace enginetest
