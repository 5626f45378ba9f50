// Message boxes (MessageBoxA) with the Win32 styles and result codes.
//
// The text of every box also goes to stderr, so that a player or a game's maker sees it where
// no box can be drawn. Where no box can be shown (no display, SDL's dummy or offscreen video
// driver, or SDL fails), the box answers `answer_without_display`; 0 there means the default
// button. Callers whose "yes" would delete or overwrite the player's data pass kIdNo.
//
// Tests inject answers through the environment: VELMORA_MSGBOX_ANSWERS holds result codes
// separated by commas ("6,7"); each box of the process takes the next one and no box is shown.
// When the list is used up, the boxes answer as if no display were there. A list that differs
// from the one last read starts again at its first answer, and so does any list after
// message_box_answers_restart().
//
// State: the count of injected answers used so far is kept per binary (platform/ is linked into
// both): the game program's boxes and the library's each take the list from its start. Tests
// inject answers for one binary's boxes only. Otherwise stateless: the game program shows its
// own boxes (those before OrvInit among them) with it.
#pragma once

#include <cstdint>

namespace platform {

// Styles (the low bits of uType).
constexpr uint32_t kMbOk = 0x0, kMbOkCancel = 0x1, kMbYesNoCancel = 0x3, kMbYesNo = 0x4;
constexpr uint32_t kMbIconHand = 0x10, kMbIconQuestion = 0x20, kMbIconExclamation = 0x30,
                   kMbIconAsterisk = 0x40;
constexpr uint32_t kMbDefButton2 = 0x100, kMbDefButton3 = 0x200;
constexpr uint32_t kMbTopMost = 0x40000;
// Results.
constexpr int kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7;

// Shows a box; text and caption are Shift-JIS. Returns the result code of the button chosen.
int message_box(const char* text, const char* caption, uint32_t style,
                int answer_without_display = 0);

// Makes the next box take the first injected answer again (tests that run twice in a process).
void message_box_answers_restart();

// True when a real window can be shown (a display and a video driver that draws).
bool display_available();

}  // namespace platform
