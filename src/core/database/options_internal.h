// Helpers shared by the option-line parsers of the three file versions.
#pragma once
#include <cstdint>
#include <string_view>

#include "database/options.h"

namespace trelmo {

// A decimal number as written: sign, whole part, up to nine fraction digits.
struct Decimal {
  bool negative = false;
  bool point = false;      // a decimal point was seen
  int fractionDigits = 0;  // digits after the point, all of them
  uint64_t whole = 0;      // saturates far above any meaningful value
  uint64_t nano = 0;       // the first nine fraction digits, in 1e-9
};
Decimal readDecimal(NumberReader& r, bool allowPlus);
// A non-negative decimal as a 32.32 fixed-point value, rounded.
uint64_t decimalTo3232(const Decimal& d);
// 32.32 millimetres to 32.32 inches.
uint64_t mm3232ToInch(uint64_t mm);
// A 32.32 inch value as the 0.32 fraction of the block: one inch or more is all ones.
uint32_t fractionOfInch(uint64_t inch3232);

// The entry rules of every option line: leading blanks, a printable first
// character other than ";", an optional "-". Sets pos to the option letters.
bool optionStart(std::string_view line, size_t& pos);
// Case-insensitive match of the option letters at r.pos; advances past them.
bool takeOption(NumberReader& r, std::string_view letters);

int clampLayer(int32_t n);
uint16_t clampSize(int32_t v);
// Copies at most max characters into dst and terminates it.
void copyBounded(char* dst, std::string_view text, size_t max);
// The rest of the line up to a control character.
std::string_view restOfLine(NumberReader& r);
// An integer and the "," after it, when there is one.
int32_t integerField(NumberReader& r);
// Whole mils as the 0.32 fraction of the block: a thousand or more is all ones.
uint32_t milsFraction(uint64_t mils);
// A layer name: blanks and commas allowed, ends at ";" or a control character.
std::string_view layerNameText(NumberReader& r);
// ",n" runs: each n sets one layer.
void readLayerList(NumberReader& r, LayerSet& set);
// An integer immediately followed by "," (or, when allowed, the line's end);
// the integer (not the comma) is consumed and stored in value when it is
// there, otherwise nothing moves.
bool integerBeforeComma(NumberReader& r, int32_t& value, bool orEnd);

// Options whose syntax is the same in every version.
void parseGerberEntry(Params& p, NumberReader& r);  // "-dy"
void parseLibrary(Params& p, NumberReader& r);      // "-b"
void resetLayerTable(Params& p);
// The snap table after the current index: all entries cleared, then one entry
// for every comma-separated text, each at most 11 characters.
void parseSnapTable(Params& p, NumberReader& r);

// The screen form of one display colour.
uint32_t convertColor(const Context& ctx, uint32_t rgb);

}  // namespace trelmo
