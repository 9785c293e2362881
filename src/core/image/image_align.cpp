// The interactive picture functions: Move (S4), Scale/align (S>) and
// Ortho-rectify (S5). Each runs through the first accept and cancel hooks
// with a stage prompt, and shows its markers as ghosts on the grab list.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "context.h"
#include "edit/grab.h"
#include "image/image_boxes.h"
#include "image/image_functions.h"
#include "image/markers.h"
#include "image/rectify.h"
#include "image/turns.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"
#include "shell/input.h"
#include "shell/messages.h"

namespace trelmo {

namespace {

constexpr const char* kRectifyTitle = "Image Ortho-rectification";
constexpr const char* kScaleTitle = "TRELMO'98 Pixel Image Error";

struct WorldPair {
  int32_t sx, sy, tx, ty;
};

// What one run of an interactive function has picked so far.
struct Alignment {
  int32_t fx = 0, fy = 0, sx = 0, sy = 0;  // fixed and source points
  AlignAxis axis = AlignAxis::None;
  Handle band = kNull;  // the rubber band following the cursor
  bool sourceWaiting = false;
  std::vector<WorldPair> pairs;
  FitModel model = FitModel::Bilinear;  // the last fit chosen, offered again
};
using Shared = std::shared_ptr<Alignment>;

void setPrompt(Context& ctx, const std::string& text) {
  ctx.shell.stagePrompt = text;
  showStatus(ctx, text, 0);
}

void setHooks(Context& ctx, Hook accept, Hook cancel) {
  ctx.shell.acceptHooks[0] = std::move(accept);
  ctx.shell.cancelHooks[0] = std::move(cancel);
}

// The function ends: markers, hooks and prompt go.
void finish(Context& ctx) {
  clearMarkers(ctx);
  ctx.shell.acceptHooks[0] = nullptr;
  ctx.shell.cancelHooks[0] = nullptr;
  ctx.shell.stagePrompt.clear();
  restoreStatusBar(ctx);
}

// The cursor as the click left it (the ghosts are brought up to it first).
void cursorPoint(Context& ctx, int32_t& x, int32_t& y) {
  followCursor(ctx);
  x = ctx.view.cursorX, y = ctx.view.cursorY;
}

// Starts an interactive function: whatever was on the cursor goes back, the
// cross-hair comes up and the reticle (and the cross) follow it.
bool begin(Context& ctx, const Shared& a, bool cross) {
  if (!currentImage(ctx)) return false;
  releaseGrabList(ctx);
  const FitModel model = a->model;
  *a = Alignment{};
  a->model = model;
  enterTrelmoMode(ctx);
  MarkerEdit m(ctx);
  m.reticle();
  if (cross) m.cross();
  return true;
}

// ------------------------------------------------------------------ move

void moveTarget(Context& ctx, const Shared& a) {
  int32_t x, y;
  cursorPoint(ctx, x, y);
  PixelImage* img = currentImage(ctx);
  if (img && !movePicture(*img, int64_t{x} - a->sx, int64_t{y} - a->sy)) return ctx.host->sound(Sound::Beep);
  finish(ctx);
  if (img) pictureChanged(ctx);
}

void moveSource(Context& ctx, const Shared& a) {
  cursorPoint(ctx, a->sx, a->sy);
  {
    MarkerEdit m(ctx);
    m.pointMark(a->sx, a->sy);
    a->band = m.rubberBand(a->sx, a->sy);
  }
  setPrompt(ctx, "Pixel Image:  Select target reference point.");
  ctx.shell.acceptHooks[0] = [a](Context& c) { moveTarget(c, a); };
}

void startMove(Context& ctx, const Shared& a) {
  if (!begin(ctx, a, true)) return;
  setPrompt(ctx, "Pixel Image:  Select source reference point.");
  setHooks(
      ctx, [a](Context& c) { moveSource(c, a); }, finish);
}

// ----------------------------------------------------------- scale/align

ResampleProgress hostProgress(Context& ctx) {
  return [&ctx](int percent) { return ctx.host->progress(percent); };
}

void alignTarget(Context& ctx, const Shared& a) {
  int32_t x, y;
  cursorPoint(ctx, x, y);
  if (!alignTargetAllowed(a->axis, a->fx, a->fy, a->sx, a->sy, x, y)) return ctx.host->sound(Sound::Beep);
  PixelImage* img = currentImage(ctx);
  finish(ctx);
  if (!img) return;
  const int64_t f[2] = {a->fx, a->fy}, s[2] = {a->sx, a->sy}, t[2] = {x, y};
  std::string why;
  std::unique_ptr<PixelImage> scaled = scaleAlignPicture(*img, a->axis, f, s, t, hostProgress(ctx), why);
  if (!scaled) return ctx.host->messageBox(kScaleTitle, why);
  replaceCurrentImage(ctx, std::move(scaled));
  pictureChanged(ctx);
}

void alignSource(Context& ctx, const Shared& a) {
  int32_t x, y;
  cursorPoint(ctx, x, y);
  const AlignAxis axis = alignAxis(a->fx, a->fy, x, y);
  if (axis == AlignAxis::None) return ctx.host->sound(Sound::Beep);
  a->axis = axis;
  a->sx = x, a->sy = y;
  {
    MarkerEdit m(ctx);
    m.fix(a->band, x, y);
    a->band = m.rubberBand(x, y);
  }
  setPrompt(ctx, "Pixel Image:  Select target reference point.");
  ctx.shell.acceptHooks[0] = [a](Context& c) { alignTarget(c, a); };
}

void alignFixed(Context& ctx, const Shared& a) {
  cursorPoint(ctx, a->fx, a->fy);
  {
    MarkerEdit m(ctx);
    m.pointMark(a->fx, a->fy);
    a->band = m.rubberBand(a->fx, a->fy);
  }
  setPrompt(ctx, "Pixel Image:  Select source reference point.");
  ctx.shell.acceptHooks[0] = [a](Context& c) { alignSource(c, a); };
}

void startScaleAlign(Context& ctx, const Shared& a) {
  if (!begin(ctx, a, true)) return;
  setPrompt(ctx, "Pixel Image:  Select fixed reference point.");
  setHooks(
      ctx, [a](Context& c) { alignFixed(c, a); }, finish);
}

// --------------------------------------------------------- ortho-rectify

const char* ordinal(size_t pairs) {
  static const char* const kOrdinals[] = {"first", "second", "third", "fourth"};
  return pairs < 4 ? kOrdinals[pairs] : "next";
}

void rectifySource(Context& ctx, const Shared& a);

void askSource(Context& ctx, const Shared& a) {
  setPrompt(ctx, std::string("Image Rectification:  Select ") + ordinal(a->pairs.size()) + " source point.");
  ctx.shell.acceptHooks[0] = [a](Context& c) { rectifySource(c, a); };
}

void rectifyTarget(Context& ctx, const Shared& a) {
  int32_t x, y;
  cursorPoint(ctx, x, y);
  {
    MarkerEdit m(ctx);
    m.fix(a->band, x, y);
  }
  a->band = kNull;
  a->sourceWaiting = false;
  a->pairs.push_back({a->sx, a->sy, x, y});
  askSource(ctx, a);
}

void rectifySource(Context& ctx, const Shared& a) {
  int32_t x, y;
  cursorPoint(ctx, x, y);
  const PixelImage* img = currentImage(ctx);
  if (!img || x < img->x0() || x > img->x1() || y < img->y0() || y > img->y1()) return ctx.host->sound(Sound::Beep);
  a->sx = x, a->sy = y;
  a->sourceWaiting = true;
  {
    MarkerEdit m(ctx);
    a->band = m.rubberBand(x, y);
  }
  setPrompt(ctx, "Image Rectification:  Select target point.");
  ctx.shell.acceptHooks[0] = [a](Context& c) { rectifyTarget(c, a); };
}

std::string residualStatus(FitModel model, const FitResidual& r) {
  char buf[160];
  std::snprintf(buf, sizeof buf, "Image rectified (%s fit): largest residual %.4f in, mean %.4f in.",
                model == FitModel::Projective ? "projective" : "bilinear", r.largest, r.mean);
  return buf;
}

// Four pairs or more: the fit is chosen (the residuals of both shown) and the
// picture is resampled.
void rectify(Context& ctx, const Shared& a) {
  std::vector<PointPair> pairs;
  for (const WorldPair& p : a->pairs) pairs.push_back({p.sx / 65536.0, p.sy / 65536.0, p.tx / 65536.0, p.ty / 65536.0});
  PictureMapping bilinear, projective;
  FitResidual rb, rp;
  const bool haveBilinear = fitBilinear(pairs, bilinear), haveProjective = fitProjective(pairs, projective);
  if (haveBilinear) rb = fitResidual(bilinear, pairs);
  if (haveProjective) rp = fitResidual(projective, pairs);
  DialogBox box = imageRectifyBox(ctx);
  showResiduals(box, haveBilinear ? &rb : nullptr, haveProjective ? &rp : nullptr, a->model);
  const bool go = ctx.host->runDialog(box);
  finish(ctx);
  PixelImage* img = currentImage(ctx);
  if (!go || !img) return;
  a->model = chosenModel(box);
  showStatus(ctx, "Image rectification in progress.", 0);
  std::string why;
  FitResidual residual;
  std::unique_ptr<PixelImage> done = rectifyPicture(*img, pairs, a->model, hostProgress(ctx), residual, why);
  restoreStatusBar(ctx);
  if (!done) return ctx.host->messageBox(kRectifyTitle, why);
  replaceCurrentImage(ctx, std::move(done));
  pictureChanged(ctx);
  showStatus(ctx, residualStatus(a->model, residual), kMessageSeconds);
}

void rectifyEscape(Context& ctx, const Shared& a) {
  if (a->sourceWaiting) {
    {
      MarkerEdit m(ctx);
      m.remove(a->band);
    }
    a->band = kNull;
    a->sourceWaiting = false;
    return askSource(ctx, a);
  }
  const size_t n = a->pairs.size();
  if (n == 0) return finish(ctx);
  if (n >= 4) return rectify(ctx, a);
  static const char* const kCounts[] = {"", "one", "two", "three"};
  const std::string text =
      std::string("A minimum of four pairs of points are\nrequired for this function, but you have\n") +
      "entered only " + kCounts[n] + " pair of reference\npoints.\n\nDo you wish to continue?";
  if (!affirmative(ctx.host->question(kRectifyTitle, text, Buttons::OkCancel))) return finish(ctx);
  askSource(ctx, a);
}

void startRectify(Context& ctx, const Shared& a) {
  if (!begin(ctx, a, false)) return;
  askSource(ctx, a);
  ctx.shell.cancelHooks[0] = [a](Context& c) { rectifyEscape(c, a); };
}

}  // namespace

void installImageAlignment(Context& ctx) {
  auto a = std::make_shared<Alignment>();
  registerFunction(ctx, fc('S', '4'), [a](Context& c, uint16_t, int) { startMove(c, a); });
  registerFunction(ctx, fc('S', '>'), [a](Context& c, uint16_t, int) { startScaleAlign(c, a); });
  registerFunction(ctx, fc('S', '5'), [a](Context& c, uint16_t, int) { startRectify(c, a); });
}

}  // namespace trelmo
