// Opening a file: the chain of readers that recognise each format.
#pragma once
#include <string>

#include "files/file_failure.h"
#include "files/input_file.h"

namespace trelmo {

struct Context;

// Format codes remembered with a file.
constexpr char kFormatV4 = 'C', kFormatV3 = '3', kFormatV2 = '2', kFormatGerber = 'G', kFormatExcellon = 'E',
               kFormatTango = 'T', kFormatProtel = 'P', kFormatBinary = 'O', kFormatDxf = 'X', kFormatHpgl = 'H',
               kFormatPicture = 'B', kFormatText = 'Z';
// Hints from File Open's type list (0 = automatic).
constexpr char kHintNone = 0, kHintDxf = 'X', kHintGerber = 'G', kHintExcellon = 'I', kHintHpgl = 'H', kHintText = 'Z',
               kHintHexdump = '@';

// Reads a file into the current (new, empty) design file. Returns the format
// code, or 0 when the file could not be opened or the record pool ran out
// while reading it (the user is told which limit); the code becomes the
// file's remembered format.
char readFile(Context& ctx, const std::string& path, char hint);
// The same; when the file cannot be opened `why` tells the reason.
char readFile(Context& ctx, const std::string& path, char hint, FileFailure& why);
// The chain on an already opened input (fuzzing reads from memory).
char readerChain(Context& ctx, InputFile& in, char hint);
// The name the file information preview gives a format code.
const char* formatName(char code);

}  // namespace trelmo
