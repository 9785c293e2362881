#include "image/image_boxes.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "context.h"
#include "shell/dialog_values.h"

namespace trelmo {

namespace {

constexpr int64_t kMaxDpi = 1000000;

const PixelImage* currentPicture(const Context& ctx) {
  return ctx.current == kNull ? nullptr : ctx.images.get(ctx.params.imageCurrent);
}

std::string residualText(const FitResidual* r) {
  if (!r) return "these points cannot be fitted";
  char buf[120];
  std::snprintf(buf, sizeof buf, "largest %.4f in, mean %.4f in", r->largest, r->mean);
  return buf;
}

}  // namespace

DialogBox setupPixelImageBox(const Context& ctx) {
  const PixelImage* img = currentPicture(ctx);
  DialogBox box{"SetupPixelImageBox", "Pixel Image Resolution", {}};
  DialogField size = labelField("size", "Size");
  size.value = img ? std::to_string(img->width()) + " x " + std::to_string(img->height()) + " pixels" : "";
  box.fields.push_back(size);
  DialogField dpi =
      textField("resolution", "Resolution (dots per inch)", img ? std::to_string(img->resolution()) : "100", 7);
  dpi.kind = DialogField::Integer;
  box.fields.push_back(dpi);
  return box;
}

bool applySetupPixelImage(Context& ctx, DialogBox& box) {
  PixelImage* img = ctx.current == kNull ? nullptr : ctx.images.get(ctx.params.imageCurrent);
  FieldReader in(box);
  const int64_t dpi = in.integer("resolution", 1, kMaxDpi);
  if (!in.report(ctx) || !img) return false;
  const int64_t x1 = int64_t{img->x0()} + (int64_t{img->width()} - 1) * 65536 / dpi;
  const int64_t y1 = int64_t{img->y0()} + (int64_t{img->height()} - 1) * 65536 / dpi;
  if (x1 > INT32_MAX || y1 > INT32_MAX) {
    ctx.host->messageBox(box.title + " Error",
                         "At " + std::to_string(dpi) + " dots per inch the image would reach beyond the drawing area.");
    return false;
  }
  img->setU32(20, static_cast<uint32_t>(dpi));
  img->setI32(40, static_cast<int32_t>(x1));
  img->setI32(44, static_cast<int32_t>(y1));
  return true;
}

double gammaOfTable(const uint8_t* table) {
  const int mid = table[128];
  if (mid <= 0 || mid >= 255 || mid == 128) return 1.0;
  // table[128] = 255 (128/255)^(1/gamma)
  return std::log(128.0 / 255.0) / std::log(mid / 255.0);
}

DialogBox pixelGammaBox(const Context& ctx) {
  const PixelImage* img = currentPicture(ctx);
  char value[32];
  std::snprintf(value, sizeof value, "%.2f", img ? gammaOfTable(img->block.data() + 128) : 1.0);
  DialogBox box{"PixelGammaBox", "Gamma Control", {}};
  box.fields.push_back(numberField("gamma", "Gamma (1.0 shows the pixels as loaded)", value));
  box.fields.push_back(labelField("note", "Values above 1.0 lighten the middle greys, below 1.0 darken them."));
  return box;
}

bool applyPixelGamma(Context& ctx, DialogBox& box) {
  PixelImage* img = ctx.current == kNull ? nullptr : ctx.images.get(ctx.params.imageCurrent);
  FieldReader in(box);
  const double gamma = in.factor("gamma") / 65536.0;
  if (in.ok() && (gamma < 0.1 || gamma > 10)) in.refuse("gamma", "The gamma must lie between 0.1 and 10.");
  if (!in.report(ctx) || !img) return false;
  uint8_t* table = img->translation();
  for (int i = 0; i < 256; ++i) table[i] = static_cast<uint8_t>(std::lround(255.0 * std::pow(i / 255.0, 1.0 / gamma)));
  return true;
}

DialogBox imageRectifyBox(const Context&) {
  DialogBox box{"ImageRectifyBox", "Image Ortho-rectification", {}};
  box.fields.push_back(radioField("model", "Fit",
                                  {"&Bilinear (a flat scan or a photograph taken square on)",
                                   "&Projective (a photograph taken at an angle: straight edges stay straight)"},
                                  0));
  box.fields.push_back(labelField("bilinear", "Bilinear fit residual"));
  box.fields.push_back(labelField("projective", "Projective fit residual"));
  return box;
}

void showResiduals(DialogBox& box, const FitResidual* bilinear, const FitResidual* projective, FitModel chosen) {
  if (DialogField* f = box.field("bilinear")) f->value = residualText(bilinear);
  if (DialogField* f = box.field("projective")) f->value = residualText(projective);
  if (DialogField* f = box.field("model")) f->value = chosen == FitModel::Projective ? "1" : "0";
}

FitModel chosenModel(DialogBox& box) {
  const DialogField* f = box.field("model");
  return f && f->value == "1" ? FitModel::Projective : FitModel::Bilinear;
}

}  // namespace trelmo
