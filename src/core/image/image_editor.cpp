#include "image/image_editor.h"

#include <algorithm>
#include <cstdio>

#include "context.h"
#include "edit/undo.h"
#include "image/image_functions.h"
#include "shell/dialog_values.h"
#include "shell/function_codes.h"
#include "shell/messages.h"

namespace trelmo {

namespace {

constexpr const char* kBoxName = "QueryImageBox";
constexpr const char* kTitle = "Image Editor";
constexpr uint16_t kEditorCode = fc('Q', 'I');
constexpr const char* kModeTexts[kPixelModes] = {
    "Select left/right pixel colors.",
    "Set individual pixel colors.",
    "Flood contiguous pixel colors.",
    "Change all matching pixel colors.",
};

bool hasState(const Context& ctx) { return ctx.edit.imageEditor != nullptr; }

PixelImage* editablePicture(Context& ctx) {
  PixelImage* img = currentImage(ctx);
  return img && pictureEditable(*img) ? img : nullptr;
}

const PixelImage* editablePicture(const Context& ctx) {
  const PixelImage* img = ctx.current == kNull ? nullptr : ctx.images.get(ctx.params.imageCurrent);
  return img && pictureEditable(*img) ? img : nullptr;
}

// Colours are RGB values on a 24-bit picture and with "24-Bit" chosen.
bool rgbColours(const ImageEditorState& s, const PixelImage* img) { return s.rgb || (img && isRgbPicture(*img)); }

std::string hexColour(uint32_t rgb) { return "#" + colourText(rgb); }

std::string colourField(const ImageEditorState& s, const PixelImage* img, const PixelColour& c) {
  return rgbColours(s, img) ? hexColour(c.rgb) : std::to_string(c.index);
}

// The value an edit stores for a colour.
uint32_t storedValue(const ImageEditorState& s, const PixelImage& img, const PixelColour& c) {
  if (isRgbPicture(img)) return c.rgb & 0xFFFFFF;
  return s.rgb ? nearestIndex(img, c.rgb) : c.index;
}

PixelColour colourOfValue(const PixelImage& img, uint32_t v) {
  if (isRgbPicture(img)) return {0, v};
  return {static_cast<uint8_t>(v), shownColour(img, static_cast<uint8_t>(v))};
}

std::string valueText(const PixelImage& img, uint32_t v) {
  if (isRgbPicture(img)) return hexColour(v);
  return std::to_string(v) + " (" + hexColour(shownColour(img, static_cast<uint8_t>(v))) + ")";
}

void setPrompt(Context& ctx) {
  const std::string text = pixelModeText(imageEditor(ctx).mode);
  ctx.shell.stagePrompt = text;
  showStatus(ctx, text, 0);
}

// Escape or the right button in the view ends painting there; the window
// stays open.
void endPainting(Context& ctx) {
  if (ctx.shell.currentFunction == kEditorCode) ctx.shell.currentFunction = 0;
  ctx.shell.cancelHooks[0] = nullptr;
  ctx.shell.stagePrompt.clear();
  restoreStatusBar(ctx);
}

// Open, the editor is the current function: Enter and the left button
// apply its mode at the cursor.
void startPainting(Context& ctx) {
  ctx.shell.currentFunction = kEditorCode;
  ctx.shell.cancelHooks[0] = endPainting;
  setPrompt(ctx);
}

void show(Context& ctx) {
  ImageEditorState& s = imageEditor(ctx);
  s.shownImage = ctx.params.imageCurrent;
  s.shownCol = s.shownRow = -1;
  if (const PixelImage* img = editablePicture(static_cast<const Context&>(ctx)))
    pictureGridCell(*img, ctx.view.cursorX, ctx.view.cursorY, s.shownCol, s.shownRow);
  s.shownChanges = s.changes;
  if (ctx.edit.query.show) ctx.edit.query.show(ctx, imageEditorBox(ctx));
}

// Every tick: the window follows the cursor's pixel and the picture.
void tick(Context& ctx) {
  if (!imageEditorOpen(ctx)) return;
  const ImageEditorState& s = imageEditor(ctx);
  int64_t col = -1, row = -1;
  if (const PixelImage* img = editablePicture(static_cast<const Context&>(ctx)))
    pictureGridCell(*img, ctx.view.cursorX, ctx.view.cursorY, col, row);
  if (col != s.shownCol || row != s.shownRow || s.shownImage != ctx.params.imageCurrent || s.shownChanges != s.changes)
    show(ctx);
}

// Edits of pictures that are gone cannot be undone.
void pruneUndo(Context& ctx) {
  std::vector<PixelUndo>& u = imageEditor(ctx).undo;
  u.erase(std::remove_if(u.begin(), u.end(), [&](const PixelUndo& e) { return !ctx.images.get(e.image); }), u.end());
}

void keepUndo(ImageEditorState& s, PixelUndo&& edit) {
  s.undo.push_back(std::move(edit));
  size_t total = 0;
  for (const PixelUndo& e : s.undo) total += e.bytes();
  while (s.undo.size() > 1 && (s.undo.size() > kPixelUndoEdits || total > kPixelUndoBytes)) {
    total -= s.undo.front().bytes();
    s.undo.erase(s.undo.begin());
  }
}

// Changed pixels: the file is modified and that part of the view redrawn. A
// picture attached by reference no longer matches its file, so from now on
// it is kept inside the design file (saving the design keeps the edit).
void pixelsChanged(Context& ctx, PixelImage& img, const PixelUndo& edit) {
  if (img.linked()) {
    embedPicture(img);
    showStatus(ctx, "The edited image is kept inside the design file from now on; its picture file is not changed.",
               kMessageSeconds);
  }
  if (ctx.current != kNull) ctx.rec(ctx.current).size |= kFileModified;
  int64_t box[4];
  pixelWorldBox(img, edit.col0, edit.row0, edit.col1, edit.row1, box);
  redrawWorldBox(ctx, box);
  ++imageEditor(ctx).changes;
  if (imageEditorOpen(ctx)) show(ctx);
}

size_t runMode(ImageEditorState& s, PixelImage& img, uint32_t col, uint32_t row, uint32_t value, PixelUndo& edit) {
  switch (s.mode) {
    case PixelMode::Set:
      return setPixel(img, col, row, value, &edit);
    case PixelMode::Flood:
      return floodPixels(img, col, row, value, &edit);
    case PixelMode::ChangeAll:
      return changeAllPixels(img, pixelValue(img, col, row), value, &edit);
    case PixelMode::Select:
      break;
  }
  return 0;
}

// A colour field: "#RRGGBB" (one to six hex digits) or a palette index.
bool parseColour(const std::string& text, const PixelImage* img, PixelColour& out, std::string& why) {
  const bool hex = !text.empty() && text[0] == '#';
  const std::string digits = hex ? text.substr(1) : text;
  const bool ok = !digits.empty() && digits.size() <= (hex ? 6u : 3u) &&
                  digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") == std::string::npos;
  const uint32_t v = ok ? static_cast<uint32_t>(std::stoul(digits, nullptr, hex ? 16 : 10)) : 0;
  if (!ok || (!hex && v > 255)) {
    why = "A colour is a palette index (0 to 255) or #RRGGBB.";
    return false;
  }
  if (!hex && img && isRgbPicture(*img)) {
    why = "A 24-bit image has no palette: give the colour as #RRGGBB.";
    return false;
  }
  if (hex)
    out = {img && !isRgbPicture(*img) ? nearestIndex(*img, v) : uint8_t{0}, v};
  else
    out = {static_cast<uint8_t>(v), img ? shownColour(*img, static_cast<uint8_t>(v)) : 0};
  return true;
}

void readColour(FieldReader& in, const char* key, const PixelImage* img, PixelColour& out) {
  std::string why;
  const std::string text = in.text(key);
  if (in.ok() && !text.empty() && !parseColour(text, img, out, why)) in.refuse(key, why);
}

void addPictureFields(DialogBox& box, const Context& ctx, const ImageEditorState& s) {
  const PixelImage* img = editablePicture(ctx);
  std::string picture = "no image", pixel, value;
  if (img) {
    picture = std::to_string(img->width()) + " x " + std::to_string(img->height()) +
              (isRgbPicture(*img) ? ", 24-bit colour"
               : img->kind() == 0 ? ", 8-bit grey"
                                  : ", 8-bit palette");
    uint32_t col = 0, row = 0;
    if (pictureCell(*img, ctx.view.cursorX, ctx.view.cursorY, col, row)) {
      pixel = std::to_string(col) + ", " + std::to_string(row);
      value = valueText(*img, pixelValue(*img, col, row));
    } else {
      pixel = "outside the image";
    }
  }
  DialogField about = labelField("picture", "Image");
  about.value = picture;
  box.fields.push_back(about);
  DialogField at = labelField("pixel", "Pixel (column, row)");
  at.value = pixel;
  box.fields.push_back(at);
  DialogField v = labelField("value", "Value");
  v.value = value;
  box.fields.push_back(v);
  DialogField undo = numberField("undo", "Un-do edits", "0");
  undo.kind = DialogField::Integer;
  box.fields.push_back(undo);
  DialogField kept = labelField("undoable", "Edits that can be undone");
  kept.value = std::to_string(s.undo.size());
  box.fields.push_back(kept);
}

}  // namespace

const char* pixelModeText(PixelMode mode) { return kModeTexts[static_cast<int>(mode) & 3]; }

void installImageEditor(Context& ctx) {
  if (!ctx.edit.imageEditor) ctx.edit.imageEditor = std::make_shared<ImageEditorState>();
  ctx.shell.hooks.imageEditorTick = tick;
  // The open editor follows the cursor at once.
  Hook moved = ctx.shell.hooks.cursorMoved;
  ctx.shell.hooks.cursorMoved = [moved](Context& c) {
    if (moved) moved(c);
    if (imageEditorOpen(c)) imageEditorCommand(c, kImageEditorRefresh);
  };
}

ImageEditorState& imageEditor(Context& ctx) {
  if (!ctx.edit.imageEditor) ctx.edit.imageEditor = std::make_shared<ImageEditorState>();
  return *ctx.edit.imageEditor;
}

bool imageEditorOpen(const Context& ctx) { return hasState(ctx) && ctx.edit.imageEditor->open; }

void toggleImageEditor(Context& ctx) {
  if (imageEditorOpen(ctx)) return closeImageEditor(ctx);
  if (ctx.current == kNull) return ctx.host->sound(Sound::Beop);
  if (!editablePicture(ctx)) {
    ctx.host->sound(Sound::Beep);
    showStatus(ctx, "There is no pixel image in this file to edit.", kMessageSeconds);
    return;
  }
  ImageEditorState& s = imageEditor(ctx);
  s.open = true;
  ctx.edit.query.open |= kImageEditor;
  // Magnified picture pixels are drawn centred on their positions while the
  // editor is open, as the editor's grid counts them.
  ctx.screen.imageEditorOpen = true;
  ctx.host->redrawView();
  pruneUndo(ctx);
  startPainting(ctx);
  show(ctx);
}

void closeImageEditor(Context& ctx) {
  if (!imageEditorOpen(ctx)) return;
  imageEditor(ctx).open = false;
  ctx.edit.query.open &= static_cast<uint8_t>(~kImageEditor);
  ctx.screen.imageEditorOpen = false;
  ctx.host->redrawView();
  if (ctx.shell.currentFunction == kEditorCode) endPainting(ctx);
  if (ctx.edit.query.close) ctx.edit.query.close(ctx, kBoxName);
}

void repeatImageEditor(Context& ctx) {
  // Dispatching the repeat ended the last prompt and hooks: painting goes on.
  startPainting(ctx);
  applyImageEditorAtCursor(ctx, false);
}

void imageEditorCommand(Context& ctx, int command) {
  if (command == kImageEditorRefresh && imageEditorOpen(ctx)) show(ctx);
}

DialogBox imageEditorBox(const Context& ctx) {
  const ImageEditorState closed;
  const ImageEditorState& s = hasState(ctx) ? *ctx.edit.imageEditor : closed;
  const PixelImage* img = editablePicture(ctx);
  DialogBox box{kBoxName, kTitle, {}};
  box.fields.push_back(radioField("mode", "Mode", std::vector<std::string>(kModeTexts, kModeTexts + kPixelModes),
                                  static_cast<int>(s.mode)));
  box.fields.push_back(radioField("palette", "Colors", {"Palette", "24-Bit"}, rgbColours(s, img) ? 1 : 0));
  box.fields.push_back(textField("left", "Left color", colourField(s, img, s.left), 7));
  box.fields.push_back(textField("right", "Right color", colourField(s, img, s.right), 7));
  addPictureFields(box, ctx, s);
  return box;
}

bool applyImageEditorBox(Context& ctx, DialogBox& box) {
  ImageEditorState& s = imageEditor(ctx);
  const PixelImage* img = editablePicture(static_cast<const Context&>(ctx));
  FieldReader in(box);
  const int mode = in.choice("mode", kPixelModes);
  const bool rgb = in.choice("palette", 2) == 1;
  if (in.ok() && !rgb && img && isRgbPicture(*img))
    in.refuse("palette", "A 24-bit image has no palette: its colors are 24-Bit values.");
  PixelColour left = s.left, right = s.right;
  readColour(in, "left", img, left);
  readColour(in, "right", img, right);
  const int64_t undo = in.integer("undo", 0, kPixelUndoEdits);
  if (!in.report(ctx)) return false;
  s.mode = static_cast<PixelMode>(mode);
  s.rgb = rgb;
  s.left = left;
  s.right = right;
  for (int64_t i = 0; i < undo; ++i) undoImageEdit(ctx);
  if (ctx.shell.currentFunction == kEditorCode) setPrompt(ctx);
  ++s.changes;  // the window shows the new choices
  return true;
}

bool applyImageEditor(Context& ctx, uint32_t col, uint32_t row, bool right) {
  PixelImage* img = editablePicture(ctx);
  if (!img || col >= img->width() || row >= img->height()) {
    ctx.host->sound(Sound::Beep);
    return false;
  }
  ImageEditorState& s = imageEditor(ctx);
  PixelColour& colour = right ? s.right : s.left;
  if (s.mode == PixelMode::Select) {
    colour = colourOfValue(*img, pixelValue(*img, col, row));
    ++s.changes;
    if (imageEditorOpen(ctx)) show(ctx);
    return true;
  }
  PixelUndo edit;
  edit.image = ctx.params.imageCurrent;
  if (runMode(s, *img, col, row, storedValue(s, *img, colour), edit) == 0) return true;
  keepUndo(s, std::move(edit));
  pixelsChanged(ctx, *img, s.undo.back());
  return true;
}

bool applyImageEditorAtCursor(Context& ctx, bool right) {
  const PixelImage* img = editablePicture(static_cast<const Context&>(ctx));
  uint32_t col = 0, row = 0;
  if (!img || !pictureCell(*img, ctx.view.cursorX, ctx.view.cursorY, col, row)) {
    ctx.host->sound(Sound::Beep);
    return false;
  }
  return applyImageEditor(ctx, col, row, right);
}

bool undoImageEdit(Context& ctx) {
  pruneUndo(ctx);
  ImageEditorState& s = imageEditor(ctx);
  if (s.undo.empty() || s.undo.back().image != ctx.params.imageCurrent || !editablePicture(ctx)) {
    ctx.host->sound(Sound::Beep);
    return false;
  }
  PixelImage& img = *editablePicture(ctx);
  const PixelUndo edit = std::move(s.undo.back());
  s.undo.pop_back();
  undoPixels(img, edit);
  pixelsChanged(ctx, img, edit);
  return true;
}

void forgetImageEdits(Context& ctx, uint32_t image) {
  if (!hasState(ctx)) return;
  std::vector<PixelUndo>& u = imageEditor(ctx).undo;
  u.erase(std::remove_if(u.begin(), u.end(), [image](const PixelUndo& e) { return e.image == image; }), u.end());
}

void setEditorColour(Context& ctx, bool right, bool fromIndex, uint32_t value) {
  ImageEditorState& s = imageEditor(ctx);
  const PixelImage* img = editablePicture(static_cast<const Context&>(ctx));
  PixelColour c{static_cast<uint8_t>(value), value & 0xFFFFFF};
  if (img && !isRgbPicture(*img))
    c = fromIndex ? colourOfValue(*img, value & 255) : PixelColour{nearestIndex(*img, value), value & 0xFFFFFF};
  (right ? s.right : s.left) = c;
  ++s.changes;
  if (imageEditorOpen(ctx)) show(ctx);
}

void setEditorMode(Context& ctx, PixelMode mode) {
  imageEditor(ctx).mode = mode;
  ++imageEditor(ctx).changes;
  if (!imageEditorOpen(ctx)) return;
  // Choosing a mode in the window (again) paints in the drawing too.
  startPainting(ctx);
  show(ctx);
}

void setEditorRgb(Context& ctx, bool rgb) {
  imageEditor(ctx).rgb = rgb;
  ++imageEditor(ctx).changes;
  if (imageEditorOpen(ctx)) show(ctx);
}

PixelNeighbourhood pixelNeighbourhood(const Context& ctx, int side) {
  PixelNeighbourhood n;
  n.side = std::clamp(side | 1, 1, 255);
  n.colours.assign(size_t(n.side) * n.side, -1);
  const PixelImage* img = editablePicture(ctx);
  if (!img || !pictureGridCell(*img, ctx.view.cursorX, ctx.view.cursorY, n.col, n.row)) return n;
  const int half = n.side / 2;
  for (int dy = -half; dy <= half; ++dy) {
    for (int dx = -half; dx <= half; ++dx) {
      const int64_t c = n.col + dx, r = n.row + dy;
      if (c < 0 || r < 0 || c >= img->width() || r >= img->height()) continue;
      const uint32_t v = pixelValue(*img, static_cast<uint32_t>(c), static_cast<uint32_t>(r));
      n.colours[size_t(dy + half) * n.side + size_t(dx + half)] = colourOfValue(*img, v).rgb;
    }
  }
  return n;
}

}  // namespace trelmo
