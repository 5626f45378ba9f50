// Thumbnails: exports OrvThumbnail* (thumbnail.cpp).
//
// Each scales a picture into the caller's buffer of w x h ARGB pixels (rows of w, top row
// first) with nearest-neighbour sampling; the buffer-size argument is not read, so callers pass
// at least w x h pixels. All return 0 while the library is not running (and the screen forms
// also when there is no software back buffer), else 1; a w or h below 1 writes nothing.
//
// OrvThumbnailCreate(dst, size, w, h): the current frame (the software back buffer).
// OrvThumbnailCreateEx(dst, w, h, src, sw, sh): a given sw x sh picture.
// OrvThumbnailCreateMosaic[Ex](..., factor): first shrunk to about (w / factor) x (h / factor),
//   then enlarged into the destination, so it shows blocks of factor x factor pixels. A factor
//   below 1 counts as 1, and the shrunk picture keeps at least one pixel each way.
// OrvThumbnailCreateNull(dst, size, w, h): fills w x h pixels with 0xFF000000; 1 always.
#pragma once
