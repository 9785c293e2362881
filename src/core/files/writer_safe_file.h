// A file written beside its target and put in place only when every byte of
// it reached the disk: a failed save never costs the previous version.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace trelmo {

class SafeFile {
 public:
  static constexpr size_t kBlock = 65536;

  explicit SafeFile(std::string target);
  ~SafeFile();  // removes the temporary file unless it was committed
  SafeFile(const SafeFile&) = delete;
  SafeFile& operator=(const SafeFile&) = delete;

  // Creates the temporary file in the target's folder.
  bool open();
  // Lines are appended here; call flushFull() after each line or so.
  std::string& buffer() { return buf_; }
  void flushFull() {
    if (buf_.size() >= kBlock) writeBlocks(false);
  }
  // Raw bytes (embedded pictures), written through the same blocks.
  void append(const uint8_t* data, size_t n);
  // Writes the rest, flushes to the disk and closes; false on any error.
  bool finish();
  // Renames the finished file over the target.
  bool commit();
  // Removes the temporary file.
  void discard();

  bool failed() const { return failed_; }
  // Why the file failed, as the system words it ("No space left on device");
  // empty while nothing failed.
  std::string reason() const;
  // The errno value of the first failure (0 when none was given).
  int error() const { return error_; }
  const std::string& target() const { return target_; }
  const std::string& tempPath() const { return temp_; }

 private:
  void writeBlocks(bool all);
  void writeAll(const char* p, size_t n);
  void fail(int error);  // keeps the first error

  std::string target_;
  std::string temp_;
  std::string buf_;
  int fd_ = -1;
  bool failed_ = false;
  int error_ = 0;
  bool committed_ = false;
};

}  // namespace trelmo
