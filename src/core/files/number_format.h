// Number text formats of data files. Each appends to `out` without a
// separator; callers add the blank or comma.
#pragma once
#include <cstdint>
#include <string>

namespace trelmo {

void appendInt(std::string& out, int64_t v);
// 16.16 inches: "0"; otherwise sign, integer part (omitted when 0), "." and
// up to five decimals, truncated to 1/100000 then made even, trailing zeros
// dropped but the first decimal always written (".5", "2.0", "-.045").
void appendDimension(std::string& out, int32_t v);
// 16-bit binary angle in hundredths of a degree: "0", "90", ".50", "45.50".
void appendAngle(std::string& out, uint32_t angle);
// Upper-case, zero-padded to width.
void appendHex(std::string& out, uint32_t v, int width);
// A 0.32 fraction of an inch with exactly `decimals` (1..4) decimals, rounded
// to nearest; used for the snap step.
void appendFixed(std::string& out, uint64_t value32, int decimals);

}  // namespace trelmo
