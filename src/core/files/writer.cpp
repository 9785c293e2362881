// The version 4 data file writer: header, items in file order, trailer and
// embedded pictures.
#include "files/writer.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "context.h"
#include "files/header_writer.h"
#include "files/number_format.h"
#include "files/writer_format.h"
#include "files/writer_safe_file.h"
#include "files/writer_version4.h"

namespace trelmo {

namespace {

constexpr const char* kProduct = "TRELMO'98";
constexpr const char* kFormatSubstituted =
    "The specified output format is not supported.\n\nTRELMO Version 4.0 file format will be substituted.";

// Items are written by type, 5 down to 1, then by layer, then in ring order.
constexpr int kTypeKeys = 5 * 256;
// Deeper nesting than this only comes from a damaged ring.
constexpr size_t kMaxDepth = size_t{1} << 20;

class DesignWriter {
 public:
  DesignWriter(Context& ctx, SafeFile& file, const std::string& target)
      : ctx_(ctx), pool_(ctx.pool), file_(file), out_(file.buffer()), rounding_(ctx.params.isSchematic()) {
    style_.libraryLayers = isLibraryFileName(target);
  }

  // Components first, each followed by its contents and end line, then the
  // other items by type and layer; the same inside every component.
  void items(Handle root) {
    struct Frame {
      Handle sentinel, cursor;
    };
    std::vector<Frame> stack{{root, root}};
    while (!stack.empty()) {
      Frame& f = stack.back();
      const Handle comp = nextComponent(f.sentinel, f.cursor);
      if (comp != kNull && stack.size() < kMaxDepth) {
        put(comp);
        const Handle nested = pool_[comp].ext;
        stack.push_back({nested, nested});
        continue;
      }
      if (comp != kNull) continue;
      typedItems(f.sentinel);
      const Handle done = f.sentinel;
      stack.pop_back();
      if (!stack.empty()) put(done);  // the component's end line
    }
  }

  void trailer() {
    out_ += "\r\n";
    const PixelImage* current = ctx_.images.get(ctx_.params.imageCurrent);
    const PixelImage* alternate = ctx_.images.get(ctx_.params.imageAlternate);
    const bool linkedCurrent = current && current->linked();
    const bool linkedAlternate = alternate && alternate->linked();
    if (linkedCurrent) {
      linkLine(*current);
      if (!linkedAlternate) out_ += "\r\n";
    }
    if (linkedAlternate) {
      linkLine(*alternate);
      out_ += "\r\n";
    }
    out_ += "END OF FILE\r\n";
    const bool embedCurrent = embeddable(current), embedAlternate = embeddable(alternate);
    if (embedCurrent || embedAlternate) {
      out_ += "\r\nPixel image follows EOF\r\n\x1a";
      if (embedCurrent) embed(*current);
      if (embedAlternate) embed(*alternate);
    }
  }

 private:
  // The next component in ring order that is not hidden and not empty.
  Handle nextComponent(Handle sentinel, Handle& cursor) {
    for (;;) {
      cursor = pool_[cursor].next;
      if (cursor == sentinel || !pool_.valid(cursor) || pool_[cursor].type() == kSentinel) {
        cursor = sentinel;
        return kNull;
      }
      const Record& r = pool_[cursor];
      if ((r.flags & 15) != kComponent) continue;
      const Handle nested = r.ext;
      if (nested != kNull && pool_.valid(nested) && pool_[nested].type() == kSentinel && pool_[nested].next != nested)
        return cursor;
    }
  }

  void typedItems(Handle sentinel) {
    handles_.clear();
    keys_.clear();
    Handle h = pool_[sentinel].next;
    while (h != sentinel && pool_.valid(h)) {
      Record& r = pool_[h];
      if (r.type() == kSentinel) break;
      const int type = r.flags & 15;  // a hidden item matches no type
      if (type >= kLine && type <= kReserved) {
        if (type == kText && !itemHasText(ctx_, h)) {
          r.flags |= kHidden;  // an empty text is dropped from the design
        } else {
          const auto key = static_cast<uint32_t>(((kReserved - type) << 8) | r.layer);
          keys_.push_back((uint64_t{key} << 32) | handles_.size());
          handles_.push_back(h);
        }
      }
      h = r.next;
    }
    sortKeys();
    for (const uint64_t k : keys_) put(handles_[static_cast<uint32_t>(k)]);
  }

  // Stable order by type and layer: a counting sort for large rings.
  void sortKeys() {
    if (keys_.size() <= 512) {
      std::sort(keys_.begin(), keys_.end());
      return;
    }
    counts_.assign(kTypeKeys + 1, 0);
    for (const uint64_t k : keys_) ++counts_[(k >> 32) + 1];
    for (int i = 1; i <= kTypeKeys; ++i) counts_[i] += counts_[i - 1];
    sorted_.resize(keys_.size());
    for (const uint64_t k : keys_) sorted_[counts_[k >> 32]++] = k;
    keys_.swap(sorted_);
  }

  void put(Handle h) {
    if (rounding_) roundItemToMils(ctx_, h);
    appendItemLines(ctx_, h, out_, style_);
    file_.flushFull();
  }

  void linkLine(const PixelImage& img) {
    const size_t start = out_.size();
    out_ += "Pixel image (";
    appendDimension(out_, img.x0());
    out_ += ',';
    appendDimension(out_, img.y0());
    out_ += "): ";
    const char* name = reinterpret_cast<const char*>(img.block.data() + 64);
    out_.append(name, strnlen(name, 64));
    endLine(out_, start);
  }

  // An embedded picture is written only when its block holds every byte its
  // header announces, so that the file reads back.
  static bool embeddable(const PixelImage* img) {
    if (!img || img->block.size() < kImageHeaderSize || img->linked()) return false;
    const size_t bytes = img->pixelBytes();
    return bytes <= kMaxImageBytes && img->block.size() >= kImageHeaderSize + bytes;
  }

  void embed(const PixelImage& img) { file_.append(img.block.data(), kImageHeaderSize + img.pixelBytes()); }

  Context& ctx_;
  RecordPool& pool_;
  SafeFile& file_;
  std::string& out_;
  bool rounding_;
  ItemLineStyle style_;
  std::vector<Handle> handles_;
  std::vector<uint64_t> keys_, sorted_;
  std::vector<uint32_t> counts_;
};

}  // namespace

bool isLibraryFileName(const std::string& path) {
  if (path.size() < 4) return false;
  const char* tail = path.c_str() + path.size() - 4;
  return tail[0] == '.' && (tail[1] | 0x20) == 'l' && (tail[2] | 0x20) == 'i' && (tail[3] | 0x20) == 'b';
}

void writeVersion4(Context& ctx, SafeFile& file, const std::string& target) {
  writeHeader(ctx, file.buffer());
  DesignWriter writer(ctx, file, target);
  if (ctx.current != kNull) writer.items(ctx.current);
  writer.trailer();
}

bool writeDesignFile(Context& ctx, const std::string& path, char format) {
  if (format != 'C') ctx.host->messageBox(kProduct, kFormatSubstituted);
  if (ctx.current == kNull) return false;
  SafeFile file(path);
  if (!file.open()) return false;
  writeVersion4(ctx, file, path);
  if (!file.finish() || !file.commit()) return false;
  ctx.rec(ctx.current).size &= static_cast<uint16_t>(~kFileModified);
  return true;
}

}  // namespace trelmo
