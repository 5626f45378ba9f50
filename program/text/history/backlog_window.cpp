#include "text/history/backlog_window.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "engine/formats/startup_info.h"
#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "graphics/layers/image_record.h"
#include "graphics/layers/sprite_loader.h"
#include "text/history/backlog_buttons.h"
#include "text/lines/text_line.h"
#include "text/render/text_render.h"
#include "text/sound/voices.h"
#include "text/window/text_settings.h"
#include "text/window/text_window_ops.h"
#include "text/window/voice_replay.h"

namespace backlog {
namespace {

using engine::HistoryEntry;
using engine::HistoryLog;
using engine::kHistoryEntries;
using engine::VmContext;

constexpr int32_t kNameWidth = 1024;
constexpr int32_t kNameHeight = 64;
constexpr uint32_t kHighlightColour = 0xFF4E4E4E;
constexpr int32_t kRenderModeAdd = 2;
constexpr uint32_t kLeftButton = 0x800000;
constexpr uint32_t kReplayFlags = engine::kVoiceNoAutopan;

int32_t priority(const VmContext& vm, int32_t offset) {
  return static_cast<int32_t>(vm.run.dwSpritePriorityBase) + offset;
}

void release_sprite(OrvHandle& sprite) {
  if (sprite) orv.OrvSpriteRelease(orv.OrvRenderGetActive(), sprite);
  sprite = 0;
}

// Draws text at the sprite's origin in the text window's area; returns the height of the
// rectangle it drew (the source rectangle the renderer set).
int32_t draw(VmContext& vm, OrvHandle sprite, const char* text) {
  const engine::TextWindow& tw = vm.text;
  int32_t colour = 0, shadow = 0;
  orv.OrvFontGetColor(&colour, &shadow);
  textrender::TextDrawRequest req{};
  req.hSprite = sprite;
  req.text = text;
  req.width = tw.nWidth;
  req.height = tw.nHeight;
  req.charSize = tw.nCharSize;
  req.rubySize = tw.nRubySize;
  req.colour = static_cast<uint32_t>(colour);
  req.shadowColour = static_cast<uint32_t>(shadow);
  const textrender::TextDrawResult r =
      textrender::draw_text_tagged(vm, engine::text_settings.render, req, nullptr);
  return engine::text_settings.render.nHeightOffset + r.linePitch + r.y;
}

// Releases line l's sprites and buttons.
void line_release(VmContext& vm, uint32_t l) {
  HistoryLog& h = vm.history;
  release_sprite(h.hEntryImage[l]);
  release_sprite(h.hName[l]);
  release_sprite(h.hText[l]);
  release_sprite(h.hMark[l]);
  if (h.lpFace[l]) history_button_delete(vm, h.dwFaceGroup, l);
  if (h.lpJump[l]) history_button_delete(vm, h.dwJumpGroup, l);
  h.lpFace[l] = nullptr;
  h.lpJump[l] = nullptr;
  h.lpLineVoice[l] = nullptr;
}

void place(OrvHandle sprite, int32_t x, int32_t y) {
  if (sprite) orv.OrvSpriteSetPos(sprite, static_cast<float>(x), static_cast<float>(y), 0.0f);
}

void show(OrvHandle sprite) {
  if (sprite) orv.OrvSpriteViewCtrl(sprite, 1);
}

OrvHandle load_image(VmContext& vm, const char (&name)[32]) {
  char terminated[33] = {};
  std::memcpy(terminated, name, sizeof name);
  uint32_t w = 0, h = 0;
  engine::game_screen_size(&w, &h);
  return layers::sprite_load_by_name_unlocked(vm, terminated, static_cast<int32_t>(w),
                                              static_cast<int32_t>(h), priority(vm, 4871));
}

// Lays out line l for entry e with its bottom at *y; false when it does not fit (its sprites
// and buttons are then released again).
bool layout_line(VmContext& vm, uint32_t l, const HistoryEntry& e, int32_t x, int32_t* y) {
  HistoryLog& h = vm.history;
  engine::TextWindow& tw = vm.text;
  int32_t font_colour = 0, font_shadow = 0;
  orv.OrvFontGetColor(&font_colour, &font_shadow);
  const uint32_t window_colour = tw.dwColor, window_shadow = tw.dwShadowColor;
  const bool no_speaker = entry_has_no_speaker(e);
  const std::string name(e.name, strnlen(e.name, sizeof e.name));
  if (!no_speaker) textlines::name_colour_apply(vm, tw, name);
  h.lpLineVoice[l] = e.voice;

  const OrvHandle list = orv.OrvRenderGetActive();
  h.hText[l] = orv.OrvSpriteCreate(list, textwindow::pow2_up(tw.nCharSize + 8 + tw.nWidth),
                                   textwindow::pow2_up(tw.nHeight + 4), priority(vm, 4867));
  *y -= draw(vm, h.hText[l], e.text);
  h.hName[l] = orv.OrvSpriteCreate(list, kNameWidth, kNameHeight, priority(vm, 4867));
  const int32_t name_height = draw(vm, h.hName[l], no_speaker ? "" : e.name);

  if (no_speaker) {
    if (h.hName[l]) orv.OrvSpriteViewCtrl(h.hName[l], 0);
    place(h.hText[l], x + h.nTextX, *y);
  } else {
    *y -= name_height;
    if (e.voice[0] && h.bVoiceMark) {
      h.hMark[l] = load_image(vm, h.szVoiceMark);
      const std::string face = face_image_name(e.voice);
      if (h.bFaceOn && e.faceFlag && !face.empty()) {
        h.lpFace[l] = history_button_create(vm, h.dwFaceGroup, l, face.c_str(), x + h.nFaceX,
                                            *y + h.nFaceY, h.dwFaceCallLabel, 0);
      }
    }
    place(h.hName[l], x + h.nNameX, *y + h.nNameY);
    place(h.hText[l], x + h.nTextX, *y + h.nTextY);
    place(h.hMark[l], x + h.nMarkX, *y + h.nMarkY);
  }
  orv.OrvFontSetColor(static_cast<uint32_t>(font_colour), static_cast<uint32_t>(font_shadow));
  tw.dwColor = window_colour;
  tw.dwShadowColor = window_shadow;

  if (h.bSnapshotsOn && h.szJumpImage[0] && e.historyNo != -1) {
    char jump[33] = {};
    std::memcpy(jump, h.szJumpImage, sizeof h.szJumpImage);
    h.lpJump[l] = history_button_create(vm, h.dwJumpGroup, l, jump, x + h.nJumpX, *y + h.nJumpY,
                                        h.dwJumpClickLabel, h.dwJumpHoverLabel);
  }
  if (h.bEntryImageOn) {
    h.hEntryImage[l] = load_image(vm, h.szEntryImage);
    if (h.hEntryImage[l]) {
      const int32_t iy = *y - (h.nSpacing - orv.OrvSpriteGetHeight(h.hEntryImage[l])) / 2;
      if (iy >= h.nTop) {
        place(h.hEntryImage[l], x + h.nEntryImageX, h.nEntryImageY + iy);
      } else {
        release_sprite(h.hEntryImage[l]);
      }
    }
  }
  if (*y < h.nTop) {
    line_release(vm, l);
    return false;
  }
  show(h.hEntryImage[l]);
  show(h.hText[l]);
  if (!no_speaker) show(h.hName[l]);
  show(h.hMark[l]);
  if (!h.bFaceOn && h.lpFace[l]) orv.OrvSpriteViewCtrl(h.lpFace[l]->hSprite, 0);
  if (!h.bSnapshotsOn && h.lpJump[l]) orv.OrvSpriteViewCtrl(h.lpJump[l]->hSprite, 0);
  return true;
}

}  // namespace

bool entry_has_no_speaker(const HistoryEntry& e) {
  return e.name[0] == 0 && static_cast<uint8_t>(e.name[1]) == 0x81;
}

std::string face_image_name(const char* voice) {
  if ((voice[0] != 'V' && voice[0] != 'v') || (voice[1] != 'O' && voice[1] != 'o')) return {};
  if (voice[2] >= '0' && voice[2] <= '9')
    return "IC" + std::string(voice + 2, strnlen(voice + 2, 2));
  return "IC99";
}

void history_page_release(VmContext& vm) {
  HistoryLog& h = vm.history;
  for (uint32_t l = kHistoryEntries; l-- > 0;) line_release(vm, l);
  h.nPageCount = 0;
}

void history_layout(VmContext& vm, int32_t start) {
  HistoryLog& h = vm.history;
  history_page_release(vm);
  const int32_t count = static_cast<int32_t>(h.nEntryCount);
  if (start < 0 || start > count) return;
  h.nPos = start;
  int32_t y = h.nBottom;
  const int32_t x = engine::startup_settings().bRubyOffset ? h.nLeft : 0;
  for (int32_t l = 0; start + l < count; ++l) {
    const HistoryEntry& e = h.entries[start + l];
    if (!layout_line(vm, static_cast<uint32_t>(l), e, x, &y)) {
      h.nPageCount = l;
      return;
    }
    y -= h.nSpacing;
    h.nPageCount = l + 1;
  }
}

void history_begin(VmContext& vm) {
  HistoryLog& h = vm.history;
  const engine::TextWindow& tw = vm.text;
  history_page_release(vm);
  h.bWindowOpen = 1;
  engine::text_settings.render.bBacklogOpen = 1;
  release_sprite(h.hHighlight);
  h.hHighlight =
      orv.OrvSpriteCreate(orv.OrvRenderGetActive(), textwindow::pow2_up(tw.nWidth + tw.nCharSize),
                          textwindow::pow2_up(tw.nHeight), priority(vm, 4867));
  // Measure from the oldest line towards the newest until the area is full.
  int32_t sum = h.nTop;
  h.nMaxPos = 0;
  for (int32_t e = static_cast<int32_t>(h.nEntryCount) - 1; e >= 0; --e) {
    const HistoryEntry& entry = h.entries[e];
    sum += draw(vm, h.hHighlight, entry.text);
    if (!entry_has_no_speaker(entry)) sum += draw(vm, h.hHighlight, entry.name);
    if (sum >= h.nBottom) {
      h.nMaxPos = e + 1;
      break;
    }
    sum += h.nSpacing;
  }
  h.nTotalHeight = h.nMaxPos > 0 ? h.nBottom - h.nTop : sum - h.nTop - h.nSpacing;
  history_layout(vm, 0);
  if (h.hHighlight) {
    const OrvRect empty{0, 0, 0, 0};
    orv.OrvSpriteSetRect(h.hHighlight, &empty);
    orv.OrvSpritePaint(h.hHighlight, nullptr, kHighlightColour);
    orv.OrvSpriteSetRenderMode(h.hHighlight, kRenderModeAdd);
  }
}

void history_end(VmContext& vm) {
  HistoryLog& h = vm.history;
  h.bWindowOpen = 0;
  engine::text_settings.render.bBacklogOpen = 0;
  history_page_release(vm);
  release_sprite(h.hHighlight);
}

void history_update(VmContext& vm) {
  HistoryLog& h = vm.history;
  if (h.hHighlight) {
    orv.OrvSpriteViewCtrl(h.hHighlight, 0);
    const OrvRect empty{0, 0, 0, 0};
    orv.OrvSpriteSetRect(h.hHighlight, &empty);
  }
  const OrvHandle under =
      orv.OrvSpriteGetForeground(orv.OrvInputGetMouseX(), orv.OrvInputGetMouseY(), 0);
  const int32_t lines = h.nPageCount < 0 ? 0 : std::min<int32_t>(h.nPageCount, kHistoryEntries);
  for (int32_t l = 0; l < lines; ++l) {
    const OrvHandle text = h.hText[l];
    const OrvHandle name = h.hName[l];
    if (!text) continue;
    orv.OrvSpriteSetColor(text, h.dwColorNormal);
    if (name) orv.OrvSpriteSetColor(name, h.dwColorNormal);
    const char* voice = h.lpLineVoice[l];
    if (!voice || !voice[0] || text != under) continue;
    orv.OrvSpriteSetColor(text, h.dwColorHover);
    if (name) orv.OrvSpriteSetColor(name, h.dwColorHover);
    if (h.hHighlight) {
      OrvSpriteInfo info{};
      orv.OrvSpriteGetInfo(text, &info);
      OrvRect rect{};
      orv.OrvSpriteGetRect(text, &rect);
      orv.OrvSpriteSetPos(h.hHighlight, info.x, info.y, info.z);
      orv.OrvSpriteSetRect(h.hHighlight, &rect);
      orv.OrvSpriteViewCtrl(h.hHighlight, 1);
    }
    const uint32_t keys =
        vm.buttons.bKeyRelease ? orv.OrvInputGetKeyPull() : orv.OrvInputGetKeyPush();
    if (keys & kLeftButton) {
      textwindow::voice_replay(vm, std::string(voice, strnlen(voice, sizeof h.entries[0].voice)),
                               kReplayFlags);
    }
  }
}

}  // namespace backlog
