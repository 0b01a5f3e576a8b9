#include "Engine.h"

#include <cstdio>
#include <ctime>

#include "Frame.h"
#include "TextHelpers.h"

namespace Sim {

namespace {

size_t FindPair(const std::string &s, size_t from, uint8_t a, uint8_t b) {
  for (size_t i = from; i + 1 < s.size(); ++i)
    if (uint8_t(s[i]) == a && uint8_t(s[i + 1]) == b) return i;
  return std::string::npos;
}

}  // namespace

TEngine::TEngine() { Sales.Seed(Tables, 12); }

void TEngine::SetFaults(const TFaults &faults) {
  FFaults = faults;
  FFramesSent = FDataFramesSent = FWrites = 0;
  FSilenced = false;
}

void TEngine::SetAnswer(const std::string &command, std::vector<std::string> lines) {
  FAnswers[command] = std::move(lines);
}

void TEngine::SetRawReply(const std::string &command, std::string bytes) {
  FRawReplies[command] = std::move(bytes);
}

void TEngine::ClearOverrides() {
  FAnswers.clear();
  FRawReplies.clear();
}

void TEngine::SetReportClock(std::string date, std::string time) {
  FDate = std::move(date);
  FTime = std::move(time);
}

void TEngine::Trace(Clock::time_point now, const std::string &line) {
  if (OnTrace) OnTrace(now, line);
}

void TEngine::Log(std::string text) {
  Commands.push_back(std::move(text));
  while (Commands.size() > MaxLogged) Commands.pop_front();
}

void TEngine::NoteInputArrival(Clock::time_point now) {
  if (!FLatencyPending) return;
  FLatencyPending = false;
  const double us = std::chrono::duration<double, std::micro>(now - FSentAt).count();
  // Bounded: a long soak keeps the first million samples.
  if (Stats.AckLatencyUs.size() < 1000000) Stats.AckLatencyUs.push_back(us);
  char buf[64];
  std::snprintf(buf, sizeof buf, "ack-latency %.1f us", us);
  Trace(now, buf);
}

void TEngine::Receive(std::string_view bytes, Clock::time_point now) {
  FRx.append(bytes);
  Parse(now);
}

void TEngine::Parse(Clock::time_point now) {
  for (;;) {
    const size_t start = FindPair(FRx, 0, Frame::DLE, Frame::STX);
    if (start == std::string::npos) {
      // Keep a trailing DLE: it may be the first half of the next DLE STX.
      const bool keep = !FRx.empty() && uint8_t(FRx.back()) == Frame::DLE;
      Stats.GarbageBytesIn += FRx.size() - (keep ? 1 : 0);
      FRx.erase(0, FRx.size() - (keep ? 1 : 0));
      return;
    }
    if (start > 0) {
      Stats.GarbageBytesIn += start;
      Trace(now, "pc>  garbage " + HexBytes(std::string_view(FRx).substr(0, start)));
      FRx.erase(0, start);
    }
    // Computer texts hold no DLE, so the first DLE ETX ends the text; a new
    // DLE STX before it means the earlier frame was cut off.
    const size_t etx = FindPair(FRx, 2, Frame::DLE, Frame::ETX);
    const size_t restart = FindPair(FRx, 2, Frame::DLE, Frame::STX);
    if (restart != std::string::npos && (etx == std::string::npos || restart < etx)) {
      Stats.GarbageBytesIn += restart;
      FRx.erase(0, restart);
      continue;
    }
    if (etx == std::string::npos || FRx.size() < etx + 4) {
      if (FRx.size() > Frame::BufferSize) {
        Stats.GarbageBytesIn += FRx.size();
        Trace(now, "pc>  over-long frame dropped");
        FRx.clear();
      }
      return;
    }
    const std::string frame = FRx.substr(0, etx + 4);
    FRx.erase(0, etx + 4);
    if (frame.size() > Frame::BufferSize) {
      Stats.GarbageBytesIn += frame.size();
      Trace(now, "pc>  over-long frame dropped");
      continue;
    }
    HandleFrame(frame, etx, now);
  }
}

void TEngine::HandleFrame(std::string_view frame, size_t etx, Clock::time_point now) {
  const std::string_view text = frame.substr(2, etx - 2);
  const uint16_t crc = uint16_t(uint8_t(frame[etx + 2]) << 8 | uint8_t(frame[etx + 3]));
  if (Frame::Crc16(text) != crc) {
    ++Stats.BadCrcIn;
    Trace(now, "pc>  " + HexBytes(frame) + "  (bad CRC, ignored)");
    return;
  }
  ++Stats.FramesIn;
  Trace(now, "pc>  " + HexBytes(frame));
  if (text.size() == 1 && uint8_t(text[0]) == Frame::ACK) {
    // An acknowledgement outside an answer (for example after a refusal that
    // a reading computer took for a data line) is simply dropped.
    if (!FAnswer.Active) return;
    ++Stats.AcksIn;
    FLatencyPending = false;
    ++FAnswer.Next;
    SendNext(now);
    return;
  }
  if (FAnswer.Active) Abandon("new command", now);
  Dispatch(std::string(text), now);
}

void TEngine::Dispatch(const std::string &text, Clock::time_point now) {
  Log(text);
  if (auto raw = FRawReplies.find(text); raw != FRawReplies.end()) {
    if (!FSilenced) FOut += raw->second;
    return;
  }
  if (auto lines = FAnswers.find(text); lines != FAnswers.end()) {
    StartAnswer(lines->second, {}, now);
    return;
  }
  std::vector<std::string> lines;
  if (!text.empty() && text[0] == 'D') {
    if (Tables.ReadTable(text, lines))
      StartAnswer(std::move(lines), {}, now);
    else
      Answer(RE_InvalidFunction);
    return;
  }
  if (text.rfind("RS", 0) == 0) {
    std::string date = FDate, time = FTime;
    if (date.empty()) {
      const std::time_t t = std::time(nullptr);
      std::tm tm{};
      localtime_r(&t, &tm);
      char d[16], h[16];
      std::strftime(d, sizeof d, "%d-%m-%Y", &tm);
      std::strftime(h, sizeof h, "%H:%M:%S", &tm);
      date = d;
      time = h;
    }
    TReportEffect effect;
    if (Sales.Report(text, Tables, date, time, lines, effect))
      StartAnswer(std::move(lines), effect, now);
    else
      Answer(RE_UnknownReport);
    return;
  }
  if (!text.empty() && text[0] == 'U') {
    ++Stats.Records;
    ++FWrites;
    if (FFaults.RefuseWrite > 0 && FWrites == uint64_t(FFaults.RefuseWrite)) {
      Answer(FFaults.RefuseCode);
      return;
    }
    Answer(Tables.Write(text));
    return;
  }
  if (text == "CPX" || text == "CPB" || text == "CPM" || text == "CPD") {
    // The computer does not wait after these and frees its link at once, so
    // no answer is sent: it would only sit unread on the line.
    if (text == "CPX") Tables.EraseAllPlus();
    BareCommands.push_back(text);
    if (BareCommands.size() > MaxLogged) BareCommands.erase(BareCommands.begin());
    return;
  }
  Answer(RE_InvalidFunction);
}

void TEngine::StartAnswer(std::vector<std::string> lines, TReportEffect effect,
                          Clock::time_point now) {
  FAnswer = TAnswer{};
  FAnswer.Active = true;
  FAnswer.Lines = std::move(lines);
  FAnswer.Effect = effect;
  SendNext(now);
}

void TEngine::SendNext(Clock::time_point now) {
  if (FAnswer.Next < FAnswer.Lines.size()) {
    if (!Emit(Frame::EncodeAnswer(FAnswer.Lines[FAnswer.Next]), true)) {
      FAnswer = TAnswer{};
      return;
    }
    FAnswer.Deadline = now + std::chrono::milliseconds(FFaults.AckTimeoutMs);
    return;
  }
  // Every line was acknowledged: only now, and only if the final frame goes
  // out, does a Z report reset what it reported, so a transfer that breaks
  // off loses no sales.
  const TReportEffect effect = FAnswer.Effect;
  FAnswer = TAnswer{};
  if (Emit(Frame::AckFrame(), false)) Sales.Apply(effect);
}

void TEngine::Abandon(const char *why, Clock::time_point now) {
  ++Stats.Abandoned;
  Trace(now, std::string("answer abandoned: ") + why);
  FAnswer = TAnswer{};
  FLatencyPending = false;
}

bool TEngine::Emit(std::string frame, bool data) {
  if (FSilenced) return false;
  if (FFaults.SilentAfterFrame >= 0 && FFramesSent >= uint64_t(FFaults.SilentAfterFrame)) {
    FSilenced = true;
    return false;
  }
  ++FFramesSent;
  ++Stats.FramesOut;
  if (data) {
    ++FDataFramesSent;
    ++Stats.DataFramesOut;
    if (FFaults.BadCrcFrame > 0 && FDataFramesSent == uint64_t(FFaults.BadCrcFrame))
      frame.back() = char(uint8_t(frame.back()) ^ 0x5A);
  }
  FOut += frame;
  return true;
}

void TEngine::Answer(uint8_t code) {
  if (code == RE_Ok) {
    Emit(Frame::AckFrame(), false);
    return;
  }
  ++Stats.Refused;
  Emit(Frame::EncodeAnswer(std::string{char(Refusal), char(code)}), false);
}

std::string TEngine::TakeOutput() {
  std::string out;
  out.swap(FOut);
  return out;
}

void TEngine::OutputSent(Clock::time_point now) {
  if (!FAnswer.Active) return;
  FSentAt = now;
  FLatencyPending = true;
  FAnswer.Deadline = now + std::chrono::milliseconds(FFaults.AckTimeoutMs);
}

void TEngine::Tick(Clock::time_point now) {
  if (FAnswer.Active && now >= FAnswer.Deadline) Abandon("no acknowledgement", now);
}

std::optional<Clock::time_point> TEngine::NextDeadline() const {
  if (FAnswer.Active) return FAnswer.Deadline;
  return std::nullopt;
}

}  // namespace Sim
