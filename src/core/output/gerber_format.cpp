#include "output/gerber_format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "database/chains.h"

namespace trelmo {

namespace {

constexpr int kFirstDcode = 10;
constexpr double kMicroInchesPerUnit = 1e6 / 65536.0;

long micro(double world) { return std::lround(world * kMicroInchesPerUnit); }

std::string decimal(long millionths) {
  char b[32];
  std::snprintf(b, sizeof b, "%s%ld.%06ld", millionths < 0 ? "-" : "", std::labs(millionths) / 1000000,
                std::labs(millionths) % 1000000);
  return b;
}

uint32_t unicodeOf(unsigned char c) {
  switch (c) {
    case kDegree:
      return 0xB0;
    case kMicro:
      return 0xB5;
    case kHalf:
      return 0xBD;
    case kQuarter:
      return 0xBC;
    case kOhm:
      return 0x3A9;
    default:
      return c;
  }
}

std::string fileFunction(const GerberFileJob& s) {
  const char* side = s.bottom ? "Bot" : "Top";
  if (s.outline) return "Profile,NP";
  switch (s.kind) {
    case kGerberCopper:
    case kGerberPlane: {
      const int i = s.position.index, n = s.position.count;
      std::string f = "Copper,L" + std::to_string(i) + "," + (i == 1 ? "Top" : i == n ? "Bot" : "Inr");
      return s.kind == kGerberPlane ? f + ",Plane" : f;
    }
    case kGerberMask:
      return std::string("Soldermask,") + side;
    case kGerberPaste:
      return std::string("Paste,") + side;
    case kGerberSymbols:
      return "Drillmap";
    default:
      return std::string("Legend,") + side;
  }
}

const char* polarity(const GerberFileJob& s) {
  if (s.outline || s.kind == kGerberSymbols) return nullptr;
  return s.kind == kGerberMask || s.kind == kGerberPlane ? "Negative" : "Positive";
}

void attribute(std::string& out, const char* name, const std::string& now, const std::string& was) {
  if (now == was) return;
  out += now.empty() ? std::string("%TD.") + name + "*%\n" : std::string("%TO.") + name + "," + now + "*%\n";
}

void point(std::string& out, double x, double y) { out += "X" + gerberNumber(x) + "Y" + gerberNumber(y); }

}  // namespace

std::string gerberString(const std::string& s) {
  std::string out;
  for (unsigned char c : s) {
    const uint32_t u = unicodeOf(c);
    if (u >= 32 && u < 127 && u != ',' && u != '*' && u != '%' && u != '\\') {
      out += static_cast<char>(u);
    } else {
      char b[8];
      std::snprintf(b, sizeof b, "\\u%04X", u);
      out += b;
    }
  }
  return out;
}

std::string gerberNumber(double world) { return std::to_string(micro(world)); }

int GerberImage::aperture(const Aperture& a) {
  auto it = apertures_.find(a);
  if (it != apertures_.end()) return it->second;
  const int d = kFirstDcode + static_cast<int>(apertures_.size());
  apertures_[a] = d;
  return d;
}

void GerberImage::flash(const Record& r, int32_t grow, const std::string& function, const ObjectAttributes& attrs) {
  long sx = micro(double(item::padX(r)) + grow), sy = micro(double(item::padY(r)) + grow);
  if (sx <= 0 || sy <= 0) return;
  const uint8_t t = item::padType(r);
  const uint16_t angle = item::padAngle(r);
  Aperture a;
  a.function = function;
  const bool oval = t == item::kOvalThru || t == item::kOvalSmt;
  if (t == item::kRoundVia || t == item::kSchematicDot || (oval && sx == sy)) {
    a.shape = "C", a.params = {sx};
  } else if (angle % 16384 == 0) {
    if ((angle / 16384) & 1) std::swap(sx, sy);
    a.shape = oval ? "O" : "R", a.params = {sx, sy};
  } else if (!oval) {
    a.shape = "RotRect", a.params = {sx, sy, std::lround(angle * 360000.0 / 65536.0)};
  } else {
    // The two round ends of the obround, turned: their diameter and centres.
    const double half = std::fabs(double(sx - sy)) / 2, turn = angle * 2 * M_PI / 65536.0 + (sy > sx ? M_PI / 2 : 0);
    const long dx = std::lround(half * std::cos(turn)), dy = std::lround(half * std::sin(turn));
    a.shape = "RotOval", a.params = {std::min(sx, sy), -dx, -dy, dx, dy};
  }
  ops_.push_back({Kind::Flash, aperture(a), double(r.x1), double(r.y1), {}, attrs});
}

void GerberImage::disc(double x, double y, double diameter) {
  const long d = micro(diameter);
  if (d <= 0) return;
  ops_.push_back({Kind::Flash, aperture({"C", {d}, ""}), x, y, {}, {}});
}

void GerberImage::draw(const PlotPath& p, double width, const std::string& function, const ObjectAttributes& a) {
  ops_.push_back({Kind::Draw, aperture({"C", {micro(width)}, function}), 0, 0, p, a});
}

void GerberImage::region(const PlotPath& p, const ObjectAttributes& a) {
  if (p.steps.size() < 2) return;
  ops_.push_back({Kind::Region, 0, 0, 0, p, a});
}

void GerberImage::header(std::string& out) const {
  out += "G04 TRELMO photo-plot output*\n";
  out += "%TF.GenerationSoftware,TRELMO,TRELMO*%\n";
  out += "%TF.Part,Single*%\n";
  out += "%TF.FileFunction," + fileFunction(job_) + "*%\n";
  if (const char* pol = polarity(job_)) out += std::string("%TF.FilePolarity,") + pol + "*%\n";
  out += "%FSLAX36Y36*%\n%MOIN*%\n";
  bool rect = false, oval = false;
  for (const auto& [a, d] : apertures_) rect |= a.shape == "RotRect", oval |= a.shape == "RotOval";
  if (rect) out += "%AMRotRect*0 width, height, rotation in degrees*\n21,1,$1,$2,0,0,$3*%\n";
  if (oval)
    out += "%AMRotOval*0 diameter, first end, second end*\n1,1,$1,$2,$3*\n1,1,$1,$4,$5*\n20,1,$1,$2,$3,$4,$5,0*%\n";
  std::vector<std::pair<int, const Aperture*>> byCode;
  for (const auto& [a, d] : apertures_) byCode.push_back({d, &a});
  std::sort(byCode.begin(), byCode.end());
  std::string function;
  for (const auto& [d, a] : byCode) {
    if (a->function != function) {
      out += a->function.empty() ? "%TD.AperFunction*%\n" : "%TA.AperFunction," + a->function + "*%\n";
      function = a->function;
    }
    out += "%ADD" + std::to_string(d) + a->shape + ",";
    for (size_t i = 0; i < a->params.size(); ++i) {
      if (i) out += "X";
      if (a->shape == "RotRect" && i == 2) {
        char b[32];
        std::snprintf(b, sizeof b, "%.3f", a->params[i] / 1000.0);
        out += b;
      } else {
        out += decimal(a->params[i]);
      }
    }
    out += "*%\n";
  }
  if (!function.empty()) out += "%TD.AperFunction*%\n";
  out += "G75*\n%LPD*%\n";
}

void GerberImage::body(std::string& out) const {
  ObjectAttributes current;
  int dcode = 0;
  int mode = 1;  // 1 linear, 2 clockwise, 3 counter-clockwise
  auto setMode = [&](int m) {
    if (m != mode) out += m == 1 ? "G01*\n" : m == 2 ? "G02*\n" : "G03*\n";
    mode = m;
  };
  auto steps = [&](const PlotPath& p) {
    double x = p.x0, y = p.y0;
    for (const PathStep& s : p.steps) {
      setMode(s.arc ? (s.sweep < 0 ? 2 : 3) : 1);
      point(out, s.x, s.y);
      if (s.arc) out += "I" + gerberNumber(s.cx - x) + "J" + gerberNumber(s.cy - y);
      out += "D01*\n";
      x = s.x, y = s.y;
    }
  };
  for (const Op& op : ops_) {
    attribute(out, "N", gerberString(op.attrs.net), gerberString(current.net));
    attribute(out, "P", op.attrs.pin, current.pin);
    attribute(out, "C", gerberString(op.attrs.component), gerberString(current.component));
    current = op.attrs;
    if (op.kind != Kind::Region && op.dcode != dcode) out += "D" + std::to_string(dcode = op.dcode) + "*\n";
    if (op.kind == Kind::Flash) {
      point(out, op.x, op.y);
      out += "D03*\n";
    } else if (op.kind == Kind::Draw) {
      point(out, op.path.x0, op.path.y0);
      out += "D02*\n";
      steps(op.path);
    } else {
      out += "G36*\n";
      point(out, op.path.x0, op.path.y0);
      out += "D02*\n";
      steps(op.path);
      out += "G37*\n";
    }
  }
}

std::string GerberImage::text() const {
  std::string out;
  header(out);
  body(out);
  out += "M02*\n";
  return out;
}

std::string GerberImage::apertureList() const {
  std::vector<std::pair<int, const Aperture*>> byCode;
  for (const auto& [a, d] : apertures_) byCode.push_back({d, &a});
  std::sort(byCode.begin(), byCode.end());
  std::string out;
  for (const auto& [d, a] : byCode) {
    out += "D" + std::to_string(d) + " " + a->shape;
    for (long v : a->params) out += " " + decimal(v);
    if (!a->function.empty()) out += " " + a->function;
    out += "\r\n";
  }
  return out;
}

}  // namespace trelmo
