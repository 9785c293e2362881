// A set of layer numbers 0..255.
#pragma once
#include <cstdint>

namespace trelmo {

struct LayerSet {
  uint64_t bits[4] = {0, 0, 0, 0};
  void set(int n) { bits[(n >> 6) & 3] |= uint64_t{1} << (n & 63); }
  void reset(int n) { bits[(n >> 6) & 3] &= ~(uint64_t{1} << (n & 63)); }
  bool test(int n) const { return (bits[(n >> 6) & 3] >> (n & 63)) & 1; }
  void clear() { bits[0] = bits[1] = bits[2] = bits[3] = 0; }
  bool empty() const { return (bits[0] | bits[1] | bits[2] | bits[3]) == 0; }
};

}  // namespace trelmo
