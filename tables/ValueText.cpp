#include "ValueText.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

std::string_view Trim(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
  return t;
}

[[noreturn]] void NotA(const char *what, const std::string &text, const std::string &field) {
  throw ERecordSet("'" + text + "' nu este " + what + " (campul " + field + ")");
}

int32_t RoundToInteger(double v, const std::string &field) {
  const double r = std::round(v);
  if (!(r >= double(std::numeric_limits<int32_t>::min()) && r <= double(std::numeric_limits<int32_t>::max())))
    throw ERecordSet("Valoarea " + FloatToText(v) + " nu incape intr-un intreg (campul " + field + ")");
  return int32_t(r);
}

bool ParseBooleanText(std::string_view t, bool &out) {
  t = Trim(t);
  if (EqualsNoCase(t, "true") || t == "1") return out = true, true;
  if (EqualsNoCase(t, "false") || t == "0") return out = false, true;
  return false;
}

}  // namespace

std::string FloatToText(double v) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
  std::string s(buf, res.ptr);
  for (char &c : s)
    if (c == '.') c = ',';
  return s;
}

bool ParseFloatText(std::string_view text, double &out) {
  std::string t(Trim(text));
  if (!t.empty() && t[0] == '+') t.erase(0, 1);
  if (t.empty() || t[0] == '+') return false;
  for (char &c : t) {
    if (c == ',') c = '.';
    // from_chars would also take "inf" and "nan"; table values never are.
    else if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == 'e' || c == 'E')) return false;
  }
  double v = 0;
  const char *const first = &t.front(), *const last = first + t.size();
  auto res = std::from_chars(first, last, v);
  if (res.ec != std::errc() || res.ptr != last || !std::isfinite(v)) return false;
  out = v;
  return true;
}

bool ParseIntegerText(std::string_view text, int32_t &out) {
  std::string_view t = Trim(text);
  if (!t.empty() && t[0] == '+') t.remove_prefix(1);
  if (t.empty() || t[0] == '+') return false;
  int32_t v = 0;
  const char *const first = &t.front(), *const last = first + t.size();
  auto res = std::from_chars(first, last, v);
  if (res.ec != std::errc() || res.ptr != last) return false;
  out = v;
  return true;
}

int32_t ValueToInteger(const TFieldValue &v, const std::string &field) {
  switch (v.index()) {
    case 0: return 0;
    case 1: return std::get<int32_t>(v);
    case 2: return RoundToInteger(std::get<double>(v), field);
    case 3: return std::get<bool>(v) ? 1 : 0;
    default: {
      const std::string &t = std::get<std::string>(v);
      if (Trim(t).empty()) return 0;
      int32_t i;
      if (!ParseIntegerText(t, i)) NotA("un numar intreg", t, field);
      return i;
    }
  }
}

double ValueToFloat(const TFieldValue &v, const std::string &field) {
  double d = 0;
  if (!TryValueToFloat(v, d)) NotA("un numar", std::get<std::string>(v), field);
  return d;
}

bool TryValueToFloat(const TFieldValue &v, double &out) {
  switch (v.index()) {
    case 0: out = 0; return true;
    case 1: out = std::get<int32_t>(v); return true;
    case 2: out = std::get<double>(v); return true;
    case 3: out = std::get<bool>(v) ? 1 : 0; return true;
    default: {
      const std::string &t = std::get<std::string>(v);
      if (Trim(t).empty()) return out = 0, true;
      return ParseFloatText(t, out);
    }
  }
}

bool ValueToBoolean(const TFieldValue &v, const std::string &field) {
  switch (v.index()) {
    case 0: return false;
    case 1: return std::get<int32_t>(v) != 0;
    case 2: return std::get<double>(v) != 0;
    case 3: return std::get<bool>(v);
    default: {
      const std::string &t = std::get<std::string>(v);
      if (Trim(t).empty()) return false;
      bool b;
      if (!ParseBooleanText(t, b)) NotA("o valoare logica", t, field);
      return b;
    }
  }
}

std::string ValueToText(const TFieldValue &v) {
  switch (v.index()) {
    case 0: return std::string();
    case 1: return std::to_string(std::get<int32_t>(v));
    case 2: return FloatToText(std::get<double>(v));
    case 3: return std::get<bool>(v) ? "True" : "False";
    default: return std::get<std::string>(v);
  }
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}
