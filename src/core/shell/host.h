// The narrow interface through which the core talks to the person at the
// screen: the Qt editor implements it with widgets, trelmo-cli and the tests
// with scripted answers.
#pragma once
#include <atomic>
#include <string>
#include <vector>

namespace trelmo {

enum class Sound { Tick, Peep, Beep, Beop };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

inline bool affirmative(Answer a) { return a == Answer::Ok || a == Answer::Yes; }

// One row of a table field: its name and a value per column.
struct DialogRow {
  std::string name;  // "Layer12"
  std::vector<std::string> values;
};

// A dialog box described as data. The host edits `value` of each field in
// place; runDialog returns false when the box was cancelled (Escape). A
// Button closes the box as OK does with its value set to "1" (the caller
// acts on it and may show the box again).
struct DialogField {
  enum Kind { Label, Text, Integer, Number, Check, Choice, Radio, Table, Button };
  std::string name;  // stable key used by scripts and tests
  Kind kind = Text;
  std::string label;  // text shown beside the control
  std::string value;  // "0"/"1" for Check; the chosen index for Choice and Radio
  std::vector<std::string> choices;
  int maxLength = 0;  // 0 = unbounded
  // Table: a grid of cells. Each column is described by a field of its own
  // (name, kind, label, choices, maxLength); each row holds one value per
  // column in the column's text form. Scripts name a cell ROW.COLUMN.
  std::vector<DialogField> columns{};
  std::vector<DialogRow> rows{};
};

struct DialogBox {
  std::string name;  // template name, e.g. "GerberInFormatBox"
  std::string title;
  std::vector<DialogField> fields;

  DialogField* field(const std::string& key) {
    for (auto& f : fields)
      if (f.name == key) return &f;
    return nullptr;
  }
  // What a script names by "FIELD" or, for a table cell, "ROW.COLUMN": the
  // value and the field (or column) that says what it may hold. Both are
  // null when the box has no such field or cell.
  struct Slot {
    const DialogField* cellField = nullptr;
    std::string* value = nullptr;
  };
  Slot slot(const std::string& key) {
    if (DialogField* f = field(key); f && f->kind != DialogField::Table) return {f, &f->value};
    const size_t dot = key.find('.');
    if (dot == std::string::npos) return {};
    const std::string row = key.substr(0, dot), column = key.substr(dot + 1);
    for (auto& f : fields) {
      if (f.kind != DialogField::Table) continue;
      for (auto& r : f.rows) {
        if (r.name != row) continue;
        for (size_t c = 0; c < f.columns.size() && c < r.values.size(); ++c)
          if (f.columns[c].name == column) return {&f.columns[c], &r.values[c]};
      }
    }
    return {};
  }
};

// A file-open or file-save box described as data. `filters` are the
// "Files of type" entries ("Board Files (*.pcb)"); `filterIndex` is 1-based
// like the stored "Open File Name Mask Index".
struct FileDialog {
  bool save = false;
  std::string title;
  std::string folder;
  std::string fileName;  // in: suggested name; out: the chosen path
  std::vector<std::string> filters;
  int filterIndex = 1;
};

// What a worker thread (a plot, the autorouter) and the window that waits for
// it share: the percentage done and the Abort request, from both threads.
struct WorkerProgress {
  std::atomic<int> percent{0};
  std::atomic<bool> cancel{false};
};

enum class PointerShape { Arrow, Hand, Hidden };

struct WindowPlacement {
  int x = 0, y = 0, width = 0, height = 0;
  bool maximized = true;
  int screen = 0;
};

class Host {
 public:
  virtual ~Host() = default;
  virtual void messageBox(const std::string& title, const std::string& text) {}
  virtual Answer question(const std::string& title, const std::string& text, Buttons buttons) {
    return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
  }
  virtual bool runDialog(DialogBox& box) { return true; }
  virtual void statusText(const std::string& text) {}
  virtual void sound(Sound s) {}
  // The "Open" and "Close" event sounds, played from their configured files.
  virtual void eventSound(const std::string& event) {}
  // Progress of a long operation, 0..100; returns true when the user asked to
  // interrupt it (a pending key or zoom click).
  virtual bool progress(int percent) { return false; }
  virtual void setTitle(const std::string& title) {}
  // A worker's wait window (such as "WaitPlotterBox"), modeless, with the
  // title and texts of `box`: its field "percent" shows the percentage of
  // `progress`, its button "abort" (or Escape) sets the cancel flag. It stays
  // until closeWaitBox.
  virtual void openWaitBox(const DialogBox& box, WorkerProgress& progress) {}
  virtual void closeWaitBox() {}

  // Preferences, kept by name as text; a missing value reads as empty.
  virtual std::string readSetting(const std::string& name) { return {}; }
  virtual void writeSetting(const std::string& name, const std::string& value) {}
  virtual void deleteSetting(const std::string& name) {}
  // An open or save box; false when cancelled.
  virtual bool chooseFile(FileDialog& dialog) { return false; }
  // The help window over the manual at `path`, opened at `topic` (may be empty).
  virtual void showHelp(const std::string& path, const std::string& topic) {}
  // The view changed: redraw the drawing area.
  virtual void redrawView() {}
  // Pixels of the drawing surface changed outside a redraw (ghosts drawn by
  // exclusive-or): show them.
  virtual void showSurface() {}
  // Where the main window is now, relative to its screen's origin.
  virtual WindowPlacement windowPlacement() { return {}; }
  virtual void setAlwaysOnTop(bool on) {}
  // The pointer and the two input modes. Positions are drawing-surface pixels.
  virtual void setPointerShape(PointerShape shape) {}
  virtual void capturePointer(bool on) {}
  // Keeps the pointer inside the rectangle (inclusive); off releases it.
  virtual void confinePointer(bool on, int left, int top, int right, int bottom) {}
  virtual void warpPointer(int x, int y) {}
  virtual void attachMenuBar(bool on) {}
  virtual void showCrossHair(bool on) {}
  // Opens a menu of the menu bar as Alt and its letter would, then the item
  // or submenu of `item` (0 = none).
  virtual void openMenuBarMenu(char family, char item) {}
  // Popup menu 0 (schematic) or 1 (board) at a drawing-surface position.
  virtual void trackPopupMenu(int popup, int x, int y) {}
  // True when keys are waiting in the input queue; they are discarded.
  virtual bool discardPendingKeys() { return false; }
  // Exit: the main window is destroyed and the event loop ends.
  virtual void quit() {}
};

}  // namespace trelmo
