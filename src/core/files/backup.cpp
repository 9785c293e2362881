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

// Moves from over to, replacing an older file there. Across file systems the
// file is copied and the original removed.
bool moveReplacing(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  if (fs::equivalent(from, to, ec)) return false;  // removing `to` would remove the file itself
  fs::remove(to, ec);
  fs::rename(from, to, ec);
  if (!ec) return true;
  if (ec != std::errc::cross_device_link) return false;
  if (!fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec)) return false;
  fs::remove(from, ec);
  return !ec;
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
  // Through a link the file it names is moved; the link stays for the save.
  const fs::path real = fs::is_symlink(path, ec) ? fs::canonical(path, ec) : fs::path(path);
  const fs::path folder = fs::path(ctx.paths.data) / "Backup";
  fs::create_directories(folder, ec);
  bool moved = !ctx.paths.data.empty() && fs::is_directory(folder, ec) && moveReplacing(real, folder / baseName(path));
  if (!moved) moved = moveReplacing(real, real.string() + ".bak");
  if (moved) sentinel.size |= kFileBackedUp;
  return moved;
}

bool autosave(Context& ctx, Handle fileSentinel) {
  if (fileSentinel == kNull || !fileModified(ctx.rec(fileSentinel))) return true;
  // Only the current file's parameter block is at hand.
  if (fileSentinel != ctx.current) return false;
  std::error_code ec;
  const fs::path folder = fs::path(ctx.paths.data) / "Autosave";
  fs::create_directories(folder, ec);
  if (ctx.paths.data.empty() || !fs::is_directory(folder, ec)) return false;  // given up silently
  const std::string target = (folder / baseName(filePath(ctx, fileSentinel))).string();
  SafeFile file(target);
  if (!file.open()) return false;
  writeVersion4(ctx, file, target);
  if (!file.finish() || !file.commit()) return false;
  Record& sentinel = ctx.rec(fileSentinel);
  sentinel.size = static_cast<uint16_t>((sentinel.size & ~kFileModified) | kFileAutosaved);
  return true;
}

bool saveDesignFile(Context& ctx, Handle fileSentinel) {
  if (fileSentinel == kNull || fileSentinel != ctx.current) return false;
  if (ctx.params.format != 'C') return false;  // File Save asks or goes on as Save As
  const std::string path = filePath(ctx, fileSentinel);
  SafeFile file(path);
  if (!file.open()) return false;
  writeVersion4(ctx, file, path);
  if (!file.finish()) return false;
  // The previous file is moved aside only now that its successor is complete;
  // when no backup can be made the save still goes ahead.
  backupFile(ctx, fileSentinel, path);
  if (!file.commit()) return false;
  markSaved(ctx.rec(fileSentinel));
  return true;
}

}  // namespace trelmo
