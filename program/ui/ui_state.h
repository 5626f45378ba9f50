// The records of buttons, system buttons and the choice menu inside the script machine's
// VmContext: the button system with its 16 groups, the 32 system-button hooks and the menu.
//
// All of them live in the zero-filled game state, so every field is valid when zero; the
// button code sets the style numbers of a group to -1 when it creates the group.
#pragma once

#include <cstdint>

#include "orv/types.h"

namespace layers {
struct ImageRecord;
}

namespace engine {

constexpr uint32_t kButtonGroups = 16;
constexpr uint32_t kButtonsPerGroup = 128;
constexpr uint32_t kSystemButtons = 32;
constexpr uint32_t kSelectSlots = 16;
constexpr uint32_t kSelectTextBytes = 260;

// One script button. Labels are code offsets (from the label table), 0 none.
struct ButtonEntry {
  layers::ImageRecord* lpImage;  // null: no button here
  uint32_t dwClickLabel;
  uint32_t dwHoverLabel;
  uint32_t dwLeaveLabel;
  uint32_t dwReserved;
  uint32_t dwLink;   // btn_link
  uint32_t dwTips;   // btn_set_tips
  uint32_t dwFlags;  // bit 0: disabled (btn_enable)
};
constexpr uint32_t kButtonDisabled = 1;

// Style fields of a group, in their order: skip (1), auto (3), style 2, name (4), record (8
// and 9), second voice (10).
enum ButtonStyleField : uint32_t {
  kStyleSkip,
  kStyleAuto,
  kStyleTwo,
  kStyleName,
  kStyleRecord,
  kStyleVoice2,
  kStyleFields
};

struct ButtonGroup {
  uint32_t bInit;
  uint32_t bSlideEnded;  // btn_slide_begin / btn_slide_end
  uint32_t bLocked;
  uint32_t dwLockLength;  // ms; 0xFFFFFFFF until btn_unlock
  uint32_t dwLockStart;
  int32_t nLastPush, nLastOn, nLastOff;  // last clicked, hovered and left numbers
  OrvHandle hGroup;                      // the platform button group
  ButtonEntry* lpHovered;                // the entry now hovered, null none
  uint32_t dwHoverSound, dwClickSound;   // file references, 0 none
  ButtonEntry entries[kButtonsPerGroup];
  layers::ImageRecord* lpHoverImage;
  OrvSpriteInfo hoverInfo;  // the hovered sprite's info when the hover began
  int32_t nStyle[kStyleFields];
  uint32_t dwToggle;
};

// The hooks of the keys, the wheel and the mouse buttons.
struct SystemButton {
  uint32_t bInit;  // the hook has a label
  uint32_t bEnable;
  uint32_t dwHoldMask;  // 0xFFFFFFFF: also fires on held repeat keys
  uint32_t dwLabel;     // code offset, 0 none
};

struct ButtonSystem {
  uint32_t bKeyRelease;  // decide keys act on release (btn_mode); get_skip_state reads it too
  uint32_t dwWaitStart;  // the reaction pause shared with the system buttons (ms)
  uint32_t dwInvalidTime;
  uint32_t bRunSkip;  // btn_run_skip: no button processing while set
  ButtonGroup groups[kButtonGroups];
};

// A follower: the child image keeps its offset from the parent button's image.
struct ButtonFollow {
  layers::ImageRecord* lpChild;
  uint32_t dwParentImageNo;  // 0 empty
};

// The choice menu.
struct SelectState {
  uint32_t bVisible;
  uint32_t bLock;  // hover test on rows 0 and 1 of every item
  int32_t nItems;
  int32_t nCursor;  // keyboard cursor, -1 unused since the menu opened
  uint32_t dwGraphic;
  uint32_t dwColorNormal, dwColorHover, dwColorThird;
  uint32_t dwHoverState;  // low half: this frame's value; high half: the previous frame's
  uint32_t dwDecideLabel, dwHoverLabel, dwLeaveLabel;  // code offsets, 0 none
  OrvHandle hImages[kSelectSlots];
  OrvHandle hTexts[kSelectSlots];
  uint32_t dwItemLabels[kSelectSlots];
  int32_t nItemRows[kSelectSlots];
  uint32_t dwItemFlags[kSelectSlots];  // bit 0 shown, bit 1 selectable
  char szItemText[kSelectSlots][kSelectTextBytes];
};

}  // namespace engine
