// Command lines of scripts: the three quoted arguments and the interpreter form.
#include "scripting/script_command_line.h"

#include <gtest/gtest.h>

namespace hf {

TEST(ScriptCommandLine, QuotesEachOfTheThreeArgumentsAndTheInterpreterFormQuotesTheWholeLineOnceMore) {
  EXPECT_EQ(ScriptCommandLine("C:\\Scripts\\a b.exe", "C:\\hot\\_.script\\x & y.ps", "C:\\hot\\_.script"),
            "\"C:\\Scripts\\a b.exe\" \"C:\\hot\\_.script\\x & y.ps\" \"C:\\hot\\_.script\"");
  EXPECT_EQ(InterpreterCommandLine("C:\\windows\\system32\\cmd.exe", "\"C:\\a b\\s.cmd\" \"x & y\" \"z\""),
            "\"C:\\windows\\system32\\cmd.exe\" /d /s /c \"\"C:\\a b\\s.cmd\" \"x & y\" \"z\"\"");
}

TEST(CommandLineProgram, TakesTheFirstArgumentWithoutItsQuotes) {
  EXPECT_EQ(CommandLineProgram("\"C:\\a b\\s.cmd\" \"x\" \"y\""), "C:\\a b\\s.cmd");
  EXPECT_EQ(CommandLineProgram("C:\\s.exe\tx y"), "C:\\s.exe");
  EXPECT_EQ(CommandLineProgram("\"C:\\open quote.cmd"), "C:\\open quote.cmd");
  EXPECT_EQ(CommandLineProgram(""), "");
}

TEST(IsBatchFile, KnowsCmdAndBatInAnyCase) {
  for (const char* path : {"a.CMD", "C:\\x y\\b.Bat"}) EXPECT_TRUE(IsBatchFile(path)) << path;
  for (const char* path : {"a.cmd.exe", "C:\\x.cmd\\a", "a.cm", "a.batch"}) EXPECT_FALSE(IsBatchFile(path)) << path;
}

}  // namespace hf
