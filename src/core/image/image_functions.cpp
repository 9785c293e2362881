#include "image/image_functions.h"

#include <string>

#include "context.h"
#include "database/design_files.h"
#include "edit/grab.h"
#include "files/import/picture.h"
#include "image/image_boxes.h"
#include "image/image_editor.h"
#include "image/png_file.h"
#include "image/turns.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"
#include "shell/messages.h"

namespace trelmo {

namespace {

constexpr const char* kErrorTitle = "TRELMO'98 Pixel Image Error";
constexpr const char* kReleaseTitle = "Image Release Warning";
constexpr const char* kReleaseText =
    "Image Deletion.\n\nIf you do not want to release the image from this file, you must\nescape from the deletion "
    "function.\n\nSelecting [YES] will result in the removal of the current\npixel image from the current data file "
    "in system memory.\n\nARE YOU SURE?";
constexpr const char* kPictureFilter = "Pixel Images (*.bmp *.pcx *.gif *.tif *.tiff *.fit *.fits *.png *.jpg *.jpeg)";

std::string baseName(const std::string& path) {
  const size_t cut = path.find_last_of('/');
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string folderOf(const std::string& path) {
  const size_t cut = path.find_last_of('/');
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

// S0 and S=: a picture file into the current slot (the current picture
// moves to the alternate slot). Attached pictures are recorded by their
// file's name: relative to the design's folder when they lie in it.
void loadImage(Context& ctx, bool attach) {
  if (ctx.current == kNull) return ctx.host->sound(Sound::Beep);
  FileDialog pick;
  pick.title = attach ? "Attach new image" : "Load new image";
  pick.filters = {kPictureFilter, "All Files (*)"};
  if (!ctx.host->chooseFile(pick) || pick.fileName.empty()) return;
  std::unique_ptr<PixelImage> img = loadPictureFile(pick.fileName);
  if (!img) {
    ctx.host->messageBox(kErrorTitle, "The file " + pick.fileName +
                                          " could not be read as a picture (BMP, PCX, GIF, TIFF, FITS, PNG or JPEG).");
    return;
  }
  if (attach) {
    const std::string folder = folderOf(filePath(ctx, ctx.current));
    std::string reference = pick.fileName;
    if (!folder.empty() && reference.compare(0, folder.size(), folder) == 0 &&
        reference.find('/', folder.size()) == std::string::npos)
      reference = reference.substr(folder.size());
    // The name field holds 63 characters with the quotes.
    if (reference.size() + 2 > 63) {
      ctx.host->messageBox(kErrorTitle, "The picture's file name " + reference +
                                            " is too long to be recorded in the design file: load the image instead, "
                                            "or move the picture beside the design file.");
      return;
    }
    img->setName("\"" + reference + "\"");
  }
  setCurrentImage(ctx, std::move(img));
  pictureChanged(ctx);
}

// S1: the current picture as a PNG file.
void saveImage(Context& ctx) {
  PixelImage* img = currentImage(ctx);
  if (!img) return;
  FileDialog pick;
  pick.save = true;
  pick.title = "Save current image";
  std::string name = img->name();
  if (img->linked()) {
    name = name.substr(1);
    if (!name.empty() && name.back() == '"') name.pop_back();
  }
  name = baseName(name);
  const size_t dot = name.find_last_of('.');
  pick.fileName = (dot == std::string::npos ? name : name.substr(0, dot)) + ".png";
  pick.filters = {"PNG Images (*.png)"};
  if (!ctx.host->chooseFile(pick) || pick.fileName.empty()) return;
  std::string why;
  if (!savePng(*img, pick.fileName, why)) {
    ctx.host->messageBox(kErrorTitle, "The image could not be saved to " + pick.fileName + ": " + why + ".");
    return;
  }
  showStatus(ctx, "Image saved to " + pick.fileName + ".", kMessageSeconds);
}

// S2: frees the current picture after the question; only Yes does it.
void releaseImage(Context& ctx) {
  if (!currentImage(ctx)) return;
  if (ctx.host->question(kReleaseTitle, kReleaseText, Buttons::YesNoCancel) != Answer::Yes) return;
  ctx.images.remove(ctx.params.imageCurrent);
  ctx.params.imageCurrent = 0;
  pictureChanged(ctx);
}

// S3 and Alt-M: the current and alternate pictures change places.
void swapImages(Context& ctx) {
  if (ctx.current == kNull) return;
  Params& p = ctx.params;
  if (p.imageCurrent == 0 && p.imageAlternate == 0) return;
  std::swap(p.imageCurrent, p.imageAlternate);
  pictureChanged(ctx);
}

void runBox(Context& ctx, DialogBox (*build)(const Context&), bool (*apply)(Context&, DialogBox&), bool embeds) {
  if (!currentImage(ctx)) return;
  DialogBox box = build(ctx);
  if (!ctx.host->runDialog(box) || !apply(ctx, box)) return;
  if (embeds) embedPicture(*currentImage(ctx));
  pictureChanged(ctx);
}

// S8, S9, S:, S; and S<.
void turnImage(Context& ctx, char member) {
  PixelImage* img = currentImage(ctx);
  if (!img) return;
  // Pixels turned in place: the image editor's edits no longer fit them.
  forgetImageEdits(ctx, ctx.params.imageCurrent);
  switch (member) {
    case '8':
      mirrorPictureX(*img);
      break;
    case '9':
      mirrorPictureY(*img);
      break;
    case ';':
      rotatePicture180(*img);
      break;
    default: {
      std::unique_ptr<PixelImage> turned = rotatePicture90(*img, member == '<');
      if (!turned) {
        ctx.host->messageBox(kErrorTitle, "There is not enough memory to turn the image.");
        return;
      }
      replaceCurrentImage(ctx, std::move(turned));
      break;
    }
  }
  embedPicture(*currentImage(ctx));
  pictureChanged(ctx);
}

void imageFunction(Context& ctx, uint16_t code, int /*source*/) {
  const char m = memberOf(code);
  switch (m) {
    case '0':
    case '=':
      return loadImage(ctx, m == '=');
    case '1':
      return saveImage(ctx);
    case '2':
      return releaseImage(ctx);
    case '3':
      return swapImages(ctx);
    case '6':
      return runBox(ctx, setupPixelImageBox, applySetupPixelImage, true);
    case '7':
      return runBox(ctx, pixelGammaBox, applyPixelGamma, false);
    default:
      return turnImage(ctx, m);
  }
}

}  // namespace

void embedPicture(PixelImage& img) {
  if (!img.linked()) return;
  std::string name = img.name().substr(1);
  if (!name.empty() && name.back() == '"') name.pop_back();
  img.setName(baseName(name));
}

PixelImage* currentImage(Context& ctx) {
  return ctx.current == kNull ? nullptr : ctx.images.get(ctx.params.imageCurrent);
}

void replaceCurrentImage(Context& ctx, std::unique_ptr<PixelImage> img) {
  if (!img) return;
  embedPicture(*img);
  const uint32_t old = ctx.params.imageCurrent;
  ctx.params.imageCurrent = ctx.images.add(std::move(img));
  if (old != 0 && old != ctx.params.imageAlternate) ctx.images.remove(old);
}

void pictureChanged(Context& ctx) {
  if (ctx.current != kNull) ctx.rec(ctx.current).size |= kFileModified;
  ctx.host->redrawView();
  if (ctx.shell.hooks.refreshQueryBoxes) ctx.shell.hooks.refreshQueryBoxes(ctx);
}

void installImageFunctions(Context& ctx) {
  for (char m : {'0', '=', '1', '2', '3', '6', '7', '8', '9', ':', ';', '<'})
    registerFunction(ctx, fc('S', m), imageFunction);
  installImageAlignment(ctx);
  ctx.input.hooks.swapImages = swapImages;
  ctx.shell.hooks.imageLoaded = [](const Context& c) {
    return c.current != kNull && c.images.get(c.params.imageCurrent) != nullptr;
  };
}

}  // namespace trelmo
