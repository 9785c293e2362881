// The command line and the stored window placement.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace trelmo {

struct Context;

struct CommandLine {
  std::vector<std::string> files;
  int screen = 0;  // from "-s" and a digit
};

// The arguments after the program name. Names are quoted (up to the next
// quote) or unquoted, running over a space while the next character is a
// letter not followed by ':' ("my board.pcb" stays whole, "a.pcb c:b.pcb" is
// two names). "-s" followed by a digit picks the screen; other options are
// skipped.
CommandLine parseCommandLine(std::string_view text);
// Queues the names for opening, one per heartbeat tick.
void queueCommandLine(Context& ctx, const CommandLine& line);

struct WindowRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool maximized = false;
};

constexpr int kMinWindowWidth = 300, kMinWindowHeight = 200;

// The stored "Window Position" ("100,50 800x600" or "Maximized") checked
// against the primary screen: a missing, maximised, too small, negative or
// off-screen value gives the default quarter-inset rectangle, maximised.
WindowRect parseWindowPosition(std::string_view text, int screenWidth, int screenHeight);
std::string formatWindowPosition(const WindowRect& r);
// The placement at start-up from "Window Position", and the screen index from
// "Window Screen" (its low three bits).
WindowRect storedWindowPlacement(Context& ctx, int screenWidth, int screenHeight, int* screen);

}  // namespace trelmo
