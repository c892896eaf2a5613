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

// Values that blanks or brackets would change on their way through a line
// are written so that they read back as they were set.
TEST(ProfileIniTest, ValuesKeepTheirBlanksAndBrackets) {
  const struct {
    const char* entry;
    const char* value;
    const char* line;
  } rows[] = {
      {"File1", " /tmp/lead.tdx", "File1=\" /tmp/lead.tdx\""},
      {"File2", "/tmp/trail.tdx\t", "File2=\"/tmp/trail.tdx\t\""},
      {"File3", " ", "File3=\" \""},
      // Not a section header "[x=y]".
      {"[x", "y]", "[x=\"y]\""},
      {"[x]", "y", "[x]=y"},
      {"x", "y]", "x=y]"},
      // Quotes around a value are taken off in reading.
      {"File4", "\"quoted\"", "File4=\"\"quoted\"\""},
      {"File5", "\"", "File5=\""},
      {"File6", "a \"b\" c", "File6=a \"b\" c"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.entry);
    ProfileIni ini = ProfileIni::Parse("[S]\n");
    ini.Set("S", row.entry, row.value);
    EXPECT_EQ(ini.Serialize(), std::string("[S]\n") + row.line + "\n");
    EXPECT_EQ(Readout(ProfileIni::Parse(ini.Serialize())),
              std::string("[S]") + row.entry + "=" + row.value);
  }
}

// An edit leaves every other line of a file as it was: comments, blank
// lines, line ends, blanks, spelling and order.
TEST(ProfileIniTest, AnEditChangesOnlyItsOwnLine) {
  const std::string handMade =
      "; profile\r\n\r\n[Settings]\r\nCOM Port = 1  \r\n\r\n# recent\r\n[recent]\r\nLOMIRA-X=7\r\n";
  const struct {
    std::string before;
    const char* section;
    const char* entry;
    const char* value;  // empty: removed
    std::string after;
  } rows[] = {
      {handMade, "Settings", "COM Port", "3",
       "; profile\r\n\r\n[Settings]\r\nCOM Port = 3  \r\n\r\n# "
       "recent\r\n[recent]\r\nLOMIRA-X=7\r\n"},
      // A new entry follows the last one of its section.
      {handMade, "SETTINGS", "Baud", "9600",
       "; profile\r\n\r\n[Settings]\r\nCOM Port = 1  \r\nBaud=9600\r\n\r\n# recent\r\n[recent]\r\n"
       "LOMIRA-X=7\r\n"},
      // A new section goes at the end, its lines ending as the file's do.
      {handMade, "COM Ports", "COM3", "/dev/ttyUSB0",
       handMade + "\r\n[COM Ports]\r\nCOM3=/dev/ttyUSB0\r\n"},
      {"[S]\nx=1", "S", "y", "2", "[S]\nx=1\ny=2\n"},
      {"[S]\n; note\nx=1\ny=2\n", "S", "x", "", "[S]\n; note\ny=2\n"},
      // A section with a comment stays when its last entry goes.
      {"[S]\n; note\nx=1\n", "S", "x", "", "[S]\n; note\n"},
      {"[A]\nx=1\n\n[S]\nx=1\n", "S", "x", "", "[A]\nx=1\n"},
      // An entry written twice: the line that is read is the one written, and
      // a removal takes every line of it.
      {"[S]\nx=1\n; between\nx=2\n", "S", "x", "3", "[S]\nx=1\n; between\nx=3\n"},
      {"[S]\nx=1\n\n[s]\nx=2\n# end\n", "s", "x", "3", "[S]\nx=1\n\n[s]\nx=3\n# end\n"},
      {"[S]\nx=1\n[s]\nx=2\ny=0\n", "S", "x", "", "[s]\ny=0\n"},
      // An earlier version's lines are put in the plain form where they stand.
      {"; mine\n[Settings]\nCOM%20Port=3\n\n# recent\n", "Settings", "Baud", "9600",
       "; mine\n[Settings]\nCOM Port=3\nBaud=9600\n\n# recent\n"},
      {"[S]\nCOM%20Port=1\nCOM%20Port=\"2\"\n", "S", "COM Port", "5",
       "[S]\nCOM Port=1\nCOM Port=5\n"},
      // Removing what is not there changes nothing, whatever the file's form.
      {"[Settings]\nCOM%20Port=3\n", "Settings", "Other", "", "[Settings]\nCOM%20Port=3\n"},
      {"no line end", "S", "x", "", "no line end"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.before + " / " + row.entry);
    ProfileIni ini = ProfileIni::Parse(row.before);
    ini.Set(row.section, row.entry, row.value);
    EXPECT_EQ(ini.Serialize(), row.after);
  }
}

TEST(ProfileIniTest, NamesNoLineCanHoldAreRefused) {
  const std::string text = "[S]\nx=1\n";
  const struct {
    const char* section;
    const char* entry;
  } rows[] = {
      {"S", ""},     {"S", "a=b"},  {"S", "; x"}, {"S", "# x"}, {"S", " x"},    {"S", "x "},
      {"S", "a\nb"}, {"S", "100%"}, {"S\n", "x"}, {" S", "x"},  {"a%20b", "x"},
  };
  for (const auto& row : rows) {
    ProfileIni ini = ProfileIni::Parse(text);
    EXPECT_FALSE(ini.Set(row.section, row.entry, "2")) << row.section << "/" << row.entry;
    EXPECT_EQ(ini.Serialize(), text);
  }
  ProfileIni ini = ProfileIni::Parse(text);
  EXPECT_TRUE(ini.Set("", "top", "1"));
  EXPECT_EQ(ini.Get("", "top"), "1");
  EXPECT_EQ(ini.Get("s", "x"), "1");
  EXPECT_EQ(ini.Get("S", "X"), std::nullopt);
}

}  // namespace
}  // namespace tavrel
