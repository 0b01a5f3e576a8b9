#include "RecordText.h"

#include <cmath>
#include <limits>

#include "Decimal.h"

namespace {

// Builds a text field by field; names go between double quotes unescaped,
// as the register expects them.
class TTextBuilder {
 public:
  explicit TTextBuilder(const char *prefix) : FText(prefix) {}
  TTextBuilder &Int(int64_t v) { FText += std::to_string(v); return *this; }
  TTextBuilder &Quoted(const std::string &s) { FText += '"'; FText += s; FText += '"'; return *this; }
  TTextBuilder &Raw(const std::string &s) { FText += s; return *this; }
  TTextBuilder &Sep(int count = 1) { FText.append(size_t(count), ';'); return *this; }
  std::string Text() { return std::move(FText); }

 private:
  std::string FText;
};

// Truncation toward zero that stays defined for values no int64 holds.
int64_t TruncToInt64(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 9223372036854775807.0) return std::numeric_limits<int64_t>::max();
  if (v <= -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
  return int64_t(v);
}

std::string DeptText(const TDeptRec &r) {
  return TTextBuilder("U5000;")
      .Int(r.Cod).Sep().Quoted(r.Nume).Sep().Int(r.UM).Sep().Int(0).Sep().Int(r.O1).Sep()
      .Int(0).Sep().Int(r.L).Sep().Int(r.P1).Sep().Int(0).Sep().Int(r.TVA).Sep(9)
      .Text();
}

std::string PluText(const TPluRec &r) {
  if (r.Sters) return TTextBuilder("U10000;-").Raw(FormatDecimal(r.Cod, 0)).Text();
  return TTextBuilder("U10000;")
      .Raw(FormatDecimal(r.Cod, 0)).Sep().Quoted(r.Nume).Sep().Quoted(r.NumeAditional).Sep()
      .Int(r.CodDep).Sep(2).Int(r.CodUM).Sep().Raw(FormatDecimal(r.Pret1, 2)).Sep()
      .Raw(FormatDecimal(r.Pret2, 2)).Sep(20).Int(TruncToInt64(r.LinkPLU))
      .Text();
}

std::string TvaText(const TTvaRec &r) {
  // O2 has a slot in the record but the register's field 6 stays empty.
  return TTextBuilder("U260;")
      .Int(r.Cod).Sep().Quoted(r.Nume).Sep().Int(r.Cota).Sep().Int(r.Exceptat).Sep().Int(r.O1)
      .Sep(2).Int(r.P1).Sep().Int(r.P2).Sep()
      .Text();
}

std::string CasierText(const TCasierRec &r) {
  return TTextBuilder("U2000;")
      .Int(r.Cod).Sep().Quoted(r.Nume).Sep().Int(r.O1).Sep().Int(r.O2).Sep().Raw(r.Parola).Sep()
      .Text();
}

std::string CursText(const TCursRec &r) {
  return TTextBuilder("U1200;")
      .Int(r.Cod).Sep().Quoted(r.Nume).Sep().Quoted(r.Prefix).Sep().Int(r.rata).Sep()
      .Text();
}

std::string FormaPlataText(const TFormaPlataRec &r) {
  return TTextBuilder("U700;")
      .Int(r.Cod).Sep().Quoted(r.Nume).Sep().Int(r.O1).Sep().Int(r.O2).Sep().Int(r.L).Sep()
      .Int(r.P1).Sep().Int(r.P2).Sep().Int(r.S).Sep().Int(r.ODS).Sep()
      .Text();
}

std::string BlockText(const char *prefix, const TBlockRec &r) {
  TTextBuilder b(prefix);
  b.Int(r.Cod).Sep();
  for (int32_t p : r.P) b.Int(p).Sep();
  return b.Text();
}

}  // namespace

std::string BuildRecordText(int kind, const void *rec) {
  if (!rec) return "";
  switch (kind) {
    case rkDept: return DeptText(*static_cast<const TDeptRec *>(rec));
    case rkPlu: return PluText(*static_cast<const TPluRec *>(rec));
    case rkTva: return TvaText(*static_cast<const TTvaRec *>(rec));
    case rkCasier: return CasierText(*static_cast<const TCasierRec *>(rec));
    case rkCurs: return CursText(*static_cast<const TCursRec *>(rec));
    case rkFormaPlata: return FormaPlataText(*static_cast<const TFormaPlataRec *>(rec));
    case rkSO: return BlockText("U17;", *static_cast<const TSORec *>(rec));
    case rkSP: return BlockText("U16;", *static_cast<const TSPRec *>(rec));
    default: return "";
  }
}
