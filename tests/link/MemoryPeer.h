// The scripted register at the far end of a line in memory (memory://):
// the link's exchanges without any device or descriptor.
#pragma once

#include <condition_variable>
#include <memory>

#include "MemoryTransport.h"
#include "ScriptedPeer.h"

class TMemoryPeer : public TScriptedPeer {
 public:
  TMemoryPeer();
  ~TMemoryPeer() override;

  std::string Device() const override { return "memory://" + FName; }
  void HangUp() override;
  void Send(const std::string &bytes) override { FLine->Send(bytes); }

 protected:
  std::string Take() override;

 private:
  std::string FName;
  std::shared_ptr<TMemoryLine> FLine;
  std::mutex FLock;
  std::condition_variable FArrived;
  std::string FWritten;
};
