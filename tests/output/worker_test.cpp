// Printer Out on its worker: the design-busy rule, the outputs that go to a
// printer or a printer queue, and the file written when the worker is done.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "output/output_functions.h"
#include "output/plot_boxes.h"
#include "output/plot_worker.h"
#include "output_fixture.h"
#include "shell/design_busy.h"
#include "shell/dialog_script.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"

namespace trelmo::testing {
namespace {

struct PlotHost : QuietHost {
  std::string file;  // the answer of every save box
  std::vector<std::string> dialogs, waitBoxes;
  int waitClosed = 0;
  std::function<void(DialogBox&)> fill = [](DialogBox&) {};
  bool runDialog(DialogBox& box) override {
    dialogs.push_back(box.name);
    fill(box);
    return true;
  }
  bool chooseFile(FileDialog& d) override {
    d.fileName = file;
    return !file.empty();
  }
  void openWaitBox(const DialogBox& box, WorkerProgress&) override { waitBoxes.push_back(box.title); }
  void closeWaitBox() override { ++waitClosed; }
};

// A printer that records what is drawn on it.
struct FakePrinter : PrinterPort, PrintJob, VectorDevice, BandSink {
  int fills = 0, strokes = 0, bandRows = 0;
  bool finished = false, aborted = false, chosen = false;
  bool setup(int mode) override { return chosen = true; }
  bool describe(PrinterInfo& info) override {
    info.device = "Fake";
    return true;
  }
  std::string setupText() override { return "TRELMO printer setup;name=Fake"; }
  std::string queueName() override { return "fake"; }
  std::unique_ptr<PrintJob> start(const std::string&, std::string&) override;
  PlotPage page() const override { return {100, 800, 1000}; }
  VectorDevice& vector() override { return *this; }
  BandSink& bands() override { return *this; }
  bool finish() override { return finished = true; }
  void abort() override { aborted = true; }
  void fill(const std::vector<DevicePoint>&, uint32_t) override { ++fills; }
  void stroke(const std::vector<DevicePoint>&, double, uint32_t) override { ++strokes; }
  bool band(const uint8_t*, int, int, BandPlace, int rows) override {
    bandRows += rows;
    return true;
  }
};

// The job is handed out as a view of the printer itself.
struct JobView : PrintJob {
  FakePrinter& p;
  explicit JobView(FakePrinter& printer) : p(printer) {}
  PlotPage page() const override { return p.page(); }
  VectorDevice& vector() override { return p; }
  BandSink& bands() override { return p; }
  bool finish() override { return p.finish(); }
  void abort() override { p.abort(); }
};
std::unique_ptr<PrintJob> FakePrinter::start(const std::string&, std::string&) {
  return std::make_unique<JobView>(*this);
}

class WorkerTest : public ::testing::Test {
 protected:
  WorkerTest() : ctx(host) {
    installOutputFunctions(ctx);
    ctx.shell.startupPhase = 3;
    EXPECT_TRUE(openFileByName(ctx, dataPath("output/small.pcb"), 0));
  }
  void plot(PlotKind kind, int source = kFromMacro) {
    ctx.params.printKind = static_cast<int>(kind);
    executeFunction(ctx, fc('F', 'P'), source);
  }
  PlotHost host;
  Context ctx;
};

TEST_F(WorkerTest, WhileAPlotRunsEditingIsRefusedAndViewingGoesOn) {
  const auto dir = scratchFolder("busy");
  host.file = (dir / "board.bmp").string();
  ctx.params.printScale = bmpScaleFactor(600);
  plot(PlotKind::Bmp);
  ASSERT_TRUE(designBusy(ctx));
  EXPECT_EQ(host.waitBoxes, std::vector<std::string>{"Please Stand By"});
  host.sounds.clear();
  for (const char* code : {"PL", "DL", "UU", "FC", "FO", "SL", "FP"})
    executeFunction(ctx, fc(code[0], code[1]), kFromKeys);
  EXPECT_EQ(host.sounds, std::vector<Sound>(7, Sound::Beep));
  host.sounds.clear();
  executeFunction(ctx, fc('Z', 'I'), kFromKeys);
  executeFunction(ctx, fc('Z', 'O'), kFromKeys);
  EXPECT_TRUE(host.sounds.empty());
  waitPlotWorker(ctx, false);
  EXPECT_FALSE(designBusy(ctx));
  EXPECT_EQ(host.waitClosed, 1);
  EXPECT_GT(std::filesystem::file_size(host.file), 54u);
  std::filesystem::remove_all(dir);
}

TEST_F(WorkerTest, ExitStopsTheRunningPlotAndNothingIsLeftBehind) {
  const auto dir = scratchFolder("exit");
  host.file = (dir / "board.hpg").string();
  plot(PlotKind::Hpgl);
  ASSERT_TRUE(designBusy(ctx));
  ctx.rec(ctx.current).size &= static_cast<uint16_t>(~kFileModified);
  executeFunction(ctx, fc('F', 'X'), kFromKeys);
  EXPECT_FALSE(designBusy(ctx));
  EXPECT_FALSE(plotWorkerRunning(ctx));
  // Either the plot had finished (a whole file) or it was cancelled (none).
  for (const auto& e : std::filesystem::directory_iterator(dir)) EXPECT_EQ(e.path().string(), host.file);
  std::filesystem::remove_all(dir);
}

// A full disk, simulated by a file size limit in a child process: the plot
// fails, the file of an earlier plot stays as it was, and the box says why.
TEST_F(WorkerTest, APlotToAFullDiskKeepsTheOldFileAndSaysWhy) {
  const auto dir = scratchFolder("full");
  host.file = (dir / "board.bmp").string();
  const std::string old = "an earlier plot\n";
  std::ofstream(host.file, std::ios::binary) << old;
  ctx.params.printScale = bmpScaleFactor(600);  // some megabytes
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{200000, 200000};
    setrlimit(RLIMIT_FSIZE, &limit);
    plot(PlotKind::Bmp);
    waitPlotWorker(ctx, false);
    for (const auto& [title, text] : host.boxes)
      if (text.find(std::strerror(EFBIG)) != std::string::npos) _exit(0);
    _exit(host.boxes.empty() ? 1 : 2);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_NE(WEXITSTATUS(status), 1) << "the failed plot was not reported";
  EXPECT_NE(WEXITSTATUS(status), 2) << "the report did not say why";
  EXPECT_EQ(readBytes(host.file), old);
  for (const auto& e : std::filesystem::directory_iterator(dir)) EXPECT_EQ(e.path().string(), host.file);
  std::filesystem::remove_all(dir);
}

TEST_F(WorkerTest, PrinterKindsWithoutAPrinterCannotStart) {
  plot(PlotKind::Gdi);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].first, "TRELMO'98 Printer Error");
  EXPECT_EQ(host.boxes[0].second, "Unable to acquire handle to DC for printer.");
  EXPECT_FALSE(designBusy(ctx));
}

TEST_F(WorkerTest, VectorAndRasterPagesReachThePrinter) {
  auto printer = std::make_shared<FakePrinter>();
  ctx.output.printer = printer;
  plot(PlotKind::Gdi);
  waitPlotWorker(ctx, false);
  EXPECT_TRUE(printer->finished);
  EXPECT_GT(printer->fills, 5);
  EXPECT_GT(printer->strokes, 5);
  printer->finished = false;
  plot(PlotKind::Dib);
  waitPlotWorker(ctx, false);
  EXPECT_TRUE(printer->finished);
  EXPECT_GT(printer->bandRows, 100);
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(WorkerTest, RawPclGoesToThePrinterQueueAndARefusalSaysWhy) {
  // The job's sink goes with the job: what it was sent is kept here.
  struct Capture : ByteSink {
    std::string& out;
    explicit Capture(std::string& o) : out(o) {}
    bool write(const void* d, size_t n) override {
      out.append(static_cast<const char*>(d), n);
      return true;
    }
    bool finish() override { return true; }
    void abort() override { out = "aborted"; }
  };
  std::string sent, title;
  ctx.output.openRawJob = [&](Context&, const std::string& t, std::string&) {
    title = t;
    return std::unique_ptr<ByteSink>(std::make_unique<Capture>(sent));
  };
  plot(PlotKind::Pcl);
  waitPlotWorker(ctx, false);
  EXPECT_EQ(title, "Graphics Data");
  EXPECT_EQ(sent.substr(0, 2), "\033E");
  EXPECT_EQ(sent.substr(sent.size() - 6), "\033*rB\033E");
  ctx.output.openRawJob = [](Context&, const std::string&, std::string& failure) {
    failure = "Open_Printer Failure\n\nThe printer is not responding.";
    return std::unique_ptr<ByteSink>();
  };
  plot(PlotKind::Pcl);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].second, "Open_Printer Failure\n\nThe printer is not responding.");
}

TEST_F(WorkerTest, TheOutputBoxStoresTheSettingsAndItsSetupButtonShowsThePrinter) {
  auto printer = std::make_shared<FakePrinter>();
  ctx.output.printer = printer;
  int outputBoxes = 0;
  host.fill = [&](DialogBox& box) {
    std::string why;
    if (box.name != "PlotterOutputBox") return;
    EXPECT_TRUE(setDialogField(box, "kind", "BMP to Disk", why)) << why;
    EXPECT_TRUE(setDialogField(box, "scale", "200", why)) << why;
    EXPECT_TRUE(setDialogField(box, "Vias", "0", why)) << why;
    EXPECT_TRUE(setDialogField(box, "mirror", "1", why)) << why;
    EXPECT_TRUE(setDialogField(box, "layer2.stackup", "9", why)) << why;
    EXPECT_TRUE(setDialogField(box, "setup", ++outputBoxes == 1 ? "1" : "0", why)) << why;
  };
  EXPECT_TRUE(editPlotSettings(ctx));
  EXPECT_EQ(host.dialogs, (std::vector<std::string>{"PlotterOutputBox", "PlotterSettingsBox", "PlotterOutputBox"}));
  EXPECT_EQ(ctx.params.printKind, static_cast<int>(PlotKind::Bmp));
  EXPECT_NEAR(bmpDpi(ctx.params.printScale), 200, 0.5);
  EXPECT_EQ(ctx.params.printExclusions & kNoVias, kNoVias);
  EXPECT_EQ(ctx.params.printFlags & kPrintMirror, kPrintMirror);
  EXPECT_EQ(ctx.params.layers[2].sequence, 9);
}

}  // namespace
}  // namespace trelmo::testing
