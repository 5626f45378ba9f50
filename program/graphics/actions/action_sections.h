// Adding sections: the one routine behind every section command.
//
// A section command pops the line, then its values into p0, p1, ... of a new section, then
// (by its timing) the duration; it appends the section to that line of the active slot. A
// line above 59 or a line holding 120 sections is refused with a log line; the arguments are
// taken all the same. Image arguments are decoded into image_table indices (0xFFFFFFFF when
// the number does not decode).
#pragma once

#include <cstdint>

#include "engine/vm_context.h"

namespace actions {

enum class Timing : uint8_t {
  kPopped,    // the duration follows the values
  kCircle,    // the duration, then the easing type into p9; p10 = extra
  kTwoPhase,  // no duration argument: p4 + p8
  kEaseMove,  // the duration follows, and is kept in p5 as well
  kRandom,    // minimum and maximum: a random duration between them
};

struct SectionCommand {
  uint32_t kind;
  uint32_t values;  // values popped after the line (before any duration)
  bool image;       // p0 is an image number to decode
  bool easeWindow;  // the section takes the current ease window
  Timing timing;
  uint32_t extra;  // p10 of the circle kinds
};

// Returns 1, or 0 when the line or the section count refused the section.
uint32_t add_section(engine::VmContext& vm, const SectionCommand& command);

}  // namespace actions
