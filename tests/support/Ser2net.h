// A real ser2net in front of a device (the simulator's pseudo-terminal), on
// two loopback ports: raw TCP and Telnet with RFC 2217, each left at
// ser2net's defaults. Started with a bounded wait; absent when the program
// is not installed (Debian package ser2net).
#pragma once

#include <string>
#include <sys/types.h>

class TSer2net {
 public:
  // True when the ser2net program can be run here.
  static bool Installed();

  // Writes its configuration into dir and starts it; false with why.
  // options: YAML lines under "options:" of both ports ("" for none).
  bool Start(const std::string &device, const std::string &dir, std::string &why, const std::string &options = "");
  // SIGKILL, as a crash or a pulled power plug of the server would end it.
  void Kill();
  ~TSer2net() { Kill(); }

  std::string TcpUrl() const { return "tcp://127.0.0.1:" + std::to_string(FTcpPort); }
  std::string Rfc2217Url() const { return "rfc2217://127.0.0.1:" + std::to_string(FTelnetPort); }

 private:
  pid_t FPid = -1;
  int FTcpPort = 0, FTelnetPort = 0;
};

// A loopback port nothing listens on right now.
int FreeLoopbackPort();
