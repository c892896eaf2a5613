// The hand-off request and answer between a starting program and the one
// already running.
#include "model/handed_file_message.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tavrel {
namespace {

TEST(HandedFileMessage, ThePathIsTheLineWithoutBlanksAtItsEnds) {
  using namespace std::string_literals;
  const struct {
    std::string line;
    std::optional<std::string> path;
  } rows[] = {
      {"/home/anna/station 4.tdx\n", "/home/anna/station 4.tdx"},
      {" \t/tmp/a.tdx\r\n", "/tmp/a.tdx"},
      {"/tmp/a.tdx", "/tmp/a.tdx"},  // no line feed: the sender ended early
      {"/tmp/\xc3\xa9t\xc3\xa9.tdx\n", "/tmp/\xc3\xa9t\xc3\xa9.tdx"},
      {"\n", std::nullopt},
      {"", std::nullopt},
      {"/tmp/a\0b.tdx\n"s, std::nullopt},         // no path holds a NUL
      {"/tmp/\xe9t\xe9.tdx\n", std::nullopt},     // Latin-1, not UTF-8
      {"/tmp/\xc0\xaf.tdx\n", std::nullopt},      // an overlong '/'
      {"/tmp/\xed\xa0\x80.tdx\n", std::nullopt},  // a surrogate
      {"/tmp/a\nb.tdx\n", std::nullopt},          // two lines are two requests
  };
  for (const auto& row : rows) {
    EXPECT_EQ(HandedFilePath(row.line), row.path) << row.line;
    if (row.path) {
      EXPECT_EQ(HandedFilePath(HandedFileRequest(*row.path).value()), row.path);
    }
  }
  EXPECT_EQ(HandedFileRequest("/tmp/a.tdx"), "/tmp/a.tdx\n");
  // A path a request line cannot carry whole is not sent.
  for (const char* path : {"/tmp/a\nb.tdx", "/tmp/a.tdx ", "", "/tmp/\xe9.tdx"}) {
    EXPECT_EQ(HandedFileRequest(path), std::nullopt) << path;
  }
}

TEST(HandedFileMessage, OnlyOkSaysTheFileWasTaken) {
  EXPECT_TRUE(IsHandedFileTaken(kHandedFileTaken));
  EXPECT_TRUE(IsHandedFileTaken("ok"));
  EXPECT_FALSE(IsHandedFileTaken(""));
  EXPECT_FALSE(IsHandedFileTaken("o"));
  EXPECT_FALSE(IsHandedFileTaken("no\n"));
}

}  // namespace
}  // namespace tavrel
