#include "shell/file_functions.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "database/chains.h"
#include "database/design_files.h"
#include "database/signals.h"
#include "editor_bench.h"
#include "screen/redraw.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"

namespace trelmo {
namespace {

namespace fs = std::filesystem;
using testing::readAll;
using testing::ScriptedHost;
using testing::TempDir;

struct Editor : testing::EditorBench {
  void touch() { ctx.rec(ctx.current).size |= kFileModified; }
  std::string current() const { return ctx.current == kNull ? "" : filePath(ctx, ctx.current); }
};

TEST(FileOpen, OpensThroughTheBoxAndRefusesAFileAlreadyOpen) {
  Editor e;
  const std::string board = e.dir.example("demo.pcb");
  e.host.pickFile(board);
  e.run('F', 'O');
  EXPECT_EQ(e.current(), board);
  EXPECT_EQ(e.host.title, board);
  EXPECT_EQ(e.host.settings["File Re-Open List"], board);
  e.host.files.push_back([&](FileDialog& d) {
    EXPECT_EQ(d.filterIndex, 5);
    EXPECT_EQ(d.filters.size(), 12u);
    EXPECT_EQ(d.filters[0].rfind("Schematics Drawing Sheets", 0), 0u);
    d.fileName = board;
    return true;
  });
  e.run('F', 'O');
  ASSERT_EQ(e.host.boxes.size(), 1u);
  EXPECT_EQ(e.host.boxes[0].first, "File Open Error");
  EXPECT_EQ(e.host.boxes[0].second,
            "The specified data file is currently open.\n\nIt must be closed before it can be re-opened.");
  EXPECT_EQ(openFileCount(e.ctx), 1);
}

TEST(FileOpen, AnUnreadableFileKeepsThePreviousCurrentFile) {
  Editor e;
  const std::string board = e.dir.example("demo.pcb");
  ASSERT_TRUE(openFileByName(e.ctx, board, 0));
  EXPECT_FALSE(openFileByName(e.ctx, e.dir.file("missing.pcb"), 0));
  EXPECT_EQ(e.current(), board);
  EXPECT_EQ(openFileCount(e.ctx), 1);
}

TEST(FileClose, SaveWarningAnsweredCancelNoAndYes) {
  Editor e;
  const std::string board = e.dir.example("demo.pcb");
  const std::string before = readAll(board);
  ASSERT_TRUE(openFileByName(e.ctx, board, 0));
  e.touch();
  e.host.answers = {Answer::Cancel};
  e.run('F', 'C');
  ASSERT_EQ(e.host.questions.size(), 1u);
  EXPECT_EQ(e.host.questions[0].title, "Close Save Warning");
  EXPECT_EQ(e.host.questions[0].text,
            "File has been updated but has not yet been saved.\n\nShall I save the file before closing it?");
  EXPECT_EQ(e.current(), board);  // cancelled: still open
  e.host.answers = {Answer::No};
  e.run('F', 'C');
  EXPECT_EQ(e.ctx.current, kNull);
  EXPECT_EQ(readAll(board), before);  // not written
  EXPECT_EQ(e.host.title, "TRELMO'98");

  ASSERT_TRUE(openFileByName(e.ctx, board, 0));
  e.touch();
  e.host.answers = {Answer::Yes};
  e.run('F', 'C');
  EXPECT_EQ(e.ctx.current, kNull);
  EXPECT_TRUE(fs::exists(board));
  EXPECT_NE(readAll(board).find("END OF FILE"), std::string::npos);
}

TEST(FileClose, AFileThatCannotBeSavedStaysOpen) {
  Editor e;
  const std::string board = e.dir.example("demo.pcb");
  ASSERT_TRUE(openFileByName(e.ctx, board, 0));
  e.touch();
  fs::remove(board);
  fs::create_directory(board);  // the save cannot replace a folder
  e.host.answers = {Answer::Yes};
  e.run('F', 'C');
  EXPECT_EQ(e.current(), board);
  ASSERT_FALSE(e.host.boxes.empty());
  EXPECT_EQ(e.host.boxes.back().first, "File Save Error");
}

// A full disk, simulated by a file size limit in a child process: File Save
// fails, the file on the disk stays byte for byte, and the box says why.
TEST(FileSave, AFullDiskKeepsTheOldFileAndSaysWhy) {
  Editor e;
  const std::string board = e.dir.example("demo.pcb");
  const std::string before = readAll(board);
  ASSERT_TRUE(openFileByName(e.ctx, board, 0));
  e.touch();
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlim_t half = before.size() / 2;
    const rlimit limit{half, half};
    setrlimit(RLIMIT_FSIZE, &limit);
    e.run('F', 'S');
    if (e.host.boxes.empty() || e.host.boxes.back().first != "File Save Error") _exit(1);
    const std::string& text = e.host.boxes.back().second;
    _exit(text.find(std::strerror(EFBIG)) != std::string::npos && text.find(board) != std::string::npos ? 0 : 2);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_NE(WEXITSTATUS(status), 1) << "the failed save was not reported";
  EXPECT_NE(WEXITSTATUS(status), 2) << "the report did not name the file and the reason";
  EXPECT_EQ(readAll(board), before);
  for (const auto& f : fs::directory_iterator(fs::path(board).parent_path()))
    EXPECT_EQ(f.path().filename().string().find(".~"), std::string::npos) << f.path();
}

TEST(FileErase, AsksTwiceForAModifiedFileThenDeletesIt) {
  Editor e;
  const std::string board = e.dir.example("demo.pcb");
  ASSERT_TRUE(openFileByName(e.ctx, board, 0));
  e.touch();
  e.host.answers = {Answer::Yes, Answer::Cancel};
  e.run('F', 'E');
  ASSERT_EQ(e.host.questions.size(), 2u);
  EXPECT_EQ(e.host.questions[0].title, "Erase File Warning");
  EXPECT_EQ(e.host.questions[0].text,
            "File has been updated since the last load or save.\n\nShall I erase the file anyhow?");
  EXPECT_EQ(e.host.questions[1].text.rfind("File Erasure.", 0), 0u);
  EXPECT_TRUE(fs::exists(board));
  EXPECT_EQ(e.current(), board);
  e.host.answers = {Answer::Yes, Answer::Ok};
  e.run('F', 'E');
  EXPECT_FALSE(fs::exists(board));
  EXPECT_EQ(e.ctx.current, kNull);
  EXPECT_TRUE(e.ctx.shell.reopenList.empty());
}

constexpr const char* kNoOutputFilter =
    "This file was imported from a format that does not\nhave a corresponding output translation "
    "filter.\n\nTRELMO Version 4.0 file format will be substituted.";
constexpr const char* kSubstituted =
    "The specified output format is not supported.\n\nTRELMO Version 4.0 file format will be substituted.";

TEST(FileSave, AFormatWithoutSaveTypeIsSaidAndOffersAVersion4Name) {
  Editor e;
  const std::string hpgl = e.dir.file("plot.hpg");
  { std::ofstream(hpgl) << "IN;SP1;PU0,0;PD1000,0,1000,1000;PU;\n"; }
  ASSERT_TRUE(openFileByName(e.ctx, hpgl, 'H'));
  ASSERT_EQ(e.ctx.params.format, 'H');
  const std::string original = readAll(hpgl);
  e.host.files.push_back([&](FileDialog& d) {
    EXPECT_TRUE(d.save);
    EXPECT_EQ(d.fileName, e.dir.file("plot.pcb"));
    EXPECT_EQ(d.filterIndex, 1);  // the first type
    EXPECT_EQ(d.filters.size(), 7u);
    EXPECT_EQ(d.filters[0].rfind("TRELMO V4.0 (Self-defining format) (", 0), 0u);
    EXPECT_EQ(d.filters[6].rfind("ASCII data file (Text only) (", 0), 0u);
    return true;
  });
  e.run('F', 'S');
  ASSERT_EQ(e.host.boxes.size(), 1u);
  EXPECT_EQ(e.host.boxes[0].first, "Export Filter Error");
  EXPECT_EQ(e.host.boxes[0].second, kNoOutputFilter);
  EXPECT_EQ(readAll(hpgl), original);  // the imported file is left alone
  EXPECT_EQ(e.current(), e.dir.file("plot.pcb"));
  EXPECT_EQ(readAll(e.current()).rfind("TRELMO Version 4.0", 0), 0u);
  EXPECT_EQ(e.ctx.params.format, 'C');
}

TEST(FileSave, AnImportedFormatWithASaveTypeOpensOnItAndSubstitutes) {
  Editor e;
  const std::string dxf = e.dir.file("outline.dxf");
  { std::ofstream(dxf) << "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n0\n20\n0\n11\n1\n21\n1\n0\nENDSEC\n0\nEOF\n"; }
  ASSERT_TRUE(openFileByName(e.ctx, dxf, 'X'));
  ASSERT_EQ(e.ctx.params.format, 'X');
  e.host.files.push_back([&](FileDialog& d) {
    EXPECT_EQ(d.fileName, dxf);
    EXPECT_EQ(d.filterIndex, 6);  // "AutoCad V2.5 (DXF)"
    d.fileName = e.dir.file("copy");
    return true;
  });
  e.run('F', 'S');
  ASSERT_EQ(e.host.boxes.size(), 1u);
  EXPECT_EQ(e.host.boxes[0].second, kSubstituted);
  EXPECT_EQ(e.current(), e.dir.file("copy.dxf"));
  EXPECT_EQ(readAll(e.current()).rfind("TRELMO Version 4.0", 0), 0u);
  EXPECT_EQ(e.ctx.params.format, 'X');  // kept as read
}

TEST(FileSave, OldDosFileAsksOnceWithThePartsQuestion) {
  Editor e;
  const std::string board = e.dir.example("demo.pcb");
  ASSERT_TRUE(openFileByName(e.ctx, board, 0));
  const std::string before = readAll(board);
  e.ctx.params.format = '3';
  e.host.answers = {Answer::Cancel};
  e.run('F', 'S');
  ASSERT_EQ(e.host.questions.size(), 1u);
  EXPECT_EQ(e.host.questions[0].title, "Save File Warning");
  EXPECT_EQ(e.host.questions[0].text,
            "This file was imported from an old DOS TRELMO format.\n\nWould you like to save it as a version 4 file?");
  EXPECT_EQ(e.host.questions[0].buttons, Buttons::OkCancel);
  EXPECT_EQ(readAll(board), before);
  EXPECT_EQ(e.ctx.params.format, '3');
  e.run('F', 'S');  // OK: written under its own name, once asked
  EXPECT_EQ(e.host.questions.size(), 2u);
  EXPECT_EQ(e.ctx.params.format, 'C');
  EXPECT_TRUE(e.host.boxes.empty());
  EXPECT_TRUE(fs::exists(e.dir.file("data") + "/Backup/demo.pcb"));  // saved: the previous file was moved aside
  EXPECT_EQ(readAll(board), before);                                 // the demo board reads back byte for byte
}

TEST(FileSave, SaveAsTypesSetTheExtensionAndTheWriterSubstitutes) {
  Editor e;
  ASSERT_TRUE(openFileByName(e.ctx, e.dir.example("demo.pcb"), 0));
  e.host.pickFile(e.dir.file("out.pcb"), 3);  // "Gerber Photo Plot (RS-274-D)"
  e.run('F', 'A');
  ASSERT_EQ(e.host.boxes.size(), 1u);
  EXPECT_EQ(e.host.boxes[0].second, kSubstituted);
  EXPECT_EQ(e.current(), e.dir.file("out.ger"));
  EXPECT_EQ(readAll(e.dir.file("out.ger")).rfind("TRELMO Version 4.0", 0), 0u);
  e.host.pickFile(e.dir.file("plain"), 1);  // version 4, no extension typed
  e.run('F', 'A');
  EXPECT_EQ(e.host.boxes.size(), 1u);
  EXPECT_EQ(e.current(), e.dir.file("plain.pcb"));
  // Saving over another open file is refused.
  ASSERT_TRUE(openFileByName(e.ctx, e.dir.example("demo.sch"), 0));
  e.host.pickFile(e.dir.file("plain.pcb"));
  e.run('F', 'A');
  EXPECT_EQ(e.host.boxes.back().first, "File Save Error");
  EXPECT_EQ(e.current(), e.dir.file("demo.sch"));
}

long itemCount(Context& ctx) {
  long n = 0;
  for (Handle h = ctx.rec(ctx.current).next; h != ctx.current; h = ctx.rec(h).next) ++n;
  return n;
}

TEST(FileLoad, AddsTheItemsButKeepsTheCurrentFilesParameters) {
  Editor e;
  const std::string board = e.dir.example("demo.pcb");
  ASSERT_TRUE(openFileByName(e.ctx, e.dir.example("demo.sch"), 0));
  const long sheetItems = itemCount(e.ctx);
  ASSERT_TRUE(openFileByName(e.ctx, board, 0));
  const long boardItems = itemCount(e.ctx);
  const std::string layerName = e.ctx.params.layers[3].name;
  e.host.pickFile(e.dir.file("demo.sch"));  // open elsewhere: read again, not taken over
  e.run('F', 'D');
  EXPECT_EQ(e.current(), board);
  EXPECT_EQ(itemCount(e.ctx), boardItems + sheetItems);
  EXPECT_FALSE(e.ctx.params.isSchematic());
  EXPECT_EQ(e.ctx.params.layers[3].name, layerName);
  EXPECT_TRUE(fileModified(e.ctx.rec(e.ctx.current)));
  EXPECT_EQ(openFileCount(e.ctx), 2);
  e.host.pickFile(e.dir.file("missing.pcb"));
  e.run('F', 'D');
  EXPECT_EQ(itemCount(e.ctx), boardItems + sheetItems);
  EXPECT_EQ(e.host.count(Sound::Beep), 1);
}

TEST(FileLoad, PhotoPlotFilesGoOnLayersOfTheirOwnAndJoinTheirParts) {
  Editor e;
  ASSERT_TRUE(openFileByName(e.ctx, e.dir.example("demo.pcb"), 0));
  const std::string layer1 = e.ctx.params.layers[1].name;
  const std::string head = "%FSLAX24Y24*%%MOIN*%%ADD10R,0.06X0.06*%%TO.C,J9*%%TO.N,SENSE*%";
  {
    std::ofstream(e.dir.file("j9.gtl")) << "%TF.FileFunction,Copper,L1,Top*%" << head
                                        << "%TO.P,J9,1*%D10*X300000Y0D03*M02*\n";
    std::ofstream(e.dir.file("j9.gbl")) << head << "%TO.P,J9,2*%D10*X310000Y0D03*M02*\n";
  }
  int before = 0;
  while (before < 255 && !e.ctx.params.layers[before + 1].unused()) ++before;
  for (const char* f : {"j9.gtl", "j9.gbl"}) {
    e.host.pickFile(e.dir.file(f));
    e.run('F', 'D');
  }
  EXPECT_EQ(e.ctx.params.layers[1].name, layer1);  // the board's own layers stay as they were
  EXPECT_STREQ(e.ctx.params.layers[before + 1].name, "Top Copper");
  EXPECT_STREQ(e.ctx.params.layers[before + 2].name, "Bottom Copper");  // by its name: no file function
  EXPECT_TRUE(e.ctx.params.layers[before + 2].bottom());
  Handle j9 = kNull;
  for (Handle h = e.ctx.rec(e.ctx.current).next; h != e.ctx.current; h = e.ctx.rec(h).next) {
    const Record& r = e.ctx.rec(h);
    if (r.type() == kComponent && readText(e.ctx, r.ext).find("J9") != std::string::npos) j9 = r.ext;
  }
  ASSERT_NE(j9, kNull);
  std::vector<std::string> pins;
  for (Handle h = e.ctx.rec(j9).next; h != j9; h = e.ctx.rec(h).next) {
    EXPECT_EQ(itemSignal(e.ctx, h), "SENSE");
    pins.push_back(pinName(e.ctx, h));
  }
  EXPECT_EQ(pins, (std::vector<std::string>{"1", "2"}));
  EXPECT_TRUE(fileModified(e.ctx.rec(e.ctx.current)));
}

TEST(FileReopen, MissingFileOffersThePurge) {
  Editor e;
  const std::string board = e.dir.example("demo.pcb");
  e.host.settings["File Re-Open List"] = e.dir.file("gone.pcb") + ";" + board + ";" + e.dir.file("lost.sch");
  e.ctx.shell.reopenList = {e.dir.file("gone.pcb"), board, e.dir.file("lost.sch")};
  e.host.answers = {Answer::No};
  e.run('F', '0');
  ASSERT_EQ(e.host.questions.size(), 1u);
  EXPECT_EQ(e.host.questions[0].text, "The file \"" + e.dir.file("gone.pcb") +
                                          "\" cannot be located.\n\nWould you like to purge all non-existent files "
                                          "from the Re-Open menu?");
  EXPECT_EQ(e.ctx.shell.reopenList.size(), 3u);
  e.host.answers = {Answer::Yes};
  e.run('F', '2');
  EXPECT_EQ(e.ctx.shell.reopenList, (std::vector<std::string>{board}));
  EXPECT_EQ(e.host.settings["File Re-Open List"], board);
  e.run('F', '0');
  EXPECT_EQ(e.current(), board);
  e.run('F', '7');  // no such entry
  EXPECT_EQ(e.host.count(Sound::Beep), 1);
}

TEST(FileReopen, TotalRecallOpensTheChosenEntry) {
  Editor e;
  const std::string board = e.dir.example("demo.pcb"), sheet = e.dir.example("demo.sch");
  ASSERT_TRUE(openFileByName(e.ctx, board, 0));
  ASSERT_TRUE(openFileByName(e.ctx, sheet, 0));
  e.run('F', 'C');
  e.host.dialog = [](DialogBox& box) {
    EXPECT_EQ(box.name, "FileRecallBox");
    EXPECT_EQ(box.fields[0].choices.size(), 2u);
    box.fields[0].value = "0";  // newest first
    return true;
  };
  e.run('F', 'T');
  EXPECT_EQ(e.current(), sheet);
}

TEST(FileNew, StandardKindsComeFromTheTemplates) {
  Editor e;
  e.host.dialog = [](DialogBox& box) {
    EXPECT_EQ(box.name, "FileNewBox");
    EXPECT_EQ(box.fields[0].choices.size(), 13u);
    box.fields[0].value = "5";  // schematic, size B
    return true;
  };
  e.run('F', 'W');
  EXPECT_EQ(e.current(), "unnamed.sch");
  EXPECT_TRUE(e.ctx.params.isSchematic());
  int32_t box[4];
  ASSERT_TRUE(designExtents(e.ctx, box));
  EXPECT_EQ(box[2], 16 * kInch + 3 * kInch / 4);  // the size B border
  EXPECT_EQ(e.ctx.params.limits[2], 17 * kInch);  // the sheet's limits, in inches
  EXPECT_EQ(e.ctx.params.limits[3], 11 * kInch);
  e.run('F', 'W');
  EXPECT_EQ(e.current(), "unnamed2.sch");
  // Saving an unnamed file asks for a name.
  e.host.pickFile(e.dir.file("sheet.sch"));
  e.run('F', 'S');
  EXPECT_EQ(e.current(), e.dir.file("sheet.sch"));
  EXPECT_TRUE(fs::exists(e.dir.file("sheet.sch")));
}

TEST(FileSwitch, NextPreviousAndSelect) {
  Editor e;
  const std::string board = e.dir.example("demo.pcb"), sheet = e.dir.example("demo.sch");
  e.run('F', 'N');
  EXPECT_EQ(e.host.count(Sound::Beep), 1);
  ASSERT_TRUE(openFileByName(e.ctx, board, 0));
  ASSERT_TRUE(openFileByName(e.ctx, sheet, 0));
  e.run('F', 'N');
  EXPECT_EQ(e.current(), board);
  EXPECT_EQ(e.host.title, board);
  e.run('F', 'V');
  EXPECT_EQ(e.current(), sheet);
  e.host.dialog = [](DialogBox& box) {
    box.field("file")->value = "0";
    return true;
  };
  e.run('F', 'L');
  EXPECT_EQ(e.current(), board);
  e.host.dialog = [](DialogBox& box) {
    box.field("file")->value = "99";
    return true;
  };
  e.run('F', 'L');
  EXPECT_EQ(e.current(), board);
}

TEST(FileExit, AsksForEveryModifiedFileAndStopsOnCancel) {
  Editor e;
  const std::string board = e.dir.example("demo.pcb"), sheet = e.dir.example("demo.sch");
  ASSERT_TRUE(openFileByName(e.ctx, board, 0));
  e.touch();
  ASSERT_TRUE(openFileByName(e.ctx, sheet, 0));
  e.touch();
  e.host.answers = {Answer::No, Answer::Cancel};
  e.run('F', 'X');
  ASSERT_EQ(e.host.questions.size(), 2u);
  EXPECT_EQ(e.host.questions[0].title, "Exit Save Warning");
  EXPECT_FALSE(e.host.quitCalled);
  e.host.answers = {Answer::No, Answer::No};
  e.run('F', 'X');
  EXPECT_TRUE(e.host.quitCalled);
  EXPECT_EQ(e.host.events, (std::vector<std::string>{"Close"}));
}

}  // namespace
}  // namespace trelmo
