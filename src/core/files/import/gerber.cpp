// The photo-plot reader: splits the file into blocks and follows its
// apertures, draws, flashes, arcs and regions.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "context.h"
#include "files/import/gerber_reader.h"
#include "files/import/import_readers.h"
#include "files/reader_chain.h"
#include "files/reader_formats.h"

namespace trelmo {

namespace {

constexpr size_t kMaxBlock = 1000;
constexpr size_t kMaxParameterBlock = size_t{256} * 1024;
constexpr size_t kMaxBlockText = size_t{16} * 1024 * 1024;  // all statements kept for block apertures
constexpr int kMaxBlockNesting = 16;
constexpr int64_t kMaxReplayed = 1'000'000;  // statements carried out for block flashes

enum Interpolation { kNone, kDraw, kFlash };

class GerberReader {
 public:
  GerberReader(Context& ctx, InputFile& in, const GerberFormat& fmt, int layer)
      : ctx_(ctx), in_(in), fmt_(fmt), budget_(ctx, in.size()), out_(ctx, layer, budget_), progress_(ctx, in) {}

  // M02 ends a file but not the reading: files are often concatenated, and
  // viewers show what follows. The record budget stops a runaway file.
  void run() {
    std::string block;
    while (!stop_) {
      int c = in_.getByte();
      while (c >= 0 && c <= ' ') c = in_.getByte();
      if (c < 0) break;
      if (c == '%') {
        statement(true, readParameterBlock());
      } else {
        block.assign(1, static_cast<char>(c));
        if (c != '*') readWordBlock(block);
        statement(false, block);
      }
      progress_.update();
      stop_ = budget_.exceeded();  // said so; what was read stays
    }
    out_.closeContour();
    out_.setClear(false);
    out_.endRepeat();
    if (fmt_.digits == 0) out_.scaleDownWhenLarge();
    out_.finish();
    if (negative_) negativeLayer(ctx_, out_.layer());
    progress_.done();
  }

 private:
  void readWordBlock(std::string& block) {
    while (block.size() < kMaxBlock) {
      int c = in_.getByte();
      if (c < 0) return;
      if (c <= ' ') continue;
      block.push_back(static_cast<char>(c));
      if (c == '*') return;
    }
  }

  // "%" ... "%": the text between, blanks and line ends left out.
  std::string readParameterBlock() {
    std::string text;
    for (int c = in_.getByte(); c >= 0 && c != '%'; c = in_.getByte())
      if (c > ' ' && text.size() < kMaxParameterBlock) text.push_back(static_cast<char>(c));
    return text;
  }

  // One statement: kept for a block aperture while one is being defined,
  // otherwise carried out.
  void statement(bool parameter, const std::string& text) {
    if (parameter && text.substr(0, 2) == "AB") return blockAperture(std::string_view(text).substr(2));
    if (capture_) {
      if (captured_ < kMaxBlockText) capture_->push_back({parameter, text}), captured_ += text.size() + 1;
      return;
    }
    if (parameter)
      parameterBlock(text);
    else
      wordBlock(text);
  }

  // "ABDnn" opens the definition of block aperture nn, "AB" closes it. Blocks
  // defined inside a block are kept with it and defined when it is flashed.
  void blockAperture(std::string_view p) {
    if (!p.empty() && p.back() == '*') p.remove_suffix(1);
    const bool open = !p.empty() && p[0] == 'D';
    if (capture_ && (open || blockDepth_ > 0)) {
      blockDepth_ += open ? 1 : -1;
      capture_->push_back({true, "AB" + std::string(p)});
      return;
    }
    if (capture_) {  // the end of the outermost definition
      Aperture ap;
      ap.shape = kCircle;
      ap.block = std::move(capture_);
      apertures_[blockCode_] = std::move(ap);
      capture_.reset();
      return;
    }
    if (!open) return;
    size_t pos = 1;
    blockCode_ = readInteger(p, pos);
    capture_ = std::make_shared<BlockStatements>();
    blockDepth_ = 0;
  }

  // A flash of a block aperture: its statements carried out about the flash
  // point; a clear flash turns their polarities round.
  void flashBlock(const std::shared_ptr<const BlockStatements>& block) {
    if (blockNesting_ >= kMaxBlockNesting) return;
    struct Saved {
      int32_t prevX, prevY, curX, curY;
      int64_t offsetX, offsetY, rawX, rawY, rawPrevX, rawPrevY;
      gerber::Placement frame, own;
      Aperture current;
      Interpolation interpolation;
      int circular;
      bool multiQuadrant, region, inContour, clear, toggle, repeated;
    } saved{prevX_,    prevY_,         curX_,     curY_,      offsetX_,     offsetY_, rawX_,
            rawY_,     rawPrevX_,      rawPrevY_, frame_,     own_,         current_, interpolation_,
            circular_, multiQuadrant_, region_,   inContour_, out_.clear(), toggle_,  repeated_};
    ++blockNesting_;
    offsetX_ = curX_, offsetY_ = curY_;
    rawX_ = rawY_ = rawPrevX_ = rawPrevY_ = 0;
    // The block is placed as the flash places an aperture; its objects start
    // without transformations of their own.
    frame_ = out_.placement(), own_ = gerber::Placement();
    toggle_ = out_.clear();
    region_ = inContour_ = repeated_ = false;
    interpolation_ = kNone;
    for (const BlockStatement& st : *block) {
      if (replayed_++ >= kMaxReplayed || budget_.exceeded()) break;
      statement(st.parameter, st.text);
    }
    out_.closeContour();
    if (repeated_) out_.endRepeat();
    --blockNesting_;
    prevX_ = saved.prevX, prevY_ = saved.prevY, curX_ = saved.curX, curY_ = saved.curY;
    offsetX_ = saved.offsetX, offsetY_ = saved.offsetY, current_ = saved.current;
    rawX_ = saved.rawX, rawY_ = saved.rawY, rawPrevX_ = saved.rawPrevX, rawPrevY_ = saved.rawPrevY;
    frame_ = saved.frame, own_ = saved.own;
    out_.placement() = gerber::compose(frame_, own_);
    interpolation_ = saved.interpolation, circular_ = saved.circular, multiQuadrant_ = saved.multiQuadrant;
    region_ = saved.region, inContour_ = saved.inContour, toggle_ = saved.toggle, repeated_ = saved.repeated;
    out_.setClear(saved.clear);
  }

  // A parameter block: one or more "*"-ended parameters; a macro takes them all.
  void parameterBlock(const std::string& text) {
    std::string_view t = text;
    if (t.substr(0, 2) == "AM") {
      apertures_.defineMacro(t.substr(2));
      return;
    }
    while (!t.empty()) {
      size_t star = t.find('*');
      parameter(t.substr(0, star));
      if (star == std::string_view::npos) break;
      t.remove_prefix(star + 1);
    }
  }

  void parameter(std::string_view p) {
    const std::string_view code = p.substr(0, 2);
    if (code == "FS") formatStatement(p.substr(2));
    if (p == "MOMM") fmt_.metric = true;
    if (p == "MOIN") fmt_.metric = false;
    if (p.substr(0, 3) == "ADD") apertures_.define(p.substr(3), fmt_.metric);
    if (code == "SR") stepAndRepeat(p.substr(2));
    if (code == "LP") out_.setClear((p.substr(2, 1) == "C") != toggle_);
    if (code == "LM") {
      own_.mirrorX = p.find('X', 2) != std::string_view::npos;
      own_.mirrorY = p.find('Y', 2) != std::string_view::npos;
    }
    if (code == "LR") own_.degrees = decimalAfter(p);
    if (code == "LS") own_.scale = std::clamp(decimalAfter(p), 1e-6, 1e6);
    if (code == "LM" || code == "LR" || code == "LS") out_.placement() = gerber::compose(frame_, own_);
    if (code == "IP") negative_ = p.substr(2, 3) == "NEG";
    if (code == "TF" || code == "TO" || code == "TD") attribute(code[1], p.substr(2));
  }

  static double decimalAfter(std::string_view p) {
    size_t pos = 2;
    return readDecimal(p, pos);
  }

  // File attributes name the layer; object attributes travel with the
  // objects made while they are in force; TD deletes one or all of them.
  void attribute(char kind, std::string_view text) {
    const std::vector<std::string> f = attributeFields(text);
    const std::string name = f.empty() ? std::string() : f[0];
    auto value = [&](size_t i) { return i < f.size() ? f[i] : std::string(); };
    if (kind == 'F') {
      if (name == ".FileFunction") describeLayer(ctx_, out_.layer(), std::string_view(text).substr(text.find(',') + 1));
      if (name == ".FilePolarity" && value(1) == "Negative") negative_ = true;
      return;
    }
    if (kind == 'D') {
      if (name.empty() || name == ".N") objects_.net.clear();
      if (name.empty() || name == ".P") objects_.pin.clear(), pinOwner_.clear();
      if (name.empty() || name == ".C") objects_.component.clear();
      if (name.empty() || name == ".CFtp") objects_.footprint.clear();
      if (name.empty() || name == ".CVal") objects_.value.clear();
    } else if (name == ".N") {
      objects_.net = value(1);
    } else if (name == ".P") {
      pinOwner_ = value(1), objects_.pin = value(2);
    } else if (name == ".C") {
      objects_.component = value(1);
    } else if (name == ".CFtp") {
      objects_.footprint = value(1);
    } else if (name == ".CVal") {
      objects_.value = value(1);
    }
    ObjectAttributes& a = out_.attributes();
    a = objects_;
    if (a.component.empty()) a.component = pinOwner_;
  }

  // "SR" X count, Y count, I and J pitch; "SR" alone ends the repeat.
  void stepAndRepeat(std::string_view p) {
    int nx = 1, ny = 1;
    double dx = 0, dy = 0;
    for (size_t i = 0; i < p.size();) {
      char c = p[i++];
      if (c == 'X') nx = readInteger(p, i);
      if (c == 'Y') ny = readInteger(p, i);
      if (c == 'I') dx = readDecimal(p, i);
      if (c == 'J') dy = readDecimal(p, i);
    }
    out_.closeContour();
    inContour_ = false;
    out_.beginRepeat(nx, ny, toUnits(dx, fmt_.metric), toUnits(dy, fmt_.metric));
    repeated_ = true;
  }

  // "FS": zero suppression, addressing, then the X format digits. Other
  // letters (sequence and G/D/M digit counts) are passed over.
  void formatStatement(std::string_view p) {
    fmt_.trailing = false;
    fmt_.incremental = false;
    for (size_t i = 0; i < p.size(); ++i) {
      char c = p[i];
      if (c == 'T') fmt_.trailing = true;
      if (c == 'I') fmt_.incremental = true;
      if (c == 'X') {
        int integer = i + 1 < p.size() ? p[i + 1] - '0' : 0;
        int fraction = i + 2 < p.size() ? p[i + 2] - '0' : 0;
        int d = fmt_.trailing ? integer : fraction;
        fmt_.digits = d >= 0 && d <= 9 ? d % 8 : 0;
        return;
      }
    }
  }

  void wordBlock(std::string_view b) {
    bool move = false;
    haveCentre_ = false;
    centreI_ = centreJ_ = 0;
    for (size_t i = 0; i < b.size();) {
      char c = b[i++];
      switch (c) {
        case '*':
          break;
        case 'G': {
          const int g = readInteger(b, i);
          if (g == 4 && b.substr(i, 3) == "#@!") {  // attributes in a comment, as older writers put them
            std::string_view rest = b.substr(i + 3);
            if (!rest.empty() && rest.back() == '*') rest.remove_suffix(1);
            parameter(rest);
          }
          if (gCode(g)) return;
          break;
        }
        case 'M':
          readInteger(b, i);
          interpolation_ = kNone;
          break;
        case 'D':
          move |= dCode(readInteger(b, i));
          break;
        case 'X':
        case 'Y': {
          int32_t v = toUnits(gerberCoordinate(readDigits(b, i), fmt_.digits, fmt_.trailing), fmt_.metric);
          int64_t& axis = c == 'X' ? rawX_ : rawY_;
          axis = fmt_.incremental ? (c == 'X' ? rawPrevX_ : rawPrevY_) + v : v;
          break;
        }
        case 'I':
        case 'J': {
          int32_t v = toUnits(gerberCoordinate(readDigits(b, i), fmt_.digits, fmt_.trailing), fmt_.metric);
          (c == 'I' ? centreI_ : centreJ_) = v;
          haveCentre_ = true;
          break;
        }
        case 'N':  // sequence number
          readInteger(b, i);
          break;
        default:
          return;  // not photo-plot data: the block gives nothing
      }
    }
    toWorld();
    endOfBlock(move);
  }

  // The current point (and arc centre offset) from the coordinates as
  // written: inside a flashed block, placed by the block's flash.
  void toWorld() {
    auto held = [](double v) { return static_cast<int32_t>(std::clamp(v, -2147483647.0, 2147483647.0)); };
    if (frame_.identity()) {
      curX_ = held(double(rawX_ + offsetX_)), curY_ = held(double(rawY_ + offsetY_));
      return;
    }
    double x = double(rawX_), y = double(rawY_), i = centreI_, j = centreJ_;
    frame_.apply(x, y);
    frame_.apply(i, j);
    curX_ = held(std::round(x) + double(offsetX_)), curY_ = held(std::round(y) + double(offsetY_));
    centreI_ = held(std::round(i)), centreJ_ = held(std::round(j));
  }

  // Arcs turn the other way in a mirrored block.
  bool clockwise() const { return (circular_ == 2) != (frame_.mirrorX != frame_.mirrorY); }

  // Returns true when the rest of the block is to be skipped (a comment).
  bool gCode(int g) {
    interpolation_ = kNone;
    switch (g) {
      case 4:
        return true;
      case 1:
        circular_ = 0;
        break;
      case 2:
        circular_ = 2;
        break;
      case 3:
        circular_ = 3;
        break;
      case 74:
        multiQuadrant_ = false;
        break;
      case 75:
        multiQuadrant_ = true;
        break;
      case 36:
      case 37:
        region_ = g == 36;
        out_.closeContour();
        inContour_ = false;
        break;
      case 70:
        fmt_.metric = false;
        break;
      case 71:
        fmt_.metric = true;
        break;
      case 90:
        fmt_.incremental = false;
        break;
      case 91:
        fmt_.incremental = true;
        break;
      default:
        break;
    }
    return false;
  }

  // Returns true for a move (D02).
  bool dCode(int d) {
    if (d == 1)
      interpolation_ = kDraw;
    else if (d == 3)
      interpolation_ = kFlash;
    else
      interpolation_ = kNone;
    if (d == 2) return true;
    if (d > 3) selectAperture(d);
    return false;
  }

  void selectAperture(int d) {
    Aperture& ap = apertures_[d];
    if (ap.shape == kUndefined && !fmt_.useDefaults) askAperture(ctx_, d, ap, fmt_.useDefaults);
    current_ = ap;
  }

  void endOfBlock(bool move) {
    if (region_) {
      regionStep(move);
    } else if (interpolation_ == kDraw) {
      if (circular_ && haveCentre_)
        drawArc();
      else if (curX_ != prevX_ || curY_ != prevY_)
        out_.line(prevX_, prevY_, curX_, curY_, current_.x);
    } else if (interpolation_ == kFlash && current_.block) {
      flashBlock(current_.block);
      interpolation_ = kNone;
    } else if (interpolation_ == kFlash) {
      out_.flash(curX_, curY_, current_);
      interpolation_ = kNone;
    }
    prevX_ = curX_, prevY_ = curY_;
    rawPrevX_ = rawX_, rawPrevY_ = rawY_;
  }

  void regionStep(bool move) {
    if (move) {
      out_.closeContour();
      inContour_ = false;
    }
    if (interpolation_ != kDraw || (curX_ == prevX_ && curY_ == prevY_ && !haveCentre_)) return;
    if (move || !inContour_) out_.contourTo(prevX_, prevY_);
    inContour_ = true;
    if (circular_ && haveCentre_) {
      int32_t cx = 0, cy = 0;
      centre(cx, cy);
      out_.contourArc(prevX_, prevY_, curX_, curY_, cx, cy, clockwise());
    } else {
      out_.contourTo(curX_, curY_);
    }
  }

  void drawArc() {
    int32_t cx = 0, cy = 0;
    centre(cx, cy);
    if (!multiQuadrant_ && curX_ == prevX_ && curY_ == prevY_) return;  // no full circles in quadrant mode
    out_.arc(prevX_, prevY_, curX_, curY_, cx, cy, clockwise(), current_.x);
  }

  // The arc centre: signed offsets in multi-quadrant mode; in quadrant mode
  // the signs that put both ends at the same distance.
  void centre(int32_t& cx, int32_t& cy) const {
    if (multiQuadrant_) {
      cx = static_cast<int32_t>(int64_t{prevX_} + centreI_), cy = static_cast<int32_t>(int64_t{prevY_} + centreJ_);
      return;
    }
    double best = -1;
    for (int k = 0; k < 4; ++k) {
      int64_t x = int64_t{prevX_} + (k & 1 ? -1 : 1) * int64_t{std::abs(centreI_)};
      int64_t y = int64_t{prevY_} + (k & 2 ? -1 : 1) * int64_t{std::abs(centreJ_)};
      double d0 = std::hypot(double(prevX_ - x), double(prevY_ - y)),
             d1 = std::hypot(double(curX_ - x), double(curY_ - y));
      double err = std::fabs(d0 - d1);
      if (best < 0 || err < best) best = err, cx = static_cast<int32_t>(x), cy = static_cast<int32_t>(y);
    }
  }

  Context& ctx_;
  InputFile& in_;
  GerberFormat fmt_;
  RecordBudget budget_;
  PlotOutput out_;
  ReadProgress progress_;
  ApertureTable apertures_;
  Aperture current_;
  Interpolation interpolation_ = kNone;
  int circular_ = 0;  // 0 linear, 2 clockwise, 3 counter-clockwise
  bool multiQuadrant_ = false, region_ = false, inContour_ = false, haveCentre_ = false, stop_ = false;
  bool negative_ = false;
  // Block apertures: the one being defined, its D code and the depth of the
  // definitions inside it; while one is flashed, the offset of its origin,
  // whether its polarities are turned round and whether it repeats.
  std::shared_ptr<BlockStatements> capture_;
  size_t captured_ = 0;
  int blockCode_ = 0, blockDepth_ = 0, blockNesting_ = 0;
  int64_t offsetX_ = 0, offsetY_ = 0, replayed_ = 0;
  bool toggle_ = false, repeated_ = false;
  // Coordinates as written (in a block: in the block's own frame), the
  // transformations of the statements read, and the placement of the block
  // being flashed.
  int64_t rawX_ = 0, rawY_ = 0, rawPrevX_ = 0, rawPrevY_ = 0;
  gerber::Placement own_, frame_;
  ObjectAttributes objects_;  // the object attributes in force
  std::string pinOwner_;      // the component of the pin attribute
  int32_t prevX_ = 0, prevY_ = 0, curX_ = 0, curY_ = 0, centreI_ = 0, centreJ_ = 0;
};

}  // namespace

char readGerber(Context& ctx, InputFile& in, char hint) {
  if (hint != kHintNone && hint != kHintGerber) return 0;
  GerberFormat fmt;
  const GerberFacts facts = scanGerber(in.firstBlock());
  // A file without a format statement may state its format in comments.
  if (!facts.format) formatFromComments(in.firstBlock(), fmt);
  if (hint == kHintNone) {
    if (!isGerber(facts)) return 0;
    if (!facts.format && !askGerberFormat(ctx, fmt, facts.apertures)) return 0;
  }
  applyImportSetup(ctx, "GER:0,1");
  int layer = defineDataLayer(ctx, in.path());
  in.rewind();
  GerberReader(ctx, in, fmt, layer).run();
  return kFormatGerber;
}

}  // namespace trelmo
