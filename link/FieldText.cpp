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

namespace {

// The positions of code, name, additional name, department, unit, prices
// and linked PLU in a line.
void TakePlu(const TLineList &f, const size_t (&at)[8], TPluFields &out) {
  out.Code = Whole64Or(f[at[0]], 0);
  out.Nume = WithoutQuotes(f[at[1]]);
  out.NumeAditional = WithoutQuotes(f[at[2]]);
  out.CodDep = WholeOr(f[at[3]], 0);
  out.CodUM = WholeOr(f[at[4]], 0);
  out.Pret1 = DecimalOrZero(f[at[5]]);
  out.Pret2 = DecimalOrZero(f[at[6]]);
  out.LinkPLU = DecimalOrZero(f[at[7]]);
}

}  // namespace

bool PluOfAnswerFields(const TLineList &fields, TPluFields &out) {
  if (fields.size() != 46) return false;
  static const size_t at[8] = {1, 2, 3, 4, 6, 7, 8, 28};
  TakePlu(fields, at, out);
  return true;
}

bool PluOfTextFields(const TLineList &fields, TPluFields &out) {
  if (fields.size() < 8) return false;
  static const size_t at[8] = {0, 1, 2, 3, 4, 5, 6, 7};
  TakePlu(fields, at, out);
  return true;
}
