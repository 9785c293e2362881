// The version 4 data file writer: header, items in file order, trailer and
// embedded pictures.
#include "files/writer.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "context.h"
#include "database/design_files.h"
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
  // other items by type and layer; the same inside every component. Each
  // ring is walked once; nested rings stack their lists above their parent's.
  void items(Handle root) {
    std::vector<Frame> stack{scan(root)};
    while (!stack.empty()) {
      Frame& f = stack.back();
      if (f.compNext < f.compEnd && stack.size() < kMaxDepth) {
        const Handle comp = comps_[f.compNext++];
        put(comp);
        stack.push_back(scan(pool_[comp].ext));  // f is not used after this
        continue;
      }
      sortKeys(f.keyBegin);
      for (size_t i = f.keyBegin; i < keys_.size(); ++i) put(handles_[static_cast<uint32_t>(keys_[i])]);
      const Handle done = f.sentinel;
      comps_.resize(f.compBegin);
      keys_.resize(f.keyBegin);
      handles_.resize(f.keyBegin);
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
  struct Frame {
    Handle sentinel;
    size_t compBegin, compNext, compEnd;
    size_t keyBegin;
  };

  // Lists a ring's components that are neither hidden nor empty, and its
  // items of types 1..5 with their sort keys. A hidden item matches no type;
  // a text without text is hidden here and so dropped from the design.
  Frame scan(Handle sentinel) {
    Frame f{sentinel, comps_.size(), comps_.size(), 0, keys_.size()};
    Handle h = pool_[sentinel].next;
    while (h != sentinel && pool_.valid(h)) {
      Record& r = pool_[h];
      const int type = r.flags & 15;
      if (type == kSentinel) break;
      if (type == kComponent) {
        if (nonEmptyRing(r.ext)) comps_.push_back(h);
      } else if (type >= kLine && type <= kReserved) {
        if (type == kText && !itemHasText(ctx_, h)) {
          r.flags |= kHidden;
        } else {
          const auto key = static_cast<uint32_t>(((kReserved - type) << 8) | r.layer);
          keys_.push_back((uint64_t{key} << 32) | handles_.size());
          handles_.push_back(h);
        }
      }
      h = r.next;
    }
    f.compEnd = comps_.size();
    return f;
  }

  bool nonEmptyRing(Handle nested) const {
    return nested != kNull && pool_.valid(nested) && pool_[nested].type() == kSentinel && pool_[nested].next != nested;
  }

  // Stable order by type and layer of the keys from `begin` on (each key
  // ends in its sequence number): a counting sort for large rings.
  void sortKeys(size_t begin) {
    const auto first = keys_.begin() + static_cast<std::ptrdiff_t>(begin);
    const size_t n = keys_.size() - begin;
    if (n <= 512) {
      std::sort(first, keys_.end());
      return;
    }
    counts_.assign(kTypeKeys + 1, 0);
    for (auto k = first; k != keys_.end(); ++k) ++counts_[(*k >> 32) + 1];
    for (int i = 1; i <= kTypeKeys; ++i) counts_[i] += counts_[i - 1];
    sorted_.resize(n);
    for (auto k = first; k != keys_.end(); ++k) sorted_[counts_[*k >> 32]++] = *k;
    std::copy(sorted_.begin(), sorted_.end(), first);
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
    out_ += img.name();
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
  std::vector<Handle> handles_, comps_;
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
  FileFailure why;
  return writeDesignFile(ctx, path, format, why);
}

bool writeDesignFile(Context& ctx, const std::string& path, char format, std::string* reason) {
  FileFailure why;
  const bool written = writeDesignFile(ctx, path, format, why);
  if (!written && reason) *reason = why.reason;
  return written;
}

bool writeDesignFile(Context& ctx, const std::string& path, char format, FileFailure& why) {
  if (format != 'C') ctx.host->messageBox(kProduct, kFormatSubstituted);
  if (ctx.current == kNull) {
    why = {"no design file is current"};
    return false;
  }
  SafeFile file(path);
  bool written = file.open();
  if (written) {
    writeVersion4(ctx, file, path);
    written = file.finish() && file.commit();
  }
  if (!written) {
    why = FileFailure::ofError(file.error());
    return false;
  }
  markSaved(ctx.rec(ctx.current));
  return true;
}

}  // namespace trelmo
