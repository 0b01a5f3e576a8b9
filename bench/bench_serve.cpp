// The HTTP service's figures, over loopback against simulators in this
// process: its own time from a request to the register seeing the command;
// a paced read of 10,000 PLUs with 1000 GET /v1/projects a second beside it,
// against the same read alone; two registers programmed with 1000 PLUs each
// at once, against one alone. Prints, asserts nothing.
//   bench_serve [PLUS_TO_READ] [PLUS_TO_PROGRAM]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include <httplib.h>

#include <QCoreApplication>

#include "AtomicFile.h"
#include "HostSteal.h"
#include "ProgramDir.h"
#include "RegisterLink.h"
#include "SerialSettings.h"
#include "Service.h"
#include "Simulator.h"

namespace {

using TClock = std::chrono::steady_clock;
constexpr int Baud = 57600;

double Ms(TClock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Two registers, "casa1" on COM1 and "casa2" on COM2, and the service over
// them on a free loopback port.
struct TBench {
  std::string Home;
  Sim::TSimulator Sims[2];
  std::unique_ptr<TServeService> Service;
  std::thread Runner;

  bool Start() {
    char tmpl[] = "/tmp/bench_serve.XXXXXX";
    if (!mkdtemp(tmpl)) return false;
    Home = std::string(tmpl) + "/";
    SetProgramDirectory(Home);
    std::string err;
    for (int i = 0; i < 2; ++i) {
      if (!Sims[i].Start(Home + "sim" + std::to_string(i + 1), err)) {
        std::fprintf(stderr, "bench_serve: %s\n", err.c_str());
        return false;
      }
      const std::string dir = Home + "casa" + std::to_string(i + 1);
      std::system(("mkdir -p '" + dir + "'").c_str());
      SaveSerialSettings(dir, {i + 1, 3});
    }
    WriteFileAtomic(TarvoIniPath(), "[Porturi]\r\nCOM1=sim1\r\nCOM2=sim2\r\n");
    TServeOptions o;
    o.Port = 0;
    o.QueueTimeout = std::chrono::minutes(30);
    Service = std::make_unique<TServeService>(o);
    if (!Service->Bind(err)) {
      std::fprintf(stderr, "bench_serve: %s\n", err.c_str());
      return false;
    }
    Runner = std::thread([this] { Service->Run(); });
    return true;
  }
  ~TBench() {
    if (Service) {
      Service->Stop();
      Runner.join();
    }
    for (auto &s : Sims) s.Stop();
    if (!Home.empty()) std::system(("rm -rf '" + Home + "'").c_str());
  }
  void Pace(bool paced) {
    Sim::TFaults f;
    if (paced) f.Baud = Baud;
    for (auto &s : Sims) s.SetFaults(f);
  }
  int Post(const std::string &path, const std::string &body, const char *type = "application/json") {
    httplib::Client c("127.0.0.1", Service->Port());
    c.set_read_timeout(std::chrono::minutes(30));
    const auto r = c.Post(path.c_str(), body, type);
    return r ? r->status : -1;
  }
};

// When the register's engine sees the next frame from the computer.
struct TFrameSeen {
  std::atomic<long long> At{0};  // steady clock, ns; 0: not yet
  void Hook(Sim::TSimulator &sim) {
    sim.WithEngine([this](Sim::TEngine &e) {
      auto previous = e.OnTrace;
      e.OnTrace = [this, previous](Sim::Clock::time_point at, const std::string &line) {
        if (line.rfind("pc>", 0) == 0 && At == 0) At = at.time_since_epoch().count();
        if (previous) previous(at, line);
      };
    });
  }
  double MsSince(TClock::time_point from) const {
    return Ms(TClock::time_point(TClock::duration(At.load())) - from);
  }
};

void Percentiles(const char *what, std::vector<double> v) {
  std::sort(v.begin(), v.end());
  std::printf("  %-44s median %6.2f ms   p95 %6.2f ms   (%zu runs)\n", what, v[v.size() / 2],
              v[v.size() * 95 / 100], v.size());
}

void CommandLatency(TBench &b) {
  std::printf("request to the register seeing the command (unpaced line, the drawer report):\n");
  b.Pace(false);
  TFrameSeen seen;
  seen.Hook(b.Sims[0]);
  std::vector<double> viaHttp, direct, own;
  TProjectContext project;
  project.Dir = b.Home + "casa1";
  httplib::Client client("127.0.0.1", b.Service->Port());
  for (int i = 0; i < 200; ++i) {
    seen.At = 0;
    const auto t0 = TClock::now();
    const auto r = client.Post("/v1/projects/casa1/reports/drawer", "", "application/json");
    if (!r || r->status != 200) continue;
    const double http = seen.MsSince(t0);
    // The same read through the logic class alone: what the service adds
    // is the difference.
    seen.At = 0;
    TLineList lines;
    const auto t1 = TClock::now();
    ReadAnswer(project, "RSX0001007", lines);
    const double alone = seen.MsSince(t1);
    viaHttp.push_back(http);
    direct.push_back(alone);
    own.push_back(http - alone);
  }
  Percentiles("through the service", viaHttp);
  Percentiles("the logic class called directly", direct);
  Percentiles("the service's own share (goal < 5 ms)", own);
}

void FillPlus(Sim::TSimulator &sim, int count) {
  sim.WithEngine([count](Sim::TEngine &e) {
    e.Tables.Plus.clear();
    for (int i = 1; i <= count; ++i) {
      Sim::TPlu p;
      p.Cod = i;
      p.Nume = "ARTICOL " + std::to_string(i);
      p.CodDep = 1;
      p.CodUM = 1;
      p.Pret1 = 250;
      e.Tables.Plus[i] = p;
    }
  });
}

double TimedRead(TBench &b) {
  const auto t0 = TClock::now();
  const int status = b.Post("/v1/projects/casa1/tables/plu/read", "");
  if (status != 200) std::printf("  read answered %d\n", status);
  return Ms(TClock::now() - t0) / 1000;
}

void ReadUnderLoad(TBench &b, int plus) {
  std::printf("a paced read of %d PLUs (%d bit/s) alone and with 1000 GET /v1/projects a second:\n", plus, Baud);
  FillPlus(b.Sims[0], plus);
  b.Pace(true);
  double steal = StealSeconds();
  const double alone = TimedRead(b);
  std::printf("  alone:                    %8.2f s%s\n", alone, StealNote(steal, alone).c_str());

  std::atomic<bool> reading{true};
  std::atomic<long> answered{0}, failed{0};
  std::thread load([&] {
    httplib::Client c("127.0.0.1", b.Service->Port());
    c.set_keep_alive(true);
    auto next = TClock::now();
    while (reading) {
      const auto r = c.Get("/v1/projects");
      (r && r->status == 200 ? answered : failed)++;
      next += std::chrono::milliseconds(1);
      std::this_thread::sleep_until(next);
    }
  });
  steal = StealSeconds();
  const double loaded = TimedRead(b);
  reading = false;
  load.join();
  std::printf("  with the GETs:            %8.2f s%s\n", loaded, StealNote(steal, loaded).c_str());
  std::printf("  GETs answered             %8.0f a second (%ld failed)\n", double(answered) / loaded, long(failed));
  std::printf("  the read's time over alone: %+6.2f %% (goal < +1 %%)\n", (loaded / alone - 1) * 100);
}

void TwoRegisters(TBench &b, int plus) {
  std::printf("%d PLUs programmed, paced at %d bit/s, into one register and into two at once:\n", plus, Baud);
  std::string list;
  for (int cod = 1; cod <= plus; ++cod)
    list += std::to_string(cod) + ";\"ARTICOL " + std::to_string(cod) + "\";;1;1;2.50;0;0\r\n";
  b.Pace(true);
  double steal = StealSeconds();
  auto t0 = TClock::now();
  b.Post("/v1/projects/casa1/plu", list, "text/plain");
  const double one = Ms(TClock::now() - t0) / 1000;
  std::printf("  one register:             %8.2f s%s\n", one, StealNote(steal, one).c_str());
  steal = StealSeconds();
  t0 = TClock::now();
  auto a = std::async(std::launch::async, [&] { return b.Post("/v1/projects/casa1/plu", list, "text/plain"); });
  auto c = std::async(std::launch::async, [&] { return b.Post("/v1/projects/casa2/plu", list, "text/plain"); });
  const int sa = a.get(), sc = c.get();
  const double two = Ms(TClock::now() - t0) / 1000;
  std::printf("  two at once:              %8.2f s%s (answers %d, %d)\n", two, StealNote(steal, two).c_str(), sa, sc);
  std::printf("  two over one:             %+6.2f %% (goal < +2 %%)\n", (two / one - 1) * 100);
}

}  // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  const int readPlus = argc > 1 ? std::atoi(argv[1]) : 10000;
  const int programPlus = argc > 2 ? std::atoi(argv[2]) : 1000;
  TBench b;
  if (!b.Start()) return 1;
  CommandLatency(b);
  TwoRegisters(b, programPlus);
  ReadUnderLoad(b, readPlus);
  return 0;
}
