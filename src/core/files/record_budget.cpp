#include "files/record_budget.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "context.h"

namespace trelmo {

uint64_t recordsInUse(const Context& ctx) {
  return uint64_t(ctx.pool.blockCount()) * RecordPool::kRecordsPerBlock - ctx.pool.freeCount();
}

uint64_t recordsAvailable(const Context& ctx) {
  const int blocks = std::max(0, ctx.pool.blockLimit() - ctx.pool.blockCount());
  return uint64_t(blocks) * RecordPool::kRecordsPerBlock + ctx.pool.freeCount();
}

RecordBudget::RecordBudget(Context& ctx, uint64_t limit, std::string rule, std::string outcome)
    : ctx_(ctx), start_(recordsInUse(ctx)), limit_(limit), rule_(std::move(rule)), outcome_(std::move(outcome)) {}

RecordBudget::RecordBudget(Context& ctx, uint64_t fileBytes, std::string outcome)
    : RecordBudget(ctx,
                   std::min(std::max(kFloor, fileBytes > UINT64_MAX / kPerByte ? UINT64_MAX : fileBytes * kPerByte),
                            recordsAvailable(ctx) / 2),
                   std::to_string(kPerByte) + " for each byte of the file, at least " + std::to_string(kFloor) +
                       ", and at most half of the free record memory",
                   std::move(outcome)) {}

RecordBudget RecordBudget::ofMemory(Context& ctx, std::string outcome) {
  return RecordBudget(ctx, recordsAvailable(ctx) / 2, "half of the free record memory", std::move(outcome));
}

uint64_t RecordBudget::spent() const {
  const uint64_t now = recordsInUse(ctx_);
  return now > start_ ? now - start_ : 0;
}

bool RecordBudget::allows() {
  if (exceeded_) return false;
  if (spent() < limit_) return true;
  exceeded_ = true;
  ctx_.host->messageBox("File Read Limit", message());
  return false;
}

std::string RecordBudget::message() const {
  return "The file would create more than " + std::to_string(limit_) + " records (" + rule_ + ").\n\n" + outcome_;
}

}  // namespace trelmo
