// The steps a line of dialogue is made of: speaker, message, voice, read marks, the scene skip's
// stop at unread text.
#include "text/lines/text_line.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include "commands/command_util.h"
#include "engine/game_state.h"
#include "engine/interpreter.h"
#include "engine/neighbours.h"
#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/layers/image_record.h"
#include "text/history/history_write.h"
#include "text/render/text_render.h"
#include "text/sound/voice_calls.h"
#include "text/sound/voices.h"
#include "text/window/reveal.h"
#include "text/window/text_settings.h"
#include "text/window/text_window_ops.h"

namespace textlines {
namespace {

constexpr size_t kSpeakerBytes = 252;
constexpr int32_t kNameAreaWidth = 1024;
constexpr int32_t kNameAreaHeight = 64;
constexpr int32_t kSoftEdge = 64;

bool skipping(VmContext& vm) {
  return (engine::get_skip_state(vm) & engine::kSkipAny) != 0;
}

void paint(const layers::ImageRecord* image) {
  const OrvHandle sprite = textwindow::text_sprite(image);
  if (sprite) orv.OrvSpritePaint(sprite, nullptr, engine::text_settings.render.dwPaintColour);
}

// The head and text of a text operand.
struct ResolvedText {
  uint32_t id;
  std::string text;
};

ResolvedText resolve_text(VmContext& vm, uint32_t operand, size_t size) {
  std::vector<uint8_t> buffer(size, 0);
  engine::get_string_operand(vm, buffer.data(), operand, static_cast<uint32_t>(size));
  const char* text = reinterpret_cast<const char*>(buffer.data() + 4);
  return {codec::load_u32(buffer.data()), std::string(text, strnlen(text, size - 4))};
}

bool read_colours_for(const TextWindow& tw) {
  return engine::text_settings.bReadColor && tw.bRead;
}

}  // namespace

uint32_t text_id_of(VmContext& vm, uint32_t text_operand) {
  if (text_operand == engine::kNoText) return 0;
  return resolve_text(vm, text_operand, 8).id;
}

void name_colour_apply(VmContext& vm, TextWindow& tw, const std::string& name) {
  for (const engine::NameColor& c : engine::player_settings(vm).nameColors) {
    if (!c.bUsed || c.dwNameLength != name.size() || c.dwNameLength > sizeof c.szName) continue;
    if (std::memcmp(c.szName, name.data(), name.size()) != 0) continue;
    tw.dwColor = c.dwTextColor;
    tw.dwShadowColor = c.dwShadowColor;
    orv.OrvFontSetColor(tw.dwColor, tw.dwShadowColor);
    return;
  }
}

std::string speaker_name_resolve(VmContext& vm, TextWindow& tw, uint32_t name_operand) {
  if (name_operand == engine::kNoText) return {};
  std::string name = resolve_text(vm, name_operand, 4 + kSpeakerBytes + 1).text;
  if (name.empty()) return {};
  // The colour is looked up first: an entry named "/n" colours the player's name.
  name_colour_apply(vm, tw, name);
  if (name.compare(0, 2, "/n") == 0) {
    const char* player = vm.playerName.szName;
    name.assign(player, strnlen(player, sizeof vm.playerName.szName));
  }
  return name;
}

void font_colours_read(TextWindow& tw) {
  int32_t colour = 0;
  int32_t shadow = 0;
  orv.OrvFontGetColor(&colour, &shadow);
  tw.dwSavedColor = static_cast<uint32_t>(colour);
  tw.dwSavedShadowColor = static_cast<uint32_t>(shadow);
  tw.dwColor = tw.dwSavedColor;
  tw.dwShadowColor = tw.dwSavedShadowColor;
}

void clear_marked_actions_when_skipping(VmContext& vm) {
  if (engine::get_skip_state(vm) & engine::kSkipAny) {
    engine::neighbour_run(engine::neighbours.layers.action_clear_marked, vm);
  }
}

void text_set_name(VmContext& vm, TextWindow& tw, uint32_t name_operand) {
  if (!skipping(vm)) paint(tw.lpName);
  std::memset(tw.szName, 0, sizeof tw.szName);
  const std::string name = speaker_name_resolve(vm, tw, name_operand);
  if (name.empty()) {
    engine::history_write_field(vm, nullptr, engine::kHistoryName);
    return;
  }
  std::memcpy(tw.szName, name.data(), std::min(name.size(), sizeof tw.szName - 1));
  uint32_t colour = tw.dwColor;
  uint32_t shadow = tw.dwShadowColor;
  const bool page = tw.dwTextMode == 1;
  // In page mode a name of a line read before takes the read colours (read before the mark).
  if (page && engine::text_settings.bReadColor &&
      engine::text_read_get(vm, text_id_of(vm, tw.dwTextId))) {
    colour = engine::text_settings.dwReadColor;
    shadow = engine::text_settings.dwReadShadowColor;
  }
  int32_t x = 0;
  int32_t y = page ? 0 : 2;
  textrender::draw_text_tagged(vm, engine::text_settings.render, textwindow::text_sprite(tw.lpName),
                               tw.szName, &x, &y, kNameAreaWidth, kNameAreaHeight, tw.nCharSize, 0,
                               colour, shadow, nullptr);
  tw.dwLineFlags |= engine::kLineHasName;
  engine::history_write_field(vm, tw.szName, engine::kHistoryName);
}

void text_mark_read(VmContext& vm, TextWindow& tw, uint32_t id) {
  if (engine::text_read_get(vm, id)) {
    tw.bRead = 1;
    return;
  }
  engine::text_read_set(vm, id);
  tw.bRead = 0;
  if (engine::player_settings(vm).bSkipUnread == 0 && vm.run.bSkip) {
    tw.bAdvanceRequest = 0;
    vm.messages.bPending = 1;
    vm.messages.slots[1].bPosted = 1;
    vm.messages.slots[1].dwParam = 0;
  }
}

void text_set_message(VmContext& vm, TextWindow& tw, uint32_t text_operand) {
  if (!skipping(vm)) paint(tw.lpMessage);
  tw.reveal.bReady = 0;
  tw.reveal.nLinePitch = tw.reveal.nBaseLinePitch;
  const ResolvedText text = resolve_text(vm, text_operand, textrender::kTextBufferBytes);
  text_mark_read(vm, tw, text.id);
  uint32_t colour = tw.dwColor;
  uint32_t shadow = tw.dwShadowColor;
  const bool read_colours = read_colours_for(tw);
  if (read_colours) {
    colour = engine::text_settings.dwReadColor;
    shadow = engine::text_settings.dwReadShadowColor;
    orv.OrvFontSetColor(colour, shadow);
  }
  textrender::text_expand(vm, tw.szMessage, sizeof tw.szMessage, text.text.c_str());
  tw.nEndX = 0;
  tw.nEndY = 0;
  tw.dwRevealOffset = 0;
  tw.nRenderedLength = textrender::draw_text_tagged(
      vm, engine::text_settings.render, textwindow::text_sprite(tw.lpMessage), tw.szMessage,
      &tw.nEndX, &tw.nEndY, tw.nWidth, tw.nHeight, tw.nCharSize, tw.nRubySize, colour, shadow,
      &tw.reveal);
  if (read_colours) orv.OrvFontSetColor(tw.dwColor, tw.dwShadowColor);
  if (engine::text_settings.render.bSpaceSkip) tw.nRenderedLength += kSoftEdge;
  if (tw.nTime != 0 || engine::player_settings(vm).dwMessageSpeed != 0) {
    textwindow::reveal_capture(textwindow::text_sprite(tw.lpMessage), tw.reveal,
                               textwindow::reveal_ordering(engine::text_settings.render),
                               orv.OrvFontGetEffect ? orv.OrvFontGetEffect() : 0, skipping(vm));
  }
  engine::history_write_field(vm, tw.szMessage, engine::kHistoryText);
}

void text_voice_start(VmContext& vm, TextWindow& tw, uint32_t voice_operand) {
  std::memset(tw.szVoice, 0, sizeof tw.szVoice);
  std::string name;
  if (voice_operand != engine::kNoText) {
    uint8_t buffer[260] = {};
    engine::get_file_name_operand(vm, buffer, sizeof buffer, voice_operand, 1);
    const char* resolved = reinterpret_cast<const char*>(buffer);
    name.assign(resolved, strnlen(resolved, engine::kTextVoiceBytes));
  }
  const engine::LineVoice voice = engine::line_voice_play(vm, name);
  if (voice == engine::LineVoice::kNone) return;
  std::memcpy(tw.szVoice, name.data(), std::min(name.size(), sizeof tw.szVoice - 1));
  // The voice calls match the name the window now holds.
  if (voice == engine::LineVoice::kPlays) engine::voice_call_begin(vm);
  engine::history_write_field(vm, tw.szVoice, engine::kHistoryVoice);
  engine::vm_log(engine::kLogHistory, "text : voice %s", tw.szVoice);
  tw.dwLineFlags |= engine::kLineHasVoice;
}

bool scene_skip_stop_at_unread(VmContext& vm, TextWindow& tw) {
  if (!vm.run.bSceneSkip || vm.run.dwSceneSkipArg != 0) return false;
  if (engine::text_read_get(vm, text_id_of(vm, tw.dwTextId))) return false;
  const uint32_t kind = tw.dwMode & 0xFFFF0000u;
  if (kind == engine::kModeNormalLine || kind == engine::kModeNoWaitLine ||
      kind == engine::kModeNoClickLine) {
    engine::vm_push(vm, static_cast<uint32_t>(tw.nTime));
  }
  engine::vm_push(vm, tw.dwTextId);
  engine::vm_push(vm, tw.dwNameId);
  engine::vm_push(vm, tw.dwVoiceId);
  engine::vm_log(engine::kLogHistory, "cancel scene skip text\n");
  vm.run.bSceneSkip = 0;
  if (!vm.save.bSavePointLock) {
    vm.save.dwResumePc = vm.runner.dwPc - 12;
    vm.save.dwSnapOffset = 0;
    engine::neighbour_run(engine::neighbours.interaction.save_snapshot_make, vm);
  }
  if (engine::neighbours.interaction.save_snapshot_reload) {
    engine::neighbours.interaction.save_snapshot_reload(vm);
  } else {
    // Without saves the command runs again from the operands it put back.
    vm.runner.dwPc -= 12;
    vm.runner.bYield = 1;
  }
  return true;
}

void ret_stack_dump(VmContext& vm) {
  const uint32_t count = engine::orv_list_count(vm.hReturnStack, engine::kChannelReturns);
  for (uint32_t n = 0; n < count; ++n) {
    const auto* e = reinterpret_cast<const engine::DataEntry*>(
        engine::orv_list_get_data(vm.hReturnStack, engine::kChannelReturns, n));
    if (!e) continue;
    engine::vm_log(engine::kLogHistory, "ret stack %08x %d/%d", e->dwValue, n + 1, count);
  }
}

}  // namespace textlines
