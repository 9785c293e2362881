// NA on a worker thread, as the editor runs it: the design is busy while it
// runs, functions that would change it are refused with the Beep, Escape
// stops it between two routes, and what the worker does to the design is
// done on the thread that drains the posted work.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <mutex>
#include <thread>

#include "../../bench/route_board.h"
#include "router_fixture.h"
#include "shell/design_busy.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"
#include "shell/input.h"
#include "shell/keys.h"

namespace trelmo::testing {
namespace {

// The editor's event loop in small: work posted from any thread, run here.
struct PostedWork {
  std::mutex lock;
  std::deque<std::function<void()>> queue;
  std::thread::id owner = std::this_thread::get_id();
  bool offThread = false;  // some work was run elsewhere
  void post(std::function<void()> f) {
    std::lock_guard<std::mutex> g(lock);
    queue.push_back(std::move(f));
  }
  bool runOne() {
    std::function<void()> f;
    {
      std::lock_guard<std::mutex> g(lock);
      if (queue.empty()) return false;
      f = std::move(queue.front());
      queue.pop_front();
    }
    offThread = offThread || std::this_thread::get_id() != owner;
    f();
    return true;
  }
};

struct WorkerBoard : RouterBoard {
  PostedWork loop;
  WorkerBoard() {
    installInputHandlers(ctx);
    installRouterFunctions(ctx, {[this](std::function<void()> f) { loop.post(std::move(f)); }});
  }
  // NA from a macro: the stored settings.
  void start() { executeFunction(ctx, fc('N', 'A'), kFromMacro); }
  // Runs the loop until the design is free again.
  void finish() {
    for (int i = 0; i < 200000 && designBusy(ctx); ++i)
      if (!loop.runOne()) std::this_thread::sleep_for(std::chrono::microseconds(50));
  }
};

TEST(RouterWorker, RunsBesideTheLoopAndKeepsTheDesignBusy) {
  WorkerBoard b;
  ASSERT_TRUE(openFileByName(b.ctx, b.dir.example("demo.pcb"), 0));
  b.ctx.params.layers[3].type |= 1 << kRouteDirShift;
  b.ctx.params.layers[12].type |= 2 << kRouteDirShift;
  b.ctx.params.routerPasses = kAllPasses;
  b.start();
  ASSERT_TRUE(designBusy(b.ctx));
  // Changing the design is refused; the run goes on.
  executeFunction(b.ctx, fc('N', 'R'), kFromKeys);
  EXPECT_EQ(b.host.count(Sound::Beep), 1);
  b.finish();
  EXPECT_FALSE(designBusy(b.ctx));
  EXPECT_FALSE(b.loop.offThread);
  EXPECT_EQ(b.count(kLine, kRatnestLayer), 0);
  EXPECT_EQ(b.scanErrors(), 0);
  EXPECT_NE(std::find(b.host.status.begin(), b.host.status.end(), "Routed 13 of 13 rat-lines."), b.host.status.end());
}

TEST(RouterWorker, EscapeStopsBetweenRoutes) {
  WorkerBoard b;
  ASSERT_TRUE(b.loadText(bench::routeBoard(50)));
  b.ctx.params.routerPasses = kAllPasses;
  const std::string before = b.saved();
  b.start();
  ASSERT_TRUE(designBusy(b.ctx));
  for (int i = 0, spins = 0; i < 20 && spins < 1000000; ++spins) i += b.loop.runOne() ? 1 : 0;
  // A refused function and a zoom in between do not take Escape from the run.
  executeFunction(b.ctx, fc('N', 'R'), kFromKeys);
  const uint32_t scale = b.ctx.view.viewScale;
  executeFunction(b.ctx, fc('Z', 'I'), kFromMacro);  // the I key
  EXPECT_NE(b.ctx.view.viewScale, scale);
  dispatchKey(b.ctx, kKeyEscape);
  b.finish();
  EXPECT_FALSE(designBusy(b.ctx));
  EXPECT_TRUE(std::any_of(b.host.status.begin(), b.host.status.end(),
                          [](const std::string& s) { return s.find("(stopped).") != std::string::npos; }));
  EXPECT_GT(b.count(kLine, kRatnestLayer), 0);
  EXPECT_EQ(b.copperFaults(), 0);
  ASSERT_TRUE(undoEvent(b.ctx, true));
  EXPECT_EQ(b.saved(), before);
}

TEST(RouterWorker, FileExitEndsTheRunFirst) {
  WorkerBoard b;
  ASSERT_TRUE(b.loadText(bench::routeBoard(50)));
  b.ctx.params.routerPasses = kAllPasses;
  b.start();
  ASSERT_TRUE(designBusy(b.ctx));
  stopDesignWorker(b.ctx);  // what File Exit does
  EXPECT_FALSE(designBusy(b.ctx));
  EXPECT_EQ(b.copperFaults(), 0);
}

}  // namespace
}  // namespace trelmo::testing
