#include "CommandFile.h"

#include "FieldText.h"

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
  TPluFields p;
  if (!PluOfTextFields(f, p)) return rec;
  rec.Nume = p.Nume;
  rec.NumeAditional = p.NumeAditional;
  rec.CodDep = p.CodDep;
  rec.CodUM = p.CodUM;
  rec.Pret1 = p.Pret1;
  rec.Pret2 = p.Pret2;
  rec.LinkPLU = p.LinkPLU;
  return rec;
}
