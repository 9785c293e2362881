// The record pool: every record of every design comes from here.
#pragma once
#include <memory>
#include <vector>

#include "database/record.h"

namespace trelmo {

class RecordPool {
 public:
  static constexpr int kRecordsPerBlock = 29127;  // 1 MiB / 36 bytes
  static constexpr int kMaxBlocks = 256;

  RecordPool() = default;
  RecordPool(const RecordPool&) = delete;
  RecordPool& operator=(const RecordPool&) = delete;

  // A zero-filled record from the free list; a new 1 MiB block is carved when
  // the list is empty. Returns kNull when every block is in use.
  Handle allocate();
  // Pushes the record onto the free list (last in, first out).
  void release(Handle h);

  Record& operator[](Handle h) { return blocks_[(h - kFirstHandle) >> kShift][(h - kFirstHandle) & kIndexMask]; }
  const Record& operator[](Handle h) const {
    return blocks_[(h - kFirstHandle) >> kShift][(h - kFirstHandle) & kIndexMask];
  }
  // True when h names a record of a carved block (used to tell pin numbers,
  // garbage and real records apart when reading untrusted words).
  bool valid(Handle h) const;

  int blockCount() const { return static_cast<int>(blocks_.size()); }
  size_t freeCount() const { return freeCount_; }
  // Tests lower the block limit to reach exhaustion quickly.
  void setBlockLimit(int n) { blockLimit_ = n < kMaxBlocks ? n : kMaxBlocks; }
  int blockLimit() const { return blockLimit_; }

 private:
  static constexpr int kShift = 15;
  static constexpr uint32_t kIndexMask = (1u << kShift) - 1;
  bool carveBlock();

  std::vector<std::unique_ptr<Record[]>> blocks_;
  Handle freeList_ = kNull;
  size_t freeCount_ = 0;
  int blockLimit_ = kMaxBlocks;
};

}  // namespace trelmo
