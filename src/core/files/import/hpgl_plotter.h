// HP-GL plotter state and commands: pen moves become lines, circles and arcs
// become arc items, PP drops a pad.
#pragma once
#include <cstdint>
#include <string_view>

#include "database/pool.h"
#include "files/import/hpgl_lexer.h"

namespace trelmo {
struct Context;
}

namespace trelmo::hpgl {

// World units (1/65536 inch) per plotter unit: a plotter unit is 0.025 mm
// (1016 to the inch), so plots come in at their true size; files that use
// the "TC" code are in mils.
constexpr double kPlotterUnit = 65536.0 / 1016.0;
constexpr double kMilUnit = 65.536;
constexpr uint16_t kDefaultPenWidth = 655;      // 0.010 inch
constexpr uint16_t kDefaultLabelHeight = 6941;  // 0.269 cm

// What the recogniser found in the first kilobyte.
struct Scan {
  int count = 0;
  bool recognised = false;  // the count reached 16
  bool mils = false;        // a "TC" code: plotter units are mils
};
Scan scan(std::string_view head);

class Plotter {
 public:
  Plotter(Context& ctx, Handle ring, bool mils);
  // Runs every command of the input.
  void run(Lexer& lex);

  // One command with its parameters read from the lexer.
  void execute(uint16_t code, Lexer& lex);

 private:
  struct Point {
    double x, y;
  };
  void moves(Lexer& lex, bool relative);
  void moveTo(Point p);
  void circle(Lexer& lex);
  void arc(Lexer& lex, bool relative);
  void rectangle(Lexer& lex, bool relative);
  void pad();
  void label(Lexer& lex);
  void labelSize(Lexer& lex);
  void labelDirection(Lexer& lex);
  void scale(Lexer& lex);
  void inputWindow(Lexer& lex);
  void reset();
  // User units (after SC) into plotter units, and plotter units into world units.
  Point toPlotter(double x, double y) const;
  Point deltaToPlotter(double dx, double dy) const;
  Point toUser(Point plotter) const;
  // An arc of a circle drawn in user units: an ellipse when X and Y scale
  // differently. Angles in radians, counter-clockwise in user units.
  void userArc(Point centre, double radius, double from, double sweep);
  int32_t world(double plotterUnits) const;
  void line(Point a, Point b);

  Context& ctx_;
  Handle ring_;
  double unit_;
  uint8_t pen_ = 1;
  uint16_t width_ = kDefaultPenWidth;
  bool down_ = false, relative_ = false;
  Point at_{0, 0};
  bool scaled_ = false;
  Point p1_{250, 596}, p2_{10250, 7796};  // the scaling points of an A-size plotter
  double userX1_ = 0, userX2_ = 1, userY1_ = 0, userY2_ = 1;
  int terminator_ = 3;
  uint16_t labelHeight_ = kDefaultLabelHeight;
  uint16_t labelAngle_ = 0;
};

}  // namespace trelmo::hpgl
