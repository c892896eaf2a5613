// Start-up of the window program: time from process start until the main
// window is shown with the start-up read done (virtual camera on COM1, no line
// pacing), and the peak memory of the process. Reported against the goals
// (0.5 s, 80 MB) as ratios; nothing here passes or fails.
// Usage: app_startup_bench [program] [runs]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr double kGoalSeconds = 0.5;
constexpr double kGoalMegabytes = 80.0;

struct Run {
  double seconds = 0;
  double megabytes = 0;
  int status = -1;
};

Run StartOnce(const char* program) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    execl(program, program, "--simulate", "--connect", "com1:9600", "--model", "KESTRA-P/S",
          "--exit-when-shown", static_cast<char*>(nullptr));
    _exit(127);
  }
  Run run;
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child) return run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.megabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  const char* program = argc > 1 ? argv[1] : TAVREL_PROGRAM;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  // No display, a private profile and a private hand-over channel.
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  char profile[] = "/tmp/tavrel-bench-XXXXXX";
  if (mkdtemp(profile) == nullptr) return 1;
  setenv("XDG_CONFIG_HOME", profile, 1);
  setenv("TAVREL_INSTANCE_NAME", (std::string("tavrel-bench-") + std::to_string(getpid())).c_str(),
         1);

  std::vector<double> seconds;
  double peak = 0;
  for (int i = 0; i < runs; ++i) {
    const Run run = StartOnce(program);
    if (run.status != 0) {
      std::fprintf(stderr, "app_startup_bench: %s ended with status %d\n", program, run.status);
      return 1;
    }
    seconds.push_back(run.seconds);
    peak = std::max(peak, run.megabytes);
  }
  std::sort(seconds.begin(), seconds.end());
  const double median = seconds[seconds.size() / 2];
  std::printf(
      "start-up to main window shown: median %.3f s (min %.3f s) over %d runs, %.2f of the %.1f s "
      "goal\n",
      median, seconds.front(), runs, median / kGoalSeconds, kGoalSeconds);
  std::printf("peak memory (ru_maxrss): %.1f MB, %.2f of the %.0f MB goal\n", peak,
              peak / kGoalMegabytes, kGoalMegabytes);
  std::error_code ignored;
  std::filesystem::remove_all(profile, ignored);
  return 0;
}
