// Waits for a dialog that another thread shows and runs: the library's modal widgets in tests.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "Orv/core/widgets/widget_record.h"

namespace testsupport {

// Waits up to five seconds until the shown dialog's control `id` satisfies pred.
inline bool wait_for_control(int32_t id, const std::function<bool(const Control&)>& pred) {
  for (int i = 0; i < 1000; ++i) {
    {
      WidgetState& st = widget_state();
      std::lock_guard<std::mutex> lock(st.mutex);
      for (auto& w : st.widgets) {
        if (!w->shown || w->kind != 1) continue;
        for (const Control& c : w->controls) {
          if (c.id == id && pred(c)) return true;
        }
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

}  // namespace testsupport
