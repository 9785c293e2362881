// Around the writer: the backup of the previous file, autosave and File Save.
#include <filesystem>
#include <system_error>

#include "context.h"
#include "database/design_files.h"
#include "files/writer.h"
#include "files/writer_safe_file.h"
#include "files/writer_save.h"
#include "files/writer_version4.h"

namespace trelmo {

namespace fs = std::filesystem;

namespace {

std::string baseName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return name.empty() ? std::string(kDefaultFileName) : name;
}

// Keeps the previous version at `to`, replacing an older file there, without
// ever taking it away from `from`: the save that follows replaces `from` in
// one step, so a stop at any moment leaves a whole file at the file's name. A
// second name for the same file where the file system allows, else a copy.
bool keepPrevious(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  if (fs::equivalent(from, to, ec)) return false;  // removing `to` would remove the file itself
  fs::remove(to, ec);
  fs::create_hard_link(from, to, ec);
  if (!ec) return true;
  ec.clear();
  return fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec) && !ec;
}

bool isRegularFile(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

}  // namespace

bool backupFile(Context& ctx, Handle fileSentinel, const std::string& path) {
  Record& sentinel = ctx.rec(fileSentinel);
  if (sentinel.size & kFileBackedUp) return true;
  if (!isRegularFile(path)) {        // follows a link
    sentinel.size |= kFileBackedUp;  // nothing there yet to keep
    return true;
  }
  std::error_code ec;
  // Through a link the file it names is kept; the link stays for the save.
  const fs::path real = fs::is_symlink(path, ec) ? fs::canonical(path, ec) : fs::path(path);
  const fs::path folder = fs::path(ctx.paths.data) / "Backup";
  fs::create_directories(folder, ec);
  bool kept = !ctx.paths.data.empty() && fs::is_directory(folder, ec) && keepPrevious(real, folder / baseName(path));
  if (!kept) kept = keepPrevious(real, real.string() + ".bak");
  if (kept) sentinel.size |= kFileBackedUp;
  return kept;
}

std::string autosavePath(const Context& ctx, const std::string& path) {
  if (ctx.paths.data.empty()) return {};
  return (fs::path(ctx.paths.data) / "Autosave" / baseName(path)).string();
}

bool autosave(Context& ctx, Handle fileSentinel) {
  if (fileSentinel == kNull || !fileModified(ctx.rec(fileSentinel))) return true;
  // Only the current file's parameter block is at hand.
  if (fileSentinel != ctx.current) return false;
  std::error_code ec;
  const fs::path folder = fs::path(ctx.paths.data) / "Autosave";
  fs::create_directories(folder, ec);
  if (ctx.paths.data.empty() || !fs::is_directory(folder, ec)) return false;  // given up silently
  const std::string target = autosavePath(ctx, filePath(ctx, fileSentinel));
  SafeFile file(target);
  if (!file.open()) return false;
  writeVersion4(ctx, file, target);
  if (!file.finish() || !file.commit()) return false;
  Record& sentinel = ctx.rec(fileSentinel);
  sentinel.size = static_cast<uint16_t>((sentinel.size & ~kFileModified) | kFileAutosaved);
  return true;
}

bool saveDesignFile(Context& ctx, Handle fileSentinel, std::string* reason) {
  if (fileSentinel == kNull || fileSentinel != ctx.current) return false;
  if (ctx.params.format != 'C') return false;  // File Save asks or goes on as Save As
  const std::string path = filePath(ctx, fileSentinel);
  SafeFile file(path);
  const auto failed = [&] {
    if (reason) *reason = file.reason();
    return false;
  };
  if (!file.open()) return failed();
  writeVersion4(ctx, file, path);
  if (!file.finish()) return failed();
  // The previous file is kept aside only now that its successor is complete;
  // when no backup can be made the save still goes ahead.
  backupFile(ctx, fileSentinel, path);
  if (!file.commit()) return failed();
  markSaved(ctx.rec(fileSentinel));
  return true;
}

}  // namespace trelmo
