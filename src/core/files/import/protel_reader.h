// Protel AutoTrax ASCII boards ("PCB FILE 4" and "PCB FILE 6"): a record
// keyword on a line of its own, its numbers (mils) on the next line, a name
// or text on the line after that where the record has one.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "database/pool.h"
#include "files/import/tango_common.h"
#include "files/input_file.h"

namespace trelmo {

struct Context;

namespace protel {

// AutoTrax layer number to layer of the board setup: 1 top, 2-5 mid layers,
// 6 bottom, 7 and 8 top and bottom overlay, 9 ground plane, 10 power plane,
// 11 board outline, 12 keep out, 13 multi layer (through-hole pads).
uint8_t boardLayer(int32_t autotraxLayer);
// The file version of a recognised header (4 or 6), 0 when not recognised.
int fileVersion(std::string_view head);

class Reader {
 public:
  Reader(Context& ctx, InputFile& in);
  void run();

 private:
  bool next(std::string& line);     // the next line, blanks at its start removed
  bool numbers(std::string& line);  // the next non-empty line that is no record keyword
  void push(std::string line);
  void record(const std::string& key);
  void track(Handle ring);
  void arc(Handle ring);
  void via(Handle ring);
  void fill(Handle ring);
  void pad(Handle ring);
  void freeString(Handle ring);
  void component();
  void netdef();
  void assignNets();
  void textItem(Handle ring, const tango::Fields& f, std::string_view text);

  Context& ctx_;
  InputFile& in_;
  Handle ring_;
  Handle component_ = kNull;  // nested ring of the component being read
  bool ended_ = false;
  bool pending_ = false;
  std::string pushed_;
  struct Node {
    std::string net, reference, pin;
  };
  std::vector<Node> nodes_;
  std::map<std::string, Handle> references_;  // designator -> nested ring
};

}  // namespace protel
}  // namespace trelmo
