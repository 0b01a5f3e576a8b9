// bench_net: the register behind a serial device server. The simulator
// (unpaced: as fast as the pseudo-terminal goes) is read and programmed
// over the local pseudo-terminal, then through a real ser2net at its
// defaults (Nagle's algorithm on at the server) over tcp:// and rfc2217://,
// all on loopback. Prints, for each: lines per second of a PLU read and of a
// programming run, and the register's view of the link's reaction (last
// byte of a data frame to the first byte of the acknowledgement), median
// and 99th percentile. Asserts nothing.
//
// Then a read on a line paced at 57600 bit/s, as a real register's is:
// elapsed against the wire time. And, for comparison, the same read by a
// client that leaves its socket at the defaults (as a pty-to-TCP bridge
// does), where Nagle's algorithm at the server meets delayed
// acknowledgements here.
//
//   bench_net [--lines N] [--records N] [--paced N]   (3000, 1000, 1000 by default)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "Frame.h"

#include "Ser2net.h"
#include "Simulator.h"
#include "TarvoCore.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

void FillRegister(Sim::TSimulator &sim, int n) {
  sim.WithEngine([&](Sim::TEngine &e) {
    e.Tables.Plus.clear();
    e.Tables.PluCapacity = size_t(n) + 10000;
    for (int i = 1; i <= n; ++i) {
      Sim::TPlu p;
      p.Cod = i;
      p.Nume = "ARTICOL DE TEST " + std::to_string(i);
      p.CodDep = 1 + i % 20;
      p.CodUM = 1;
      p.Pret1 = 100 * (i % 1000) + 99;
      e.Tables.Plus[p.Cod] = p;
    }
    e.Stats = {};
  });
}

std::string Latency(Sim::TSimulator &sim) {
  std::vector<double> us = sim.Stats().AckLatencyUs;
  if (us.empty()) return "no samples";
  std::sort(us.begin(), us.end());
  const auto at = [&](double q) { return us[std::min(us.size() - 1, size_t(q * double(us.size())))]; };
  char text[96];
  std::snprintf(text, sizeof text, "ACK median %8.1f us  p99 %8.1f us", at(0.5), at(0.99));
  return text;
}

bool Connect(TTARVO &link, const std::string &device) {
  link.DevicePath = device;
  link.PortBaud = br57600;
  // The server releases its device a moment after the last connection
  // closed; both of its ports lead to the same one.
  for (int i = 0; i < 30; ++i) {
    if (link.Connect()) return true;
    if (link.LastPortMessage().find("in use") == std::string::npos) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  std::fprintf(stderr, "bench_net: %s: %s\n", device.c_str(), link.LastPortMessage().c_str());
  return false;
}

// A read of n lines on a line paced at 57600 bit/s: elapsed against the
// time the bytes need on the wire.
void MeasurePaced(Sim::TSimulator &sim, const char *what, const std::string &device, int lines) {
  FillRegister(sim, lines);
  Sim::TFaults f;
  f.Baud = 57600;
  sim.SetFaults(f);
  TTARVO reader(false);
  if (Connect(reader, device)) {
    TLineList got;
    const uint64_t in = sim.BytesIn(), out = sim.BytesOut();
    const auto t0 = Clock::now();
    const bool ok = reader.ReadLines("D10000", got);
    const double s = Seconds(t0, Clock::now());
    const double wire = double((sim.BytesIn() - in) + (sim.BytesOut() - out)) * 10.0 / 57600.0;
    std::printf("%-11s read %6zu lines in %7.3f s  wire time %7.3f s  excess %+6.1f %%  %s%s\n", what, got.size(), s,
                wire, (s / wire - 1.0) * 100.0, Latency(sim).c_str(), ok ? "" : ("  FAILED: " + reader.LastError()).c_str());
  }
  sim.SetFaults({});
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
}

void Measure(Sim::TSimulator &sim, const char *what, const std::string &device, int lines, int records) {
  FillRegister(sim, lines);
  {
    TTARVO reader(false);
    if (!Connect(reader, device)) return;
    TLineList got;
    const auto t0 = Clock::now();
    const bool ok = reader.ReadLines("D10000", got);
    const double s = Seconds(t0, Clock::now());
    std::printf("%-10s read    %6zu lines in %7.3f s  %8.0f lines/s  %s%s\n", what, got.size(), s,
                double(got.size()) / s, Latency(sim).c_str(), ok ? "" : ("  FAILED: " + reader.LastError()).c_str());
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the server releases the device
  TTARVO writer(true);
  if (!Connect(writer, device)) return;
  int sent = 0;
  const auto t0 = Clock::now();
  for (int i = 1; i <= records; ++i, ++sent) {
    TPluRec p{};
    p.Cod = 200000 + i;
    p.Nume = "ARTICOL " + std::to_string(i);
    p.CodDep = 1;
    p.CodUM = 1;
    p.Pret1 = 1.99;
    p.Nou = true;
    if (!writer.SendRecord(rkPlu, &p)) {
      std::fprintf(stderr, "bench_net: %s: record %d: %s\n", what, i, writer.LastError().c_str());
      break;
    }
  }
  const double s = Seconds(t0, Clock::now());
  std::printf("%-10s program %6d lines in %7.3f s  %8.0f lines/s\n", what, sent, s, sent / s);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
}

// What a client that leaves the socket at its defaults gets (as a pty-to-TCP
// bridge does): the same read, acknowledged at once, but with Nagle's
// algorithm and delayed acknowledgements on this side.
void MeasurePlainSocket(Sim::TSimulator &sim, int port, int lines) {
  FillRegister(sim, lines);
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(uint16_t(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::this_thread::sleep_for(std::chrono::seconds(1));  // the server releases its device
  if (::connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0) {
    ::close(fd);
    return;
  }
  const auto t0 = Clock::now();
  const std::string request = Frame::EncodeRequest("D10000");
  ::send(fd, request.data(), request.size(), 0);
  std::string buffer;
  int got = 0;
  const auto limit = t0 + std::chrono::seconds(60);
  for (bool final = false; !final && Clock::now() < limit;) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 5000) <= 0) break;
    char chunk[4096];
    const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
    if (n <= 0) break;
    buffer.append(chunk, size_t(n));
    if (!Frame::IsComplete(reinterpret_cast<const uint8_t *>(buffer.data()), buffer.size())) continue;
    final = buffer.size() > 2 && buffer[2] == 0x06;
    if (!final) {
      ::send(fd, Frame::AckFrame().data(), Frame::AckFrame().size(), 0);
      ++got;
    }
    buffer.clear();
  }
  const double s = Seconds(t0, Clock::now());
  ::close(fd);
  std::printf("%-10s read    %6d lines in %7.3f s  %8.0f lines/s  %s  (socket defaults, for comparison)\n", "plain tcp",
              got, s, got / s, Latency(sim).c_str());
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
}

}  // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  int lines = 3000, records = 1000, paced = 1000;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--lines") && i + 1 < argc) lines = std::max(1, std::atoi(argv[++i]));
    else if (!std::strcmp(argv[i], "--records") && i + 1 < argc) records = std::max(1, std::atoi(argv[++i]));
    else if (!std::strcmp(argv[i], "--paced") && i + 1 < argc) paced = std::max(0, std::atoi(argv[++i]));
    else {
      std::fprintf(stderr, "usage: bench_net [--lines N] [--records N] [--paced N]\n");
      return 2;
    }
  }
  char tmpl[] = "/tmp/bench-net.XXXXXX";
  if (!mkdtemp(tmpl)) return 1;
  const std::string dir = tmpl;
  Sim::TSimulator sim;
  std::string why;
  if (!sim.Start(dir + "/reg", why)) {
    std::fprintf(stderr, "bench_net: %s\n", why.c_str());
    return 1;
  }
  std::printf("== unpaced (as fast as the simulator goes) ==\n");
  Measure(sim, "pty", sim.DevicePath(), lines, records);
  // Measured before the server runs: it holds the device a moment after
  // each connection, and would share its bytes with the local reader.
  if (paced > 0) MeasurePaced(sim, "pty (paced)", sim.DevicePath(), paced);
  if (!TSer2net::Installed()) {
    std::printf("ser2net is not installed: tcp:// and rfc2217:// not measured\n");
  } else {
    TSer2net server;
    if (!server.Start(dir + "/reg", dir, why)) {
      std::fprintf(stderr, "bench_net: %s\n", why.c_str());
    } else {
      Measure(sim, "tcp://", server.TcpUrl(), lines, records);
      Measure(sim, "rfc2217://", server.Rfc2217Url(), lines, records);
      if (paced > 0) {
        std::printf("== paced at 57600 bit/s (10 bits a byte) ==\n");
        MeasurePaced(sim, "tcp://", server.TcpUrl(), paced);
        MeasurePaced(sim, "rfc2217://", server.Rfc2217Url(), paced);
      }
      std::printf("== a client with the socket's defaults, unpaced ==\n");
      MeasurePlainSocket(sim, std::atoi(server.TcpUrl().substr(server.TcpUrl().rfind(':') + 1).c_str()),
                         std::min(lines, 300));
      server.Kill();
      // What is left at the server's defaults is its own wait for more bytes
      // from the line before it forwards them (ser2net's "chardelay").
      TSer2net quick;
      if (quick.Start(dir + "/reg", dir, why, "chardelay: false")) {
        std::printf("== the server with chardelay: false ==\n");
        Measure(sim, "tcp://", quick.TcpUrl(), lines, records);
        if (paced > 0) MeasurePaced(sim, "rfc2217://", quick.Rfc2217Url(), paced);
      }
    }
  }
  sim.Stop();
  std::system(("rm -rf '" + dir + "'").c_str());
  return 0;
}
