// The tavrelctl sessions shown in README.md, run against the built program:
// every "$ " line of a code block that runs tavrelctl, with the lines under it
// as the output it must print (stdout and stderr as a terminal shows them; a
// "..." stands for any text, and a line of "..." alone for any number of
// lines, where the output depends on the machine), "echo $?" for the exit status of the command
// before it, and a "# sends BODY" comment for a message body the line must
// carry. Any other command must succeed.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/file_bytes.h"
#include "tests/support/run_process.h"
#include "tests/support/temp_folder.h"
#include "tests/support/text_lines.h"

namespace tavrel {
namespace {

using testing::Lines;
using testing::ProcessResult;
using testing::ReadBytes;
using testing::RunProcess;
using testing::TempFolder;

struct Example {
  int line = 0;  // in README.md
  std::string command;
  std::vector<std::string> output;
};

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.rfind(prefix, 0) == 0;
}

// The sessions: the "$ " lines of each code block with a tavrelctl command,
// in order.
std::vector<std::vector<Example>> Sessions(const std::string& readme) {
  std::vector<std::vector<Example>> sessions;
  std::vector<Example> block;
  bool inBlock = false;
  std::istringstream in(readme);
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (StartsWith(line, "```")) {
      const bool runsTavrelctl = std::any_of(block.begin(), block.end(), [](const Example& e) {
        return StartsWith(e.command, "tavrelctl ");
      });
      if (inBlock && runsTavrelctl) sessions.push_back(block);
      block.clear();
      inBlock = !inBlock;
    } else if (inBlock && StartsWith(line, "$ ")) {
      block.push_back({number, line.substr(2), {}});
    } else if (inBlock && !block.empty()) {
      block.back().output.push_back(line);
    }
  }
  return sessions;
}

// A line as a pattern: "..." is any text, the rest is literal.
bool Matches(const std::string& expected, const std::string& actual) {
  std::string pattern;
  for (std::size_t at = 0; at < expected.size();) {
    if (expected.compare(at, 3, "...") == 0) {
      pattern += ".*";
      at += 3;
      continue;
    }
    const char c = expected[at++];
    if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos) pattern += '\\';
    pattern += c;
  }
  return std::regex_match(actual, std::regex(pattern));
}

// Whether `actual` is what `shown` shows, line by line; a shown line of "..."
// alone stands for any number of printed lines.
bool LinesMatch(const std::vector<std::string>& shown, const std::vector<std::string>& actual,
                std::size_t s = 0, std::size_t a = 0) {
  if (s == shown.size()) return a == actual.size();
  if (shown[s] == "...") {
    for (std::size_t skip = a; skip <= actual.size(); ++skip) {
      if (LinesMatch(shown, actual, s + 1, skip)) return true;
    }
    return false;
  }
  return a < actual.size() && Matches(shown[s], actual[a]) &&
         LinesMatch(shown, actual, s + 1, a + 1);
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

const std::string kSendsMark = "# sends ";

TEST(ReadmeExamples, EveryTavrelctlSessionPrintsWhatTheReadmeShows) {
  const auto sessions = Sessions(ReadBytes(README_PATH));
  ASSERT_FALSE(sessions.empty());
  const std::string folder = std::filesystem::path(TAVRELCTL_PATH).parent_path().string();
  for (const std::vector<Example>& session : sessions) {
    const TempFolder dir("readme-example");
    int lastStatus = 0;
    for (std::size_t i = 0; i < session.size(); ++i) {
      const Example& example = session[i];
      SCOPED_TRACE("README.md:" + std::to_string(example.line) + ": " + example.command);
      std::vector<std::string> output;
      if (example.command == "echo $?") {
        output = {std::to_string(lastStatus)};
      } else {
        std::string command = example.command;
        const std::size_t sends = command.find(kSendsMark);
        const std::string trace = dir.File("line.txt");
        if (sends != std::string::npos) {
          command.replace(0, std::string("tavrelctl").size(), "tavrelctl --trace " + trace);
        }
        // The program as a user runs it, from a folder of its own; nothing is
        // behind COM5 ("/dev/ttyS4" might be).
        const ProcessResult r = RunProcess(
            {"/bin/sh", "-c",
             "PATH=\"$0:$PATH\" TAVREL_COM5=/nonexistent/com5 XDG_CONFIG_HOME=\"$1/config\"; "
             "export PATH TAVREL_COM5 XDG_CONFIG_HOME; cd \"$1\" && { " +
                 command + "\n} 2>&1",
             folder, dir.Path().string()});
        lastStatus = r.exitStatus;
        const bool statusShown = i + 1 < session.size() && session[i + 1].command == "echo $?";
        if (!statusShown) {
          EXPECT_EQ(r.exitStatus, 0) << r.out;
        }
        output = Lines(r.out);
        if (sends != std::string::npos) {
          const std::string body = command.substr(command.find(kSendsMark) + kSendsMark.size());
          EXPECT_NE(ReadBytes(trace).find("|." + body + "."), std::string::npos)
              << ReadBytes(trace);
        }
      }
      EXPECT_TRUE(LinesMatch(example.output, output)) << "shown:\n"
                                                      << Joined(example.output) << "printed:\n"
                                                      << Joined(output);
    }
  }
}

}  // namespace
}  // namespace tavrel
