// The editor's own state between events: start-up phase, the heartbeat's
// counters, the hooks of the interactive function, the message table, the
// preferences and the function registry.
#pragma once
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace trelmo {

struct Context;

using FunctionHandler = std::function<void(Context&, uint16_t code, int source)>;
using Hook = std::function<void(Context&)>;
using KeyHook = std::function<void(Context&, uint16_t key)>;

// Lines of the message file in file order: numbered messages and help lines.
struct MessageTable {
  std::vector<std::string> numbered;
  std::vector<std::string> help;
};

// The user's preferences as read from the stored settings.
struct Preferences {
  bool displayLogs = true;
  bool popupMenus = false;
  bool animatedIcon = true;
  bool zoomWithMouse = true;
  bool undoBeyondSave = false;
  bool purgeRedoNotify = false;
  bool queryRaft = true;
  bool soundBlasterTones = true;
  bool thickCrossHair = false;
  bool animatedBlockPerimeter = false;
  bool openPreview = false;
  bool openExpand = true;
  bool explorerOpen = true;
  bool autoOpenProject = true;
  bool alwaysOnTop = false;  // this session only, never stored
  int32_t autosaveTicks = 4368;
  int32_t sleepTicks = 0;  // 0 = never
  int32_t scrollDelay = 0;
  int openMaskIndex = 5;
  std::vector<int32_t> editComponentBox, fileOpenBox, fileRecallBox;
  std::string templatePath, libraryPath;
};

// Work that later subsystems and the front end plug into the heartbeat and
// the menus; each may stay empty.
struct ShellHooks {
  Hook resumeMacro;                                   // a keystroke macro's delay ran out
  Hook refreshQueryBoxes;                             // the query-box refresh came due
  Hook imageEditorTick;                               // every tick: the image editor follows the cursor
  Hook blockPerimeter;                                // one step of the animated block outline
  Hook readouts;                                      // once a second: coordinate readouts and clock
  Hook normalStatusBar;                               // a transient message timed out
  Hook plotWaitBox;                                   // once a second: close a finished plot's wait box
  Hook sleepChanged;                                  // asleep toggled: release or re-take the screen
  Hook animatedIcon;                                  // step the window icon (frame in ShellState)
  Hook releaseGrab;                                   // a file function starts: put back what is grabbed
  Hook cursorMoved;                                   // the world cursor moved: ghosts follow it
  Hook factoryMacros;                                 // Setup Options: the default keystroke macros (asks first)
  Hook registerFileTypes;                             // Setup Options: the file-type registration box
  std::function<std::string(Context&)> printerSetup;  // the printer settings to store
  Hook startupLoaded;                                 // settings and messages are in: load sounds, cursors, icons
  Hook screenBox;                                     // "&Screen Parameters": the multi-monitor box
  std::function<void(Context&, int screen)> selectScreen;
  std::function<void(Context&, const std::string& text)> recordMacroText;  // a menu command while recording
  std::function<void(Context&, char letter)> openMenu;                     // pending menu prefix
  std::function<void(Context&, bool recording)> dropPrefixFromMacro;
  // Facts the menus need from subsystems that own them.
  std::function<bool(const Context&)> hilightExists, undoAvailable, redoAvailable;
  std::function<int(const Context&)> blockState;               // see BlockState
  std::function<bool(const Context&, uint16_t code)> boxOpen;  // query boxes, image editor, windows
  std::function<bool(const Context&)> imageLoaded;
};

// A worker thread reading the current design: see shell/design_busy.h.
struct DesignBusy {
  std::string owner;                   // "plot", "router"; empty: the design is free
  std::function<void(Context&)> stop;  // asks the worker to end and waits for it
};

struct ShellState {
  // Start-up: 0 before the first tick, 1 opening queued files, 2 settings
  // loaded, 3 running.
  int startupPhase = 0;
  int32_t tickCount = 0;
  int32_t secondDivider = 0;
  int32_t idleTicks = -1;
  int32_t backgroundTicks = 0;
  bool asleep = false;
  uint32_t dragTicks = 0;
  int32_t pressTick = 0;
  int lastInputSource = 2;
  bool windowsMode = true;
  bool crossHairMode = false;
  uint8_t dialogSuspend = 0;
  int8_t menuSuspend = 0;
  // Told by the front end.
  bool foreground = true;
  bool minimised = false;
  bool macroRunning = false;
  bool macroRecording = false;
  size_t recordedLength = 0;  // characters in the macro being recorded

  // The interactive function.
  KeyHook keyHook;
  std::array<Hook, 3> acceptHooks, cancelHooks;
  uint16_t currentFunction = 0;
  uint16_t runningFunction = 0;  // the function being dispatched now (its boxes show "W." help)
  std::string stagePrompt;
  int32_t menuPrefix = 0;
  uint8_t blockPhase = 0x80;  // dash phase of the block outline; 0x80 = still
  bool blockAnimating = false;

  int32_t messageSeconds = 0;
  int32_t queryRefreshSeconds = 0;
  int32_t macroDelayTicks = 0;
  int iconFrame = 1;

  std::deque<std::string> queuedFiles;
  int screenIndex = 0;
  std::vector<std::string> screens;  // the displays, described by the front end
  std::string commandLine;
  std::string statusLine;  // what the status bar shows now

  MessageTable messages;
  Preferences prefs;
  bool listsLoaded = false;             // the two lists below were read from the settings
  std::vector<std::string> reopenList;  // newest first, at most 10
  std::vector<std::string> recallList;  // 18-character prefix + path
  ShellHooks hooks;
  // Member handlers registered by the subsystems, by function code.
  std::map<uint16_t, FunctionHandler> functions;
  DesignBusy busy;
  bool quitting = false;
};

}  // namespace trelmo
