// Why a file could not be read or written, carried along with the failure so
// that the caller can say it: the system's text for the error, or the line of
// the file and what was wrong there.
#pragma once
#include <string>

namespace trelmo {

struct FileFailure {
  std::string reason;  // empty while nothing failed

  bool failed() const { return !reason.empty(); }
  static FileFailure ofError(int error);  // the system's text for an errno value
  static FileFailure atLine(long line, const std::string& what);
};

}  // namespace trelmo
