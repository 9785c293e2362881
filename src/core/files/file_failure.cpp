#include "files/file_failure.h"

#include <cstring>

namespace trelmo {

FileFailure FileFailure::ofError(int error) {
  return {error ? std::string(std::strerror(error)) : std::string("unknown error")};
}

FileFailure FileFailure::atLine(long line, const std::string& what) {
  return {"line " + std::to_string(line) + ": " + what};
}

}  // namespace trelmo
