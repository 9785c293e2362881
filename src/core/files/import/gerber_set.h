// Reading a board's photo-plot and drill files into one design.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace trelmo {

struct Context;

// What became of one file: its format ('G', 'E', 0 when not read, with the
// reason in `error`), the layer it went to, its name and kind, and the
// number of items it added.
struct ImportedFile {
  std::string path;
  char format = 0;
  int layer = 0;
  std::string layerName;
  uint8_t kind = 0;
  int items = 0;
  std::string error;
};

// Reads one photo-plot or drill file into the current design (File Load):
// with hint 'G' or 'I' only that reader, with none whichever recognises it.
ImportedFile loadPhotoPlot(Context& ctx, const std::string& path, char hint);

// Reads each file into the current design, in the order given: photo-plot
// files on a new layer each (named by their file function, else by the usual
// file name extensions, else by the file name), drill files on the pad
// master layer. Components and nets named in the files join across them.
std::vector<ImportedFile> importPhotoPlots(Context& ctx, const std::vector<std::string>& paths);

// The file function a name's extension implies ("Copper,L1,Top" for .GTL
// and .TOP, "Soldermask,Bot" for .GBS...), empty when none.
std::string fileFunctionFromName(const std::string& path);

// The regular files of a folder, sorted by name (at most 256); false with
// the reason when the folder cannot be listed.
bool photoPlotFolder(const std::string& folder, std::vector<std::string>& paths, std::string& error);

}  // namespace trelmo
