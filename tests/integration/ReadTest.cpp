// Reads: the link collects exactly the lines the register sends.
#include <chrono>

#include "Fields.h"
#include "SimFixture.h"

namespace {

std::vector<std::string> Fields(const std::string &line) {
  std::vector<std::string> out;
  for (auto f : Sim::SplitFields(line)) out.emplace_back(f);
  return out;
}

size_t CountPrefix(const std::vector<std::string> &lines, const std::string &prefix) {
  size_t n = 0;
  for (const auto &l : lines) n += l.rfind(prefix, 0) == 0;
  return n;
}

}  // namespace

using ReadTest = SimFixture;

TEST_F(ReadTest, EveryReadCommandReturnsTheRegisterLines) {
  for (const char *cmd : {"D5000", "D260", "D10000", "D2000", "D1200", "D700", "D16", "D17",
                          "RSX000004", "RSX0001006", "RSX0001007"}) {
    const auto expected = Expected(cmd);
    ASSERT_FALSE(expected.empty()) << cmd;
    EXPECT_EQ(ReadOk(cmd), expected) << cmd;
  }
  // All of it on one link, one read after the other, as the online mode does.
  auto link = Link(false);
  for (const char *cmd : {"D5000", "D260", "D17"}) {
    TLineList lines;
    EXPECT_TRUE(link->ReadLines(cmd, lines)) << link->LastError();
    EXPECT_EQ(lines, Expected(cmd));
  }
}

TEST_F(ReadTest, ZReportsHandOverTheSalesAndResetThem) {
  const auto x = ReadOk("RSX000004");
  ASSERT_GT(CountPrefix(x, "1;1;1;4"), 0u);
  const auto head = Fields(x[0]);
  ASSERT_GE(head.size(), 7u);
  EXPECT_EQ(head[5], "\"09-12-2026\"");
  EXPECT_EQ(head[6], "\"08:30:00\"");
  for (const auto &l : x) {
    if (l.rfind("1;1;1;4", 0) == 0) {
      EXPECT_GE(Fields(l).size(), 17u) << l;
    }
  }

  auto z = ReadOk("RSZ000004");
  // The Z report has the same records as the X before it (its header counts on).
  ASSERT_EQ(z.size(), x.size());
  EXPECT_TRUE(std::equal(z.begin() + 1, z.end(), x.begin() + 1));
  EXPECT_EQ(CountPrefix(ReadOk("RSX000004"), "1;1;1;4"), 0u);

  // The register sells again; the next Z has just that.
  ASSERT_TRUE(FSim.WithEngine([](Sim::TEngine &e) { return e.Sales.Sell(e.Tables, 3, 2000, 1, 1); }));
  z = ReadOk("RSZ000004");
  ASSERT_EQ(CountPrefix(z, "1;1;1;4"), 1u);
  EXPECT_EQ(Fields(z[1])[4], "3");
  EXPECT_EQ(Fields(z[1])[6], "2.000");

  const auto d = ReadOk("RSZ0000009");
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(ReadOk("RSZ0000009")[1], "1;1;9;1;\"DISCOUNT %\";0;0.00");
}

TEST_F(ReadTest, PayloadsThatHoldDleEtxAreReadWholeEvenByteByByte) {
  // An escaped DLE before 03, and a run of sixteen zeros (count byte 0x10)
  // before 03: in both the raw bytes 10 03 followed by two more look like the
  // end of a frame. The link must check the CRC and wait for the rest.
  const std::vector<std::string> lines = {
      std::string("5000;1;\"A") + "\x10\x03" + "AB\";1",
      std::string("X") + std::string(16, '\0') + "\x03" + "YZ;" + std::string(20, '\xFF'),
      std::string("\x10\x10\x10", 3),
  };
  FSim.WithEngine([&](Sim::TEngine &e) { e.SetAnswer("D5000", lines); });
  EXPECT_EQ(ReadOk("D5000"), lines);

  Sim::TFaults slow;
  slow.ByteDelayMs = 2;
  Faults(slow);
  EXPECT_EQ(ReadOk("D5000"), lines);
}

TEST_F(ReadTest, APacedLineTakesTheTimeTheBytesNeedOnTheWire) {
  Sim::TFaults f;
  f.Baud = 19200;
  Faults(f);
  auto link = Link(false);
  link->PortBaud = br19200;
  const uint64_t inBefore = FSim.BytesIn(), outBefore = FSim.BytesOut();
  TLineList lines;
  const auto t0 = std::chrono::steady_clock::now();
  ASSERT_TRUE(link->ReadLines("D5000", lines)) << link->LastError();
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  EXPECT_EQ(lines, Expected("D5000"));
  // Both directions share no wire time (full duplex), but each frame waits for
  // the other side's: the exchange cannot be quicker than all bytes in turn.
  const double wire =
      double((FSim.BytesIn() - inBefore) + (FSim.BytesOut() - outBefore)) * 10.0 / 19200.0;
  EXPECT_GT(wire, 0.5);
  EXPECT_GE(elapsed, wire * 0.99);
}
