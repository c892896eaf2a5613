// The line monitor's cost to the line: the whole-camera read (KESTRA-P/S, 50
// entries) against the virtual camera on a pty paced at 9600 baud, with no
// watcher at all, with the monitor recording but closed, and with it open
// and painting; the medians as ratios (goal: open at most 1.01 x closed).
// Then the memory 10,000 rows take, listed in the open monitor (goal: under
// 20 MB more). Figures only; nothing passes or fails.
// Usage: line_monitor_bench [rounds=5] [baud=9600]
#include <malloc.h>

#include <QApplication>
#include <QFile>
#include <QTableView>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/file_chooser.h"
#include "app/line_monitor.h"
#include "app/line_monitor_model.h"
#include "bench/bench_clock.h"
#include "link/user_prompt.h"
#include "model/camera_unit.h"
#include "model/line_decoder.h"
#include "sim/pty_camera.h"

using tavrel::bench::Seconds;

namespace {

constexpr double kGoalRatio = 1.01;
constexpr double kGoalMegabytes = 20.0;
constexpr int kKestra = 4;

class NoFiles : public tavrel::FileChooser {
 public:
  std::optional<QString> ChooseFileToOpen(const tavrel::FileRequest&) override { return {}; }
  std::optional<QString> ChooseFileToSave(const tavrel::FileRequest&) override { return {}; }
};

class SilentPrompt : public tavrel::UserPrompt {
 public:
  tavrel::MessageAnswer ShowMessage(const tavrel::MessageRequest& request) override {
    std::fprintf(stderr, "line_monitor_bench: %s\n", request.text.c_str());
    return tavrel::MessageAnswer::kOk;
  }
  bool HasMainWindow() const override { return false; }
  void SetStatusText(const std::string&) override {}
};

// Resident memory of the process (kB), from the kernel.
long ResidentKilobytes() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
  }
  return 0;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const int baud = argc > 2 ? std::atoi(argv[2]) : 9600;
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);

  sim::CameraOptions options;
  options.model = tavrel::CameraModelName(kKestra);
  options.paceBaud = baud;
  sim::PtyCamera virtualCamera(options);
  tavrel::cameraType = kKestra;
  tavrel::CameraUnit camera;
  camera.InitTable();
  for (int index = 0; index < tavrel::kParameterCount; ++index) camera.ResetValue(index);
  SilentPrompt prompt;
  camera.SetUserPrompt(&prompt);
  if (camera.OpenSerialDevice(virtualCamera.DevicePath(), baud) != 0) {
    std::fprintf(stderr, "line_monitor_bench: cannot open %s\n",
                 virtualCamera.DevicePath().c_str());
    return 1;
  }

  tavrel::LineMonitorModel rows;
  tavrel::LineDecoder decoder(camera, [&rows](tavrel::LineRow&& row) { rows.Add(std::move(row)); });
  NoFiles files;
  tavrel::CLineMonitor monitor(rows, files, prompt);
  monitor.resize(1000, 320);

  enum Mode { kNoWatcher, kClosed, kOpen, kModes };
  const char* names[kModes] = {"no watcher (before the monitor)", "monitor closed (recording)",
                               "monitor open"};
  std::vector<double> readSeconds[kModes];
  std::vector<double> viewSeconds[kModes];
  // The program's own processor time for the read (this thread; the camera
  // runs on its own): what watching adds, without the line's waits.
  std::vector<double> cpuSeconds[kModes];
  int failures = 0;
  for (int round = 0; round < rounds; ++round) {
    for (int step = 0; step < kModes; ++step) {
      // Every other round the other way round, so that the order weighs on
      // no mode.
      const int mode = round % 2 == 0 ? step : kModes - 1 - step;
      camera.WatchLine(mode == kNoWatcher ? nullptr : &decoder);
      if (mode == kOpen) {
        monitor.show();
      } else {
        monitor.hide();
      }
      QApplication::processEvents();
      const double start = Seconds(CLOCK_MONOTONIC);
      const double cpuStart = Seconds(CLOCK_THREAD_CPUTIME_ID);
      if (camera.ReadAllParameters() != 1) ++failures;
      const double read = Seconds(CLOCK_MONOTONIC);
      cpuSeconds[mode].push_back(Seconds(CLOCK_THREAD_CPUTIME_ID) - cpuStart);
      // What the program does next: the event loop runs, the rows show.
      rows.Publish();
      QApplication::processEvents();
      const double shown = Seconds(CLOCK_MONOTONIC);
      readSeconds[mode].push_back(read - start);
      viewSeconds[mode].push_back(shown - read);
    }
  }
  std::printf("whole-camera read, %d entries at %d baud (8N2), %d rounds, medians:\n", 50, baud,
              rounds);
  for (int mode = 0; mode < kModes; ++mode) {
    std::printf("  %-34s read %.4f s (CPU %.1f ms), then the view %.4f s\n", names[mode],
                Median(readSeconds[mode]), Median(cpuSeconds[mode]) * 1e3,
                Median(viewSeconds[mode]));
  }
  const double open = Median(readSeconds[kOpen]);
  const double closed = Median(readSeconds[kClosed]);
  const double none = Median(readSeconds[kNoWatcher]);
  std::printf("open / closed: %.4f (goal <= %.2f); closed / no watcher: %.4f\n", open / closed,
              kGoalRatio, closed / none);
  std::printf("open with the view's update / closed: %.4f\n",
              (open + Median(viewSeconds[kOpen])) / (closed + Median(viewSeconds[kClosed])));

  std::vector<tavrel::LineRow> sample;
  for (int row = 0; row < rows.rowCount(); ++row) sample.push_back(rows.RowAt(row));

  // What watching costs one exchange, without the line: the decoder and the
  // rows fed the read's exchanges again, 10,000 of them.
  {
    constexpr int kExchanges = 10000;
    const double cpuStart = Seconds(CLOCK_THREAD_CPUTIME_ID);
    for (int exchange = 0; exchange < kExchanges; ++exchange) {
      const tavrel::LineRow& seen = sample[static_cast<std::size_t>(exchange) % sample.size()];
      decoder.OnExchangeBegin("01FF810C000000", true, seen.atUs);
      for (const tavrel::LineBurst& burst : seen.bursts) {
        decoder.OnLineBytes(burst.direction,
                            reinterpret_cast<const std::uint8_t*>(seen.bytes.data()) + burst.offset,
                            burst.length, burst.atUs);
      }
      decoder.OnExchangeEnd(6, seen.atUs);
    }
    const double perExchangeUs = (Seconds(CLOCK_THREAD_CPUTIME_ID) - cpuStart) / kExchanges * 1e6;
    // ENQ, ACK, 18-byte frame, ACK, 10-byte reply, ACK: 32 characters of 11 bits.
    const double wireUs = 32.0 * 11.0 / baud * 1e6;
    std::printf(
        "watching one exchange: %.1f us of processor time against %.0f us on the wire "
        "(%.5f of it)\n",
        perExchangeUs, wireUs, perExchangeUs / wireUs);
  }

  // Memory: 10,000 rows, the whole read's rows over and over, listed in the
  // open monitor.
  rows.Clear();
  QApplication::processEvents();
  malloc_trim(0);
  const long residentBefore = ResidentKilobytes();
  const std::size_t heapBefore = mallinfo2().uordblks;
  const int capacity = rows.Capacity();
  for (int row = 0; row < capacity; ++row) {
    tavrel::LineRow copy = sample[static_cast<std::size_t>(row) % sample.size()];
    copy.number = static_cast<std::uint64_t>(row) + 1;
    rows.Add(std::move(copy));
  }
  rows.Publish();
  monitor.show();
  monitor.Table()->scrollToBottom();
  QApplication::processEvents();
  const double heap = static_cast<double>(mallinfo2().uordblks - heapBefore) / (1024.0 * 1024.0);
  const double resident = static_cast<double>(ResidentKilobytes() - residentBefore) / 1024.0;
  std::printf(
      "%d rows listed: heap %.1f MB more, resident %.1f MB more (goal < %.0f MB), %.0f "
      "bytes a row\n",
      rows.rowCount(), heap, resident, kGoalMegabytes, heap * 1024.0 * 1024.0 / rows.rowCount());
  camera.WatchLine(nullptr);
  return failures == 0 ? 0 : 1;
}
