// The application messages between the library's threads.
//
// The same number means one request to the window thread and another to the game thread; the
// names below say which queue each belongs to.
#pragma once

#include <cstdint>

// To the window thread.
constexpr uint32_t kWndVideoEvents = 0x8064;   // step the full-screen video's events
constexpr uint32_t kWndRestore = 0x8065;       // restore the renderer
constexpr uint32_t kWndChangeMode = 0x8066;    // wParam 1 full screen, 0 window
constexpr uint32_t kWndEnd = 0x8069;           // end the program
constexpr uint32_t kWndCall = 0x806A;          // call wParam(lParam)
constexpr uint32_t kWndChangeSize = 0x806B;    // client size wParam x lParam
constexpr uint32_t kWndChangeAspect = 0x806C;  // aspect mode wParam
constexpr uint32_t kWndSetCursor = 0x806D;     // make the library's cursor current
constexpr uint32_t kWndShowCursor = 0x806E;    // wParam nonzero shows, 0 hides
// lParam of a hiding kWndShowCursor: hide only while the cursor lies in the client area.
constexpr intptr_t kShowCursorInClient = 1;
// Library-internal (no sender outside): show the frame the game thread drew.
constexpr uint32_t kWndPresent = 0x8070;
// Library-internal: start the pads (posted once the first frame is shown).
constexpr uint32_t kWndPadsStart = 0x8071;
// Library-internal: the GL renderer has shown its first frame.
constexpr uint32_t kWndGlFrameShown = 0x8072;

// To the game thread.
constexpr uint32_t kGameStop = 0x8064;           // leave the frame loop
constexpr uint32_t kGameChangeMode = 0x8065;     // forwarded as kWndChangeMode
constexpr uint32_t kGameRestore = 0x8066;        // forwarded as kWndRestore
constexpr uint32_t kGameChangeSize = 0x8067;     // forwarded as kWndChangeSize
constexpr uint32_t kGameChangeAspect = 0x8068;   // forwarded as kWndChangeAspect
constexpr uint32_t kGameToggleRequest = 0x8069;  // wParam 8: window-mode toggle request
constexpr uint32_t kGameInput = 0x806A;          // input event wParam (lParam for the wheel)

// To the work thread.
constexpr uint32_t kWorkStop = 0x8064;
constexpr uint32_t kWorkCall = 0x806A;  // call wParam(lParam)
