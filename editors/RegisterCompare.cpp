#include "RegisterCompare.h"

#include <map>

namespace {

struct TSides {
  std::vector<int> Project, Register;  // row numbers with the code, in order
};

}  // namespace

const TDifference *TVerifyReport::FieldsOf(int64_t code) const {
  for (const TDifference &d : Differences)
    if (d.Code == code && d.Kind == TDifferenceKind::FieldsDiffer) return &d;
  return nullptr;
}

int TVerifyReport::Lines() const {
  int lines = 0;
  for (const TDifference &d : Differences) lines += d.Fields.empty() ? 1 : int(d.Fields.size());
  return lines;
}

TVerifyReport CompareWithRegister(const TRecordSet &project, const TRecordSet &registerRows,
                                  const TCompareSpec &spec) {
  TVerifyReport report;
  report.Done = true;
  report.ProjectRows = project.RecordCount();
  report.RegisterRows = registerRows.RecordCount();
  std::map<int64_t, TSides> codes;  // in code order
  for (int r = 1; r <= report.ProjectRows; ++r) codes[spec.Code(project, r)].Project.push_back(r);
  for (int r = 1; r <= report.RegisterRows; ++r) codes[spec.Code(registerRows, r)].Register.push_back(r);

  for (const auto &[code, sides] : codes) {
    auto note = [&, code = code](TDifferenceKind kind) -> TDifference & {
      TDifference d;
      d.Kind = kind;
      d.Code = code;
      d.CodeText = spec.CodeText(code);
      report.Differences.push_back(std::move(d));
      if (kind != TDifferenceKind::OnlyInRegister) report.MarkedCodes.insert(code);
      return report.Differences.back();
    };
    if (sides.Project.size() > 1) note(TDifferenceKind::RepeatedInProject).Count = int(sides.Project.size());
    if (sides.Register.size() > 1) note(TDifferenceKind::RepeatedInRegister).Count = int(sides.Register.size());
    const int p = sides.Project.empty() ? 0 : sides.Project.back();
    const int r = sides.Register.empty() ? 0 : sides.Register.back();
    auto summarize = [&](TDifference &d) {
      if (!spec.Summary) return;
      if (p) d.Project = spec.Summary(project, p);
      if (r) d.Register = spec.Summary(registerRows, r);
    };
    if (p && spec.Unwanted && spec.Unwanted(project, p)) {
      if (r) summarize(note(TDifferenceKind::MarkedButInRegister));
      continue;
    }
    if (!p || !r) {
      summarize(note(p ? TDifferenceKind::OnlyInProject : TDifferenceKind::OnlyInRegister));
      continue;
    }
    std::vector<TFieldDifference> fields;
    for (const TCompareSpec::TField &f : spec.Fields) {
      std::string mine = f.Value(project, p), theirs = f.Value(registerRows, r);
      if (mine != theirs) fields.push_back({f.Name, std::move(mine), std::move(theirs)});
    }
    if (!fields.empty()) note(TDifferenceKind::FieldsDiffer).Fields = std::move(fields);
  }
  return report;
}
