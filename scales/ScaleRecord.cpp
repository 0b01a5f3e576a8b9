#include "ScaleRecord.h"

#include <cmath>

#include "TextHelpers.h"

namespace {

void AppendHex(std::string &out, unsigned value, int digits) {
  static const char hex[] = "0123456789ABCDEF";
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += hex[(value >> shift) & 0xF];
}

constexpr size_t NameLineChars = 14;

}  // namespace

void TDPLuRecord::SetPluNumber(int32_t number) {
  FPluNumber = number;
  FPluNumberText = PadLeft(std::to_string(number), 8, '0');
}

void TDPLuRecord::SetName(const std::string &name) {
  FName = name;
  FNameLines.clear();
  for (size_t at = 0; at < name.size(); at += NameLineChars) FNameLines.push_back(name.substr(at, NameLineChars));
}

int64_t TDPLuRecord::PriceHundredths() const {
  const double r = RoundHalfAway(Price * 100.0);
  // Out of the 64-bit range only for absurd prices; the caller refuses
  // anything above the record's eight digits anyway.
  if (!(std::fabs(r) < 9.2e18)) return r < 0 ? INT64_MIN : INT64_MAX;
  return int64_t(r);
}

int TDPLuRecord::Length() const {
  int length = 25;
  for (const std::string &line : FNameLines) length += int(line.size()) + 3;
  return length;
}

std::string TDPLuRecord::Text() const {
  std::string t;
  t.reserve(52 + FName.size() * 2 + FNameLines.size() * 6);
  t += FPluNumberText;
  AppendHex(t, unsigned(Length()), 4);
  t += "7000";
  t += "0D2000";
  t += PadLeft(std::to_string(PriceHundredths()), 8, '0');
  t += "11";
  t += "05";
  t += Barcode;
  if (Barcode.size() < 14) t.append(14 - Barcode.size(), '0');
  for (size_t i = 0; i < FNameLines.size(); ++i) {
    const std::string &line = FNameLines[i];
    t += "07";
    AppendHex(t, unsigned(line.size()), 2);
    for (unsigned char c : line) AppendHex(t, c, 2);
    t += i + 1 == FNameLines.size() ? "0C" : "0D";
  }
  t += "00";
  return t;
}
