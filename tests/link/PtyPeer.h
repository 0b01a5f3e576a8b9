// A scripted register on the far side of a pseudo-terminal, for exchange
// tests: a thread reads what the link writes, splits it into frames and hands
// each frame to the script, which answers through Send.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TPtyPeer {
 public:
  using TScript = std::function<void(const std::string &frame, TPtyPeer &peer)>;

  TPtyPeer();
  ~TPtyPeer();
  TPtyPeer(const TPtyPeer &) = delete;
  TPtyPeer &operator=(const TPtyPeer &) = delete;

  const std::string &SlavePath() const { return FSlavePath; }
  // Starts the reader thread; script runs on it for every frame received.
  void Start(TScript script);
  void Stop();

  // Closes the register's end of the line, as a pulled cable or adapter
  // does: the link's side hangs up. From the script it takes effect when the
  // script returns; from the test's thread at once.
  void HangUp();

  // Writes bytes to the link, all at once or in pieces with a pause after each.
  void Send(const std::string &bytes);
  void SendSlowly(const std::string &bytes, int pauseMs, size_t piece = 1);

  std::vector<std::string> Frames();  // the frames the link wrote, in order
  std::string Wire();                 // every byte the link wrote

 private:
  void Run();
  int FMaster = -1, FSlave = -1;
  std::string FSlavePath;
  TScript FScript;
  std::thread FThread;
  std::atomic<bool> FStop{false};
  bool FHangUp = false;  // the reader thread's own: set by a script
  std::mutex FLock;
  std::vector<std::string> FFrames;
  std::string FWire, FPending;
};
