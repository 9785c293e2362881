// The pieces of a version 4 save, shared by File Save, Save As and autosave.
#pragma once
#include <cstdint>
#include <string>

#include "database/pool.h"

namespace trelmo {

struct Context;
class SafeFile;

// Writes the current design file as version 4 (header, items, trailer,
// embedded pictures) into an open SafeFile; the caller finishes and commits.
// target names the file being saved: a ".LIB" name writes library layers.
void writeVersion4(Context& ctx, SafeFile& file, const std::string& target);

// True for file names ending in ".LIB" in any letter case.
bool isLibraryFileName(const std::string& path);

// Schematic files keep whole mils: the item's points, and for lines, arcs and
// text their width, radius, length or height, are rounded to the nearest mil
// and stored back (a filled solid's vertices too; a sentinel its origin).
void roundItemToMils(Context& ctx, Handle item);
int32_t roundToMil(int32_t v);

}  // namespace trelmo
