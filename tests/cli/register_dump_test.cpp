// tavrelctl's reg dump in this process, on lines that stop answering: the
// dump ends with the row that found the line gone.
#include <gtest/gtest.h>

#include <CLI/CLI.hpp>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli/register_command.h"
#include "model/camera_unit.h"
#include "tests/support/idle_transport.h"
#include "tests/support/recording_prompt.h"

namespace tavrel {
namespace {

struct Dump {
  int status = -1;
  std::string out;
};

// "tavrelctl reg ARGS" against `camera`.
Dump RunReg(std::vector<std::string> args, CameraUnit& camera) {
  CLI::App app{"tavrelctl"};
  const cli::RegisterCommand reg(app);
  args.insert(args.begin(), "reg");
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  app.parse(reversed);
  std::ostringstream out;
  Dump dump;
  dump.status = reg.Run(camera, out);
  dump.out = out.str();
  return dump;
}

// A line that never answers: the first row times out after all its
// retries, and no other row is tried.
TEST(RegisterDump, ATimeOutEndsTheDump) {
  for (const bool json : {false, true}) {
    testing::RecordingPrompt prompt;
    CameraUnit camera;
    camera.SetUserPrompt(&prompt);
    camera.AttachTransport(std::make_unique<testing::IdleTransport>(), 1, 9600);
    std::vector<std::string> args = {"dump", "tg"};
    if (json) args.push_back("--json");
    const Dump dump = RunReg(args, camera);
    EXPECT_EQ(dump.status, 3);
    EXPECT_EQ(prompt.MessageTexts(),
              std::vector<std::string>{"ERROR - Communication time out detected.\n"
                                       "Check the connection."});
    if (json) {
      const auto rows = nlohmann::json::parse(dump.out)["rows"];
      ASSERT_EQ(rows.size(), 1u);
      EXPECT_EQ(rows[0]["address"], "00");
      EXPECT_TRUE(rows[0]["data"].is_null());
    } else {
      EXPECT_EQ(dump.out, "");
    }
  }
}

}  // namespace
}  // namespace tavrel
