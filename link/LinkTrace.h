// A frame trace for support: every frame the link sends or takes, one line
// each, written and flushed at once so that the trace is whole even when the
// program is killed or the cable pulled in the middle of an exchange.
//
//   2026-03-05 14:03:07.123 pc> 10 02 44 35 30 30 30 10 03 D8 CF | D5000
//   2026-03-05 14:03:07.131 <reg 10 02 41 3B 31 10 03 30 F3 | A;1
//   2026-03-05 14:03:12.140 <reg (not taken) 10 02 42 | \x10\x02B
//   2026-03-05 14:03:12.140 -- 8000;Time out
//
// After the direction come the frame's bytes in hex as they were on the wire,
// then, after " | ", its text: the payload as the link understands it
// (decoded, for frames from the register; the bytes as they are for bytes
// that made no frame). Printable ASCII stands as it is; every other byte, and
// the backslash, is written \xNN so that the text reads back unambiguously.
// A line starting "--" says why an exchange failed.
//
// Written from the links' own threads; a line is written whole under a lock,
// so one trace can follow several links at once.
#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

class TLinkTrace {
 public:
  // Appends to the file at path; std::runtime_error when it cannot be opened.
  explicit TLinkTrace(const std::string &path);
  // Writes to an open stream (stderr) that stays the caller's.
  explicit TLinkTrace(std::FILE *out);
  ~TLinkTrace();
  TLinkTrace(const TLinkTrace &) = delete;
  TLinkTrace &operator=(const TLinkTrace &) = delete;

  // A frame the computer sends ("pc>").
  void Sent(std::string_view frame);
  // A complete frame from the register that the link took ("<reg").
  void Received(std::string_view frame);
  // Bytes from the register that never made a frame the link could take,
  // at the end of a failed exchange ("<reg (not taken)").
  void NotTaken(std::string_view bytes);
  // Why an exchange failed: LastError ("--").
  void Note(std::string_view text);

  // The parts of a line.
  static std::string Printable(std::string_view bytes);

 private:
  void Line(std::string_view head, std::string_view rest);
  std::mutex FLock;
  std::FILE *FOut;
  bool FOwned;
};
