#include "graphics/actions/action_sections.h"

#include <utility>

#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/layers/image_record.h"

namespace actions {

using engine::kActionLines;
using engine::kActionSections;
using engine::vm_pop;

namespace {

// A random wait in [minimum, maximum); 0 for an empty or negative range.
uint32_t random_wait(int32_t minimum, int32_t maximum) {
  if (minimum > maximum) std::swap(minimum, maximum);
  const int64_t range = int64_t{maximum} - int64_t{minimum};
  if (range <= 0 || minimum < 0) return 0;
  const uint32_t r = static_cast<uint32_t>(orv.OrvRandom());
  return static_cast<uint32_t>(r % static_cast<uint64_t>(range)) + static_cast<uint32_t>(minimum);
}

}  // namespace

uint32_t add_section(engine::VmContext& vm, const SectionCommand& c) {
  const uint32_t line = vm_pop(vm);
  engine::ActionSection section{};
  for (uint32_t i = 0; i < c.values; ++i) section.params[i] = vm_pop(vm);
  int32_t minimum = 0, maximum = 0;
  switch (c.timing) {
    case Timing::kPopped:
      section.dwDuration = vm_pop(vm);
      break;
    case Timing::kCircle:
      section.dwDuration = vm_pop(vm);
      section.params[9] = vm_pop(vm);
      section.params[10] = c.extra;
      break;
    case Timing::kTwoPhase:
      section.dwDuration = section.params[4] + section.params[8];
      break;
    case Timing::kEaseMove:
      section.dwDuration = vm_pop(vm);
      section.params[5] = section.dwDuration;
      break;
    case Timing::kRandom:
      minimum = static_cast<int32_t>(vm_pop(vm));
      maximum = static_cast<int32_t>(vm_pop(vm));
      break;
  }
  if (line >= kActionLines) {
    engine::vm_log(engine::kLogMain, "action line over [%d]", static_cast<int32_t>(line));
    return 0;
  }
  const uint32_t slot = vm.actions.nActive % engine::kActionSlots;
  engine::ActionLine& target = engine::action_lines[slot][line];
  if (target.nSections >= kActionSections) {
    engine::vm_log(engine::kLogMain, "action section over [%d]",
                   static_cast<int32_t>(target.nSections));
    return 0;
  }
  if (c.timing == Timing::kRandom) section.dwDuration = random_wait(minimum, maximum);
  if (c.image)
    section.params[0] = static_cast<uint32_t>(layers::decode_image_no(section.params[0]));
  if (c.easeWindow) {
    section.wEaseStart = static_cast<uint16_t>(engine::action_ease_start);
    section.wEaseEnd = static_cast<uint16_t>(engine::action_ease_end);
  }
  section.dwKind = c.kind;
  engine::action_slots_written |= 1u << slot;
  target.sections[target.nSections++] = section;
  return 1;
}

}  // namespace actions
