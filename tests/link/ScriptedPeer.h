// A scripted register on the far side of a line, for exchange tests: a
// thread takes what the link writes, splits it into frames and hands each
// frame to the script, which answers through Send. The line is a real
// pseudo-terminal (TPtyScriptedPeer) or a line in memory (TMemoryPeer), so the same
// exchange runs over the serial component and over the in-memory transport.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "PtyPair.h"

class TScriptedPeer {
 public:
  using TScript = std::function<void(const std::string &frame, TScriptedPeer &peer)>;

  virtual ~TScriptedPeer() = default;
  // What the link opens: a device path or a memory:// name.
  virtual std::string Device() const = 0;
  // Starts the thread; script runs on it for every frame received.
  void Start(TScript script);
  void Stop();
  // The register's end goes away, as a pulled cable or adapter does. From
  // the script it takes effect when the script returns.
  virtual void HangUp() = 0;
  // Writes bytes to the link, all at once or in pieces with a pause after each.
  virtual void Send(const std::string &bytes) = 0;
  void SendSlowly(const std::string &bytes, int pauseMs, size_t piece = 1);

  std::vector<std::string> Frames();  // the frames the link wrote, in order
  std::string Wire();                 // every byte the link wrote

 protected:
  // Bytes the link wrote, waiting up to 20 ms for some; "" when none came.
  virtual std::string Take() = 0;
  bool OnPeerThread() const { return FThread.joinable() && std::this_thread::get_id() == FThread.get_id(); }
  // Call from the derived destructor: the thread uses the derived part.
  void Finish() { Stop(); }
  std::atomic<bool> FStop{false};

 private:
  void Run();
  TScript FScript;
  std::thread FThread;
  std::mutex FLock;
  std::vector<std::string> FFrames;
  std::string FWire, FPending;
};

// The scripted register behind the master of a pseudo-terminal pair: the
// link opens the slave as a serial port.
class TPtyScriptedPeer : public TScriptedPeer {
 public:
  ~TPtyScriptedPeer() override { Finish(); }

  std::string Device() const override { return FPty.SlavePath(); }
  // Closes the master: the link's side hangs up. From the test's thread at once.
  void HangUp() override;
  void Send(const std::string &bytes) override { FPty.Send(bytes); }

 protected:
  std::string Take() override;

 private:
  TPtyPair FPty;
  std::atomic<bool> FHangUp{false};  // asked for by a script
};
