// The frame trace of a short read, a refused write and a read that ends in
// silence, against the simulator.
#include <fstream>
#include <regex>

#include "Frame.h"
#include "LinkTrace.h"
#include "SimFixture.h"
#include "TextHelpers.h"

using TraceTest = SimFixture;

TEST_F(TraceTest, EveryFrameBothWaysOneLineEach) {
  const std::string path = FDir + "/trace.txt";
  auto trace = std::make_shared<TLinkTrace>(path);
  FSim.WithEngine([](Sim::TEngine &e) {
    e.SetAnswer("D5000", {"A;1"});
    e.SetRawReply("D700", std::string("\x55\xAA\x10\x02\x41", 5));  // noise, then nothing
  });
  {
    auto r = Link(false);
    r->SetTrace(trace);
    TLineList lines;
    ASSERT_TRUE(r->ReadLines("D5000", lines)) << r->LastError();
    EXPECT_FALSE(r->ReadLines("D700", lines));
  }
  Sim::TFaults f;
  f.RefuseWrite = 1;
  f.RefuseCode = 136;
  Faults(f);
  {
    auto w = Link(true);
    w->SetTrace(trace);
    EXPECT_FALSE(w->SendText("U17;1;"));
  }
  trace.reset();

  const std::string ack = "10 02 06 10 03 42 3F | \\x06";
  const std::vector<std::string> expected = {
      "pc> 10 02 44 35 30 30 30 10 03 D8 CF | D5000",
      "<reg " + HexBytes(Frame::EncodeAnswer("A;1")) + " | A;1",
      "pc> " + ack,
      "<reg " + ack,
      "pc> " + HexBytes(Frame::EncodeRequest("D700")) + " | D700",
      "<reg (not taken) 55 AA 10 02 41 | U\\xAA\\x10\\x02A",
      "-- 8000;Time out",
      "pc> " + HexBytes(Frame::EncodeRequest("U17;1;")) + " | U17;1;",
      "<reg " + HexBytes(Frame::EncodeAnswer("\x15\x88")) + " | \\x15\\x88",
      "-- Lipsa cota TVA asociata PLU / Dept",
  };
  std::ifstream in(path);
  const std::regex stamp(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} )");
  std::vector<std::string> got;
  for (std::string line; std::getline(in, line);) {
    ASSERT_TRUE(std::regex_search(line, stamp, std::regex_constants::match_continuous)) << line;
    got.push_back(line.substr(24));
  }
  EXPECT_EQ(got, expected);

  // A trace that cannot be opened says so.
  EXPECT_THROW(TLinkTrace(FDir + "/no/such/dir/trace.txt"), std::runtime_error);
}
