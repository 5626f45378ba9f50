// Button groups: a set of sprites that react to the mouse as buttons.
//
// Each frame the caller asks a group for its reaction. The group finds the topmost enabled
// button under the mouse, shows its hover cell and plays a hover sound when the hover is new;
// on a click it shows the pressed cell, plays the click sound and reports the clicked sprite
// once that sound has ended, exactly once. Button sprites are cell grids whose rows base,
// base + 1 and base + 2 hold the normal, hover and pressed pictures (column 0).
//
// The button mode (library-wide, InputState::button_mode, low 8 bits) turns clicks on the push
// into clicks on the release over the pressed button. Input comes from the frame's sample
// (input.h): the left button's push, hold and repeat bits (bit 23) and the mouse position.
//
// Exports (orv/exports.h, "buttons"); handles are table ids of kind kButton, sprites sprite ids,
// sounds sound handles (type 5, the effect group). Null or stale group ids fail as noted.
//
//   OrvHandle OrvButtonCreateEx(hover, click)   a group playing these sounds; the hover sound
//     gets four mixer duplicates (OrvSoundCopy, type 5) so that hovers can overlap. The group
//     owns all six sounds and releases them. 0 when out of memory.
//   OrvHandle OrvButtonCreate(hover_file, click_file)  loads each named file as type 5 first;
//     a null name leaves that sound 0 (silent).
//   OrvBool OrvButtonRelease(group)             frees entries, sounds and group; 0 for null.
//   OrvBool OrvButtonEntry(group, sprite)       adds an enabled entry with flags 1 at the front.
//   OrvBool OrvButtonEntryEx(group, sprite, flags)  the same with kOrvButton* flags. An entry
//     without bits 0 and 1 only hovers (in button mode 0).
//   OrvBool OrvButtonDelete(group, sprite)      unlinks and frees the sprite's entry.
//   OrvBool OrvButtonCtrl(group, sprite, on), int32_t OrvButtonGetCtrl(group, sprite)
//   int32_t OrvButtonGetPos(group, sprite) (-1 absent), OrvBool OrvButtonSetPos(group, sprite,
//     row)  the entry's base cell row; the set also shows it.
//   OrvHandle OrvButtonGetHitSprite(group, x, y)  the topmost entry's sprite under (x, y) by
//     render priority (smaller in front; the later entry on ties), enabled or not: 0 when that
//     entry is disabled, nothing is hit, or x or y is negative. OrvButtonHitTest: 1 when found.
//   OrvHandle OrvButtonGetReaction(group, out)  the frame's reaction at the mouse; returns the
//     decided sprite (0 while nothing is decided); out (may be null) gets all three.
//   OrvHandle OrvButtonGetReactionEx(group, x, y, click, out)  the same at an explicit point,
//     clicking when click is nonzero; entry flags 0, 1 and 3 and the button mode do not apply.
//   int32_t OrvButtonSetReaction(group, sprite)  when nothing is pending, the sprite becomes the
//     pending click; its click sound starts at the next reaction call. Returns 0.
//   int32_t OrvButtonIsProcessing(group)        1 while a click waits for its sound.
//   int32_t OrvButtonReset(group, sprite)       back to idle; a given sprite's entry is
//     disabled (1 when found, else 0).
//   void OrvButtonMode(mode)                    the button mode.
//
// Thread: the game thread (or under the render lock); groups take no locks.
#pragma once

#include <cstdint>

#include "orv/types.h"

struct OrvButtonItem {
  OrvHandle sprite;
  int32_t enabled;
  uint32_t word;  // kept 0
  int32_t base_row;
  uint32_t flags;
  OrvButtonItem* next;
};

struct OrvButtonGroup {
  OrvButtonItem* entries;  // new entries at the front
  OrvHandle decided, hovered, pending;
  OrvHandle prev_decided, prev_hovered, prev_pending;
  OrvHandle pressed;  // button mode: the sprite on which the left button is held
  OrvSoundHandle hover_sounds[5];
  OrvSoundHandle click_sound;
  int32_t forced;  // set by OrvButtonSetReaction until the next reaction call
  OrvHandle id;
};

// The first of the hover sounds that is free to play (0, not loaded or silent); the first one
// when all five play.
OrvSoundHandle button_hover_sound_pick(const OrvButtonGroup& g);
