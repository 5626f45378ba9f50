// The dialogs as the library's modal widgets (OrvWidgetCreate): the "EDIT" and 108 templates
// with their controls, texts and limits, and the built-in file browser. These are the default
// DialogHost; each runs on the script's thread and returns when the player closes the dialog.
#pragma once

#include <cstdint>

#include "ui/dialogs/dialogs.h"

namespace ui {

int32_t dialog_run_edit(EditDialog& d);
int32_t dialog_run_stand_edit(StandEditDialog& d);
int32_t dialog_run_file(FileDialog& d);

// A template's dialog units in pixels, for a font of cell height font_px: a horizontal unit is
// a quarter of the average character width (half the cell), a vertical one an eighth of the
// cell, rounded to nearest.
int32_t dialog_units_x(int32_t units, int32_t font_px);
int32_t dialog_units_y(int32_t units, int32_t font_px);

}  // namespace ui
