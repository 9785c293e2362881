// HP-GL lexer: two-letter mnemonics and their numeric parameters, with
// separators, device-control escape sequences and stray bytes skipped.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "files/input_file.h"

namespace trelmo::hpgl {

constexpr uint16_t mnemonic(char a, char b) { return static_cast<uint16_t>(a << 8 | b); }

class Lexer {
 public:
  explicit Lexer(InputFile& in) : in_(in) {}

  // The next mnemonic in upper case, or 0 at the end of the data (end of
  // file or byte 26).
  uint16_t command();
  // The next parameter of the current command; false when none follows.
  bool number(double& value);
  // Reads and drops the rest of the current command's parameters.
  void skipParameters();
  // The text of a label up to the terminator (dropped), at most maxLength
  // bytes kept; the rest up to the terminator is read and dropped.
  std::string label(int terminator, size_t maxLength);
  // The next byte without the separators skipped (DT's terminator).
  int rawByte() { return get(); }
  uint64_t position() const { return in_.position(); }
  uint64_t size() const { return in_.size(); }

 private:
  int get();
  void unget(int c) { pending_ = c; }
  void skipEscape();

  InputFile& in_;
  int pending_ = -2;  // -2: nothing pushed back
  bool ended_ = false;
};

// The byte-stream form of the recogniser's and the lexer's escape rule: the
// length of the device-control sequence starting at s[0] (ESC).
size_t escapeLength(std::string_view s);

}  // namespace trelmo::hpgl
