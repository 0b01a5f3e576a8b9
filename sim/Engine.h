// The register's side of the conversation, free of any I/O: bytes from the
// computer go in through Receive, the bytes to send come out of TakeOutput,
// and the caller says when they have left (OutputSent) and lets time pass
// (Tick). The pseudo-terminal runner drives it on a real line; the unit tests
// drive it directly.
//
// Frames from the computer are DLE STX text DLE ETX CRC-hi CRC-lo. A frame
// with a wrong CRC is ignored, as a register ignores line noise: the computer
// then sees silence. Bytes that do not belong to a frame are skipped until
// the next DLE STX, and a frame that runs past 1000 bytes is dropped.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "RegisterTables.h"
#include "SalesLedger.h"

namespace Sim {

using Clock = std::chrono::steady_clock;  // CLOCK_MONOTONIC

// Faults to inject; frames are counted from the last SetFaults on.
struct TFaults {
  int ByteDelayMs = 0;        // send one byte at a time, this many ms apart (runner)
  int Baud = 0;               // bit/s of the simulated line, 10 bits a byte; 0: no pacing (runner)
  int BadCrcFrame = 0;        // the k-th data frame sent (from 1) gets a wrong CRC; 0: none
  int SilentAfterFrame = -1;  // nothing at all is sent after the k-th frame; -1: never
  int RefuseWrite = 0;        // the k-th write record (from 1) is refused; 0: none
  uint8_t RefuseCode = RE_InvalidInput;  // code the refusal carries
  int AckTimeoutMs = 5000;    // an answer waits this long for each acknowledgement
};

struct TStats {
  uint64_t FramesIn = 0;       // good frames from the computer, acknowledgements included
  uint64_t BadCrcIn = 0;       // frames ignored for their CRC
  uint64_t GarbageBytesIn = 0; // bytes skipped outside any frame
  uint64_t AcksIn = 0;         // acknowledgements that moved an answer on
  uint64_t FramesOut = 0;
  uint64_t DataFramesOut = 0;
  uint64_t Records = 0;        // write records received
  uint64_t Refused = 0;        // answers with a refusal
  uint64_t Abandoned = 0;      // answers given up (no acknowledgement, or a new command)
  // Microseconds from the last byte of each data frame sent to the first byte
  // that came back (the computer's acknowledgement).
  std::vector<double> AckLatencyUs;
};

class TEngine {
 public:
  static constexpr uint8_t Refusal = 0x15;
  static constexpr size_t MaxLogged = 1000;  // commands kept in the log

  TEngine();

  void SetFaults(const TFaults &faults);  // also restarts the frame counters
  const TFaults &Faults() const { return FFaults; }

  // The runner calls this the moment bytes arrive, before any pacing delay,
  // so the acknowledgement latency is measured on the real clock.
  void NoteInputArrival(Clock::time_point now);
  void Receive(std::string_view bytes, Clock::time_point now);

  std::string TakeOutput();
  bool HasOutput() const { return !FOut.empty(); }
  // Everything taken so far has left: the acknowledgement wait starts now.
  void OutputSent(Clock::time_point now);
  // Gives up an answer whose acknowledgement did not come in time.
  void Tick(Clock::time_point now);
  std::optional<Clock::time_point> NextDeadline() const;
  // An answer is under way (waiting for an acknowledgement).
  bool Busy() const { return FAnswer.Active; }

  // Test hooks: answer a command with these data lines instead of the
  // register's own, or with these raw bytes as they stand (no framing, no
  // acknowledgement awaited). They stay until ClearOverrides.
  void SetAnswer(const std::string &command, std::vector<std::string> lines);
  void SetRawReply(const std::string &command, std::string bytes);
  void ClearOverrides();
  // Report headers carry this date and time instead of the clock's.
  void SetReportClock(std::string date, std::string time);

  TRegisterTables Tables;
  TSalesLedger Sales;
  TStats Stats;
  std::deque<std::string> Commands;      // last MaxLogged command texts received
  std::vector<std::string> BareCommands; // CPX, CPB, CPM, CPD in order (last MaxLogged)

  // A line for the trace ("pc>  10 02 ...", "latency 120.5 us").
  std::function<void(Clock::time_point, const std::string &)> OnTrace;

 private:
  struct TAnswer {
    bool Active = false;
    std::vector<std::string> Lines;
    size_t Next = 0;
    TReportEffect Effect;
    Clock::time_point Deadline{};
  };

  void Parse(Clock::time_point now);
  void HandleFrame(std::string_view frame, size_t etx, Clock::time_point now);
  void Dispatch(const std::string &text, Clock::time_point now);
  void StartAnswer(std::vector<std::string> lines, TReportEffect effect, Clock::time_point now);
  void SendNext(Clock::time_point now);
  void Abandon(const char *why, Clock::time_point now);
  bool Emit(std::string frame, bool data);
  void Answer(uint8_t code);  // acceptance (RE_Ok) or refusal
  void Trace(Clock::time_point now, const std::string &line);
  void Log(std::string text);

  TFaults FFaults;
  std::string FRx;   // bytes not yet taken into a frame
  std::string FOut;  // bytes waiting for the runner
  TAnswer FAnswer;
  uint64_t FFramesSent = 0, FDataFramesSent = 0, FWrites = 0;
  bool FSilenced = false;
  bool FLatencyPending = false;
  Clock::time_point FSentAt{};
  std::map<std::string, std::vector<std::string>> FAnswers;
  std::map<std::string, std::string> FRawReplies;
  std::string FDate, FTime;
};

}  // namespace Sim
