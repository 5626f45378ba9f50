#include "Orv/core/buttons/button_group.h"

#include <new>

#include "Orv/core/handle_table.h"
#include "Orv/core/memory.h"
#include "Orv/core/window/input.h"
#include "Orv/core/window/process.h"
#include "orv/orv.h"

namespace {

constexpr int32_t kHoverCopies = 4;

OrvButtonGroup* group_of(OrvHandle id) {
  return orv_handles().get_as<OrvButtonGroup>(id, HandleKind::kButton);
}

OrvButtonItem* item_of(OrvButtonGroup* g, OrvHandle sprite) {
  if (!g || !sprite) return nullptr;
  for (OrvButtonItem* e = g->entries; e; e = e->next) {
    if (e->sprite == sprite) return e;
  }
  return nullptr;
}

// A pending sprite may have lost its entry (deleted since, or set by OrvButtonSetReaction
// without one): it then counts as an entry with no flags.
uint32_t flags_of(OrvButtonGroup* g, OrvHandle sprite) {
  const OrvButtonItem* e = item_of(g, sprite);
  return e ? e->flags : 0;
}

void show_row(const OrvButtonItem& e, int32_t row) {
  if (!(e.flags & kOrvButtonKeepCells)) OrvSpriteRectSetPos(e.sprite, 0, row);
}

void play(OrvSoundHandle sound) {
  if (sound) OrvSoundPlay(sound, 0);
}

// The topmost entry under (x, y), enabled or not: the smallest priority, the first in list
// order on ties.
OrvButtonItem* hit_topmost(OrvButtonGroup* g, int32_t x, int32_t y) {
  OrvButtonItem* best = nullptr;
  int32_t best_priority = 0;
  for (OrvButtonItem* e = g->entries; e; e = e->next) {
    if (!OrvSpriteHit(e->sprite, x, y, static_cast<int32_t>(e->flags & kOrvButtonAlphaHit))) {
      continue;
    }
    OrvSpriteInfo info{};
    if (!OrvSpriteGetInfo(e->sprite, &info)) continue;
    if (!best || info.priority < best_priority) {
      best = e;
      best_priority = info.priority;
    }
  }
  return best;
}

OrvHandle hit_sprite(OrvButtonGroup* g, int32_t x, int32_t y) {
  OrvButtonItem* e = hit_topmost(g, x, y);
  return e && e->enabled ? e->sprite : 0;
}

void release_sounds(OrvButtonGroup* g) {
  for (OrvSoundHandle& h : g->hover_sounds) {
    if (h) OrvSoundRelease(h);
    h = 0;
  }
  if (g->click_sound) OrvSoundRelease(g->click_sound);
  g->click_sound = 0;
}

OrvHandle make_group(OrvSoundHandle hover, OrvSoundHandle click) {
  void* block = OrvMemoryAlloc(sizeof(OrvButtonGroup), kOrvMemoryZero);
  if (!block) return 0;
  OrvButtonGroup* g = new (block) OrvButtonGroup{};
  g->hover_sounds[0] = hover;
  if (hover) {
    for (int32_t i = 1; i <= kHoverCopies; ++i) g->hover_sounds[i] = OrvSoundCopy(hover, 5);
  }
  g->click_sound = click;
  g->id = orv_handles().add(HandleKind::kButton, g);
  if (!g->id) {
    release_sounds(g);
    OrvMemoryFree(g);
    return 0;
  }
  return g->id;
}

// Steps 1 and 2 of a reaction: a pending click waits for its sound; otherwise the previous
// values are kept and the new hover found. Returns true when the entry loop is to run.
bool reaction_begin(OrvButtonGroup* g, bool check_flags, int32_t x, int32_t y, bool negative_ok) {
  if (g->pending) {
    if (g->forced) {
      g->forced = 0;
      if (!check_flags || !(flags_of(g, g->pending) & kOrvButtonSilent)) play(g->click_sound);
    } else if (!g->click_sound || !OrvSoundPlayIs(g->click_sound)) {
      g->decided = g->pending;
      g->pending = 0;
    }
    return false;
  }
  g->prev_decided = g->decided;
  g->prev_hovered = g->hovered;
  g->prev_pending = g->pending;
  g->decided = g->hovered = g->pending = 0;
  if (negative_ok || (x >= 0 && y >= 0)) g->hovered = hit_sprite(g, x, y);
  return true;
}

void hover(OrvButtonGroup* g, const OrvButtonItem& e, bool check_flags) {
  if (e.sprite != g->prev_hovered && !(check_flags && (e.flags & kOrvButtonSilent))) {
    play(button_hover_sound_pick(*g));
  }
  show_row(e, e.base_row + 1);
}

void click(OrvButtonGroup* g, const OrvButtonItem& e, bool check_flags) {
  show_row(e, e.base_row + 2);
  g->pending = e.sprite;
  if (!check_flags || !(e.flags & kOrvButtonSilent)) play(g->click_sound);
}

OrvHandle reaction_end(OrvButtonGroup* g, OrvButtonReaction* out) {
  if (out) *out = OrvButtonReaction{g->decided, g->hovered, g->pending};
  return g->decided;
}

}  // namespace

OrvSoundHandle button_hover_sound_pick(const OrvButtonGroup& g) {
  for (OrvSoundHandle h : g.hover_sounds) {
    if (!h || !OrvSoundPlayIs(h)) return h;
  }
  return g.hover_sounds[0];
}

extern "C" {

OrvHandle OrvButtonCreateEx(OrvSoundHandle hover_sound, OrvSoundHandle click_sound) {
  return make_group(hover_sound, click_sound);
}

OrvHandle OrvButtonCreate(const char* hover_file, const char* click_file) {
  const OrvSoundHandle hover = hover_file ? OrvSoundLoad(hover_file, 5, nullptr) : 0;
  const OrvSoundHandle click = click_file ? OrvSoundLoad(click_file, 5, nullptr) : 0;
  const OrvHandle id = make_group(hover, click);
  if (!id) {
    if (hover) OrvSoundRelease(hover);
    if (click) OrvSoundRelease(click);
  }
  return id;
}

OrvBool OrvButtonRelease(OrvHandle group) {
  OrvButtonGroup* g = group_of(group);
  if (!g) return 0;
  orv_handles().remove(group, HandleKind::kButton);
  for (OrvButtonItem* e = g->entries; e;) {
    OrvButtonItem* next = e->next;
    OrvMemoryFree(e);
    e = next;
  }
  release_sounds(g);
  OrvMemoryFree(g);
  return 1;
}

OrvBool OrvButtonEntryEx(OrvHandle group, OrvHandle sprite, uint32_t flags) {
  OrvButtonGroup* g = group_of(group);
  if (!g) return 0;
  void* block = OrvMemoryAlloc(sizeof(OrvButtonItem), kOrvMemoryZero);
  if (!block) return 0;
  OrvButtonItem* e = new (block) OrvButtonItem{sprite, 1, 0, 0, flags, g->entries};
  g->entries = e;
  return 1;
}

OrvBool OrvButtonEntry(OrvHandle group, OrvHandle sprite) {
  return OrvButtonEntryEx(group, sprite, kOrvButtonClickOnPush);
}

OrvBool OrvButtonDelete(OrvHandle group, OrvHandle sprite) {
  OrvButtonGroup* g = group_of(group);
  if (!g) return 0;
  for (OrvButtonItem** link = &g->entries; *link; link = &(*link)->next) {
    if ((*link)->sprite == sprite) {
      OrvButtonItem* e = *link;
      *link = e->next;
      OrvMemoryFree(e);
      return 1;
    }
  }
  return 0;
}

OrvBool OrvButtonCtrl(OrvHandle group, OrvHandle sprite, int32_t enabled) {
  OrvButtonItem* e = item_of(group_of(group), sprite);
  if (!e) return 0;
  e->enabled = enabled;
  return 1;
}

int32_t OrvButtonGetCtrl(OrvHandle group, OrvHandle sprite) {
  const OrvButtonItem* e = item_of(group_of(group), sprite);
  return e ? e->enabled : 0;
}

int32_t OrvButtonGetPos(OrvHandle group, OrvHandle sprite) {
  const OrvButtonItem* e = item_of(group_of(group), sprite);
  return e ? e->base_row : -1;
}

OrvBool OrvButtonSetPos(OrvHandle group, OrvHandle sprite, int32_t row) {
  OrvButtonItem* e = item_of(group_of(group), sprite);
  if (!e) return 0;
  e->base_row = row;
  OrvSpriteRectSetPos(sprite, 0, row);
  return 1;
}

OrvHandle OrvButtonGetHitSprite(OrvHandle group, int32_t x, int32_t y) {
  OrvButtonGroup* g = group_of(group);
  if (!g || x < 0 || y < 0) return 0;
  return hit_sprite(g, x, y);
}

int32_t OrvButtonHitTest(OrvHandle group, int32_t x, int32_t y) {
  return OrvButtonGetHitSprite(group, x, y) ? 1 : 0;
}

OrvHandle OrvButtonGetReaction(OrvHandle group, OrvButtonReaction* out) {
  OrvButtonGroup* g = group_of(group);
  if (!g) {
    if (out) *out = OrvButtonReaction{};
    return 0;
  }
  const InputState& in = orv_process().input;
  if (reaction_begin(g, true, in.mouse_x, in.mouse_y, false)) {
    const bool mode = (in.button_mode & 0xFF) != 0;
    for (OrvButtonItem* e = g->entries; e; e = e->next) {
      if (!e->enabled) continue;
      if (e->sprite == g->hovered) {
        if (!mode) {
          const bool push = (in.push & kKeyMouseL) != 0;
          const bool repeat = ((in.push | in.repeat) & kKeyMouseL) != 0;
          if (((e->flags & kOrvButtonClickOnPush) && push) ||
              ((e->flags & kOrvButtonClickOnRepeat) && repeat)) {
            click(g, *e, true);
            break;
          }
          hover(g, *e, true);
        } else {
          e->flags |= kOrvButtonClickOnRepeat;
          if (in.on & kKeyMouseL) {
            show_row(*e, e->base_row + 2);
            g->pressed = e->sprite;
          } else if (g->pressed) {
            g->pressed = 0;
            click(g, *e, true);
            break;
          } else {
            hover(g, *e, true);
          }
        }
      } else if (mode && g->pressed != g->hovered) {
        g->pressed = 0;  // the press left its button: nothing is pressed, the cell stays
      } else {
        show_row(*e, e->base_row);
      }
    }
  }
  return reaction_end(g, out);
}

OrvHandle OrvButtonGetReactionEx(OrvHandle group, int32_t x, int32_t y, int32_t click_flag,
                                 OrvButtonReaction* out) {
  OrvButtonGroup* g = group_of(group);
  if (!g) {
    if (out) *out = OrvButtonReaction{};
    return 0;
  }
  if (reaction_begin(g, false, x, y, true)) {
    for (OrvButtonItem* e = g->entries; e; e = e->next) {
      if (!e->enabled) continue;
      if (e->sprite == g->hovered) {
        if (click_flag) {
          click(g, *e, false);
        } else {
          hover(g, *e, false);
        }
      } else {
        show_row(*e, e->base_row);
      }
    }
  }
  return reaction_end(g, out);
}

int32_t OrvButtonSetReaction(OrvHandle group, OrvHandle sprite) {
  OrvButtonGroup* g = group_of(group);
  if (g && !g->pending && sprite) {
    g->pending = sprite;
    g->forced = 1;
  }
  return 0;
}

int32_t OrvButtonIsProcessing(OrvHandle group) {
  const OrvButtonGroup* g = group_of(group);
  return g && g->pending ? 1 : 0;
}

int32_t OrvButtonReset(OrvHandle group, OrvHandle sprite) {
  OrvButtonGroup* g = group_of(group);
  if (!g) return 0;
  g->decided = g->hovered = g->pending = 0;
  g->prev_decided = g->prev_hovered = g->prev_pending = 0;
  g->pressed = 0;
  g->forced = 0;
  if (!sprite) return 0;
  OrvButtonItem* e = item_of(g, sprite);
  if (!e) return 0;
  e->enabled = 0;
  return 1;
}

void OrvButtonMode(int32_t mode) {
  orv_process().input.button_mode = mode & 0xFF;
}

}  // extern "C"
