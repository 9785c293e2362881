// Place Component (PC) and Setup Library Files (SF).
#pragma once
#include <cstdint>

namespace trelmo {

struct Context;

// Registers PC and SF with the dispatcher.
void installLibraryFunctions(Context& ctx);

// Copies the loaded component to the cursor, with the attribute fields as its
// parameters, and puts it on the grab list as a new component. False (Beep)
// when nothing is loaded or the pool ran out.
bool placeLoadedComponent(Context& ctx);

// The library box of Place Component: false when it was escaped.
bool chooseComponent(Context& ctx);

}  // namespace trelmo
