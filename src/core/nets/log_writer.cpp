#include "nets/log_writer.h"

#include <algorithm>
#include <cctype>
#include <ctime>

#include "context.h"
#include "database/design_files.h"
#include "files/writer_safe_file.h"

namespace trelmo {

namespace {

std::string today() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%02d", (tm.tm_mon + 1) % 100, tm.tm_mday % 100, tm.tm_year % 100);
  return buf;
}

std::string baseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string lowered(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

void put(std::string& line, size_t column, std::string_view text) {
  if (line.size() < column) line.resize(column, ' ');
  line.replace(column, std::min(text.size(), line.size() - column), text);
}

}  // namespace

std::string logColumns(std::string_view source, std::string_view target, std::string_view message) {
  std::string line(source);
  if (line.size() < 24) line.resize(24, ' ');
  line += target;
  if (line.size() < 48) line.resize(48, ' ');
  line += message;
  return line;
}

std::string LogWriter::pathFor(const std::string& designPath) {
  const size_t slash = designPath.rfind('/');
  const size_t dot = designPath.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return designPath + ".LOG";
  return designPath.substr(0, dot) + ".LOG";
}

LogWriter::LogWriter(Context& ctx) : ctx_(ctx) {}

LogWriter::~LogWriter() { close(); }

bool LogWriter::open(std::string_view title, int width, const std::string& path) {
  close();
  const std::string design = ctx_.current != kNull ? filePath(ctx_, ctx_.current) : std::string();
  path_ = path.empty() ? pathFor(design) : path;
  if (path_ != "-" && !design.empty() && lowered(path_) == lowered(design)) return false;
  view_ = path_ != "-" && ctx_.shell.prefs.displayLogs;
  if (view_) {
    LogView& v = ctx_.nets.log;
    v.path = path_;
    v.lines.assign(1, "LOG FILE");
    v.open = true;
    if (ctx_.nets.logOpened) ctx_.nets.logOpened(ctx_);
  }
  if (path_ == "-") {
    out_ = stdout;
  } else {
    file_ = std::make_unique<SafeFile>(path_);
    if (!file_->open()) {
      file_.reset();
      ctx_.host->messageBox("File Open Error", "The status/log file \"" + path_ +
                                                   "\" cannot\nbe opened for output.\n\nPlease insure that you "
                                                   "have write access for this path.");
      return false;
    }
  }
  // The title line: title, design file name centred, date at the right.
  const std::string name = baseName(design);
  const std::string when = date.empty() ? today() : date;
  std::string first(128, ' ');
  put(first, 0, title);
  const long column = (static_cast<long>(title.size()) + width - 8 - static_cast<long>(name.size())) / 2;
  put(first, static_cast<size_t>(std::max(column, 0L)), name);
  put(first, static_cast<size_t>(std::max(width - 8, 0)), when);
  line(first);
  return true;
}

void LogWriter::emit(const std::string& text) {
  if (out_) {
    std::fwrite(text.data(), 1, text.size(), out_);
    std::fputs("\r\n", out_);
  } else if (file_) {
    file_->buffer() += text;
    file_->buffer() += "\r\n";
    file_->flushFull();
  }
}

void LogWriter::line(std::string_view text) {
  std::string s(text);
  while (!s.empty() && s.back() == ' ') s.pop_back();
  emit(s);
  if (view_) {
    ctx_.nets.log.lines.push_back(s);
    if (ctx_.nets.logLineAdded) ctx_.nets.logLineAdded(ctx_);
  }
}

bool LogWriter::close() {
  bool ok = true;
  if (out_) {
    ok = std::fflush(out_) == 0;
    out_ = nullptr;
  }
  if (file_) {
    ok = file_->finish() && file_->commit();
    file_.reset();
  }
  view_ = false;
  return ok;
}

}  // namespace trelmo
