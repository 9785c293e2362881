#include "shell/command_line.h"

#include <gtest/gtest.h>

#include "scripted_host.h"

namespace trelmo {
namespace {

using Files = std::vector<std::string>;

TEST(CommandLine, QuotedAndUnquotedNames) {
  // Unquoted, a second name that starts with a letter is taken as part of the
  // first: callers quote each name.
  EXPECT_EQ(parseCommandLine("a.pcb b.sch").files, (Files{"a.pcb b.sch"}));
  EXPECT_EQ(parseCommandLine("\"a.pcb\" \"b.sch\"").files, (Files{"a.pcb", "b.sch"}));
  EXPECT_EQ(parseCommandLine("\"my board.pcb\" x.sch").files, (Files{"my board.pcb", "x.sch"}));
  // A space followed by a word continues the name; a drive letter does not.
  EXPECT_EQ(parseCommandLine("/home/me/My Designs/amp.pcb").files, (Files{"/home/me/My Designs/amp.pcb"}));
  EXPECT_EQ(parseCommandLine("a.pcb c:\\b.pcb").files, (Files{"a.pcb", "c:\\b.pcb"}));
  EXPECT_EQ(parseCommandLine("a.pcb 2.pcb").files, (Files{"a.pcb", "2.pcb"}));
  EXPECT_EQ(parseCommandLine("  a.pcb   ").files, (Files{"a.pcb"}));
  // An unclosed quote runs to the end.
  EXPECT_EQ(parseCommandLine("\"open end.pcb").files, (Files{"open end.pcb"}));
  EXPECT_TRUE(parseCommandLine("\"\"").files.empty());
  EXPECT_TRUE(parseCommandLine("").files.empty());
}

TEST(CommandLine, OptionsPickTheScreenOrAreSkipped) {
  CommandLine l = parseCommandLine("-s2 board.pcb -x -S9");
  EXPECT_EQ(l.files, (Files{"board.pcb"}));
  EXPECT_EQ(l.screen, '9' & 7);
  l = parseCommandLine("-s");
  EXPECT_EQ(l.screen, 0);
  EXPECT_TRUE(l.files.empty());
  // An option ends an unquoted name that ran over a space.
  EXPECT_EQ(parseCommandLine("a.pcb -s1").files, (Files{"a.pcb"}));
}

TEST(WindowPosition, StoredFormReadAndWritten) {
  const WindowRect r = parseWindowPosition("100,50 800x600", 1920, 1080);
  EXPECT_FALSE(r.maximized);
  EXPECT_EQ(r.x, 100);
  EXPECT_EQ(r.y, 50);
  EXPECT_EQ(r.width, 800);
  EXPECT_EQ(r.height, 600);
  EXPECT_EQ(formatWindowPosition(r), "100,50 800x600");
  EXPECT_EQ(formatWindowPosition({0, 0, 10, 10, true}), "Maximized");
  // Separators are not checked: any four numbers in order.
  EXPECT_EQ(parseWindowPosition("0;0;300;200", 1920, 1080).width, 300);
}

TEST(WindowPosition, InvalidPlacementsFallBackToTheMaximisedDefault) {
  for (const char* text :
       {"", "Maximized", "100,50 299x600", "100,50 800x199", "-1,50 800x600", "100,-5 800x600", "1200,50 800x600",
        "100,500 800x600", "100,50", "99999999999999,1 300x200", "1,1 99999999999999x300"}) {
    const WindowRect r = parseWindowPosition(text, 1920, 1080);
    EXPECT_TRUE(r.maximized) << text;
    EXPECT_EQ(r.x, 480) << text;
    EXPECT_EQ(r.y, 270) << text;
    EXPECT_EQ(r.width, 960) << text;
    EXPECT_EQ(r.height, 540) << text;
  }
  EXPECT_FALSE(parseWindowPosition("1120,480 800x600", 1920, 1080).maximized);  // fits exactly
}

TEST(WindowPosition, ReadFromTheSettings) {
  testing::ScriptedHost host;
  Context ctx(host);
  int screen = -1;
  EXPECT_TRUE(storedWindowPlacement(ctx, 800, 600, &screen).maximized);
  EXPECT_EQ(screen, 0);
  host.settings = {{"Window Position", "10,20 400x300"}, {"Window Screen", "9"}};
  const WindowRect r = storedWindowPlacement(ctx, 800, 600, &screen);
  EXPECT_FALSE(r.maximized);
  EXPECT_EQ(r.width, 400);
  EXPECT_EQ(screen, 1);
}

}  // namespace
}  // namespace trelmo
