#include "Fields.h"

#include <charconv>
#include <cinttypes>
#include <cstdio>

namespace Sim {

std::vector<std::string_view> SplitFields(std::string_view text, char sep) {
  std::vector<std::string_view> fields;
  if (text.empty()) return fields;
  size_t start = 0;
  for (;;) {
    const size_t at = text.find(sep, start);
    if (at == std::string_view::npos) break;
    fields.push_back(text.substr(start, at - start));
    start = at + 1;
  }
  fields.push_back(text.substr(start));
  return fields;
}

namespace {

template <class T>
std::optional<T> ParseInt(std::string_view field) {
  if (field.empty()) return std::nullopt;
  // from_chars accepts a leading '-' but no '+' and no blanks: the strictness
  // we want, since the computer writes integers without either.
  T value{};
  const char *first = field.data(), *last = field.data() + field.size();
  if (*first == '-' && field.size() == 1) return std::nullopt;
  auto [ptr, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || ptr != last) return std::nullopt;
  return value;
}

}  // namespace

std::optional<int32_t> ParseInt32(std::string_view field) { return ParseInt<int32_t>(field); }
std::optional<int64_t> ParseInt64(std::string_view field) { return ParseInt<int64_t>(field); }

std::optional<int64_t> ParseCents(std::string_view field) {
  const size_t sep = field.find_first_of(",.");
  const std::string_view whole = field.substr(0, sep);
  std::string_view frac = sep == std::string_view::npos ? std::string_view() : field.substr(sep + 1);
  if (whole.empty() || whole.size() > 12 || frac.size() > 2) return std::nullopt;
  int64_t cents = 0;
  for (char c : whole) {
    if (c < '0' || c > '9') return std::nullopt;
    cents = cents * 10 + (c - '0');
  }
  for (size_t i = 0; i < 2; ++i) {
    int digit = 0;
    if (i < frac.size()) {
      if (frac[i] < '0' || frac[i] > '9') return std::nullopt;
      digit = frac[i] - '0';
    }
    cents = cents * 10 + digit;
  }
  return cents;
}

std::string_view Unquote(std::string_view field) {
  if (field.size() >= 2 && field.front() == '"' && field.back() == '"')
    return field.substr(1, field.size() - 2);
  return field;
}

// value / 10^decimals with exactly that many decimals (1 to 4) after a point.
static std::string FormatScaled(int64_t value, int decimals) {
  static constexpr uint64_t Scale[] = {1, 10, 100, 1000, 10000};
  const uint64_t scale = Scale[decimals];
  char buf[48];
  const char *sign = value < 0 ? "-" : "";
  const uint64_t mag = value < 0 ? uint64_t(-(value + 1)) + 1 : uint64_t(value);
  std::snprintf(buf, sizeof buf, "%s%" PRIu64 ".%0*" PRIu64, sign, mag / scale, decimals, mag % scale);
  return buf;
}

std::string FormatCents(int64_t cents) { return FormatScaled(cents, 2); }
std::string FormatMilli(int64_t milli) { return FormatScaled(milli, 3); }

}  // namespace Sim
