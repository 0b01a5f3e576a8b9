#include "DifferenceText.h"

#include "CodePage.h"

namespace {

std::string Quoted(const std::string &bytes) { return "\"" + ToUtf8(bytes) + "\""; }

// The name of a row only one side holds, after the line ("" when none).
std::string Named(const std::string &bytes) { return bytes.empty() ? "" : " (" + Quoted(bytes) + ")"; }

std::string Line(const TDifference &d, const TFieldDifference *f, const std::string &codeWord) {
  std::string line = codeWord + " " + d.CodeText + ": ";
  switch (d.Kind) {
    case TDifferenceKind::OnlyInRegister: return line + "only in the register" + Named(d.Register);
    case TDifferenceKind::OnlyInProject: return line + "only in the project" + Named(d.Project);
    case TDifferenceKind::MarkedButInRegister:
      return line + "marked for deletion, still in the register" + Named(d.Register);
    case TDifferenceKind::RepeatedInProject:
      return line + "the code repeats in the project (" + std::to_string(d.Count) + " rows; the last is compared)";
    case TDifferenceKind::RepeatedInRegister:
      return line + "the code repeats in the register (" + std::to_string(d.Count) +
             " rows; the last is compared)";
    case TDifferenceKind::FieldsDiffer:
      return line + f->Field + ": project " + Quoted(f->Project) + ", register " + Quoted(f->Register);
  }
  return line;
}

}  // namespace

std::vector<std::string> DifferenceLines(const TVerifyReport &report, const std::string &codeWord) {
  std::vector<std::string> lines;
  for (const TDifference &d : report.Differences) {
    if (d.Kind != TDifferenceKind::FieldsDiffer) lines.push_back(Line(d, nullptr, codeWord));
    for (const TFieldDifference &f : d.Fields) lines.push_back(Line(d, &f, codeWord));
  }
  return lines;
}
