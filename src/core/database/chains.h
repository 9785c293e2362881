// Side chains: text, vertices and pin names; the internal character set.
#pragma once
#include <string>
#include <string_view>

#include "database/pool.h"

namespace trelmo {

struct Context;

// Internal character set of stored text.
constexpr unsigned char kTab = 9;
constexpr unsigned char kLineBreak = 255;
constexpr unsigned char kFieldSeparator = 127;
constexpr unsigned char kDegree = 248, kMicro = 230, kHalf = 171, kQuarter = 172, kOhm = 234;

// Replaces the record's extension with a new text chain (28 bytes a record; a
// byte 127 ends its record). An empty string leaves no chain. Returns false
// when the pool ran out (the record then keeps its old text).
bool storeText(Context& ctx, Handle rec, std::string_view text);
// The same after the input conversions ("\t", "\n", "\o", "\u", Windows
// degree/micro/half/quarter, "ohms").
bool storeEditedText(Context& ctx, Handle rec, std::string_view typed);
std::string readText(const Context& ctx, Handle rec);
// Frees a chain of records linked through their extensions, from h on.
void freeChain(RecordPool& pool, Handle h);
// Frees a text chain, or drops one reference of a signal name record.
void releaseExtension(Context& ctx, Handle rec);

// The drawn length of a text: six units (a sixth of the height) a character,
// less the gap after the last one; at least 1.
int32_t textLengthOfChars(int32_t chars, uint16_t height);
// The same for stored text: every character before a field separator counts.
int32_t textLengthOf(std::string_view stored, uint16_t height);

// Character set conversions at the dialog boundary.
std::string toInternal(std::string_view typed);
enum class FieldRule { EndText, Tab };
std::string toDisplay(std::string_view stored, FieldRule rule);
std::string toEditable(std::string_view stored);  // 9 and 255 as "\t" and "\n"

// Pads: a token of digits below 1024 is a pin number, anything else a pin
// name record (28 characters, a blank ends it).
bool storePin(Context& ctx, Handle pad, std::string_view token);
std::string pinName(const Context& ctx, Handle pad);  // the number or the name

// Filled solids: appends a vertex and grows the header's bounding box.
bool appendVertex(Context& ctx, Handle solid, int32_t x, int32_t y);
// A width-0 line with two points and no vertices becomes a rectangle.
bool solidToRectangle(Context& ctx, Handle solid);

}  // namespace trelmo
