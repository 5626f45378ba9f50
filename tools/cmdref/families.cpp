#include <cstring>

#include "cmdref/command_reference.h"

namespace cmdref {

namespace {

// One entry per list of program/command_lists.h; a list without one gets a title from its name.
const FamilyText kFamilies[] = {
    {"MOVIE_COMMANDS", "Movies",
     "A full-screen movie plays over the whole window while the game stands still, and the "
     "script goes on after it; a movie sprite is a movie in a layer, loaded like a picture "
     "(\".mpg\"), placed and released by the layer commands and driven by the msp commands."},
    {"WAIT_COMMANDS", "Waits",
     "A wait stops the script and lets frames go by until its time passes, a click comes or a "
     "skip ends it; the script goes on with the next instruction afterwards."},
    {"DEBUG_COMMANDS", "Debug",
     "Output for the game's developer and probes of the script machine. Most print only in "
     "debug mode; every one takes its arguments all the same."},
    {"STRING_COMMANDS", "Strings",
     "Texts live in 16 string slots of 2,047 bytes (Shift-JIS). `string` hands out the next "
     "slot of the ring; the commands below write into a slot through its handle and read any "
     "text argument from a handle or a `text\"...\"` alike. Commands ending in `f` take a "
     "slot's text upper-cased, as file names are."},
    {"FILE_COMMANDS", "Files",
     "Files and folders of the player's disk, the game's own files (in archives or loose), a "
     "text file to append to, and opening an address or a file with the desktop. A relative "
     "name is taken from the program folder."},
    {"INI_COMMANDS", "INI files",
     "Settings in INI files. Reads look in the save folder, then the program folder; writes go "
     "to the save folder and take a plain file name."},
    {"DATA_FILE_COMMANDS", "Data files",
     "Tables of numbers and texts read from the game's data files: open one, read its numbers "
     "into TempMemory cells in order, and turn a cell that names a text into a string slot."},
    {"ACCESS_FLAG_COMMANDS", "Access flags",
     "Every file the script names has two access flags: bit 0 entered, bit 1 new. A file is a "
     "name (string handle) or an index into File.dat; they are kept with the saves."},
    {"SYSTEM_COMMANDS", "System",
     "Questions about the machine and the game, touch and gestures, clocks, the work thread, "
     "save points and skipping."},
    {"BUTTON_COMMANDS", "Buttons",
     "16 groups of up to 128 buttons. A button is an image whose cell rows base, base + 1 and "
     "base + 2 show it normal, hovered and pressed; a click runs its click label once the click "
     "sound has ended, a hover and a leave run their labels as subroutines. Labels are label "
     "numbers, 0 for none."},
    {"SYSTEM_BUTTON_COMMANDS", "System buttons",
     "32 hooks that call a label on a key, the wheel or a mouse button: 0 right button, 1 and 2 "
     "the wheel, 3 left button or C, 4-15 F1-F12, 16 Esc, 17-20 the arrows, 21-31 every frame. "
     "Any held key other than an arrow keeps them all silent."},
    {"SELECT_COMMANDS", "Choices",
     "A choice menu is one block: `select`, then per item its argument pushes and "
     "`select_item`, then `end_select`, at most 15 items. `select` runs the block itself; "
     "`end_select` waits each frame for the mouse or the arrow keys and jumps to the chosen "
     "item's label. Item flags: bit 0 shown, bit 1 selectable."},
    {"MEMORY_BLOCK_COMMANDS", "Memory blocks",
     "Numbered blocks the script makes: byte buffers read and written at offsets, and "
     "dictionaries of texts under number keys. Reads and writes outside a buffer do nothing."},
    {"MATH_COMMANDS", "Math",
     "Arithmetic beyond the core operations. Fixed-point numbers carry four decimals: 10000 is "
     "1.0."},
    {"THREAD_COMMANDS", "Script thread",
     "A second flow of the script, run every frame before the main script until it ends."},
    {"MESSAGE_COMMANDS", "Script messages",
     "Messages the game posts to the script (menus closing and the like), taken one by one by "
     "the label create_message names."},
    {"TEXT_WINDOW_COMMANDS", "Text window",
     "The one message window: its message and name sprites, the base image behind the text and "
     "three waiting icons (click, skip, auto). Every command but text_init and text_set_priority "
     "refuses to work before text_init."},
    {"SKIP_MODE_COMMANDS", "Skip modes and system queries",
     "Skip mode and auto mode are the player's switches (usually on the text window's system "
     "buttons); skip mode is refused on text not read before unless the player allows skipping "
     "it, and the script then receives message 1. A scene skip or a history skip runs the "
     "script without waiting until it is cancelled; the cancel rebuilds the game from a "
     "snapshot taken where the skip got to. The rest asks about the window and the screen. A "
     "variable is a TempMemory cell 0-4095, -1 for none."},
    {"LAYER_ATTR_COMMANDS", "Layer attributes",
     "One property of a layer or of an image at a time; the change shows in the same frame. "
     "An image is a layer 0-127 or an image number (0x01000000 | n a system image, 0x02000000 "
     "| plane << 20 | n a button or choice image). A getter of an image number that names "
     "nothing answers -1. A var is a TempMemory cell 0-4095, -1 for none."},
    {"IMAGE_OP_COMMANDS", "Image operations",
     "Changes to the pixels of a layer's picture. With a slot 0-7 the change is recorded in "
     "that slot of the layer and made again when a saved game is loaded (slot -1: once, not "
     "recorded). A second command on a slot adds its operation to the slot's. Colours are "
     "0xAARRGGBB."},
    {"LAYER_TRANSITION_COMMANDS", "Layer transitions",
     "A layer fades from its picture to a new one, or fades out and is cleared, starting at "
     "the next run (under run at once, under run_no_wait over its own time). While skipping "
     "or with screen effects off the change is made at the next run without a fade."},
    {"PIXEL_COMMANDS", "Layer pixels",
     "Direct access to a layer's pixels, 4 bytes each (blue, green, red, alpha). None of it "
     "is recorded: a loaded game shows the layer's own picture. sp_lock_pixels hands out a "
     "buffer value for the layer; the other commands take it back with byte offsets and do "
     "nothing outside the locked pixels."},
    {"LAYER_EFFECT_COMMANDS", "Layer effects and questions",
     "One-shot pixel effects between layers, how a layer's sprite is drawn, and questions "
     "about it. Nothing here is recorded for a loaded game but the drawing options, which "
     "travel with the sprite's state."},
    {"IMAGE_FILE_COMMANDS", "Image files",
     "A layer's picture written to an image file, or an image file painted into it, by a "
     "path (a relative one is taken from the program folder)."},
    {"LAYER_SHADER_COMMANDS", "Layer shader effects",
     "A raster wave or a radial blur over a layer's picture, at most eight at once; kept with "
     "a saved game and ended with their layer."},
    {"LAYER_TEXT_COMMANDS", "Layer text",
     "Text drawn into layers: sp_text draws one line in the current font and remembers it for "
     "a loaded game; draw_text lays out tagged text with the text window's settings."},
};

}  // namespace

FamilyText family_text(const char* list) {
  for (const FamilyText& f : kFamilies) {
    if (std::strcmp(f.list, list) == 0) return f;
  }
  return FamilyText{list, nullptr, nullptr};
}

}  // namespace cmdref
