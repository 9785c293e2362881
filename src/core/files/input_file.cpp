#include "files/input_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace trelmo {

// Memory input is held as one block in buf_, so the readers below work the
// same on both kinds of input: take what is left of buf_, then fill().

InputFile::~InputFile() {
  if (fp_) std::fclose(fp_);
}

bool InputFile::open(const std::string& path) {
  if (fp_) std::fclose(fp_);
  memory_ = false;
  mem_ = {};
  memPos_ = 0;
  error_ = 0;
  fp_ = std::fopen(path.c_str(), "rb");
  if (!fp_) {
    error_ = errno;
    return false;
  }
  struct stat st;
  if (fstat(fileno(fp_), &st) != 0 || S_ISDIR(st.st_mode)) {  // a folder opens but is no file
    error_ = S_ISDIR(st.st_mode) ? EISDIR : errno;
    std::fclose(fp_);
    fp_ = nullptr;
    return false;
  }
  path_ = path;
  size_ = 0;
  if (std::fseek(fp_, 0, SEEK_END) == 0) {
    const long end = std::ftell(fp_);
    if (end > 0) size_ = static_cast<uint64_t>(end);
  }
  std::fseek(fp_, 0, SEEK_SET);
  first_.resize(kBlock);
  first_.resize(std::fread(first_.data(), 1, kBlock, fp_));
  buf_ = first_;
  bufPos_ = 0;
  consumed_ = 0;
  return true;
}

void InputFile::openMemory(std::string_view data) {
  if (fp_) std::fclose(fp_);
  fp_ = nullptr;
  memory_ = true;
  mem_ = data;
  memPos_ = 0;
  path_.clear();
  size_ = data.size();
  first_.assign(data.data(), data.data() + (data.size() < kBlock ? data.size() : kBlock));
  buf_.assign(data.begin(), data.end());
  bufPos_ = 0;
  consumed_ = 0;
}

void InputFile::rewind() {
  consumed_ = 0;
  bufPos_ = 0;
  if (memory_ || !fp_) return;
  // The first block is kept, so going back to the start costs no read.
  buf_ = first_;
  std::fseek(fp_, static_cast<long>(first_.size()), SEEK_SET);
}

bool InputFile::fill() {
  if (memory_ || !fp_) return false;
  buf_.resize(kBlock);
  const size_t n = std::fread(buf_.data(), 1, kBlock, fp_);
  buf_.resize(n);
  bufPos_ = 0;
  return n > 0;
}

int InputFile::getByte() {
  if (bufPos_ >= buf_.size() && !fill()) return -1;
  ++consumed_;
  return static_cast<unsigned char>(buf_[bufPos_++]);
}

bool InputFile::takeByte(char c) {
  if ((bufPos_ >= buf_.size() && !fill()) || buf_[bufPos_] != c) return false;
  getByte();
  return true;
}

size_t InputFile::read(void* dest, size_t n) {
  char* out = static_cast<char*>(dest);
  size_t got = 0;
  while (got < n) {
    if (bufPos_ >= buf_.size() && !fill()) break;
    const size_t avail = buf_.size() - bufPos_;
    const size_t take = (n - got) < avail ? (n - got) : avail;
    std::memcpy(out + got, buf_.data() + bufPos_, take);
    bufPos_ += take;
    consumed_ += take;
    got += take;
  }
  return got;
}

namespace {

// Bytes the line reader must look at one by one: line ends, tabs and NUL.
constexpr auto kSpecial = [] {
  std::array<bool, 256> t{};
  t['\n'] = t['\r'] = t['\t'] = t[0] = true;
  return t;
}();

// The end of the run of plain characters from j (before limit): eight bytes
// are tested at a time for a byte that is zero, LF, CR or tab.
size_t plainRunEnd(const char* p, size_t j, size_t limit) {
  constexpr uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
  constexpr auto hasZero = [](uint64_t x) { return (x - kOnes) & ~x & kHighs; };
  for (; j + 8 <= limit; j += 8) {
    uint64_t w;
    std::memcpy(&w, p + j, 8);
    if (hasZero(w) | hasZero(w ^ (kOnes * '\n')) | hasZero(w ^ (kOnes * '\r')) | hasZero(w ^ (kOnes * '\t'))) break;
  }
  while (j < limit && !kSpecial[static_cast<unsigned char>(p[j])]) ++j;
  return j;
}

// A tab goes to the next multiple of 8 columns (never past the maximum
// length); NUL is kept as character 255. Returns the new column.
size_t appendSpecial(std::string& line, size_t col, char c) {
  if (c == '\t') {
    const size_t to = std::min((col / 8 + 1) * 8, InputFile::kMaxLine);
    line.append(to - col, ' ');
    return to;
  }
  line.push_back(c == '\0' ? static_cast<char>(255) : c);
  return col + 1;
}

}  // namespace

bool InputFile::nextLine(std::string& line) {
  line.clear();
  bool any = false;  // something (a character or a line end) was taken
  size_t col = 0;
  for (;;) {
    if (bufPos_ >= buf_.size() && !fill()) return any;
    const char* p = buf_.data() + bufPos_;
    const size_t n = buf_.size() - bufPos_;
    size_t i = 0;
    int end = 0;  // 0 none yet, 1 LF, 2 CR, 3 cut at the maximum length
    while (i < n) {
      // A run of plain characters is taken in one piece, up to the length limit.
      const size_t limit = std::min(n, i + (kMaxLine - col));
      const size_t j = plainRunEnd(p, i, limit);
      line.append(p + i, j - i);
      col += j - i;
      i = j;
      if (i == n) break;
      const char c = p[i];
      if (c == '\n' || c == '\r') {
        end = c == '\n' ? 1 : 2;
        ++i;
        break;
      }
      if (col >= kMaxLine) {
        end = 3;
        break;
      }
      col = appendSpecial(line, col, c);
      ++i;
    }
    bufPos_ += i;
    consumed_ += i;
    any = any || i > 0;
    if (end == 0) continue;
    if (end == 2) {
      takeByte('\n');  // CR LF is one line end, even across a block boundary
    } else if (end == 3) {
      // A line of exactly the maximum length keeps its own line end rather
      // than producing an empty line after it.
      if (!takeByte('\n') && takeByte('\r')) takeByte('\n');
    }
    return true;
  }
}

bool InputFile::nextRawLine(std::string& line, size_t maxLen) {
  line.clear();
  if (maxLen == 0) maxLen = 1;  // every call must advance
  bool any = false;
  for (;;) {
    if (bufPos_ >= buf_.size() && !fill()) return any;
    const char* p = buf_.data() + bufPos_;
    const size_t n = buf_.size() - bufPos_;
    size_t i = 0;
    int end = 0;  // 0 none yet, 1 LF, 2 CR, 3 cut
    while (i < n) {
      const char c = p[i];
      if (c == '\n' || c == '\r') {
        end = c == '\n' ? 1 : 2;
        ++i;
        break;
      }
      if (line.size() >= maxLen) {
        end = 3;
        break;
      }
      line.push_back(c);
      ++i;
    }
    bufPos_ += i;
    consumed_ += i;
    any = any || i > 0;
    if (end == 0) continue;
    if (end == 2) takeByte('\n');
    return true;
  }
}

}  // namespace trelmo
