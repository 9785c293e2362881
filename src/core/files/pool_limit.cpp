#include "files/pool_limit.h"

#include "context.h"

namespace trelmo {

std::string poolLimitText(const RecordPool& pool) {
  const std::string limit = std::to_string(pool.blockLimit());
  return "The record pool is full: " + limit + " of " + limit + " blocks of " +
         std::to_string(RecordPool::kRecordsPerBlock) + " records (1 MiB each) are in use.";
}

void reportPoolLimit(Context& ctx, std::string_view what) {
  ctx.host->messageBox("TRELMO'98 Memory Limit", poolLimitText(ctx.pool) + "\n\n" + std::string(what) +
                                                     "\n\nClose files that are not needed and try again.");
}

}  // namespace trelmo
