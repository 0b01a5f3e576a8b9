#include "Decimal.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {

// Fifteen significant digits are what a double holds for sure; rounding on
// them, not on the binary expansion, gives the result a user expects from
// the number they typed (1.005 -> 1,01).
constexpr int SignificantDigits = 15;

}  // namespace

std::string FormatDecimal(double v, int decimals) {
  if (decimals < 0) decimals = 0;
  if (std::isnan(v)) return "NAN";
  if (std::isinf(v)) return v < 0 ? "-INF" : "INF";

  const bool negative = v < 0;
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific,
                                 SignificantDigits - 1);
  const std::string sci(buf, res.ptr);  // d.dddddddddddddde[+-]XX
  const size_t e = sci.find('e');
  std::string digits = sci.substr(0, 1) + sci.substr(2, e - 2);
  const int exponent = std::atoi(sci.c_str() + e + 1);

  // digits with the decimal point after `point` of them.
  int point = exponent + 1;
  if (point < 1) {
    digits.insert(0, size_t(1 - point), '0');
    point = 1;
  }
  const size_t keep = size_t(point) + size_t(decimals);
  if (digits.size() < keep + 1) digits.append(keep + 1 - digits.size(), '0');

  const bool roundUp = digits[keep] >= '5';
  digits.resize(keep);
  if (roundUp) {
    size_t i = keep;
    while (i > 0) {
      --i;
      if (digits[i] == '9') {
        digits[i] = '0';
      } else {
        ++digits[i];
        break;
      }
      if (i == 0) {
        digits.insert(0, 1, '1');
        ++point;
      }
    }
  }

  std::string whole = digits.substr(0, size_t(point));
  const size_t firstNonZero = whole.find_first_not_of('0');
  whole = firstNonZero == std::string::npos ? "0" : whole.substr(firstNonZero);
  std::string out = whole;
  if (decimals > 0) out += "," + digits.substr(size_t(point));
  // A value that rounds to zero is shown without a sign.
  if (negative && out.find_first_not_of("0,") != std::string::npos) out.insert(0, 1, '-');
  return out;
}

bool ParseDecimal(const std::string &text, double &out) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return false;
  const size_t last = text.find_last_not_of(" \t");
  std::string s = text.substr(first, last - first + 1);

  size_t i = 0;
  bool negative = false;
  if (s[i] == '+' || s[i] == '-') negative = s[i++] == '-';
  std::string number;  // digits and one '.', for from_chars
  int digitCount = 0;
  bool separator = false;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (c >= '0' && c <= '9') {
      number += c;
      ++digitCount;
    } else if ((c == ',' || c == '.') && !separator) {
      separator = true;
      number += '.';
    } else {
      return false;
    }
  }
  if (digitCount == 0) return false;
  if (number.front() == '.') number.insert(0, 1, '0');
  double value = 0;
  const auto res = std::from_chars(number.data(), number.data() + number.size(), value);
  if (res.ec != std::errc() || res.ptr != number.data() + number.size()) return false;
  out = negative ? -value : value;
  return true;
}
