// DXF import: recognition, the built-in setup and the sections.
#include <string>
#include <string_view>

#include "context.h"
#include "database/options.h"
#include "files/import/dxf_entity_groups.h"
#include "files/import/dxf_geometry.h"
#include "files/import/dxf_reader.h"
#include "files/import/import_readers.h"
#include "files/reader_chain.h"

namespace trelmo {

namespace dxf {

namespace {

constexpr uint32_t kProgressEvery = 4096;  // pairs

// One line of the first block: blanks skipped at both ends, LF or CR LF.
bool takeLine(std::string_view& s, std::string_view& line) {
  if (s.empty()) return false;
  size_t end = s.find('\n');
  line = s.substr(0, end);
  s.remove_prefix(end == std::string_view::npos ? s.size() : end + 1);
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
  while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  return true;
}

void setup(Context& ctx) {
  parseOptionsV4(ctx, {"-gc0,0,0,0,0,0", "-gd.1,FFFFFF,909090,FFFFFF,FFFF00", "-gm3,6,3,0", "-gp7,0,1.0,0,0,0,0",
                       "-gs0.025,0,1,5,25,100", "-gx0,0,0,0", "-gz", "-y0", "-iv0,.05,.028", "-ip1,0,.1,.1,.048",
                       "-it.048", "-dp.01,.005,.025,.025", "-dy"});
}

void skipSection(Reader& r) {
  while (r.groups.next() >= 0) {
    r.progress();
    if (r.groups.is(0, "ENDSEC")) return;
    if (r.groups.is(0, "SECTION") || r.groups.is(0, "EOF")) {
      r.groups.unread();
      return;
    }
  }
}

// The header variables that decide how strings are read: the code page,
// and the version (from AC1021, AutoCAD 2007, strings are UTF-8).
void readHeader(Reader& r) {
  bool utf8 = false;
  while (r.groups.next() >= 0) {
    r.progress();
    if (r.groups.is(0, "ENDSEC")) break;
    if (r.groups.is(0, "SECTION") || r.groups.is(0, "EOF")) {
      r.groups.unread();
      break;
    }
    if (r.groups.code() != 9) continue;
    const std::string name(r.groups.keyword());
    if (name != "$DWGCODEPAGE" && name != "$ACADVER") continue;
    if (r.groups.next() < 0) break;
    if (r.groups.code() == 9 || r.groups.code() == 0) {
      r.groups.unread();
      continue;
    }
    const std::string value(r.groups.keyword());
    if (name == "$DWGCODEPAGE") r.codePage = codePageNamed(value);
    if (name == "$ACADVER") utf8 = value.size() >= 6 && value.compare(0, 2, "AC") == 0 && value.substr(2) >= "1021";
  }
  if (utf8) r.codePage = CodePage::kUtf8;
}

void readEntities(Reader& r) {
  while (r.groups.next() >= 0) {
    r.progress();
    if (r.groups.code() != 0) continue;
    const std::string type(r.groups.keyword());
    if (type == "ENDSEC") return;
    if (type == "SECTION" || type == "EOF") {
      r.groups.unread();
      return;
    }
    readEntity(r, type);
  }
}

void readSections(Reader& r) {
  while (r.groups.next() >= 0) {
    if (r.groups.is(0, "EOF")) break;
    if (!r.groups.is(0, "SECTION")) continue;
    if (r.groups.next() != 2) {
      r.groups.unread();
      continue;
    }
    const std::string name(r.groups.keyword());
    if (name == "HEADER")
      readHeader(r);
    else if (name == "TABLES")
      readTables(r);
    else if (name == "BLOCKS")
      readBlocks(r);
    else if (name == "ENTITIES")
      readEntities(r);
    else
      skipSection(r);
  }
}

}  // namespace

bool looksLikeDxf(std::string_view head) {
  std::string_view code, value;
  // Leading comments: group 999 and its text.
  while (takeLine(head, code) && code == "999")
    if (!takeLine(head, value)) return false;
  if (code != "0" || !takeLine(head, value) || value != "SECTION") return false;
  return takeLine(head, code) && code == "2" && takeLine(head, value) && value == "HEADER";
}

Reader::Reader(Context& c, InputFile& in)
    : ctx(c),
      groups(in),
      fileRing(c.current),
      records(RecordBudget::ofMemory(
          c, "Block references beyond it are shown as their block names; the rest of the file is read.")) {}

Handle Reader::target() const { return block >= 0 ? blocks[static_cast<size_t>(block)].ring : fileRing; }

std::vector<Placeholder>& Reader::placeholders() {
  return block >= 0 ? blocks[static_cast<size_t>(block)].pending : filePlaceholders;
}

int32_t Reader::shiftX(double inches) const { return clampUnits(double(toUnits(inches)) + ctx.params.zeroX); }
int32_t Reader::shiftY(double inches) const { return clampUnits(double(toUnits(inches)) + ctx.params.zeroY); }

void Reader::progress() {
  if (++pairsSinceProgress_ < kProgressEvery) return;
  pairsSinceProgress_ = 0;
  const uint64_t size = groups.size();
  if (size > 0) ctx.host->progress(static_cast<int>(groups.position() * 100 / size));
}

}  // namespace dxf

char readDxf(Context& ctx, InputFile& in, char hint) {
  if (hint != kHintNone && hint != kHintDxf) return 0;
  if (hint == kHintNone && !dxf::looksLikeDxf(in.firstBlock())) return 0;
  if (ctx.current == kNull) return 0;
  in.rewind();
  dxf::setup(ctx);
  dxf::Reader r(ctx, in);
  dxf::readSections(r);
  dxf::expandInserts(r);
  dxf::releaseBlocks(r);
  // The budget said its own; references cut for their nesting are said here.
  if (r.insertsCut > 0 && !r.records.exceeded())
    ctx.host->messageBox("DXF Import", std::to_string(r.insertsCut) + " block references nest more than " +
                                           std::to_string(dxf::kMaxInsertDepth) +
                                           " levels deep or refer to themselves.\n\n"
                                           "They are shown as their block names.");
  return kFormatDxf;
}

}  // namespace trelmo
