// The history window: the backlog's lines laid out on screen, newest at the bottom, scrolled by
// a start index, with a hover box, voice replay on a click, and per line an optional voice
// mark, decoration image, face button and jump button.
//
// The window reads its text area (width, height, char size, ruby size) from the text window
// and draws with the text renderer; while it is open the renderer records no tips words.
// Sprites of the page are made on the active render list; buttons live in script button
// groups (entry l of the group for line l).
//
// Thread: the thread that runs the script, under the render lock.
#pragma once

#include <cstdint>
#include <string>

#include "engine/vm_context.h"

namespace backlog {

// history_begin: measures the backlog (total height, max position), lays out the page from
// start 0 and makes the hover box.
void history_begin(engine::VmContext& vm);
// history_end: releases the page's sprites and buttons and the hover box.
void history_end(engine::VmContext& vm);
// Lays out the page that starts at entry `start` (0 = newest at the bottom), releasing the
// previous page first. A start past the entry count leaves the page empty and the position as
// it was.
void history_layout(engine::VmContext& vm, int32_t start);
// Releases the page's sprites and buttons; the page count becomes 0.
void history_page_release(engine::VmContext& vm);
// history_update: hover colours and box, and a click on a voiced line replays its voice.
void history_update(engine::VmContext& vm);

// The face image of a voice name: "IC" and the two characters after "VO" (any case) when the
// first is a digit, else "IC99"; empty when the name does not begin with "VO".
std::string face_image_name(const char* voice);

// True when the entry's name field marks a line without speaker (0x00 0x81).
bool entry_has_no_speaker(const engine::HistoryEntry& e);

}  // namespace backlog
