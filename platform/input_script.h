// Scripted input for headless runs: the program's input taken from a list of timed steps in
// the environment instead of from the window's events.
//
// VELMORA_INPUT_SCRIPT holds steps separated by ';', each "FRAME:KEYS@X,Y" or "FRAME:KEYS":
// from game frame FRAME on (counted from 0, the first frame the game thread runs), the keys
// held are KEYS (the system's KeyBits word in hexadecimal: 800000 left button, 1000000 right,
// 4 Enter, 80 Up, 100 Down, ...); with "@X,Y" the cursor moves to (X, Y) in virtual-screen
// pixels on that frame, without it the cursor stays where it is. A step holds until the next
// one; steps come in rising frame order. Without the variable the window's events
// drive the input as usual.
//
// State: none; the caller keeps the parsed steps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct InputStep {
  uint32_t frame;
  uint32_t keys;
  bool move;  // the cursor moves to (x, y)
  int32_t x, y;
};

// Parses a step list. False with the reason (naming the bad step) in *error.
bool input_script_parse(const std::string& text, std::vector<InputStep>* steps, std::string* error);
// The steps of VELMORA_INPUT_SCRIPT; false when the variable is not set. A list that does not
// parse is reported on stderr once and taken as empty.
bool input_script_from_environment(std::vector<InputStep>* steps);

}  // namespace platform
