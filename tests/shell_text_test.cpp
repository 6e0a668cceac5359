// The command-line switch and the number formatter: pure functions.
#include <gtest/gtest.h>

#include <string>

#include "shell/shell.h"
#include "shell/state.h"

namespace {

TEST(Switch, OnlyTheCharacterAfterTheFirstSlashOrElseTheFirstDashCounts) {
  const struct {
    const char* commandLine;
    int mode;
  } cases[] = {
      {"", Interactive},      {"/S", Silent},
      {"/s", Silent},         {"-S", Silent},
      {"-s", Silent},         {"install/silent now", Silent},  // a slash in the middle of a word counts
      {"x-s", Silent},        {"/", Interactive},              // nothing after it
      {"-", Interactive},     {"/Q", Interactive},
      {"/ S", Interactive},   {"-s /q", Interactive},  // the slash is found first
      {"-q /s", Silent},      {"-q -s", Interactive},  // only the first dash
      {"/q /s", Interactive},                          // only the first slash
      {"S", Interactive},     {"/\xd3", Interactive},  // not an ASCII letter
  };
  for (const auto& c : cases) EXPECT_EQ(modeFromCommandLine(c.commandLine), c.mode) << "\"" << c.commandLine << "\"";
}

TEST(FormatThousands, PutsACommaAfterEveryThirdDigitFromTheRight) {
  const struct {
    DWORD value;
    const char* text;
  } cases[] = {
      {0, "0"},
      {7, "7"},
      {999, "999"},
      {1000, "1,000"},
      {10000, "10,000"},
      {100000, "100,000"},
      {759788, "759,788"},
      {1000000, "1,000,000"},
      {1234567, "1,234,567"},
      {2147483647, "2,147,483,647"},
      {4294967295u, "4,294,967,295"},  // the whole unsigned range fits the buffer
  };
  for (const auto& c : cases) {
    char buffer[NUMBER_TEXT_SIZE];
    EXPECT_STREQ(formatThousands(c.value, buffer), c.text);
    EXPECT_EQ(formatThousands(c.value, buffer), buffer);
  }
}

TEST(QueryRoot, CutsTheFirst32CharactersAfterTheirLastBackslash) {
  const struct {
    const char* path;
    const char* root;
  } cases[] = {
      {"C:\\WINDOWS", "C:\\"},
      {"C:\\WINDOWS\\", "C:\\WINDOWS\\"},
      {"D:\\OS\\WINDOWS", "D:\\OS\\"},
      {"C:\\", "C:\\"},
      // Only the first 32 characters are searched for the last backslash.
      {"C:\\Systems\\Microsoft\\Windows-Folders\\SYS", "C:\\Systems\\Microsoft\\"},
      {"C:\\Operating Systems And Such Things\\WINDOWS", "C:\\"},
      {"C:", "C:"},  // no backslash: queried as it is
  };
  for (const auto& c : cases) {
    char root[QUERY_ROOT_SIZE];
    queryRoot(c.path, root);
    EXPECT_STREQ(root, c.root) << c.path;
  }
}

TEST(JoinPath, AddsABackslashOnlyWhenTheDirectoryLacksOne) {
  char path[MAX_PATH];
  EXPECT_TRUE(joinPath(path, sizeof path, "C:\\WINDOWS", "A.SCR"));
  EXPECT_STREQ(path, "C:\\WINDOWS\\A.SCR");
  EXPECT_TRUE(joinPath(path, sizeof path, "C:\\", "A.SCR"));
  EXPECT_STREQ(path, "C:\\A.SCR");
}

TEST(JoinPath, SaysWhenThePathDoesNotFit) {
  std::string name(MAX_PATH - 12, 'N');  // with "C:\\WINDOWS\\" exactly 259 characters
  char path[MAX_PATH];
  EXPECT_TRUE(joinPath(path, sizeof path, "C:\\WINDOWS", name.c_str()));
  EXPECT_EQ(std::string(path).size(), (size_t)MAX_PATH - 1);
  name += "N";
  EXPECT_FALSE(joinPath(path, sizeof path, "C:\\WINDOWS", name.c_str()));
  EXPECT_EQ(std::string(path).size(), (size_t)MAX_PATH - 1);  // cut, never overrun
}

}  // namespace
