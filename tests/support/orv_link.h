// Fills the game program's binding table with the statically linked platform library, so that
// unit tests run game code against the real Orv without loading dll/libOrv.so.
#pragma once

namespace testsupport {
void bind_linked_orv();
}
