#include "shell/file_recover.h"

#include <filesystem>
#include <system_error>

#include "context.h"
#include "files/writer.h"

namespace trelmo {

namespace fs = std::filesystem;

namespace {

constexpr const char* kRecoveryTitle = "Autosave Recovery";

std::string recoveryQuestion(const std::string& path, const std::string& copy) {
  return "The autosave copy\n\"" + copy + "\"\nis newer than the file\n\"" + path +
         "\".\n\nThe program may have stopped before the file was saved.\n\n"
         "Selecting [YES] opens the copy in place of the file, unsaved, so that you can save it.\n"
         "Selecting [NO] discards the copy.\n\nRecover the autosave copy?";
}

}  // namespace

std::string offerAutosaveCopy(Context& ctx, const std::string& path, bool& recovered) {
  recovered = false;
  std::string copy = autosavePath(ctx, path);
  std::error_code ec;
  if (copy.empty() || !fs::is_regular_file(copy, ec) || fs::equivalent(copy, path, ec)) return path;
  const auto copyTime = fs::last_write_time(copy, ec);
  if (ec) return path;
  const auto fileTime = fs::last_write_time(path, ec);
  if (ec || copyTime <= fileTime) return path;
  if (affirmative(ctx.host->question(kRecoveryTitle, recoveryQuestion(path, copy), Buttons::YesNo))) {
    recovered = true;
    return copy;
  }
  fs::remove(copy, ec);
  return path;
}

void removeAutosaveCopy(const Context& ctx, const std::string& path) {
  std::string copy = autosavePath(ctx, path);
  std::error_code ec;
  if (copy.empty() || fs::equivalent(copy, path, ec)) return;
  fs::remove(copy, ec);
}

}  // namespace trelmo
