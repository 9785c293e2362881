// How many records one file may make a reader create. Repeats, step and
// repeat and nested inserts let a few bytes stand for millions of items; a
// reader spends from this budget and stops when it is gone, so that other
// open files and undo keep room in the record pool.
#pragma once
#include <cstdint>
#include <string>

namespace trelmo {

struct Context;

class RecordBudget {
 public:
  // A file may create kPerByte records for each of its bytes (at least
  // kFloor), and never more than half of the records the pool can still give.
  static constexpr uint64_t kPerByte = 64;
  static constexpr uint64_t kFloor = 1000000;

  // `outcome` ends the message: what the reader does at the limit.
  RecordBudget(Context& ctx, uint64_t fileBytes, std::string outcome = kStopped);
  // A budget of memory alone: half of the records the pool can still give
  // (for block references, whose copies are the drawing itself).
  static RecordBudget ofMemory(Context& ctx, std::string outcome);
  static constexpr const char* kStopped = "Reading stopped at that limit; what was read is kept.";
  // True while the records made since the start stay within the limit. The
  // first call beyond it shows the message box that names the limit.
  bool allows();
  bool exceeded() const { return exceeded_; }
  uint64_t limit() const { return limit_; }
  uint64_t spent() const;
  // The message shown: the limit and the rule that set it.
  std::string message() const;

 private:
  RecordBudget(Context& ctx, uint64_t limit, std::string rule, std::string outcome);
  Context& ctx_;
  uint64_t start_;
  uint64_t limit_;
  std::string rule_, outcome_;
  bool exceeded_ = false;
};

// Records in use in the pool, and the records it can still give.
uint64_t recordsInUse(const Context& ctx);
uint64_t recordsAvailable(const Context& ctx);

}  // namespace trelmo
