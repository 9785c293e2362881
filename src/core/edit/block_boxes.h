// The boxes of the Block menu and of Resequence Components: the layer
// selection, the turn/scale/mirror factors, the attributes of a built
// component and the resequencing parameters.
#pragma once
#include <array>
#include <string>

#include "shell/host.h"

namespace trelmo {

struct Context;

// "BlockLayersBox": a table with a row per named layer ("Layer3") and the
// columns Name and Selected.
DialogBox blockLayersBox(const Context& ctx);
// "BlockRotationBox": angle (degrees), factor, mirrorx, mirrory.
DialogBox blockRotationBox(const Context& ctx);
// "BuildCompBox": the five attributes (pattern, ref, value, modifier, pcb)
// and the rotation in degrees.
DialogBox buildComponentBox(const Context& ctx);
// "ResequenceComponentsBox".
DialogBox resequenceBox(const Context& ctx);

// Each runs its box and applies it; false when it was escaped or a value
// was refused (nothing changes then).
bool askBlockLayers(Context& ctx);
bool askBlockRotation(Context& ctx);
// The attributes in stored order and the rotation; false also for an empty
// pattern.
bool askBuildComponent(Context& ctx, std::array<std::string, 5>& fields, uint16_t& rotation);
bool askResequence(Context& ctx);

}  // namespace trelmo
