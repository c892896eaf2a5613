#include "model/profile_ini.h"

#include <gtest/gtest.h>

#include <string>

namespace tavrel {
namespace {

// "[section]name=value;name=value" per section, so a whole file's reading
// compares as one text.
std::string Readout(const ProfileIni& ini) {
  std::string text;
  for (const ProfileSection& section : ini.Sections()) {
    text += '[' + section.name + ']';
    for (std::size_t i = 0; i < section.entries.size(); ++i) {
      text += (i == 0 ? "" : ";") + section.entries[i].name + '=' + section.entries[i].value;
    }
  }
  return text;
}

TEST(ProfileIniTest, ReadsPlainFiles) {
  const struct {
    const char* text;
    const char* readout;
  } cases[] = {
      {"", ""},
      {"[Settings]\nCOM Port=1\n", "[Settings]COM Port=1"},
      // Blanks around names and values, Windows line ends, comments, lines
      // that are not entries, no line end at the end.
      {"  [ Recent File List ]  \r\n ; note\r\n# note\r\n\r\nno equals\r\n=nameless\r\n"
       " File1 = /tmp/a b.tdx \r\nFile2=x=y",
       "[Recent File List]File1=/tmp/a b.tdx;File2=x=y"},
      // Sections spelled differently are one, under the first spelling; an
      // entry keeps its first place and its last value.
      {"[Recent]\nLOMIRA-X=1\nA=1\n\n[Settings]\nCOM Port=2\n[RECENT]\nLOMIRA-X=3\nB=4\n",
       "[Recent]LOMIRA-X=3;A=1;B=4[Settings]COM Port=2"},
      // Entry names are matched exactly.
      {"[S]\nkey=1\nKEY=2\n", "[S]key=1;KEY=2"},
      // Entries before any header.
      {"top=1\n[S]\nx=2\n", "[]top=1[S]x=2"},
      // A plain file's values are taken as they stand: no quotes or escapes.
      {"[S]\nv=\"C:\\temp\\new\" @@x\nw=@@y\n", "[S]v=\"C:\\temp\\new\" @@x;w=@@y"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Readout(ProfileIni::Parse(c.text)), c.readout);
  }
}

// What earlier versions wrote: a name with a '%' marks the whole file as
// theirs, and every name and value in it is decoded.
TEST(ProfileIniTest, ReadsWhatEarlierVersionsWrote) {
  const struct {
    const char* text;
    const char* readout;
  } cases[] = {
      {"[Recent%20File%20List]\nFile1=\"/tmp/a b.tdx\"\n[recent%20file%20list]\nFile2=/c\n",
       "[Recent File List]File1=/tmp/a b.tdx;File2=/c"},
      // Name escapes: bytes of UTF-8, UTF-16 code units (a surrogate pair
      // joined), and a '%' that starts no escape.
      {"[S]\nCOM%20Port=1\ncaf%C3%A9=2\n%U00E9t%U00E9=3\n%UD83D%UDE00=4\n100%=5\n",
       "[S]COM Port=1;caf\xC3\xA9=2;\xC3\xA9t\xC3\xA9=3;\xF0\x9F\x98\x80=4;100%=5"},
      // Value escapes: quotes dropped, backslash escapes, "\x" code units
      // (a lone surrogate replaced), "@@" for a leading "@".
      {"[S]\nCOM%20Port=3\n"
       "a=\"/tmp/\\\"\\xe9\\\"\\\\x.tdx\"\n"
       "b=\"line\\none\\ttab\\rret\"\n"
       "c=@@/tmp/e.tdx\n"
       "d=\\xd83d\\xde00|\\xd83dz\n"
       "e=\\q\\\n",
       "[S]COM Port=3;a=/tmp/\"\xC3\xA9\"\\x.tdx;b=line\none\ttab\rret;c=@/tmp/e.tdx;"
       "d=\xF0\x9F\x98\x80|\xEF\xBF\xBDz;e=q\\"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Readout(ProfileIni::Parse(c.text)), c.readout);
  }
}

TEST(ProfileIniTest, WritesNamesPlainlyAndNoEmptyEntries) {
  ProfileIni ini;
  ini.Set("Settings", "COM Port", "1");
  ini.Set("Recent File List", "File1", "/tmp/a b.tdx");
  ini.Set("Recent File List", "File2", "/tmp/c,d;e.tdx");
  ini.Set("Recent File List", "File3", "");
  ini.Set("Recent File List", "File4", "two\nlines");
  ini.Set("Recent File List", "File5", "ret\r");
  ini.Set("Empty", "File1", "");
  ini.Set("top", "gone", "1");
  ini.Remove("TOP", "gone");
  ini.Set("", "top", "1");  // before any header, though set last
  EXPECT_EQ(ini.Serialize(),
            "top=1\n"
            "\n"
            "[Settings]\n"
            "COM Port=1\n"
            "\n"
            "[Recent File List]\n"
            "File1=/tmp/a b.tdx\n"
            "File2=/tmp/c,d;e.tdx\n");
}

TEST(ProfileIniTest, SetFindsTheSectionWhateverItsCase) {
  ProfileIni ini = ProfileIni::Parse("[Recent]\nLOMIRA-X=7\nFile1=/a.tdx\n\n[Settings]\nx=1\n");
  ini.Set("RECENT", "LOMIRA-X", "12345");
  ini.Set("recent", "New", "2");
  ini.Set("Other", "y", "3");
  ini.Remove("settings", "x");
  ini.Remove("Missing", "x");
  EXPECT_EQ(ini.Serialize(), "[Recent]\nLOMIRA-X=12345\nFile1=/a.tdx\nNew=2\n\n[Other]\ny=3\n");
}

// Whatever the program can store reads back the same, earlier file or not.
TEST(ProfileIniTest, WrittenValuesReadBackUnchanged) {
  const char* const values[] = {
      "/tmp/a b.tdx", "/tmp/c,d;e.tdx", "x=y", "\"quoted\"",     "C:\\temp\\new", "%20", "@@x",
      "@x",           "\xC3\xA9",       "[x]", "; not a comment"};
  for (const char* earlierName : {"Settings", "Old%20Name"}) {
    ProfileIni ini = ProfileIni::Parse(std::string("[") + earlierName + "]\nx=1\n");
    for (std::size_t i = 0; i < std::size(values); ++i) {
      ini.Set("Recent File List", "File" + std::to_string(i), values[i]);
    }
    const ProfileIni reread = ProfileIni::Parse(ini.Serialize());
    EXPECT_EQ(Readout(reread), Readout(ini)) << earlierName;
  }
}

}  // namespace
}  // namespace tavrel
