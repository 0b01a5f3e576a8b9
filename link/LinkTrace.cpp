#include "LinkTrace.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <stdexcept>

#include "Frame.h"
#include "TextHelpers.h"

namespace {

// Local date and time with milliseconds: "2026-03-05 14:03:07.123".
std::string Stamp() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t seconds = system_clock::to_time_t(now);
  const auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm tm{};
  localtime_r(&seconds, &tm);
  char text[40];
  const size_t n = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
  std::snprintf(text + n, sizeof text - n, ".%03d", int(millis));
  return text;
}

}  // namespace

TLinkTrace::TLinkTrace(const std::string &path) : FOut(std::fopen(path.c_str(), "ae")), FOwned(true) {
  if (!FOut)
    throw std::runtime_error("cannot open the trace file " + path + ": " + std::strerror(errno));
}

TLinkTrace::TLinkTrace(std::FILE *out) : FOut(out), FOwned(false) {}

TLinkTrace::~TLinkTrace() {
  if (FOwned && FOut) std::fclose(FOut);
}

std::string TLinkTrace::Printable(std::string_view bytes) {
  static const char Digits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size());
  for (const char c : bytes) {
    const uint8_t b = uint8_t(c);
    if (b >= 0x20 && b < 0x7F && b != '\\') {
      out += c;
    } else {
      out += "\\x";
      out += Digits[b >> 4];
      out += Digits[b & 0xF];
    }
  }
  return out;
}

void TLinkTrace::Line(std::string_view head, std::string_view rest) {
  // A trace that cannot be written (a full disk) must not stop the exchange
  // it describes: failures of the stream are left alone.
  const std::string line = Stamp() + " " + std::string(head) + " " + std::string(rest) + "\n";
  std::lock_guard<std::mutex> guard(FLock);
  std::fwrite(line.data(), 1, line.size(), FOut);
  std::fflush(FOut);
}

void TLinkTrace::Sent(std::string_view frame) {
  // Requests carry their text unescaped between DLE STX and DLE ETX + CRC.
  const std::string_view text = frame.size() >= 6 ? frame.substr(2, frame.size() - 6) : frame;
  Line("pc>", HexBytes(frame) + " | " + Printable(text));
}

void TLinkTrace::Received(std::string_view frame) {
  std::string text(frame);
  if (Frame::IsComplete(reinterpret_cast<const uint8_t *>(frame.data()), frame.size())) {
    uint8_t decoded[Frame::BufferSize];
    const long n = Frame::DecodePayload(reinterpret_cast<const uint8_t *>(frame.data()) + 2,
                                        frame.size() - 6, decoded, sizeof decoded);
    if (n >= 0) text.assign(reinterpret_cast<const char *>(decoded), size_t(n));
  }
  Line("<reg", HexBytes(frame) + " | " + Printable(text));
}

void TLinkTrace::NotTaken(std::string_view bytes) {
  Line("<reg (not taken)", HexBytes(bytes) + " | " + Printable(bytes));
}

void TLinkTrace::Note(std::string_view text) { Line("--", Printable(text)); }
