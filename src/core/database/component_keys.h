// A component's attribute fields and the keys components are sorted by: in
// the design list, the netlist, and the two sections of the bill of
// materials.
#pragma once
#include <array>
#include <string>
#include <string_view>

#include "database/record.h"

namespace trelmo {

struct Context;

// Attribute indexes of a component's parameter text.
enum ComponentField : int { kPatternField = 0, kReferenceField, kValueField, kModifierField, kAlternateField };
using ComponentFields = std::array<std::string, 5>;

// The parameter text of a component header split at its field separators
// (byte 127); missing fields are empty.
ComponentFields componentFields(const Context& ctx, Handle header);
ComponentFields splitComponentFields(std::string_view stored);

// 80 columns: the characters before the reference's first digit from column
// 0, its digit run right-aligned to end at column 43 (a longer run keeps its
// tail), what follows from column 44. So R2 comes before R10.
std::string referenceForm(std::string_view ref);

// 21 columns of "0" with a value's digits placed by its magnitude: the
// integer digits end before, the fraction digits start at, a column set by
// the multiplier letter (M 3, K or k 6, none or another letter 9, m 12, the
// micro sign 15, n 18, p 21). 4K7 and 4.7K give the same form; 4K7 < 10K.
std::string valueForm(std::string_view value);

// The bill of materials' 128-column key: the reference's letters (with the
// value form from column 1 for C, L and R), then type/value, modifier,
// pattern and the reference form.
std::string billSortKey(const ComponentFields& fields);

}  // namespace trelmo
