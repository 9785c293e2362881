// The boxes of the picture functions: resolution (S6), gamma (S7) and the
// choice of fit when a rectification runs (S5).
#pragma once
#include "image/rectify_fit.h"
#include "shell/host.h"

namespace trelmo {

struct Context;

DialogBox setupPixelImageBox(const Context& ctx);
// The new resolution; the picture keeps its lower-left corner. False (with a
// message) when the value is refused or the picture would leave the
// coordinate range.
bool applySetupPixelImage(Context& ctx, DialogBox& box);

DialogBox pixelGammaBox(const Context& ctx);
// Fills the translation table for the gamma; the pixels stay as they are.
bool applyPixelGamma(Context& ctx, DialogBox& box);
// The gamma that gives the translation table's middle entry (1 for the
// identity).
double gammaOfTable(const uint8_t* table);

// The fit to use, with the residuals of both fits shown beside the choice.
// A model that cannot be fitted shows as such.
DialogBox imageRectifyBox(const Context& ctx);
void showResiduals(DialogBox& box, const FitResidual* bilinear, const FitResidual* projective, FitModel chosen);
FitModel chosenModel(DialogBox& box);

}  // namespace trelmo
