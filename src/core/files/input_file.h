// File access for the readers: 64 KiB blocks and the line reader.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace trelmo {

class InputFile {
 public:
  static constexpr size_t kBlock = 65536;
  static constexpr size_t kMaxLine = 1000;

  InputFile() = default;
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Opens a file and reads its first block. False when it cannot be opened;
  // error() then holds the errno value.
  bool open(const std::string& path);
  int error() const { return error_; }
  // Reads from memory instead of a file (tests and fuzzing).
  void openMemory(std::string_view data);

  // The first block (up to 64 KiB) as read before the readers are tried.
  std::string_view firstBlock() const { return {first_.data(), first_.size()}; }
  uint64_t size() const { return size_; }
  uint64_t position() const { return consumed_; }  // bytes handed out so far
  const std::string& path() const { return path_; }

  // Back to the first byte (each reader of the chain starts there).
  void rewind();
  // Next raw byte, -1 at the end.
  int getByte();
  // Up to n raw bytes; returns how many were read.
  size_t read(void* dest, size_t n);
  // The line reader: a line ends at LF, CR LF or a lone CR; NUL becomes 255;
  // tabs expand to the next multiple of 8 columns; a line longer than 1000
  // characters is cut and its rest becomes the next line. False when no line
  // is left.
  bool nextLine(std::string& line);
  // Raw line without tab expansion or NUL mapping, at most maxLen
  // characters (the text view's own line reader: CR, LF or CR LF).
  bool nextRawLine(std::string& line, size_t maxLen);

 private:
  bool fill();            // next block into buf_; false at the end
  bool takeByte(char c);  // takes the next byte when it is c
  FILE* fp_ = nullptr;
  int error_ = 0;
  std::string path_;
  std::vector<char> first_;
  std::vector<char> buf_;
  size_t bufPos_ = 0;
  uint64_t size_ = 0;
  uint64_t consumed_ = 0;
  bool memory_ = false;
  std::string_view mem_;
  size_t memPos_ = 0;
};

}  // namespace trelmo
