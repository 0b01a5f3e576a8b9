#include "CommandFile.h"

#include "FieldText.h"

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

std::string UnreadableMessage(const TOnlineCommand &cmd) {
  return std::string("Nu pot deschide fisierul ") + cmd.File;
}

namespace {

bool ValidPluLine(const TLineList &fields) {
  if (fields.empty()) return true;
  // A negative code would go out as "U10000;-N;...", which the register
  // reads as the deletion of PLU N: a list meant to program an article
  // must never delete another one.
  if (Whole64Or(fields[0], 0) < 0) return false;
  return fields.size() >= 8 || (fields.size() == 2 && fields[1] == "-");
}

}  // namespace

int FirstInvalidPluLine(const TLineList &lines) {
  if (lines.empty()) return -1;
  TLineList fields;
  for (size_t i = 0; i < lines.size(); ++i) {
    fields.clear();
    SplitText(lines[i], ';', fields);
    if (!ValidPluLine(fields)) return int(i + 1);
  }
  return 0;
}

TPluRec PluRecordOfLine(const std::string &line) {
  TPluRec rec{};
  TLineList f;
  SplitText(line, ';', f);
  if (f.empty()) return rec;
  rec.Cod = double(Whole64Or(f[0], 0));
  if (f.size() == 2 && f[1] == "-") {
    rec.Sters = true;
    return rec;
  }
  if (f.size() < 8) return rec;
  rec.Nume = WithoutQuotes(f[1]);
  rec.NumeAditional = WithoutQuotes(f[2]);
  rec.CodDep = WholeOr(f[3], 0);
  rec.CodUM = WholeOr(f[4], 0);
  rec.Pret1 = DecimalOrZero(f[5]);
  rec.Pret2 = DecimalOrZero(f[6]);
  rec.LinkPLU = DecimalOrZero(f[7]);
  return rec;
}
