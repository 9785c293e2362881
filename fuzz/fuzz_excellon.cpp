// Excellon drill files, entered past the recogniser. The recogniser weighs
// the first kilobyte; an input it would turn down gets a short header with
// a tool definition and a few holes in front, which it accepts.
#include "files/import/gerber_reader.h"
#include "files/import/import_readers.h"
#include "files/reader_chain.h"
#include "targets.h"

namespace trelmo::fuzz {

namespace {

constexpr std::string_view kHeader =
    "M48\nT1C0.035\n%\nT1\nX0Y0\nX1000Y0\nX1000Y1000\nX0Y1000\nX500Y500\nX250Y250\nX750Y750\nX100Y900\n"
    "X200Y800\nX300Y700\nX400Y600\nX600Y400\n";

}  // namespace

int fuzzExcellon(const uint8_t* data, size_t size) {
  const std::string_view bytes = bytesOf(data, size);
  std::string input(bytes);
  if (!isExcellon(scanExcellon(input))) input = std::string(kHeader) + input;
  Session s(input);
  if (s.ready()) readExcellon(s.ctx, s.in, kHintExcellon);
  return 0;
}

}  // namespace trelmo::fuzz

TRELMO_FUZZ_ENTRY(trelmo::fuzz::fuzzExcellon)
