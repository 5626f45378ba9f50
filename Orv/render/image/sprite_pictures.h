// Pictures into and out of sprites: the decoder behind the sprite loaders, VKX difference
// pictures, sprite records made from a file's header alone, and the picture writers. The
// exports are listed in orv/exports.h ("images" block):
//
// OrvSpriteInfoCreate(path, width, height, priority) -> sprite
//     A sprite record without pixels, in no render list, hidden, at `priority`. With a path the
//     file's header gives position, size and cell (image_header.h; a VKX file is measured by
//     its base picture) and the values enter the sprite-info cache under the path; without,
//     width and height become size and cell. 0 (last error 6) when no record can be made;
//     0 when the file is missing or its header cannot be read ("JPEG header analyze fail: %s"
//     for a JPEG whose frame header is not within its first 2,052 bytes).
// OrvSpriteLoadTextureToFile(sprite, path) -> 1/0
//     Replaces the sprite's image with the picture in the loose file `path` (not searched in
//     archives); 0 when the file cannot be read or decoded.
// OrvSpriteSaveTextureToFile / OrvSpriteSaveTextureToPngFile / OrvSpriteSaveTextureToPng24File
//     (sprite, path) -> 1/0
//     Write the sprite's image (its picture size, not its storage) as JPEG, 32-bit PNG or
//     24-bit PNG with the colours multiplied by alpha (image_save.h). 1 only when the whole
//     file was written; 0 with last error 6 for a dead sprite, 0 for a sprite without image.
//
// All run on the thread that holds the render lock, like every sprite export.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Orv/render/render_state.h"
#include "orv/types.h"

// The ImageDecoder of RenderState::decode_image: any format of image_load.h, BMP and TGA as
// the active renderer reads them. A bad file is reported in one line on stderr naming `name`.
ImageObject* decode_image_object(const char* name, const uint8_t* data, size_t size,
                                 DecodedImageInfo* info);

// The FileReader of RenderState::read_file: finds the file through the search folders and
// archives (OrvFileCreate) and reads it whole. 1 when read, 0 when missing or unreadable, -1
// when larger than limit (nothing is read then).
int32_t game_file_read(const char* path, std::vector<uint8_t>* out, size_t limit);

// Makes a sprite from a VKX file image held in memory: loads the base picture it names (through
// RenderState::read_file) as a sprite at `priority` and XORs the difference onto it. 0 when
// the header is short, the base file is missing or cannot be made a sprite, or the difference
// is corrupt (one line on stderr naming `name`; the base sprite is released then).
OrvHandle SpriteLoadVkx(OrvHandle list, const char* name, const uint8_t* data, size_t size,
                        int32_t priority);
