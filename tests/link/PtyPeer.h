// The scripted register behind a real pseudo-terminal: the link opens its
// slave side as a serial port.
#pragma once

#include "ScriptedPeer.h"

class TPtyPeer : public TScriptedPeer {
 public:
  TPtyPeer();
  ~TPtyPeer() override;
  TPtyPeer(const TPtyPeer &) = delete;
  TPtyPeer &operator=(const TPtyPeer &) = delete;

  std::string Device() const override { return FSlavePath; }
  const std::string &SlavePath() const { return FSlavePath; }
  // Closes the master: the link's side hangs up. From the test's thread at once.
  void HangUp() override;
  void Send(const std::string &bytes) override;

 protected:
  std::string Take() override;

 private:
  int FMaster = -1, FSlave = -1;
  std::string FSlavePath;
  std::atomic<bool> FHangUp{false};  // asked for by a script
};
