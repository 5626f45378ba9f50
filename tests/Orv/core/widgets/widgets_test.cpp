// The library's edit boxes and dialogs, driven by window events as SDL's dummy driver would
// deliver them: typed text into Shift-JIS, the keys a dialog takes, the limits, notifications
// for OK, cancel and changes, the pictures laid over the presented frame, and the file browser.
#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <future>
#include <string>
#include <thread>

#include "Orv/core/widgets/file_browser.h"
#include "Orv/core/widgets/widget_record.h"
#include "Orv/core/widgets/widgets.h"
#include "Orv/core/window/frame_draw.h"
#include "Orv/core/window/process.h"
#include "Orv/core/window/window_proc.h"
#include "orv/orv.h"
#include "platform/file.h"
#include "platform/message_box.h"
#include "platform/window.h"
#include "support/temp_dir.h"
#include "support/widget_wait.h"

namespace {

using platform::WindowEvent;
using K = platform::WindowEventKind;

constexpr uint32_t kChange = 0x0300;

int32_t start_never_called() {
  return 0;
}

WindowEvent text(const std::string& utf8) {
  WindowEvent e;
  e.kind = K::kTextInput;
  e.text = utf8;
  return e;
}
WindowEvent key(uint32_t vk, bool shift = false) {
  WindowEvent e;
  e.kind = K::kKeyDown;
  e.vk = vk;
  e.shift = shift;
  return e;
}
WindowEvent ctrl_key(uint32_t vk) {
  WindowEvent e = key(vk);
  e.ctrl = true;
  return e;
}
WindowEvent alt_key(uint32_t vk) {
  WindowEvent e = key(vk);
  e.alt = true;
  return e;
}
WindowEvent press(int32_t x, int32_t y, uint8_t clicks = 1) {
  WindowEvent e;
  e.kind = K::kMouseDown;
  e.button = platform::kMouseLeft;
  e.x = x;
  e.y = y;
  e.clicks = clicks;
  return e;
}

// A copy of a control's record.
Control control_of(OrvHandle w, int32_t id) {
  WidgetState& st = widget_state();
  std::lock_guard<std::mutex> lock(st.mutex);
  for (auto& widget : st.widgets) {
    if (widget->id != w) continue;
    for (const Control& c : widget->controls) {
      if (c.id == id) return c;
    }
  }
  return Control{};
}

std::string clipboard() {
  char* text = SDL_GetClipboardText();
  std::string copy = text ? text : "";
  SDL_free(text);
  return copy;
}

std::string text_of(OrvHandle w, int32_t id) {
  char buf[256];
  const int32_t n = OrvWidgetGetText(w, id, buf, sizeof buf);
  return n < 0 ? "<none>" : std::string(buf, n);
}

class Widgets : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    StartParams p;
    OrvDefaultCreate(&p);
    p.client_width = 800;
    p.client_height = 600;
    p.start_func = &start_never_called;
    ASSERT_EQ(OrvInit(&p), 1);
    // The test thread is the window thread.
  }
  void TearDown() override {
    widgets_reset();
    OrvUninit();
  }
  // A dialog with a multi-line edit of 6 bytes (id 10), a sorted combo box (id 11), OK (the
  // default) and cancel.
  OrvHandle dialog() {
    const OrvHandle d = OrvWidgetCreate(1, 0, 0, 300, 140, 16, 0, "caption");
    EXPECT_TRUE(OrvWidgetAddControl(d, 10, 2, 10, 10, 200, 40, 0x4 | 0x1000 | 0x10000, 6, ""));
    EXPECT_TRUE(OrvWidgetAddControl(d, 11, 5, 10, 60, 200, 70, 0x100 | 0x10000, 0, ""));
    EXPECT_TRUE(OrvWidgetAddControl(d, 1, 1, 220, 10, 70, 24, 0x1 | 0x10000, 0, "OK"));
    EXPECT_TRUE(OrvWidgetAddControl(d, 2, 1, 220, 40, 70, 24, 0x10000, 0, "Cancel"));
    return d;
  }
};

TEST_F(Widgets, ABoxTakesTypedTextAsShiftJisAndLetsKeysThroughToTheGame) {
  const OrvHandle box = OrvWidgetCreate(0, 10, 10, 200, 30, 16, 0, "");
  ASSERT_NE(box, 0u);
  ASSERT_TRUE(OrvWidgetAddControl(box, 1, 2, 0, 0, 200, 30, 0, 0, ""));
  OrvWidgetSetText(box, 1, "\x8eR");  // "山"
  window_handle_event(text("山"));    // typed before the box is shown: not taken
  EXPECT_EQ(text_of(box, 1), "\x8eR");
  ASSERT_TRUE(OrvWidgetShow(box, 1));

  WindowEvent composing;
  composing.kind = K::kTextEditing;
  composing.text = "た";
  window_handle_event(composing);  // the input method's unfinished text is not the box's text
  EXPECT_EQ(text_of(box, 1), "\x8eR");
  window_handle_event(text("田"));
  EXPECT_EQ(text_of(box, 1), "\x8eR\x93\x63");
  EXPECT_EQ(OrvWidgetWait(box, 0), kChange << 16 | 1);

  window_handle_event(key(0x08));  // Backspace edits the box and reaches the game too
  EXPECT_EQ(text_of(box, 1), "\x8eR");
  window_handle_event(key(0x20));
  EXPECT_NE(orv_process().input.keys_down.load(), 0u);

  char small[4];
  OrvWidgetSetText(box, 1, "a\x8eR\x93\x63");
  EXPECT_EQ(OrvWidgetGetText(box, 1, small, sizeof small), 3);  // "田" does not fit whole
  EXPECT_STREQ(small, "a\x8eR");
  EXPECT_EQ(OrvWidgetGetText(box, 9, small, sizeof small), -1);
  EXPECT_TRUE(OrvWidgetDestroy(box));
  EXPECT_EQ(OrvWidgetGetText(box, 1, small, sizeof small), -1);
}

TEST_F(Widgets, ADialogTakesEveryKeyAndNotifiesChangesOkAndCancel) {
  const OrvHandle d = dialog();
  ASSERT_TRUE(OrvWidgetShow(d, 10));
  window_handle_event(text("ab"));
  window_handle_event(key(0x0D));     // Return breaks the line in this edit
  window_handle_event(text("cdef"));  // 6 bytes at most: "ab", CR LF and "cd"
  EXPECT_EQ(text_of(d, 10), "ab\r\ncd");
  EXPECT_EQ(orv_process().input.keys_down.load(), 0u);  // the game saw no key
  while (OrvWidgetWait(d, 0) == (kChange << 16 | 10)) {
  }

  window_handle_event(key(0x09));  // Tab to the combo box
  window_handle_event(key(0x0D));  // Return there clicks the default button
  EXPECT_EQ(OrvWidgetWait(d, 0), 1u);
  OrvWidgetEnable(d, 1, 0);
  window_handle_event(key(0x0D));  // a disabled OK is not clicked
  EXPECT_EQ(OrvWidgetWait(d, 0), 0u);
  window_handle_event(key(0x1B));
  EXPECT_EQ(OrvWidgetWait(d, 0), 2u);
}

TEST_F(Widgets, AComboBoxKeepsItsItemsSortedAndUpAndDownPickThem) {
  const OrvHandle d = dialog();
  for (const char* name : {"carol", "alice", "bob"}) OrvWidgetAddItem(d, 11, name);
  ASSERT_TRUE(OrvWidgetShow(d, 11));
  window_handle_event(key(0x28));
  EXPECT_EQ(text_of(d, 11), "alice");
  window_handle_event(key(0x28));
  window_handle_event(key(0x28));
  window_handle_event(key(0x28));  // stays on the last
  EXPECT_EQ(text_of(d, 11), "carol");
  EXPECT_EQ(OrvWidgetSelect(d, 11, 1), 2);
  EXPECT_EQ(text_of(d, 11), "bob");
  window_handle_event(text("!"));  // the field is editable
  EXPECT_EQ(text_of(d, 11), "bob!");
}

TEST_F(Widgets, AComboBoxListOpensOnAltDownF4OrItsArrowAndChoosesByKeysOrClicks) {
  const OrvHandle d = dialog();  // the combo box's list has room for two rows
  // An edit below the field, which the open list covers (added last: first in line for
  // clicks but for the list).
  ASSERT_TRUE(OrvWidgetAddControl(d, 12, 2, 10, 86, 200, 24, 0x10000, 0, ""));
  for (const char* name : {"dave", "carol", "alice", "bob"}) OrvWidgetAddItem(d, 11, name);
  OrvWidgetSetText(d, 11, "bob");
  ASSERT_TRUE(OrvWidgetShow(d, 11));
  window_handle_event(alt_key(0x28));
  EXPECT_TRUE(control_of(d, 11).dropped);
  EXPECT_EQ(control_of(d, 11).hot, 1);  // the field's text is marked
  window_handle_event(key(0x28));
  window_handle_event(key(0x28));
  window_handle_event(key(0x28));  // stays on the last, scrolled into view
  EXPECT_EQ(control_of(d, 11).hot, 3);
  EXPECT_EQ(control_of(d, 11).top, 2);
  EXPECT_EQ(text_of(d, 11), "bob");  // moving the mark leaves the field
  EXPECT_EQ(OrvWidgetWait(d, 0), 0u);
  window_handle_event(key(0x0D));  // chooses; OK is not clicked
  EXPECT_EQ(text_of(d, 11), "dave");
  EXPECT_FALSE(control_of(d, 11).dropped);
  EXPECT_EQ(OrvWidgetWait(d, 0), kChange << 16 | 11);
  EXPECT_EQ(OrvWidgetWait(d, 0), 0u);

  window_handle_event(key(0x73));  // F4
  window_handle_event(key(0x26));
  window_handle_event(key(0x1B));  // closes the list, not the dialog, and chooses nothing
  EXPECT_FALSE(control_of(d, 11).dropped);
  EXPECT_EQ(text_of(d, 11), "dave");
  EXPECT_EQ(OrvWidgetWait(d, 0), 0u);

  std::vector<platform::Overlay> overlays;
  std::vector<std::shared_ptr<const std::vector<uint32_t>>> keep;
  widgets_overlays(800, 600, &overlays, &keep);
  ASSERT_EQ(overlays.size(), 1u);
  const int32_t cx = overlays[0].x + kFrame, cy = overlays[0].y + overlays[0].height - kFrame - 140;
  window_handle_event(press(cx + 10 + 195, cy + 60 + 5));  // the arrow
  EXPECT_TRUE(control_of(d, 11).dropped);
  const int32_t first_row = cy + 60 + 24 + 2 + 5;  // below the field of a line and its margins
  WindowEvent move;
  move.kind = K::kMouseMove;
  move.x = cx + 20;
  move.y = first_row;
  window_handle_event(move);  // the pointer marks the item under it
  EXPECT_EQ(control_of(d, 11).hot, 2);
  WindowEvent wheel;  // a wheel event has no place: the pointer's last one counts
  wheel.kind = K::kWheel;
  wheel.y = 1;
  window_handle_event(wheel);  // scrolls the list, not the edit under it
  EXPECT_EQ(control_of(d, 11).top, 1);
  window_handle_event(press(cx + 20, first_row));  // "bob", shown first now, over the edit
  EXPECT_EQ(text_of(d, 11), "bob");
  EXPECT_FALSE(control_of(d, 11).dropped);
  window_handle_event(text("!"));  // the combo box kept the focus; the chosen text is selected
  EXPECT_EQ(text_of(d, 11), "!");
  EXPECT_EQ(text_of(d, 12), "");
  EXPECT_EQ(OrvWidgetWait(d, 0), kChange << 16 | 11);
  EXPECT_EQ(OrvWidgetWait(d, 0), kChange << 16 | 11);
  window_handle_event(key(0x1B));  // now Escape cancels the dialog
  EXPECT_EQ(OrvWidgetWait(d, 0), 2u);
}

TEST_F(Widgets, ClipboardKeysCopyCutPasteAndUndoThroughUtf8AndNotifyEachOne) {
  const OrvHandle d = dialog();  // the edit takes 6 bytes on several lines, the combo one line
  ASSERT_TRUE(OrvWidgetShow(d, 10));
  window_handle_event(text("山田x"));
  while (OrvWidgetWait(d, 0) != 0) {
  }
  auto notes_for_edit = [&] {
    int n = 0;
    for (uint32_t note = OrvWidgetWait(d, 0); note != 0; note = OrvWidgetWait(d, 0)) {
      EXPECT_EQ(note, kChange << 16 | 10);
      ++n;
    }
    return n;
  };
  window_handle_event(ctrl_key(0x41));  // Ctrl+A
  window_handle_event(ctrl_key(0x43));  // Ctrl+C: the text stays, the count is made again
  EXPECT_EQ(clipboard(), "山田x");
  EXPECT_EQ(text_of(d, 10), "\x8eR\x93\x63x");
  EXPECT_EQ(notes_for_edit(), 1);
  window_handle_event(ctrl_key(0x58));  // Ctrl+X
  EXPECT_EQ(text_of(d, 10), "");
  EXPECT_EQ(notes_for_edit(), 1);

  SDL_SetClipboardText("一\r\n二😀");    // the emoji has no Shift-JIS form: '?', over the limit
  window_handle_event(ctrl_key(0x56));  // Ctrl+V
  EXPECT_EQ(text_of(d, 10), "\x88\xea\r\n\x93\xf1");
  EXPECT_EQ(notes_for_edit(), 1);
  window_handle_event(key(0x09));        // Tab to the combo box
  window_handle_event(key(0x2D, true));  // Shift+Insert: one line takes up to the break
  EXPECT_EQ(text_of(d, 11), "\x88\xea");

  window_handle_event(key(0x09, true));  // back: all of the edit's text is selected
  window_handle_event(key(0x2E, true));  // Shift+Delete cuts it
  EXPECT_EQ(text_of(d, 10), "");
  EXPECT_EQ(clipboard(), "一\r\n二");
  window_handle_event(ctrl_key(0x5A));  // Ctrl+Z
  EXPECT_EQ(text_of(d, 10), "\x88\xea\r\n\x93\xf1");
  while (OrvWidgetWait(d, 0) != 0) {
  }
  window_handle_event(alt_key(0x08));  // Alt+Backspace undoes too: the cut again
  EXPECT_EQ(text_of(d, 10), "");
  EXPECT_EQ(notes_for_edit(), 1);
}

TEST_F(Widgets, DraggingClickingAndShiftClickingSelectText) {
  const OrvHandle box = OrvWidgetCreate(0, 0, 0, 200, 30, 16, 0, "");
  ASSERT_TRUE(OrvWidgetAddControl(box, 1, 2, 0, 0, 200, 30, 0, 0, "abc defg"));
  ASSERT_TRUE(OrvWidgetShow(box, 1));
  // Half-width characters are 8 pixels wide after the 3-pixel margin.
  window_handle_event(press(3 + 8 + 1, 10));
  WindowEvent move;
  move.kind = K::kMouseMove;
  move.x = 3 + 8 * 6 + 1;
  move.y = 10;
  window_handle_event(move);
  WindowEvent up = press(move.x, 10);
  up.kind = K::kMouseUp;
  window_handle_event(up);
  move.x = 3 + 8 * 8;
  window_handle_event(move);  // the button is up: the selection stays
  EXPECT_EQ(edit_selected_text(control_of(box, 1).edit), "bc de");
  window_handle_event(text("X "));  // typing replaces it
  EXPECT_EQ(text_of(box, 1), "aX fg");
  window_handle_event(press(3 + 8 * 3 + 1, 10, 2));  // a double click on "fg"
  EXPECT_EQ(edit_selected_text(control_of(box, 1).edit), "fg");
  window_handle_event(press(3, 10, 2));  // on "aX": the word and the space after it
  EXPECT_EQ(edit_selected_text(control_of(box, 1).edit), "aX ");
  window_handle_event(press(3 + 8 + 1, 10));  // the caret after "a"
  WindowEvent shifted = press(3 + 8 * 4 + 1, 10);
  shifted.shift = true;
  window_handle_event(shifted);  // Shift+click: from the caret to here
  EXPECT_EQ(edit_selected_text(control_of(box, 1).edit), "X f");
}

TEST_F(Widgets, ProportionalFacesMeasureEachCharacterAndFixedFacesUseCells) {
  const OrvHandle fixed = OrvWidgetCreate(0, 0, 0, 200, 30, 16, 0, "");
  const OrvHandle dialog_face = OrvWidgetCreate(0, 0, 40, 200, 30, 16, 2, "");
  ASSERT_TRUE(OrvWidgetAddControl(dialog_face, 1, 2, 0, 0, 200, 30, 0, 0, "iiiiiW"));
  int32_t narrow = 0, wide = 0;
  {
    WidgetState& st = widget_state();
    std::lock_guard<std::mutex> lock(st.mutex);
    const Widget& f = *st.widgets[0];
    const Widget& p = *st.widgets[1];
    ASSERT_EQ(f.id, fixed);
    EXPECT_EQ(text_width(f, "iW\x8eR", 0, 4), 8 + 8 + 16);  // half and full cells
    if (!widget_face(p)) GTEST_SKIP() << "no proportional Japanese face installed";
    narrow = char_advance(p, 'i');
    wide = char_advance(p, 'W');
    EXPECT_LT(narrow, wide);
    EXPECT_EQ(text_width(p, "iiW", 0, 3), 2 * narrow + wide);
  }
  // A click lands where the characters are drawn: just after the fifth narrow "i".
  ASSERT_TRUE(OrvWidgetShow(dialog_face, 1));
  window_handle_event(press(3 + 5 * narrow + 1, 40 + 10));
  EXPECT_EQ(control_of(dialog_face, 1).edit.caret, 5u);
}

TEST_F(Widgets, MouseClicksHitControlsWhereTheCentredDialogDrawsThem) {
  const OrvHandle d = dialog();
  ASSERT_TRUE(OrvWidgetShow(d, 10));
  std::vector<platform::Overlay> overlays;
  std::vector<std::shared_ptr<const std::vector<uint32_t>>> keep;
  widgets_overlays(800, 600, &overlays, &keep);
  ASSERT_EQ(overlays.size(), 1u);
  const platform::Overlay& o = overlays[0];
  EXPECT_EQ(o.width, 300 + 2 * kFrame);
  EXPECT_EQ(o.x, (800 - o.width) / 2);
  EXPECT_EQ(o.y, (600 - o.height) / 2);
  // The client area begins below the caption.
  const int32_t cx = o.x + kFrame, cy = o.y + o.height - kFrame - 140;
  window_handle_event(press(cx + 250, cy + 50));  // cancel
  EXPECT_EQ(OrvWidgetWait(d, 0), 2u);
  window_handle_event(press(cx + 5, cy + 5));  // beside every control: nothing
  window_handle_event(press(cx + 250, cy + 20));
  EXPECT_EQ(OrvWidgetWait(d, 0), 1u);
}

TEST_F(Widgets, ShownWidgetsAreLaidOverThePresentedFrame) {
  const OrvHandle box = OrvWidgetCreate(0, 40, 30, 120, 28, 16, 0, "");
  ASSERT_TRUE(OrvWidgetAddControl(box, 1, 2, 0, 0, 120, 28, 0, 0, ""));
  auto pixel = [](int x, int y) {
    SDL_Surface* s = SDL_GetWindowSurface(SDL_GetWindowFromID(OrvGetWindowHandle()));
    uint8_t r = 0, g = 0, b = 0;
    SDL_GetRGB(static_cast<const uint32_t*>(s->pixels)[y * s->pitch / 4 + x], s->format, &r, &g,
               &b);
    return r << 16 | g << 8 | b;
  };
  frame_present_on_window();
  EXPECT_EQ(pixel(60, 44), 0x000000);  // hidden: the frame alone
  OrvWidgetShow(box, 1);
  frame_present_on_window();
  EXPECT_EQ(pixel(60, 44), 0xFFFFFF);  // the edit's white field
  EXPECT_EQ(pixel(20, 44), 0x000000);
  OrvWidgetMove(box, 200, 30, 120, 28, 16);
  frame_present_on_window();
  EXPECT_EQ(pixel(60, 44), 0x000000);
  EXPECT_EQ(pixel(260, 44), 0xFFFFFF);
}

TEST_F(Widgets, AProgramThatEndsCancelsItsDialog) {
  const OrvHandle d = dialog();
  OrvWidgetShow(d, 10);
  orv_process().end_requested = true;
  EXPECT_EQ(OrvWidgetWait(d, 1000), 2u);
  orv_process().end_requested = false;
  // Without a window thread (its queue closed) nobody can answer: cancel, even with no limit.
  orv_process().window_queue.close();
  EXPECT_EQ(OrvWidgetWait(d, -1), 2u);
  orv_process().window_queue.reopen();
  OrvWidgetDestroy(d);
  EXPECT_EQ(OrvWidgetWait(d, 1000), 2u);  // gone: cancel too, never a wait for nothing
}

// ---- the file browser ----

class FileBrowserTest : public Widgets {
 protected:
  void SetUp() override {
    Widgets::SetUp();
    testsupport::write_file(dir_ / "a.sav", "1");
    testsupport::write_file(dir_ / "B.SAV", "2");
    testsupport::write_file(dir_ / "c.txt", "3");
    testsupport::write_file(dir_ / "sub/inner.sav", "4");
    platform::file_cache_clear();
  }
  static bool wait_for(int32_t id, const std::function<bool(const Control&)>& pred) {
    return testsupport::wait_for_control(id, pred);
  }
  static std::function<bool(const Control&)> listing(std::vector<std::string> items) {
    return [items](const Control& c) { return c.items == items; };
  }
  testsupport::TempDir dir_;
};

TEST_F(FileBrowserTest, ListsFoldersThenFilesOfTheFilter) {
  FileBrowser b;
  b.folder = dir_.path();
  b.extension = "sav";
  browser_list(b);
  std::vector<std::string> labels;
  for (const FileBrowser::Entry& e : b.entries) labels.push_back(browser_label(e));
  EXPECT_EQ(labels, (std::vector<std::string>{"[..]", "[sub]", "B.SAV", "a.sav"}));
  b.all_files = true;
  browser_enter(b, "sub");
  EXPECT_EQ(b.folder, dir_.path() + "\\sub");
  ASSERT_EQ(b.entries.size(), 2u);
  EXPECT_EQ(b.entries[1].name, "inner.sav");
  browser_enter(b, "..");
  EXPECT_EQ(b.folder, dir_.path());
  b.folder = "\\";
  browser_enter(b, "..");  // the root has nothing above it
  EXPECT_EQ(b.folder, "\\");
}

TEST_F(FileBrowserTest, OpensAFolderAndChoosesAFileWithTheKeyboard) {
  char path[516];
  std::snprintf(path, sizeof path, "%s/", dir_.path().c_str());
  auto chosen = std::async(std::launch::async, [&] {
    return OrvFileDialog(0, "", "sav", 0x1000, 5, path, sizeof path);
  });
  ASSERT_TRUE(wait_for(11, listing({"[..]", "[sub]", "B.SAV", "a.sav"})));
  window_handle_event(key(0x09, true));  // Shift+Tab from the name field to the list
  window_handle_event(key(0x28));
  window_handle_event(key(0x28));  // "[sub]"
  window_handle_event(key(0x0D));  // OK with an empty name opens the folder
  ASSERT_TRUE(wait_for(11, listing({"[..]", "inner.sav"})));
  window_handle_event(key(0x28));
  window_handle_event(key(0x28));  // the file's name goes into the name field
  ASSERT_TRUE(wait_for(12, [](const Control& c) { return c.edit.text == "inner.sav"; }));
  window_handle_event(key(0x0D));
  ASSERT_EQ(chosen.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  EXPECT_EQ(chosen.get(), 1);
  EXPECT_EQ(std::string(path), dir_.path() + "\\sub\\inner.sav");
}

TEST_F(FileBrowserTest, RefusesAMissingFileToOpenAndCancelsOnEscape) {
  char path[516];
  std::snprintf(path, sizeof path, "%s/none.sav", dir_.path().c_str());
  auto chosen = std::async(std::launch::async, [&] {
    return OrvFileDialog(0, "", "sav", 0x1000, 5, path, sizeof path);
  });
  ASSERT_TRUE(wait_for(12, [](const Control& c) { return c.edit.text == "none.sav"; }));
  window_handle_event(key(0x0D));  // no such file: the dialog stays
  EXPECT_EQ(chosen.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
  window_handle_event(key(0x1B));
  ASSERT_EQ(chosen.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  EXPECT_EQ(chosen.get(), 0);
}

TEST_F(FileBrowserTest, SavingAddsTheExtensionAndAsksBeforeReplacing) {
  setenv("VELMORA_MSGBOX_ANSWERS", "7,6", 1);  // no, then yes
  platform::message_box_answers_restart();
  char path[516];
  std::snprintf(path, sizeof path, "%s/a", dir_.path().c_str());
  auto chosen = std::async(std::launch::async,
                           [&] { return OrvFileDialog(1, "", "sav", 0x2, 5, path, sizeof path); });
  ASSERT_TRUE(wait_for(12, [](const Control& c) { return c.edit.text == "a"; }));
  window_handle_event(key(0x0D));  // a.sav exists: "no" keeps the dialog open
  EXPECT_EQ(chosen.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
  window_handle_event(key(0x0D));  // "yes"
  ASSERT_EQ(chosen.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  unsetenv("VELMORA_MSGBOX_ANSWERS");
  EXPECT_EQ(chosen.get(), 1);
  EXPECT_EQ(std::string(path), dir_.path() + "\\a.sav");
}

}  // namespace
