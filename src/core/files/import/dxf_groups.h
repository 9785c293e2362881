// DXF group reader: pairs of a group code line and a value line, and the
// number forms of DXF values.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "files/input_file.h"

namespace trelmo::dxf {

class GroupReader {
 public:
  explicit GroupReader(InputFile& in) : in_(in) {}

  // Reads the next pair and returns its group code, or -1 at the end of the
  // file. A code line without digits reads as code 0.
  int next();
  // The following next() returns the current pair once more.
  void unread() { again_ = true; }

  int code() const { return code_; }
  const std::string& value() const { return value_; }
  // The value without leading and trailing blanks (keywords, names).
  std::string_view keyword() const;
  bool is(int code, std::string_view word) const { return code_ == code && keyword() == word; }
  // Bytes of the file consumed so far (for progress).
  uint64_t position() const { return in_.position(); }
  uint64_t size() const { return in_.size(); }

 private:
  InputFile& in_;
  std::string line_;
  std::string value_;
  int code_ = -1;
  bool again_ = false;
};

// A DXF number: optional sign, digits, optional "." and fraction, optionally
// followed by "E" and a signed exponent limited to 5. Reads as far as it fits;
// no digits read 0.
double number(std::string_view s);
// Integer values (flags, colours, counts); no digits read 0.
long integer(std::string_view s);

// Inches into 16.16 world units, rounded and held inside the coordinate range.
int32_t toUnits(double inches);
// Inches into a 16-bit size, rounded, 0..65535.
uint16_t toSize(double inches);
// Degrees into a binary angle (65536 = 360 degrees); negative angles are
// raised by whole turns.
uint16_t toAngle(double degrees);

}  // namespace trelmo::dxf
