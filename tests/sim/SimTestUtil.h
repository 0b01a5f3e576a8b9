// Helpers for driving the engine byte by byte and reading what it sent.
#pragma once

#include <string>
#include <vector>

#include "Engine.h"

namespace SimTest {

// One answer frame as the computer would take it apart.
struct TFrameOut {
  std::string Raw;      // the bytes on the wire
  std::string Payload;  // decoded
  bool CrcOk = false;
};

// Splits the simulator's output into frames (it only ever sends whole ones).
std::vector<TFrameOut> SplitFrames(const std::string &out);

// Sends text framed as the computer does, and returns the frames it caused.
std::vector<TFrameOut> Send(Sim::TEngine &e, const std::string &text);
// Sends the computer's acknowledgement.
std::vector<TFrameOut> Ack(Sim::TEngine &e);
// A whole read: the command, then an acknowledgement per data frame. Returns
// the data lines; final is set when the final frame came.
std::vector<std::string> ReadAll(Sim::TEngine &e, const std::string &command, bool *final = nullptr);

inline bool IsAcceptance(const std::vector<TFrameOut> &f) {
  return f.size() == 1 && f[0].Raw == std::string("\x10\x02\x06\x10\x03\x42\x3F", 7);
}
// The register code of a lone refusal frame, or -1.
int RefusalCode(const std::vector<TFrameOut> &f);

std::vector<std::string> Split(const std::string &line);

}  // namespace SimTest
