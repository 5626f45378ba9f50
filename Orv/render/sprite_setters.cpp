// The sprite setters and getters: place, size, colour, transform, cells.
#include <cmath>

#include "Orv/render/float_int.h"
#include "Orv/render/last_error.h"
#include "Orv/render/render_state.h"
#include "Orv/render/sprite.h"
#include "orv/orv.h"

namespace {

// Runs change on the sprite; 1, or 0 with last error 6 for a dead or null handle.
template <typename F>
OrvBool with_sprite(OrvHandle handle, F change) {
  OrvSprite* sprite = sprite_from(handle);
  if (!sprite) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  change(*sprite);
  return 1;
}

void rekey(OrvSprite& s, int32_t key) {
  render_node_set_key(render_node_from(s.node), key);
}

// The first coordinate of a cell: the cell itself when it exists, else the last cell of the
// sheet (a sheet one pixel wider than whole cells ignores that pixel). Never negative: a cell
// larger than the sheet starts at 0.
int32_t cell_origin(uint32_t index, uint32_t cell, uint32_t size) {
  uint32_t cells = size / cell;
  if (index < cells) return static_cast<int32_t>(index * cell);
  int64_t left = (size % cell == 1) ? int64_t{cell} * (int64_t{cells} - 1) : int64_t{size} - cell;
  return left < 0 ? 0 : static_cast<int32_t>(left);
}

}  // namespace

extern "C" {

OrvBool OrvSpriteSetPos(OrvHandle s, float x, float y, float z) {
  return with_sprite(s, [&](OrvSprite& p) {
    p.x = x;
    p.y = y;
    p.z = z;
    rekey(p, sprite_key(&p));
  });
}

OrvBool OrvSpriteMovePos(OrvHandle s, float dx, float dy, float dz) {
  return with_sprite(s, [&](OrvSprite& p) {
    p.x += dx;
    p.y += dy;
    p.z += dz;
    rekey(p, sprite_key(&p));
  });
}

OrvBool OrvSpriteSetOffsetPos(OrvHandle s, int32_t ox, int32_t oy) {
  return with_sprite(s, [&](OrvSprite& p) {
    p.offset_x = ox;
    p.offset_y = oy;
  });
}

OrvBool OrvSpriteMoveOffsetPos(OrvHandle s, int32_t dx, int32_t dy) {
  return with_sprite(s, [&](OrvSprite& p) {
    p.offset_x = add_sat(p.offset_x, dx);
    p.offset_y = add_sat(p.offset_y, dy);
  });
}

OrvBool OrvSpriteChangePriority(OrvHandle s, int32_t priority) {
  return with_sprite(s, [&](OrvSprite& p) {
    p.priority = priority;
    rekey(p, priority);
  });
}

OrvBool OrvSpriteSetScale(OrvHandle s, float sx, float sy) {
  return with_sprite(s, [&](OrvSprite& p) {
    p.scale_x = sx;
    p.scale_y = sy;
  });
}

OrvBool OrvSpriteSetRotate(OrvHandle s, int32_t rz) {
  return with_sprite(s, [&](OrvSprite& p) { p.rotation_z = static_cast<float>(rz); });
}

OrvBool OrvSpriteSetRotateFloat(OrvHandle s, float rz) {
  return with_sprite(s, [&](OrvSprite& p) { p.rotation_z = rz; });
}

OrvBool OrvSpriteSetRotateEx(OrvHandle s, int32_t rx, int32_t ry, int32_t rz) {
  return with_sprite(s, [&](OrvSprite& p) {
    p.rotation_x = static_cast<float>(rx);
    p.rotation_y = static_cast<float>(ry);
    p.rotation_z = static_cast<float>(rz);
  });
}

OrvBool OrvSpriteSetRotateExFloat(OrvHandle s, float rx, float ry, float rz) {
  return with_sprite(s, [&](OrvSprite& p) {
    p.rotation_x = rx;
    p.rotation_y = ry;
    p.rotation_z = rz;
  });
}

OrvBool OrvSpriteSetColor(OrvHandle s, uint32_t argb) {
  return with_sprite(s, [&](OrvSprite& p) { p.color = argb; });
}

OrvBool OrvSpriteViewCtrl(OrvHandle s, int32_t visible) {
  return with_sprite(s, [&](OrvSprite& p) { p.visible = visible ? 1 : 0; });
}

int32_t OrvSpriteViewIs(OrvHandle s) {
  OrvSprite* p = sprite_from(s);
  if (!p) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  return p->visible;
}

OrvBool OrvSpriteSetRect(OrvHandle s, const OrvRect* rect) {
  return with_sprite(s, [&](OrvSprite& p) {
    p.rect = rect ? *rect : OrvRect{0, 0, p.width, p.height};
  });
}

OrvBool OrvSpriteGetRect(OrvHandle s, OrvRect* rect) {
  OrvSprite* p = sprite_from(s);
  if (!p || !rect) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  *rect = p->rect;
  return 1;
}

OrvBool OrvSpriteSetOffsetRect(OrvHandle s, int32_t cell_width, int32_t cell_height) {
  return with_sprite(s, [&](OrvSprite& p) {
    p.cell_width = cell_width;
    p.cell_height = cell_height;
  });
}

OrvBool OrvSpriteRectSetPos(OrvHandle s, int32_t column, int32_t row) {
  return with_sprite(s, [&](OrvSprite& p) {
    if (p.cell_width == 0 || p.cell_height == 0) return;
    uint32_t cw = static_cast<uint32_t>(p.cell_width), ch = static_cast<uint32_t>(p.cell_height);
    int32_t left = cell_origin(static_cast<uint32_t>(column), cw, static_cast<uint32_t>(p.width));
    int32_t top = cell_origin(static_cast<uint32_t>(row), ch, static_cast<uint32_t>(p.height));
    p.rect = OrvRect{left, top, add_sat(left, p.cell_width), add_sat(top, p.cell_height)};
  });
}

void OrvSpriteSetCenterOffset(OrvHandle s, int32_t cx, int32_t cy) {
  if (OrvSprite* p = sprite_from(s)) {
    p->center_x = static_cast<int32_t>(0u - static_cast<uint32_t>(cx));
    p->center_y = static_cast<int32_t>(0u - static_cast<uint32_t>(cy));
  }
}

OrvBool OrvSpriteSetRenderMode(OrvHandle s, int32_t mode) {
  return with_sprite(s, [&](OrvSprite& p) { p.render_mode = mode; });
}

OrvBool OrvSpriteSetLayer(OrvHandle s, int32_t layer) {
  return with_sprite(s, [&](OrvSprite& p) { p.layer = layer; });
}

void OrvSpriteConvertAspectPosition(OrvHandle s, int32_t mode) {
  OrvSprite* p = sprite_from(s);
  const RenderState& st = orv_render();
  if (!p || mode == 0 || !st.crop_active || st.picture_w <= 0 || st.picture_h <= 0) return;
  float ex = static_cast<float>(st.monitor_w) / static_cast<float>(st.picture_w);
  float ey = static_cast<float>(st.monitor_h) / static_cast<float>(st.picture_h);
  int32_t cx = st.game_w / 2, cy = st.game_h / 2;
  if (mode >= 1 && mode <= 3) {
    float dx = static_cast<float>(cx - trunc_to_int(static_cast<float>(cx) * ex));
    float dy = static_cast<float>(cy - trunc_to_int(static_cast<float>(cy) * ey));
    if (mode != 3) p->x = (p->x > static_cast<float>(cx)) ? p->x - dx : p->x + dx;
    if (mode != 2) p->y -= dy;
  } else if (mode == 4) {
    p->x = (p->x - static_cast<float>(cx)) * ex + static_cast<float>(cx);
    p->y = (p->y - static_cast<float>(cy)) * ey + static_cast<float>(cy);
  }
}

int32_t OrvSpriteGetWidth(OrvHandle s) {
  OrvSprite* p = sprite_from(s);
  return p ? p->width : 0;
}

int32_t OrvSpriteGetHeight(OrvHandle s) {
  OrvSprite* p = sprite_from(s);
  return p ? p->height : 0;
}

}  // extern "C"
