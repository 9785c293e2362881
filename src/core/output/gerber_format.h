// The text of an extended Gerber file: apertures gathered as the image is
// built, then the header with the X2 file attributes, the aperture
// definitions and the image itself (draws, arcs, flashes, regions) with the
// object attributes of each object.
#pragma once
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "database/record.h"
#include "output/gerber_writer.h"
#include "output/plot_scene.h"

namespace trelmo {

// Object attributes: .N (net), .P (component reference and pin, already
// as fields: "U1,3"), .C (component reference); empty ones are not written.
struct ObjectAttributes {
  std::string net, pin, component;
  bool operator==(const ObjectAttributes&) const = default;
};

// A text as a Gerber string field: ',', '*', '%', '\' and characters beyond
// ASCII as "\u" and four hexadecimal digits (the design's degree, micro,
// half, quarter and ohm bytes by their Unicode characters).
std::string gerberString(const std::string& s);

// Coordinates: inches with six decimals, leading zeros left out ("%FSLAX36Y36*%").
std::string gerberNumber(double world);

class GerberImage {
 public:
  explicit GerberImage(const GerberFileJob& job) : job_(job) {}
  // A pad flashed with its own aperture, its sizes grown by `grow`
  // (negative: shrunk); nothing when it shrinks away.
  void flash(const Record& pad, int32_t grow, const std::string& function, const ObjectAttributes& a);
  void disc(double x, double y, double diameter);
  void draw(const PlotPath& p, double width, const std::string& function, const ObjectAttributes& a);
  void region(const PlotPath& p, const ObjectAttributes& a);

  std::string text() const;
  // "D10 C 0.010000", one line each.
  std::string apertureList() const;

 private:
  struct Aperture {
    std::string shape;         // C, R, O, RotRect, RotOval
    std::vector<long> params;  // millionths of an inch (degrees x 1000 for angles)
    std::string function;
    auto key() const { return std::tie(shape, params, function); }
    bool operator<(const Aperture& o) const { return key() < o.key(); }
  };
  enum class Kind { Draw, Flash, Region };
  struct Op {
    Kind kind;
    int dcode = 0;
    double x = 0, y = 0;
    PlotPath path;
    ObjectAttributes attrs;
  };
  int aperture(const Aperture& a);
  void header(std::string& out) const;
  void body(std::string& out) const;

  const GerberFileJob& job_;
  std::map<Aperture, int> apertures_;
  std::vector<Op> ops_;
};

}  // namespace trelmo
