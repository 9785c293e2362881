#include "database/pool.h"

namespace trelmo {

bool RecordPool::carveBlock() {
  if (static_cast<int>(blocks_.size()) >= blockLimit_) return false;
  // Zeroed by the system as its pages are first touched, not now.
  auto* block = static_cast<Record*>(std::calloc(kRecordsPerBlock, sizeof(Record)));
  if (block == nullptr) return false;
  blocks_.emplace_back(block);
  untouched_ = kRecordsPerBlock;
  freeCount_ += kRecordsPerBlock;
  return true;
}

Handle RecordPool::allocate() {
  if (freeList_ == kNull && untouched_ == 0 && !carveBlock()) {
    ++refusals_;
    return kNull;
  }
  Handle h = freeList_;
  if (h != kNull) {
    freeList_ = (*this)[h].ext;
  } else {
    const auto newest = static_cast<Handle>(blocks_.size() - 1);
    h = kFirstHandle + (newest << kShift) + static_cast<Handle>(kRecordsPerBlock - untouched_--);
  }
  --freeCount_;
  (*this)[h] = Record{};
  return h;
}

void RecordPool::release(Handle h) {
  if (h == kNull) return;
  Record& r = (*this)[h];
  r = Record{};
  r.ext = freeList_;
  freeList_ = h;
  ++freeCount_;
}

bool RecordPool::valid(Handle h) const {
  if (h < kFirstHandle) return false;
  const uint32_t block = (h - kFirstHandle) >> kShift;
  const uint32_t index = (h - kFirstHandle) & kIndexMask;
  return block < blocks_.size() && index < static_cast<uint32_t>(kRecordsPerBlock);
}

}  // namespace trelmo
