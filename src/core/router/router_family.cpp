// NA: the box, then the run, at once or on a worker thread. The worker never
// touches the design itself: every read or change of it is handed to the
// user-interface thread and waited for, so the window redraws, zooms and
// pans a consistent design while the worker searches, and functions that
// would change the design are refused (shell/design_busy.h). Escape or the
// Stop button ends the run between two routes, keeping what was routed.
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "context.h"
#include "edit/undo.h"
#include "router/router_functions.h"
#include "shell/design_busy.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"
#include "shell/messages.h"

namespace trelmo {

namespace {

// What the worker and the user-interface thread share for one run.
struct RouterThread {
  std::thread thread;
  WorkerProgress progress;
  std::mutex lock;
  std::condition_variable changed;
  std::deque<const std::function<void()>*> tasks;
  size_t doneCount = 0, queuedCount = 0;
  bool finished = false;   // under lock
  bool collected = false;  // user-interface thread only
  RouterTotals totals;

  // Worker side: has the work run on the user-interface thread and waits.
  void onDesign(const std::function<void()>& work, const RouterFrontEnd& fe, const std::shared_ptr<RouterThread>& self,
                Context& ctx) {
    size_t ticket;
    {
      std::lock_guard<std::mutex> g(lock);
      tasks.push_back(&work);
      ticket = ++queuedCount;
    }
    fe.post([self, &ctx] { self->drain(); });
    std::unique_lock<std::mutex> g(lock);
    changed.wait(g, [&] { return doneCount >= ticket; });
    (void)ctx;
  }
  // User-interface side: runs what the worker handed over.
  void drain() {
    for (;;) {
      const std::function<void()>* work = nullptr;
      {
        std::lock_guard<std::mutex> g(lock);
        if (tasks.empty()) return;
        work = tasks.front();
        tasks.pop_front();
      }
      (*work)();
      {
        std::lock_guard<std::mutex> g(lock);
        ++doneCount;
      }
      changed.notify_all();
    }
  }
  bool isFinished() {
    std::lock_guard<std::mutex> g(lock);
    return finished;
  }
};

void reportTotals(Context& ctx, const RouterTotals& t) {
  showStatus(ctx,
             "Routed " + std::to_string(t.routed) + " of " + std::to_string(t.ratLines) + " rat-lines" +
                 (t.stopped ? " (stopped)." : "."),
             0);
}

// Joins a finished worker and gives the design back.
void collect(Context& ctx, const std::shared_ptr<RouterThread>& run) {
  if (run->collected) return;
  run->collected = true;
  if (run->thread.joinable()) run->thread.join();
  ctx.host->closeWaitBox();
  if (ctx.shell.busy.owner == "router") clearDesignBusy(ctx);
  ctx.shell.cancelHooks[kWorkerHookSlot] = nullptr;
  reportTotals(ctx, run->totals);
  ctx.host->redrawView();
}

// Ends the run at once (File Exit, a context going away): asks the worker to
// stop, does what it still hands over, and joins it.
void stopNow(Context& ctx, const std::shared_ptr<RouterThread>& run) {
  run->progress.cancel = true;
  while (!run->isFinished()) {
    run->drain();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  run->drain();
  collect(ctx, run);
}

void startWorker(Context& ctx, const RouterFrontEnd& fe) {
  auto run = std::make_shared<RouterThread>();
  if (!markDesignBusy(ctx, "router", [run](Context& c) { stopNow(c, run); })) return ctx.host->sound(Sound::Beep);
  ctx.shell.cancelHooks[kWorkerHookSlot] = [run](Context&) { run->progress.cancel = true; };
  const RouterOptions options = routerOptions(ctx);
  try {
    run->thread = std::thread([run, fe, options, &ctx] {
      RouterLink link;
      link.progress = &run->progress;
      link.onDesign = [&](const std::function<void()>& work) { run->onDesign(work, fe, run, ctx); };
      run->totals = autoroute(ctx, options, link);
      {
        std::lock_guard<std::mutex> g(run->lock);
        run->finished = true;
      }
      fe.post([run, &ctx] { collect(ctx, run); });
    });
  } catch (const std::system_error&) {
    clearDesignBusy(ctx);
    ctx.shell.cancelHooks[kWorkerHookSlot] = nullptr;
    ctx.host->messageBox("TRELMO'98 Routing Error", "Unable to create multi-tasking thread for plotting.");
    return;
  }
  ctx.host->openWaitBox(routerWaitBox(ctx), run->progress);
}

// From a macro in angle brackets the box is skipped: the stored settings run.
void autorouterFunction(Context& ctx, const RouterFrontEnd& fe, int source) {
  if (ctx.current == kNull) return ctx.host->sound(Sound::Beop);
  if (ctx.params.isSchematic()) return ctx.host->sound(Sound::Beep);
  if (!autoPurgeRedo(ctx)) return;
  if (source != kFromMacro) {
    DialogBox box = autoRouteBox(ctx);
    if (!ctx.host->runDialog(box) || !applyAutoRouteBox(ctx, box)) return;
  }
  if (fe.post) return startWorker(ctx, fe);
  reportTotals(ctx, autoroute(ctx, routerOptions(ctx)));
  ctx.host->redrawView();
}

}  // namespace

void installRouterFunctions(Context& ctx, RouterFrontEnd frontEnd) {
  registerFunction(ctx, fc('N', 'A'),
                   [fe = std::move(frontEnd)](Context& c, uint16_t, int source) { autorouterFunction(c, fe, source); });
}

}  // namespace trelmo
