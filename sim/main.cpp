// mx7350-sim: the register on a pseudo-terminal, so every action of the
// program can be tried without a register.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include <pthread.h>

#include "Fields.h"
#include "Simulator.h"

namespace {

const char Usage[] =
    "Usage: mx7350-sim --link PATH [options]\n"
    "Simulates a Lumera MX 7350 register on a pseudo-terminal and puts a symbolic\n"
    "link to it at PATH (a stale link there is replaced; it is removed at exit).\n"
    "\n"
    "Options:\n"
    "  --link PATH          where to put the link to the pseudo-terminal (required)\n"
    "  --sales N            start with N deterministic sales (default 12)\n"
    "  --baud N             pace the line at N bit/s, 10 bits a byte (default: no pacing)\n"
    "  --byte-delay MS      send one byte at a time, MS milliseconds apart\n"
    "  --bad-crc K          corrupt the CRC of the K-th data frame sent (from 1)\n"
    "  --silent-after K     send nothing after the K-th frame (0: never answer)\n"
    "  --refuse-write K[:C] refuse the K-th write record, with register code C (default 1)\n"
    "  --ack-timeout MS     how long an answer waits for each acknowledgement (default 5000)\n"
    "  --trace FILE         write every frame in both directions, time-stamped, in hex\n"
    "  --help               this text\n"
    "SIGINT or SIGTERM ends it cleanly.\n";

std::optional<int> Number(const char *text, int min) {
  const auto v = Sim::ParseInt32(text ? text : "");
  if (!v || *v < min) return std::nullopt;
  return *v;
}

int Bad(const std::string &why) {
  std::fprintf(stderr, "mx7350-sim: %s\n%s", why.c_str(), Usage);
  return 2;
}

}  // namespace

int main(int argc, char **argv) {
  std::string link, trace;
  Sim::TFaults faults;
  int sales = 12;
  for (int i = 1; i < argc; ++i) {
    const std::string opt = argv[i];
    if (opt == "--help" || opt == "-h") {
      std::fputs(Usage, stdout);
      return 0;
    }
    static const char *const known[] = {"--link", "--trace", "--refuse-write", "--sales",
                                        "--baud", "--byte-delay", "--bad-crc",
                                        "--silent-after", "--ack-timeout"};
    bool isKnown = false;
    for (const char *k : known) isKnown = isKnown || opt == k;
    if (!isKnown) return Bad("unknown option " + opt);
    const char *value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (!value) return Bad("option " + opt + " needs a value");
    ++i;
    std::optional<int> n;
    if (opt == "--link") {
      link = value;
      continue;
    }
    if (opt == "--trace") {
      trace = value;
      continue;
    }
    if (opt == "--refuse-write") {
      const char *colon = std::strchr(value, ':');
      n = Number(std::string(value, colon ? size_t(colon - value) : std::strlen(value)).c_str(), 1);
      if (!n) return Bad("--refuse-write needs a record number from 1");
      faults.RefuseWrite = *n;
      if (colon) {
        const auto code = Number(colon + 1, 1);
        if (!code || *code > 255) return Bad("--refuse-write: the code must be 1 to 255");
        faults.RefuseCode = uint8_t(*code);
      }
      continue;
    }
    const int min = opt == "--baud" || opt == "--bad-crc" || opt == "--ack-timeout" ? 1 : 0;
    n = Number(value, min);
    if (!n) return Bad("option " + opt + " needs a whole number from " + std::to_string(min));
    if (opt == "--sales") sales = *n;
    else if (opt == "--baud") faults.Baud = *n;
    else if (opt == "--byte-delay") faults.ByteDelayMs = *n;
    else if (opt == "--bad-crc") faults.BadCrcFrame = *n;
    else if (opt == "--silent-after") faults.SilentAfterFrame = *n;
    else if (opt == "--ack-timeout") faults.AckTimeoutMs = *n;
  }
  if (link.empty()) return Bad("--link PATH is required");

  // The signals are taken by sigwait below, so the thread never sees them and
  // the link is removed on every ordinary way out.
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGINT);
  sigaddset(&stop, SIGTERM);
  sigaddset(&stop, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &stop, nullptr);

  Sim::TSimulator sim;
  std::string error;
  if (!trace.empty() && !sim.OpenTrace(trace, error)) {
    std::fprintf(stderr, "mx7350-sim: %s\n", error.c_str());
    return 1;
  }
  sim.WithEngine([&](Sim::TEngine &e) {
    e.Sales.Clear();
    e.Sales.Seed(e.Tables, sales);
  });
  sim.SetFaults(faults);
  if (!sim.Start(link, error)) {
    std::fprintf(stderr, "mx7350-sim: %s\n", error.c_str());
    return 1;
  }
  std::printf("mx7350-sim: register on %s, linked at %s\n", sim.SlavePath().c_str(),
              sim.LinkPath().c_str());
  std::fflush(stdout);

  int sig = 0;
  sigwait(&stop, &sig);
  sim.Stop();
  const Sim::TStats st = sim.Stats();
  std::fprintf(stderr, "mx7350-sim: stopped (%llu frames in, %llu out, %llu refused)\n",
               (unsigned long long)st.FramesIn, (unsigned long long)st.FramesOut,
               (unsigned long long)st.Refused);
  return 0;
}
