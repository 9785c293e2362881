// The record pool's limit as operations meet it: an operation that fills the
// pool stops, and the user is told which limit was reached.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "database/pool.h"

namespace trelmo {

struct Context;

// Watches the pool for refused allocations from its making on.
class PoolWatch {
 public:
  explicit PoolWatch(const RecordPool& pool) : pool_(pool), start_(pool.refusals()) {}
  bool ranOut() const { return pool_.refusals() != start_; }

 private:
  const RecordPool& pool_;
  uint64_t start_;
};

// "The record pool is full: 256 of 256 blocks ... are in use."
std::string poolLimitText(const RecordPool& pool);
// The box that tells the user that `what` stopped at the pool's limit
// ("The file \"x\" was not opened.").
void reportPoolLimit(Context& ctx, std::string_view what);

}  // namespace trelmo
