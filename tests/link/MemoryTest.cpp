// The link over a line in memory: a line that goes away, and an exchange
// played back from its own frame trace.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "MemoryPeer.h"
#include "TarvoCore.h"
#include "ScratchDir.h"

using namespace Frame;

namespace {

constexpr int ShortSilence = 300;

// The trace's hex column back to bytes ("10 02 44 ... | text").
std::string Bytes(const std::string &line, size_t from) {
  std::istringstream in(line.substr(from, line.find(" | ") - from));
  std::string out, hex;
  while (in >> hex) out += char(std::stoi(hex, nullptr, 16));
  return out;
}

// A trace file as a script: after each "pc>" frame, the "<reg" frames that
// followed it. The frames are matched in order; a frame out of order gets
// no answer, and the exchange then fails by silence.
TScriptedPeer::TScript Replay(const std::string &path) {
  struct TStep {
    std::string Sent;
    std::string Answer;
  };
  auto steps = std::make_shared<std::vector<TStep>>();
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    const std::string rest = line.size() > 24 ? line.substr(24) : "";
    if (rest.rfind("pc> ", 0) == 0) steps->push_back({Bytes(rest, 4), ""});
    else if (rest.rfind("<reg ", 0) == 0 && !steps->empty()) steps->back().Answer += Bytes(rest, 5);
  }
  auto next = std::make_shared<size_t>(0);
  return [steps, next](const std::string &frame, TScriptedPeer &p) {
    if (*next < steps->size() && (*steps)[*next].Sent == frame) p.Send((*steps)[(*next)++].Answer);
  };
}

}  // namespace

TEST(LinkOverMemory, ALineThatGoesAwayEndsTheReadAtOnce) {
  TMemoryPeer peer;
  peer.Start([](const std::string &f, TScriptedPeer &p) {
    if (f == AckFrame())
      p.HangUp();
    else
      p.Send(EncodeAnswer("A;1"));
  });
  TTARVO link(false);  // the real five seconds: the loss must not wait for them
  link.DevicePath = peer.Device();
  ASSERT_TRUE(link.Connect()) << link.LastPortMessage();
  TLineList lines;
  const auto t0 = std::chrono::steady_clock::now();
  EXPECT_FALSE(link.ReadLines("D5000", lines));
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(1000));
  EXPECT_EQ(link.LastError(), "8050;Legatura cu portul serial s-a pierdut: " + peer.Device() + " (Error: 5)");
  EXPECT_EQ(lines, TLineList{"A;1"});
  EXPECT_FALSE(link.Connect());  // nobody at the far end any more
  EXPECT_NE(link.LastPortMessage().find("conexiune refuzata"), std::string::npos) << link.LastPortMessage();
}

TEST(LinkOverMemory, AnExchangePlayedBackFromItsTrace) {
  TScratchDir dir;
  const std::string path = dir.Path() + "/trace.txt";
  const std::vector<std::string> answers = {EncodeAnswer("A;1"), EncodeAnswer("B;\xFF"), EncodeAnswer("\x06")};
  TLineList recorded;
  {
    TMemoryPeer peer;
    size_t next = 0;
    peer.Start([&](const std::string &, TScriptedPeer &p) {
      if (next < answers.size()) p.Send(answers[next++]);
    });
    TTARVO link(false, ShortSilence);
    link.DevicePath = peer.Device();
    link.SetTrace(std::make_shared<TLinkTrace>(path));
    ASSERT_TRUE(link.Connect());
    ASSERT_TRUE(link.ReadLines("D5000", recorded)) << link.LastError();
  }
  ASSERT_EQ(recorded, (TLineList{"A;1", "B;\xFF"}));

  TMemoryPeer player;
  player.Start(Replay(path));
  TTARVO again(false, ShortSilence);
  again.DevicePath = player.Device();
  ASSERT_TRUE(again.Connect());
  TLineList lines;
  EXPECT_TRUE(again.ReadLines("D5000", lines)) << again.LastError();
  EXPECT_EQ(lines, recorded);
  // A request the trace does not hold gets nothing back.
  EXPECT_FALSE(again.ReadLines("D260", lines));
  EXPECT_EQ(again.LastError(), "8000;Time out");
}
