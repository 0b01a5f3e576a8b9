// The wire format and the receive state, without a port.
#include <gtest/gtest.h>

#include <cstring>

#include "Frame.h"
#include "Receiver.h"

using namespace Frame;

namespace {

std::string Bytes(std::initializer_list<int> v) {
  std::string s;
  for (int b : v) s.push_back(char(b));
  return s;
}

std::string Decode(const std::string &raw, size_t cap = BufferSize) {
  std::string out(cap, '\x55');
  const long n = DecodePayload(reinterpret_cast<const uint8_t *>(raw.data()), raw.size(),
                               reinterpret_cast<uint8_t *>(out.data()), cap);
  if (n < 0) return "<overflow>";
  out.resize(size_t(n));
  return out;
}

void Feed(TReceiver &rx, const std::string &bytes, bool writeMode) {
  rx.Feed(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size(), writeMode);
}

// A frame as the register sends it, with the CRC spoilt on request.
std::string AnswerFrame(const std::string &payload, bool badCrc = false) {
  std::string f = EncodeAnswer(payload);
  if (badCrc) f.back() = char(f.back() ^ 0x5A);
  return f;
}

}  // namespace

TEST(Frame, CrcAndFixedFrames) {
  EXPECT_EQ(Crc16("123456789"), 0x4B37);
  EXPECT_EQ(EncodeRequest("D5000"), Bytes({0x10, 0x02, 0x44, 0x35, 0x30, 0x30, 0x30, 0x10, 0x03, 0xD8, 0xCF}));
  EXPECT_EQ(EncodeRequest("CPX"), Bytes({0x10, 0x02, 0x43, 0x50, 0x58, 0x10, 0x03, 0xEE, 0xBD}));
  // Our acknowledgement is an ordinary frame around the single byte ACK.
  EXPECT_EQ(AckFrame(), Bytes({0x10, 0x02, 0x06, 0x10, 0x03, 0x42, 0x3F}));
  EXPECT_EQ(EncodeAnswer(std::string(1, char(ACK))), AckFrame());
}

TEST(Frame, DecodeTable) {
  EXPECT_EQ(Decode(Bytes({0x41, 0x00, 0x03, 0x42})), Bytes({0x41, 0, 0, 0, 0x42}));
  EXPECT_EQ(Decode(Bytes({0x10, 0x10})), Bytes({0x10}));
  EXPECT_EQ(Decode(Bytes({0xFF, 0x02})), Bytes({0xFF, 0xFF}));
  EXPECT_EQ(Decode(Bytes({0x41, 0x00, 0x00, 0xFF, 0x00, 0x42})), "AB");  // empty runs
  // The byte after an escaping DLE is skipped unseen, whatever it is.
  EXPECT_EQ(Decode(Bytes({0x10, 0x03, 0x41})), Bytes({0x10, 0x41}));
  // A marker as the last byte: DLE still stands for itself, a run marker
  // without its count adds nothing.
  EXPECT_EQ(Decode(Bytes({0x41, 0x10})), Bytes({0x41, 0x10}));
  EXPECT_EQ(Decode(Bytes({0x41, 0x00})), "A");
  EXPECT_EQ(Decode(Bytes({0x41, 0xFF})), "A");
}

TEST(Frame, DecodeNeverWritesPastTheBuffer) {
  EXPECT_EQ(Decode(Bytes({0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF})), "<overflow>");
  EXPECT_EQ(Decode(Bytes({0x00, 0x04}), 4), std::string(4, '\0'));
  EXPECT_EQ(Decode(Bytes({0x00, 0x05}), 4), "<overflow>");
  EXPECT_EQ(Decode("abcd", 4), "abcd");
  EXPECT_EQ(Decode("abcde", 4), "<overflow>");
  EXPECT_EQ(Decode(Bytes({0x10, 0x10}), 0), "<overflow>");
}

TEST(Frame, EncodeAnswerRoundTrip) {
  std::string payload = "A;" + std::string(600, '\0') + Bytes({0x10, 0x10, 0x03}) + std::string(3, '\xFF') + "x";
  const std::string f = EncodeAnswer(payload);
  ASSERT_TRUE(IsComplete(reinterpret_cast<const uint8_t *>(f.data()), f.size()));
  EXPECT_LT(f.size(), 30u);  // the zero run is compressed in 255-byte steps
  EXPECT_EQ(Decode(f.substr(2, f.size() - 6)), payload);
}

TEST(Receiver, CompletesOnTheSeventhByteOneAtATime) {
  for (bool writeMode : {false, true}) {
    TReceiver rx;
    const std::string f = AckFrame();
    for (size_t i = 0; i < f.size(); ++i) {
      EXPECT_FALSE(rx.FrameReady) << "byte " << i;
      Feed(rx, f.substr(i, 1), writeMode);
    }
    EXPECT_TRUE(rx.FrameReady);
    EXPECT_TRUE(rx.Final());
    EXPECT_EQ(rx.AnswerLength, 1);
  }
}

TEST(Receiver, EarlyLookingEndInsidePayloadWaitsForMore) {
  // An escaped DLE before 03, and a zero run of sixteen (count byte 0x10)
  // before 03: both put 10 03 four bytes before the current end while the
  // frame is still arriving. The CRC keeps the read waiting.
  const std::string payloads[] = {Bytes({'A', 0x10, 0x03, 'B', 'C', 'D'}),
                                  "A" + std::string(16, '\0') + Bytes({0x03, 'B', 'C', 'D'})};
  for (const std::string &payload : payloads) {
    const std::string f = AnswerFrame(payload);
    TReceiver rx;
    for (size_t i = 0; i < f.size(); ++i) {
      ASSERT_FALSE(rx.FrameReady) << "byte " << i;
      Feed(rx, f.substr(i, 1), false);
    }
    ASSERT_TRUE(rx.FrameReady);
    EXPECT_EQ(rx.AnswerText(), payload);
  }
}

TEST(Receiver, CrcDecidesOnlyInReadMode) {
  const std::string badAck = AnswerFrame(Bytes({ACK, 'x', 'y'}), true);
  TReceiver rx;
  Feed(rx, badAck, true);
  EXPECT_TRUE(rx.FrameReady);  // write mode: 10 02 06 is enough
  EXPECT_FALSE(rx.CrcOk);
  EXPECT_EQ(rx.AnswerLength, 0);

  rx.Reset();
  Feed(rx, AnswerFrame("A;1", true), false);
  EXPECT_FALSE(rx.FrameReady);
  // The spoilt frame stays; what follows is appended behind it.
  Feed(rx, AnswerFrame("B;2"), false);
  EXPECT_FALSE(rx.FrameReady);
  EXPECT_EQ(rx.RxCount, int32_t(AnswerFrame("A;1").size() * 2));

  // A refusal in write mode is complete but not an acceptance; only one with
  // a good CRC that starts with NAK counts as a refusal, and only in write mode.
  struct Case {
    std::string Frame;
    bool WriteMode, Refused;
  };
  const Case cases[] = {
      {AnswerFrame(Bytes({0x15, 0x81})), true, true},
      {AnswerFrame(Bytes({0x15, 0x81}), true), true, false},
      {AnswerFrame(Bytes({0x16, 0x81})), true, false},
      {AnswerFrame(Bytes({0x15, 0x81})), false, false},
  };
  for (const Case &c : cases) {
    rx.Reset();
    Feed(rx, c.Frame, c.WriteMode);
    EXPECT_EQ(rx.FrameReady, !c.WriteMode);  // a read takes it as a data frame
    EXPECT_EQ(rx.Refused, c.Refused);
    if (c.Refused) {
      EXPECT_EQ(rx.RegisterCode(), 129);  // unsigned
    }
  }
  // Bytes behind a refusal do not spoil it.
  rx.Reset();
  Feed(rx, AnswerFrame(Bytes({0x15, 0x88})), true);
  Feed(rx, "xyz", true);
  EXPECT_TRUE(rx.Refused);
  EXPECT_EQ(rx.RegisterCode(), 136);
}

TEST(Receiver, BoundedInput) {
  TReceiver rx;
  // One chunk too big for the buffer.
  const std::string big(BufferSize + 1, 'a');
  Feed(rx, big, false);
  EXPECT_TRUE(rx.Overflow);
  EXPECT_EQ(rx.RxCount, 0);
  // Exactly a full buffer is fine; one byte more is not.
  rx.Reset();
  Feed(rx, std::string(BufferSize, 'a'), false);
  EXPECT_FALSE(rx.Overflow);
  Feed(rx, "a", false);
  EXPECT_TRUE(rx.Overflow);
  EXPECT_EQ(rx.RxCount, int32_t(BufferSize));
  // Once overflowed, everything is ignored until the next reset.
  Feed(rx, AckFrame(), false);
  EXPECT_FALSE(rx.FrameReady);
  rx.Reset();
  Feed(rx, AckFrame(), false);
  EXPECT_TRUE(rx.FrameReady);

  // A short frame whose runs decode to more than 1000 bytes.
  for (bool writeMode : {false, true}) {
    TReceiver r2;
    Feed(r2, Bytes({0x10, 0x02, 0x06, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x10, 0x03, 0, 0}),
         writeMode);
    EXPECT_TRUE(r2.Overflow);
    EXPECT_FALSE(r2.FrameReady);
  }
}

TEST(Receiver, BytesAfterAReadyFrameAreKeptForTheNext) {
  TReceiver rx;
  Feed(rx, AnswerFrame("A;1"), false);
  ASSERT_TRUE(rx.FrameReady);
  Feed(rx, AnswerFrame("B;2"), false);  // arrived before the first was taken
  EXPECT_EQ(rx.AnswerText(), "A;1");
  rx.NextFrame(false);
  ASSERT_TRUE(rx.FrameReady);
  EXPECT_EQ(rx.AnswerText(), "B;2");
  // A new request drops anything held.
  Feed(rx, AckFrame(), false);
  rx.Reset();
  EXPECT_EQ(rx.HeldBytes(), 0u);
  EXPECT_EQ(rx.RxCount, 0);
}
