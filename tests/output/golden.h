// Golden files of the output tests: compared byte for byte; written anew
// only when TRELMO_UPDATE_GOLDEN is set (on purpose, with the reason in the
// commit message).
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "output_fixture.h"

namespace trelmo::testing {

inline void expectGolden(const std::string& name, const std::string& bytes) {
  const std::string path = dataPath("output/" + name);
  if (std::getenv("TRELMO_UPDATE_GOLDEN")) {
    std::ofstream(path, std::ios::binary) << bytes;
    return;
  }
  const std::string want = readBytes(path);
  ASSERT_FALSE(want.empty()) << "missing golden file " << path;
  EXPECT_TRUE(bytes == want) << name << " differs from its golden file (" << bytes.size() << " bytes, golden "
                             << want.size() << ")";
}

}  // namespace trelmo::testing
