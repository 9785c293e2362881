// Shared set-up of the output tests: a context with a design opened from the
// test data, and files named per process in a temporary folder.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "context.h"
#include "output/plot_job.h"
#include "shell/file_functions.h"

namespace trelmo::testing {

struct QuietHost : Host {
  std::vector<Sound> sounds;
  std::vector<std::pair<std::string, std::string>> boxes;
  void sound(Sound s) override { sounds.push_back(s); }
  void messageBox(const std::string& t, const std::string& text) override { boxes.emplace_back(t, text); }
};

inline std::string dataPath(const std::string& name) { return std::string(TRELMO_TEST_DATA) + "/" + name; }

inline std::string readBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

// A folder of its own for each test process.
inline std::filesystem::path scratchFolder(const std::string& name) {
  auto p = std::filesystem::temp_directory_path() / ("trelmo-output-" + std::to_string(::getpid()) + "-" + name);
  std::filesystem::remove_all(p);
  std::filesystem::create_directories(p);
  return p;
}

class OutputTest : public ::testing::Test {
 protected:
  OutputTest() : ctx(host) {}
  void open(const std::string& path) { ASSERT_TRUE(openFileByName(ctx, path, 0)) << path; }
  // Runs a whole plot of the current design into memory.
  std::string plotToMemory(PlotSettings s, PlotResult* result = nullptr) {
    PlotJob job;
    EXPECT_TRUE(preparePlot(ctx, s, job));
    auto sink = std::make_unique<MemorySink>();
    MemorySink* mem = sink.get();
    job.sink = std::move(sink);
    PlotControl control;
    const PlotResult r = runPlotJob(job, control);
    if (result) *result = r;
    return mem->bytes;
  }
  QuietHost host;
  Context ctx;
};

}  // namespace trelmo::testing
