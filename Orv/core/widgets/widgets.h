// Edit boxes and dialogs drawn by the library in the game window, in place of the system's
// edit controls and dialog boxes.
//
// A widget is a box over the game picture (kind 0: frameless, not modal, such as the player's
// name entry) or a modal dialog (kind 1: centred over the picture, with a caption; while one
// is shown it takes all keyboard and mouse input). A widget holds controls, each with an id:
// push buttons, edit controls, static texts, group boxes, editable combo boxes and list boxes.
// The game side builds a dialog from its template, waits for its notifications (the WM_COMMAND
// words of the system: notification code << 16 | control id) and reads the controls' texts.
//
// Text is Shift-JIS everywhere; typed text arrives as UTF-8 from SDL's text input (the input
// method's composition is shown at the caret until it is committed) and is converted here.
// SDL's text input runs only while a shown widget's edit control has the focus.
//
// Keys and the mouse, as the system's controls take them:
//   Edits and a combo box's field: the caret keys (Left, Right, Up, Down, Home, End; Ctrl+Left
//     and Ctrl+Right by words, Ctrl+Home and Ctrl+End to the text's ends; Up and Down move
//     between lines of multi-line text, like Left and Right in one line) and, with Shift, the
//     same keys extend the selection; dragging with the left button selects, so does a click
//     with Shift (from the caret to the click), a double click selects a word, Ctrl+A all of the
//     text, and Tab into an edit of a dialog selects its text. Typing and pasting replace the
//     selection; Backspace and Delete delete it. Ctrl+C or Ctrl+Insert copies, Ctrl+X or
//     Shift+Delete cuts, Ctrl+V or Shift+Insert pastes, Ctrl+Z or Alt+Backspace undoes the last
//     change (one level; undoing again brings it back). The clipboard holds UTF-8
//     (platform/clipboard.h): a pasted character without a Shift-JIS form arrives as '?', a single
//     line takes a paste up to its first line break, and the byte limit cuts a paste on a character
//     boundary. Copy, cut, paste and undo each notify a change (copy too, though the text stays),
//     as the system's dialogs see them.
//   Combo boxes: Up and Down choose the item before or after while the list is closed. F4,
//     Alt+Down or a click on the arrow opens the list below the field (as tall as the items,
//     at most the control's height, with a scroll bar when they do not fit); Up, Down, Page Up
//     and Page Down move its mark, the wheel and the bar's track scroll it; Return, a click on
//     an item, or F4, Alt+Down or Alt+Up choose the marked item (its text into the field,
//     selected; a change notified);
//     Escape or a click elsewhere closes it choosing nothing, without closing the dialog.
//   Keys take Windows virtual-key codes, which the platform layer makes from the key's
//     position: Ctrl+Z is the key where Z lies on a US keyboard.
//
// Pictures: each shown widget is drawn into its own straight-alpha picture, laid over the frame
// when one is presented: by the window thread with the software renderer, by the game thread
// with the GL renderer (Orv/render/gl/gl_overlay.h), whose OrvWidgetWait on that thread shows
// the last frame again with the widgets over it, since a dialog waited for there holds up the
// frames.
//
// Threads: the exports may be called from any thread; the widgets' records are under one
// lock. Events reach them on the window thread (widgets_take_event).
//
// Exports (orv/exports.h, "edit boxes and dialogs"):
//
//   OrvHandle OrvWidgetCreate(kind, x, y, width, height, font_size, font_type, caption)
//     A hidden widget; kind 0 a box at client pixel (x, y), kind 1 a dialog of width x height
//     pixels (x, y unused) with the caption. font_size is the text's cell height in pixels
//     (at least 8); font_type 1 draws in the fixed Mincho face, 2 in the proportional Gothic
//     (the system dialogs' face), 3 in the proportional Mincho, anything else in the fixed
//     Gothic (the fixed faces advance half and full cells). 0 for another kind or a size
//     below 1.
//   OrvBool OrvWidgetDestroy(widget)         removes it (its notifications too).
//   OrvBool OrvWidgetMove(widget, x, y, width, height, font_size)
//     places a box again (a dialog keeps its place, centred); the first control of a box is
//     stretched over all of it.
//   OrvBool OrvWidgetAddControl(widget, id, kind, x, y, width, height, style, limit, text)
//     kind 1 button, 2 edit, 3 static, 4 group box, 5 combo box (editable), 6 list box;
//     position in pixels inside the widget; style with the system's bits (0x1 default push
//     button / edit: Return inserts a line break with 0x1000, multi-line 0x4; 0x10000 tab
//     stop; combo and list 0x100 sorted); limit: most bytes typing and pasting may bring an
//     edit (or a combo's field) to, 0 the system's default of 32767. The first edit, combo or
//     list added gets the focus.
//   OrvBool OrvWidgetSetText(widget, id, text)  a control's text (an edit's caret to its end).
//   int32_t OrvWidgetGetText(widget, id, buffer, size)
//     copies at most size - 1 bytes (cut on a character boundary) and a zero; returns the
//     bytes copied, -1 for no such control. A list box gives its selected item.
//   OrvBool OrvWidgetEnable(widget, id, enable)  a disabled control takes no input.
//   OrvBool OrvWidgetAddItem(widget, id, text)   an item of a combo or list box (null text:
//     removes all items).
//   int32_t OrvWidgetSelect(widget, id, item)   selects an item of a combo (its text into the
//     field) or list box (-1: none); returns the item selected before, -1 when none or no such
//     control.
//   OrvBool OrvWidgetShow(widget, focus_id)     shows the widget and gives the control the
//     focus (0: keeps the focus).
//   uint32_t OrvWidgetWait(widget, timeout_ms)
//     the next notification, waiting up to timeout_ms (-1 no limit): 0 << 16 | id a button
//     clicked (Return clicks the default button, Escape and the caption's close box give id 2),
//     0x0300 << 16 | id an edit's or combo's text changed, 1 << 16 | id a list's selection
//     changed, 2 << 16 | id a list item double-clicked. 0 on time-out; 2 (cancel) once the
//     program is ending, its window thread is gone (the window's queue closed: nobody can
//     answer) or the widget is gone, so that a dialog never holds its thread up.
//   void OrvBeep(void)                       the warning sound of a refused entry.
//   int32_t OrvFileDialog(save, title, extension, flags, folder_id, path, size)
//     the built-in file browser (file_browser.h); 1 when a file was chosen (its path in path,
//     Shift-JIS with '\' separators, at most size - 1 bytes), 0 on cancel.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace platform {
struct WindowEvent;
struct Overlay;
}  // namespace platform

// Window thread: offers a window event to the widgets. True when they took it: a shown dialog
// takes every key, text and mouse event; a box takes typed text and the pointer over its
// enabled controls other than labels and group boxes (the rest of it lets the pointer through)
// and lets the keys through to the game as well.
bool widgets_take_event(const platform::WindowEvent& ev);

// The pictures of the shown widgets for the client area's size, bottom first (the thread that
// presents: the window thread, or the game thread with the GL renderer). The pictures stay
// alive as long as `keep` holds them.
void widgets_overlays(int32_t client_width, int32_t client_height,
                      std::vector<platform::Overlay>* out,
                      std::vector<std::shared_ptr<const std::vector<uint32_t>>>* keep);

// Window thread: starts or stops SDL's text input to match the focus.
void widgets_sync_text_input();

// Removes every widget (the library's shutdown).
void widgets_reset();
