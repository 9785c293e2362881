#include "database/pool.h"

namespace trelmo {

bool RecordPool::carveBlock() {
  if (static_cast<int>(blocks_.size()) >= blockLimit_) return false;
  auto block = std::make_unique<Record[]>(kRecordsPerBlock);
  const Handle base = kFirstHandle + (static_cast<Handle>(blocks_.size()) << kShift);
  // Chain the new records so that the lowest handle is handed out first.
  for (int i = kRecordsPerBlock - 1; i >= 0; --i) {
    block[i].ext = freeList_;
    freeList_ = base + static_cast<Handle>(i);
  }
  blocks_.push_back(std::move(block));
  freeCount_ += kRecordsPerBlock;
  return true;
}

Handle RecordPool::allocate() {
  if (freeList_ == kNull && !carveBlock()) return kNull;
  const Handle h = freeList_;
  Record& r = (*this)[h];
  freeList_ = r.ext;
  --freeCount_;
  r = Record{};
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
