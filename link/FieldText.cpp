#include "FieldText.h"

#include <charconv>

#include "Decimal.h"

namespace {

template <class T>
T WholeOrT(const std::string &text, T fallback) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return fallback;
  const size_t last = text.find_last_not_of(" \t");
  const char *b = text.data() + first;
  const char *e = text.data() + last + 1;
  if (*b == '+') ++b;
  if (b == e || *b == '+') return fallback;
  T v = 0;
  const auto r = std::from_chars(b, e, v);
  if (r.ec != std::errc() || r.ptr != e) return fallback;
  return v;
}

}  // namespace

int32_t WholeOr(const std::string &text, int32_t fallback) { return WholeOrT<int32_t>(text, fallback); }

int64_t Whole64Or(const std::string &text, int64_t fallback) { return WholeOrT<int64_t>(text, fallback); }

double DecimalOrZero(const std::string &text) {
  double v = 0;
  return ParseDecimal(text, v) ? v : 0.0;
}

std::string WithoutQuotes(const std::string &text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (c != '"') out += c;
  return out;
}
