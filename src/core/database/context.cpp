#include "context.h"

#include <cstdlib>

#include "database/options.h"
#include "database/rings.h"

namespace trelmo {

Context::Context() : host(&silentHost) {
  for (auto& r : rings) r = newRing(pool, 0);
  initSignalTable(*this);
  startupParams(params);
  paths.data = defaultDataPath();
  paths.resources = defaultResourcePath();
}

std::string defaultDataPath() {
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) return std::string(xdg) + "/trelmo";
  if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.local/share/trelmo";
  return "/tmp/trelmo";
}

std::string defaultResourcePath() {
  if (const char* env = std::getenv("TRELMO_DATA_DIR"); env && *env) return env;
#ifdef TRELMO_SOURCE_RESOURCES
  return TRELMO_SOURCE_RESOURCES;
#else
  return "/usr/local/share/trelmo";
#endif
}

}  // namespace trelmo
