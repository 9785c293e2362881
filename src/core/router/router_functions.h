// NA, the autorouter, registered with the dispatcher.
#pragma once
#include <functional>

#include "router/autoroute.h"
#include "shell/host.h"

namespace trelmo {

struct Context;

// What the editor gives the router so that a run can go on a worker thread:
// `post` has a piece of work run on the user-interface thread soon, from any
// thread. Without it (trelmo-cli, macros in tests) NA routes at once.
struct RouterFrontEnd {
  std::function<void(std::function<void()>)> post;
};

// Registers NA. Call once per context.
void installRouterFunctions(Context& ctx, RouterFrontEnd frontEnd = {});

// "AutoRouteBox": the pass set, the sizes, the clearances and the routing
// direction of every layer; applying it writes them back to the setup
// parameters and the layer table (false, with the message, for a value that
// does not read).
DialogBox autoRouteBox(const Context& ctx);
bool applyAutoRouteBox(Context& ctx, DialogBox& box);
// The box the editor shows while a run goes on; its button stops the run.
DialogBox routerWaitBox(const Context& ctx);

// The options of a run from the setup parameters (the pass set "-ga").
RouterOptions routerOptions(const Context& ctx);

}  // namespace trelmo
