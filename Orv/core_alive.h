// Whether the library's core exists: from the window's creation in OrvInit to OrvUninit
// (CoreRecord::alive). Any thread. For code that must not see the whole state record.
#pragma once

bool orv_core_alive();
