#include "files/writer_safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

namespace trelmo {

namespace {

std::string folderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes the new file durable in its folder; some file systems refuse, which
// does not make the save fail.
void syncFolder(const std::string& path) {
  const int dfd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd < 0) return;
  ::fsync(dfd);
  ::close(dfd);
}

}  // namespace

SafeFile::SafeFile(std::string target) : target_(std::move(target)) {}

SafeFile::~SafeFile() {
  if (!committed_) discard();
}

bool SafeFile::open() {
  // A link is followed: the file it names is the one replaced.
  struct stat link {};
  if (::lstat(target_.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
    if (char* real = ::realpath(target_.c_str(), nullptr)) {
      target_ = real;
      std::free(real);
    }
  }
  struct stat old {};
  const bool exists = ::stat(target_.c_str(), &old) == 0;
  if (target_.empty() || (exists && !S_ISREG(old.st_mode))) {
    fail(target_.empty() ? ENOENT : S_ISDIR(old.st_mode) ? EISDIR : EINVAL);
    return false;
  }
  std::random_device rd;
  int error = EEXIST;
  for (int attempt = 0; attempt < 16 && fd_ < 0; ++attempt) {
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".~%08x", static_cast<unsigned>(rd()));
    const std::string name = target_ + suffix;
    fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
      temp_ = name;
    } else if ((error = errno) != EEXIST) {
      break;
    }
  }
  if (fd_ < 0) {
    fail(error);
    return false;
  }
  if (exists) ::fchmod(fd_, old.st_mode & 07777);  // keep the old file's permissions
  buf_.reserve(2 * kBlock);
  return true;
}

void SafeFile::writeAll(const char* p, size_t n) {
  while (n > 0 && !failed_) {
    const ssize_t w = ::write(fd_, p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) {
      fail(w < 0 ? errno : ENOSPC);
      return;
    }
    p += w;
    n -= static_cast<size_t>(w);
  }
}

void SafeFile::writeBlocks(bool all) {
  if (fd_ < 0) {
    fail(EBADF);
    buf_.clear();
    return;
  }
  size_t done = 0;
  while (buf_.size() - done >= kBlock) {
    writeAll(buf_.data() + done, kBlock);
    done += kBlock;
  }
  if (all && done < buf_.size()) {
    writeAll(buf_.data() + done, buf_.size() - done);
    done = buf_.size();
  }
  buf_.erase(0, done);
}

void SafeFile::append(const uint8_t* data, size_t n) {
  while (n > 0 && !failed_) {
    const size_t room = kBlock - (buf_.size() % kBlock);
    const size_t take = n < room ? n : room;
    buf_.append(reinterpret_cast<const char*>(data), take);
    data += take;
    n -= take;
    flushFull();
  }
}

bool SafeFile::finish() {
  writeBlocks(true);
  if (fd_ >= 0) {
    if (!failed_ && ::fsync(fd_) != 0 && errno != EINVAL) fail(errno);
    if (::close(fd_) != 0) fail(errno);
    fd_ = -1;
  }
  return !failed_;
}

bool SafeFile::commit() {
  if (failed_ || temp_.empty() || fd_ >= 0) return false;
  if (::rename(temp_.c_str(), target_.c_str()) != 0) {
    fail(errno);
    return false;
  }
  committed_ = true;
  syncFolder(target_);
  return true;
}

void SafeFile::discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
  buf_.clear();
}

}  // namespace trelmo
