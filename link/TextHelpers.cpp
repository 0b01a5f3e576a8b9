#include "TextHelpers.h"

#include <cfenv>
#include <cmath>

void SplitText(const std::string &text, char separator, TLineList &lines) {
  if (text.empty()) return;
  size_t start = 0;
  for (;;) {
    const size_t pos = text.find(separator, start);
    if (pos == std::string::npos) break;
    lines.push_back(text.substr(start, pos - start));
    start = pos + 1;
  }
  lines.push_back(text.substr(start));
}

std::string PadLeft(const std::string &text, int width, char ch) {
  if (width <= 0 || text.size() >= size_t(width)) return text;
  return std::string(size_t(width) - text.size(), ch) + text;
}

double RoundHalfAway(double x) {
  // The result must not depend on a rounding mode some other code left set
  // (a printer driver or a plug-in may change it); put ours in place and give
  // the caller's back. On x86-64 doubles are computed in double precision
  // already, so only the rounding direction needs pinning.
  const int saved = std::fegetround();
  std::fesetround(FE_TONEAREST);
  const double y = x >= 0 ? x + 1e-10 : x - 1e-10;
  double whole = 0;
  const double frac = std::modf(std::fabs(y), &whole);
  if (frac >= 0.5) whole += 1;
  const double result = x < 0 ? -whole : whole;
  std::fesetround(saved);
  return result;
}

TLineList SplitTextLines(std::string_view bytes) {
  TLineList lines;
  size_t start = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c != '\r' && c != '\n') continue;
    lines.emplace_back(bytes.substr(start, i - start));
    if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < bytes.size()) lines.emplace_back(bytes.substr(start));
  return lines;
}

std::string HexBytes(std::string_view bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string s;
  s.reserve(bytes.size() * 3);
  for (unsigned char c : bytes) {
    if (!s.empty()) s.push_back(' ');
    s.push_back(digits[c >> 4]);
    s.push_back(digits[c & 15]);
  }
  return s;
}
