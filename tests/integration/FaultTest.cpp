// A register that misbehaves: every failure ends the exchange with a recorded
// error, keeps what was read before it, and leaves the port free.
#include <chrono>

#include "Frame.h"
#include "SimFixture.h"

using FaultTest = SimFixture;

TEST_F(FaultTest, ByteAtATimeDeliveryStillReadsAndWrites) {
  Sim::TFaults f;
  f.ByteDelayMs = 1;
  Faults(f);
  EXPECT_EQ(ReadOk("D260"), Expected("D260"));
  auto w = Link(true);
  TCursRec r{};
  r.Cod = 1;
  r.Nume = "EURO";
  r.Prefix = "E";
  r.rata = 49900;
  EXPECT_TRUE(w->SendRecord(rkCurs, &r)) << w->LastError();
  EXPECT_EQ(FSim.WithEngine([](Sim::TEngine &e) { return e.Tables.Rates.at(1).Rata; }), 49900);
}

TEST_F(FaultTest, ABadCrcOnFrameKFailsTheReadAndKeepsTheLinesBefore) {
  const auto all = Expected("D5000");
  Sim::TFaults f;
  f.BadCrcFrame = 3;
  Faults(f);
  auto link = Link(false);
  TLineList lines;
  EXPECT_FALSE(link->ReadLines("D5000", lines));
  EXPECT_EQ(link->LastError(), "8000;Time out");
  EXPECT_EQ(lines, std::vector<std::string>(all.begin(), all.begin() + 2));
  link.reset();
  ExpectPortFree();
}

TEST_F(FaultTest, SilenceAfterFrameKFailsWithTimeOut) {
  const auto all = Expected("D10000");
  Sim::TFaults f;
  f.SilentAfterFrame = 4;
  Faults(f);
  auto link = Link(false);
  TLineList lines;
  EXPECT_FALSE(link->ReadLines("D10000", lines));
  EXPECT_EQ(link->LastError(), "8000;Time out");
  EXPECT_EQ(lines, std::vector<std::string>(all.begin(), all.begin() + 4));
  link.reset();
  ExpectPortFree();

  // A write that gets no answer at all.
  f.SilentAfterFrame = 0;
  Faults(f);
  auto w = Link(true);
  TSORec so{};
  so.Cod = 1;
  EXPECT_FALSE(w->SendRecord(rkSO, &so));
  EXPECT_EQ(w->LastError(), "8000;Time out");
  w.reset();
  ExpectPortFree();
}

TEST_F(FaultTest, GarbageAndOverLongAnswersEndTheExchangeWithAnError) {
  struct Case {
    const char *What;
    std::string Bytes;
    const char *Error;
  };
  const Case cases[] = {
      // More than a frame can hold, never forming one: the receive overflow.
      {"garbage", std::string(1500, 'x'), "8002;"},
      // A well-formed frame whose payload is longer than the link's buffer.
      {"over-long frame", Frame::EncodeAnswer(std::string(1100, 'A')), "8002;"},
      // A little noise and then nothing: silence.
      {"noise", std::string("\x55\xAA\x10\x02\x41", 5), "8000;Time out"},
  };
  for (const Case &c : cases) {
    FSim.WithEngine([&](Sim::TEngine &e) { e.SetRawReply("D5000", c.Bytes); });
    auto link = Link(false);
    TLineList lines;
    EXPECT_FALSE(link->ReadLines("D5000", lines)) << c.What;
    EXPECT_EQ(link->LastError().rfind(c.Error, 0), 0u) << c.What << ": " << link->LastError();
    EXPECT_TRUE(lines.empty()) << c.What;
    link.reset();
    ExpectPortFree();
  }
  // A write answered with garbage fails too, and the port is free after it.
  FSim.WithEngine([](Sim::TEngine &e) { e.SetRawReply("U17;1;", std::string(1200, '\x10')); });
  auto w = Link(true);
  EXPECT_FALSE(w->SendText("U17;1;"));
  EXPECT_EQ(w->LastError().rfind("8002;", 0), 0u) << w->LastError();
  w.reset();
  ExpectPortFree();
}

TEST_F(FaultTest, TheProgramsFiveSecondSilenceEndsAReadFromADeadRegister) {
  Sim::TFaults f;
  f.SilentAfterFrame = 0;
  Faults(f);
  auto link = Link(false, 5000);
  TLineList lines;
  const auto t0 = std::chrono::steady_clock::now();
  EXPECT_FALSE(link->ReadLines("D260", lines));
  const auto waited = std::chrono::steady_clock::now() - t0;
  EXPECT_EQ(link->LastError(), "8000;Time out");
  EXPECT_TRUE(lines.empty());
  // The silence is the full five seconds, not a shortened one.
  EXPECT_GE(waited, std::chrono::milliseconds(4990));
  link.reset();
  ExpectPortFree();
}
