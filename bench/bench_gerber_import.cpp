// Reading photo-plot files as CAD programs write them today: a board of
// rounded-rectangle macro pads with nets and components, and a copper pour
// knocked out by clear anti-pads.
#include <benchmark/benchmark.h>

#include <string>

#include "context.h"
#include "database/design_files.h"
#include "database/options.h"
#include "files/import/import_readers.h"
#include "files/input_file.h"

namespace {

// n pads of a rounded-rectangle macro on a 0.1 inch grid, two to a component,
// each on a net of its own, with a short track from each.
std::string macroPads(int n) {
  std::string g =
      "%TF.FileFunction,Copper,L1,Top*%%FSLAX46Y46*%%MOMM*%"
      "%AMRoundRect*0 Rectangle with rounded corners*"
      "1,1,$1+$1,$2,$3*1,1,$1+$1,$4,$5*1,1,$1+$1,$6,$7*1,1,$1+$1,$8,$9*"
      "4,1,4,$2,$3,$4,$5,$6,$7,$8,$9,$2,$3,0*"
      "20,1,$1+$1,$2,$3,$4,$5,0*20,1,$1+$1,$4,$5,$6,$7,0*20,1,$1+$1,$6,$7,$8,$9,0*20,1,$1+$1,$8,$9,$2,$3,0*%"
      "%ADD10RoundRect,0.25X-0.5X-0.4X0.5X-0.4X0.5X0.4X-0.5X0.4X0*%%ADD11C,0.25*%G75*%LPD*%\n";
  for (int i = 0; i < n; ++i) {
    const long x = (i % 100) * 2540000L, y = (i / 100) * 2540000L;
    const std::string ref = "R" + std::to_string(i / 2 + 1), net = "N" + std::to_string(i);
    g += "%TO.N," + net + "*%%TO.C," + ref + "*%%TO.P," + ref + "," + std::to_string(i % 2 + 1) + "*%D10*X" +
         std::to_string(x) + "Y" + std::to_string(y) + "D03*%TD.P*%%TD.C*%D11*X" + std::to_string(x) + "Y" +
         std::to_string(y) + "D02*X" + std::to_string(x + 1000000) + "Y" + std::to_string(y) + "D01*%TD*%\n";
  }
  return g + "M02*\n";
}

// A pour of 100 x 100 mm with n round anti-pads in it.
std::string knockedOutPour(int n) {
  std::string g =
      "%FSLAX46Y46*%%MOMM*%%ADD10C,1.2*%G36*X0Y0D02*G01X100000000Y0D01*X100000000Y100000000D01*"
      "X0Y100000000D01*X0Y0D01*G37*%LPC*%D10*\n";
  for (int i = 0; i < n; ++i)
    g += "X" + std::to_string(1000000 + (i % 40) * 2450000L) + "Y" + std::to_string(1000000 + (i / 40) * 2450000L) +
         "D03*\n";
  return g + "%LPD*%M02*\n";
}

void read(benchmark::State& state, const std::string& text) {
  long items = 0;
  for (auto _ : state) {
    trelmo::Context ctx;
    trelmo::newDesignFile(ctx, "bench.pcb");
    trelmo::parseOptionsV4(ctx, {"-y1", "-gz0,0"});
    trelmo::InputFile in;
    in.openMemory(text);
    benchmark::DoNotOptimize(trelmo::readGerber(ctx, in, 'G'));
    ++items;
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_GerberMacroPadsWithNets(benchmark::State& state) {
  const std::string text = macroPads(static_cast<int>(state.range(0)));
  read(state, text);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_GerberMacroPadsWithNets)->Arg(2000)->Unit(benchmark::kMillisecond);

void BM_GerberPourWithClearAntiPads(benchmark::State& state) {
  const std::string text = knockedOutPour(static_cast<int>(state.range(0)));
  read(state, text);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_GerberPourWithClearAntiPads)->Arg(400)->Arg(1600)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
