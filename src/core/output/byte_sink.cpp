#include "output/byte_sink.h"

#include <cerrno>
#include <cstring>

namespace trelmo {

void FileSink::fail() {
  if (!error.empty()) return;
  error = file_.failed() ? file_.reason() : errno ? std::strerror(errno) : "write failed";
}

bool FileSink::open() {
  errno = 0;
  if (file_.open()) return true;
  fail();
  return false;
}

bool FileSink::write(const void* data, size_t n) {
  errno = 0;
  file_.append(static_cast<const uint8_t*>(data), n);
  if (!file_.failed()) return true;
  fail();
  return false;
}

bool FileSink::finish() {
  errno = 0;
  if (file_.finish() && file_.commit()) return true;
  fail();
  file_.discard();
  return false;
}

}  // namespace trelmo
