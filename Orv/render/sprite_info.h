// The 372-byte sprite info record as bytes: games keep it in save data, so it is written and
// read field by field, little-endian, whatever the host.
#pragma once

#include <cstdint>

#include "orv/render_types.h"

constexpr size_t kSpriteInfoBytes = 372;

void sprite_info_to_bytes(const OrvSpriteInfo& info, uint8_t out[kSpriteInfoBytes]);
// The name is always terminated within its 260 bytes.
void sprite_info_from_bytes(const uint8_t in[kSpriteInfoBytes], OrvSpriteInfo* info);
