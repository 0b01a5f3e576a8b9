// The protocol engine fed byte strings directly, without a line.
#include <gtest/gtest.h>

#include "Engine.h"
#include "Frame.h"
#include "RecordText.h"
#include "SimTestUtil.h"

using namespace Sim;
using namespace SimTest;

namespace {
const std::string AckBytes("\x10\x02\x06\x10\x03\x42\x3F", 7);
}

TEST(Engine, ReadSendsOneFramePerLineAndWaitsForEachAcknowledgement) {
  TEngine e;
  std::vector<std::string> expected;
  e.Tables.ReadTable("D260", expected);

  auto frames = Send(e, "D260");
  ASSERT_EQ(frames.size(), 1u);  // never more than one frame ahead of the computer
  EXPECT_TRUE(frames[0].CrcOk);
  EXPECT_EQ(frames[0].Payload, expected[0]);
  EXPECT_TRUE(e.Busy());
  // Nothing more until the acknowledgement, however long the wait.
  e.Tick(Clock::now() + std::chrono::seconds(1));
  EXPECT_FALSE(e.HasOutput());

  std::vector<std::string> got{frames[0].Payload};
  for (size_t i = 1; i < expected.size(); ++i) {
    frames = Ack(e);
    ASSERT_EQ(frames.size(), 1u);
    got.push_back(frames[0].Payload);
  }
  EXPECT_EQ(got, expected);
  frames = Ack(e);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].Raw, AckBytes);  // the final frame is exactly the acceptance bytes
  EXPECT_FALSE(e.Busy());
  EXPECT_TRUE(Ack(e).empty());  // a stray acknowledgement is dropped
}

TEST(Engine, EveryReadCommandAnswersItsTable) {
  TEngine e;
  for (const char *cmd : {"D5000", "D260", "D10000", "D2000", "D1200", "D700", "D16", "D17"}) {
    std::vector<std::string> expected;
    e.Tables.ReadTable(cmd, expected);
    bool final = false;
    EXPECT_EQ(ReadAll(e, cmd, &final), expected) << cmd;
    EXPECT_TRUE(final) << cmd;
  }
}

TEST(Engine, WritesAreAcceptedOrRefusedWithTheRegisterCode) {
  TEngine e;
  TDeptRec d{};
  d.Cod = 3;
  d.Nume = "Lactate";
  d.UM = 1;
  d.TVA = 2;
  EXPECT_TRUE(IsAcceptance(Send(e, BuildRecordText(rkDept, &d))));
  EXPECT_EQ(e.Tables.Depts.at(3).Nume, "Lactate");

  EXPECT_EQ(RefusalCode(Send(e, "U5000;3;\"x\"")), RE_InvalidInput);
  EXPECT_EQ(RefusalCode(Send(e, "U4444;1;\"x\";")), RE_InvalidFunction);
  d.Cod = 500;
  EXPECT_EQ(RefusalCode(Send(e, BuildRecordText(rkDept, &d))), RE_InvalidItem);
  EXPECT_EQ(RefusalCode(Send(e, "D4242")), RE_InvalidFunction);
  EXPECT_EQ(RefusalCode(Send(e, "RSX000099")), RE_UnknownReport);
  EXPECT_EQ(RefusalCode(Send(e, "HELLO")), RE_InvalidFunction);
  EXPECT_EQ(e.Stats.Refused, 6u);
}

TEST(Engine, BareCommandsAreRecordedWithoutAnswerAndCpxErasesThePlus) {
  TEngine e;
  ASSERT_FALSE(e.Tables.Plus.empty());
  for (const char *cmd : {"CPB", "CPM", "CPD"}) EXPECT_TRUE(Send(e, cmd).empty());
  EXPECT_FALSE(e.Tables.Plus.empty());
  EXPECT_TRUE(Send(e, "CPX").empty());
  EXPECT_TRUE(e.Tables.Plus.empty());
  EXPECT_EQ(e.BareCommands, (std::vector<std::string>{"CPB", "CPM", "CPD", "CPX"}));
  bool final = false;
  EXPECT_TRUE(ReadAll(e, "D10000", &final).empty());
  EXPECT_TRUE(final);  // an empty table answers with the final frame alone
}

TEST(Engine, AnswersEncodeDleAndRunsSoThatTheyDecodeToTheLine) {
  TEngine e;
  // A DLE before 03 and a run of sixteen zeros followed by 03: both put the
  // bytes 10 03 inside the payload, where a careless receiver sees the end.
  const std::string line1 = std::string("A\x10\x03" "B", 4);
  const std::string line2 = std::string("C") + std::string(16, '\0') + "\x03" +
                            std::string(300, '\xFF') + "D";
  e.SetAnswer("D5000", {line1, line2});
  auto frames = Send(e, "D5000");
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_NE(frames[0].Raw.find(std::string("\x10\x10\x03", 3)), std::string::npos);
  EXPECT_EQ(frames[0].Payload, line1);
  EXPECT_TRUE(frames[0].CrcOk);
  frames = Ack(e);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_NE(frames[0].Raw.find(std::string("\x00\x10\x03", 3)), std::string::npos);
  EXPECT_LT(frames[0].Raw.size(), 20u);  // runs of 00 and FF are compressed
  EXPECT_EQ(frames[0].Payload, line2);
  EXPECT_TRUE(frames[0].CrcOk);
  EXPECT_EQ(Ack(e)[0].Raw, AckBytes);
}

TEST(Engine, FramesAreFoundAcrossChunksAfterGarbageAndBadOnesAreIgnored) {
  TEngine e;
  const auto now = Clock::now();
  // Split one byte at a time, behind line noise.
  const std::string req = "\x55\x10\xAA\x03" + Frame::EncodeRequest("D1200");
  for (char c : req) e.Receive(std::string(1, c), now);
  auto frames = SplitFrames(e.TakeOutput());
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(Split(frames[0].Payload)[0], "1200");
  EXPECT_GT(e.Stats.GarbageBytesIn, 0u);

  // An acknowledgement with a wrong CRC does not move the answer on.
  std::string badAck = AckBytes;
  badAck.back() ^= 1;
  e.Receive(badAck, now);
  EXPECT_FALSE(e.HasOutput());
  EXPECT_EQ(e.Stats.BadCrcIn, 1u);

  // A request cut off by a new one: the new one is answered.
  std::string cut = Frame::EncodeRequest("D5000").substr(0, 5) + Frame::EncodeRequest("D700");
  frames = SplitFrames((e.Receive(cut, now), e.TakeOutput()));
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(Split(frames[0].Payload)[0], "700");
  EXPECT_EQ(e.Stats.Abandoned, 1u);  // the exchange rates were given up for it

  // Over a thousand bytes that never form a frame are dropped, and the next
  // frame still gets through.
  e.Receive(std::string("\x10\x02") + std::string(1500, 'x'), now);
  frames = Send(e, "D16");
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(Split(frames[0].Payload)[0], "16");
}

TEST(Engine, AnAnswerWithoutAcknowledgementIsAbandonedAfterTheTimeout) {
  TEngine e;
  TFaults f;
  f.AckTimeoutMs = 100;
  e.SetFaults(f);
  const auto t0 = Clock::now();
  e.Receive(Frame::EncodeRequest("D5000"), t0);
  e.TakeOutput();
  e.OutputSent(t0);
  ASSERT_TRUE(e.NextDeadline());
  EXPECT_EQ(*e.NextDeadline(), t0 + std::chrono::milliseconds(100));
  e.Tick(t0 + std::chrono::milliseconds(99));
  EXPECT_TRUE(e.Busy());
  e.Tick(t0 + std::chrono::milliseconds(100));
  EXPECT_FALSE(e.Busy());
  EXPECT_EQ(e.Stats.Abandoned, 1u);
  e.Receive(Frame::AckFrame(), t0 + std::chrono::milliseconds(150));
  EXPECT_FALSE(e.HasOutput());  // too late: nothing more comes
}

TEST(Engine, LatencyRunsFromTheLastByteSentToTheFirstByteBack) {
  TEngine e;
  const auto t0 = Clock::now();
  e.Receive(Frame::EncodeRequest("D260"), t0);
  e.TakeOutput();
  e.OutputSent(t0);
  e.NoteInputArrival(t0 + std::chrono::microseconds(250));
  e.NoteInputArrival(t0 + std::chrono::microseconds(900));  // the rest of the same ACK
  ASSERT_EQ(e.Stats.AckLatencyUs.size(), 1u);
  EXPECT_NEAR(e.Stats.AckLatencyUs[0], 250.0, 0.5);
}

TEST(Engine, InjectedFaults) {
  TEngine e;
  TFaults f;
  f.BadCrcFrame = 2;
  e.SetFaults(f);
  auto frames = Send(e, "D260");
  EXPECT_TRUE(frames[0].CrcOk);
  frames = Ack(e);
  EXPECT_FALSE(frames[0].CrcOk);  // only the second
  frames = Ack(e);
  EXPECT_TRUE(frames[0].CrcOk);

  f = {};
  f.SilentAfterFrame = 2;
  e.SetFaults(f);
  EXPECT_EQ(Send(e, "D5000").size(), 1u);
  EXPECT_EQ(Ack(e).size(), 1u);
  EXPECT_TRUE(Ack(e).empty());
  EXPECT_TRUE(Send(e, "D260").empty());  // silent from then on

  f = {};
  f.RefuseWrite = 2;
  f.RefuseCode = 39;
  e.SetFaults(f);
  TCursRec r{};
  r.Cod = 1;
  r.Nume = "EUR";
  r.Prefix = "E";
  r.rata = 5;
  EXPECT_TRUE(IsAcceptance(Send(e, BuildRecordText(rkCurs, &r))));
  r.rata = 6;
  EXPECT_EQ(RefusalCode(Send(e, BuildRecordText(rkCurs, &r))), 39);
  EXPECT_EQ(e.Tables.Rates.at(1).Rata, 5);  // the refused record was not stored
  r.rata = 7;
  EXPECT_TRUE(IsAcceptance(Send(e, BuildRecordText(rkCurs, &r))));

  // Zero frames: a register that never answers.
  f = {};
  f.SilentAfterFrame = 0;
  e.SetFaults(f);
  EXPECT_TRUE(Send(e, "D260").empty());
}

TEST(Engine, RawRepliesGoOutAsTheyStand) {
  TEngine e;
  e.SetRawReply("D5000", "garbage");
  e.Receive(Frame::EncodeRequest("D5000"), Clock::now());
  EXPECT_EQ(e.TakeOutput(), "garbage");
  EXPECT_FALSE(e.Busy());
  e.ClearOverrides();
  EXPECT_EQ(Send(e, "D5000").size(), 1u);
}

TEST(Engine, TraceShowsBothDirectionsInHex) {
  TEngine e;
  std::vector<std::string> trace;
  e.OnTrace = [&](Clock::time_point, const std::string &l) { trace.push_back(l); };
  Send(e, "D5000");
  ASSERT_FALSE(trace.empty());
  EXPECT_EQ(trace[0], "pc>  10 02 44 35 30 30 30 10 03 D8 CF");
}
