// Where a plot stream goes: a file written beside its target and renamed over
// it on success, a printer queue, or memory (tests). A sink that is aborted,
// or destroyed before it finished, leaves nothing behind.
#pragma once
#include <cstddef>
#include <memory>
#include <string>

#include "files/writer_safe_file.h"

namespace trelmo {

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual bool write(const void* data, size_t n) = 0;
  bool write(const std::string& s) { return write(s.data(), s.size()); }
  // Completes the output; false (with `error` set) when it could not be.
  virtual bool finish() = 0;
  virtual void abort() = 0;
  std::string error;  // the cause of the last failure, as the system tells it
};

class FileSink : public ByteSink {
 public:
  explicit FileSink(const std::string& target) : file_(target) {}
  // Creates the temporary file beside the target.
  bool open();
  bool write(const void* data, size_t n) override;
  bool finish() override;
  void abort() override { file_.discard(); }

 private:
  void fail();
  SafeFile file_;
};

class MemorySink : public ByteSink {
 public:
  bool write(const void* data, size_t n) override {
    bytes.append(static_cast<const char*>(data), n);
    return true;
  }
  bool finish() override { return finished = true; }
  void abort() override { bytes.clear(), aborted = true; }
  std::string bytes;
  bool finished = false, aborted = false;
};

}  // namespace trelmo
