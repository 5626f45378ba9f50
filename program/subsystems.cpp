#include "subsystems.h"

#include "commands/library_commands.h"
#include "graphics/actions/action_commands.h"
#include "graphics/animations/animations_attach.h"
#include "graphics/effects/screen_effects.h"
#include "graphics/layers/layers_attach.h"
#include "graphics/particles/particles.h"
#include "graphics/transitions/transitions_attach.h"
#include "movie/movie_commands.h"
#include "save/save_commands.h"
#include "text/history/history_write.h"
#include "text/lines/text_line.h"
#include "text/sound/sound_commands.h"
#include "text/tips/tips_commands.h"
#include "text/window/text_window_commands.h"
#include "ui/ui_attach.h"

void attach_subsystems() {
  engine::library_commands_attach();
  graphics::transitions_attach();
  layers::layers_attach();
  actions::actions_attach();
  animations::animations_attach();
  effects::screen_effects_attach();
  particles::particles_attach();
  engine::sound_attach();
  engine::history_attach();
  textlines::text_lines_attach();
  ui::ui_attach();
  textwindow::text_window_attach();
  tips::tips_attach();
  movies::movies_attach();
  save::save_attach();
}
