// The Setup > Pixel Image functions (S0 to S<): loading, attaching, saving,
// releasing and swapping pictures, their resolution and gamma boxes, the
// mirror and rotate functions, and the interactive move, scale/align and
// ortho-rectify.
#pragma once
#include <memory>

#include "image/pixel_image.h"

namespace trelmo {

struct Context;

// Registers the S family's picture members with the dispatcher and plugs
// the picture facts and Alt-M into the shell. Call once per context.
void installImageFunctions(Context& ctx);

// The current picture of the current design file; null when there is none.
PixelImage* currentImage(Context& ctx);

// The new picture takes the current slot; the old one is freed after it (the
// new block already exists). Pixels that changed no longer match a linked
// file, so the picture becomes embedded.
void replaceCurrentImage(Context& ctx, std::unique_ptr<PixelImage> img);

// A picture whose pixels or resolution changed is kept in the design file
// from now on: the file it was attached from no longer matches it.
void embedPicture(PixelImage& img);

// A picture changed: the file is modified, the view is redrawn and the query
// windows are refreshed.
void pictureChanged(Context& ctx);

// The interactive members (image_align.cpp).
void installImageAlignment(Context& ctx);

}  // namespace trelmo
