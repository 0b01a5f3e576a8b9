#include "PluTextFile.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <memory>

#include "AtomicFile.h"
#include "FieldText.h"
#include "PluRows.h"
#include "TextHelpers.h"
#include "ValueText.h"

std::vector<std::string> PluTextLines(const TRecordSet &plu) {
  const TPluFieldNos no(plu);
  const int fields[] = {no.CodAlfa, no.Nume, no.NumeAditional, no.CodDep,
                        no.CodUM,   no.Pret1, no.Pret2,        no.LinkPLU};
  std::vector<std::string> lines;
  lines.reserve(size_t(plu.RecordCount()));
  for (int r = 1; r <= plu.RecordCount(); ++r) {
    std::string line;
    for (int f : fields) {
      if (f != no.CodAlfa) line += ';';
      line += ValueToText(plu.ValueAt(r, f));
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

int ImportPluText(TRecordSet &plu, std::string_view bytes) {
  const TPluFieldNos no(plu);
  int taken = 0;
  TLineList fields;
  for (const std::string &line : SplitTextLines(bytes)) {
    fields.clear();
    SplitText(line, ';', fields);
    TPluFields f;
    if (!PluOfTextFields(fields, f) || !ValidPluCode(f.Code)) continue;
    // Stored as the register will get them, so that the grid shows what a
    // programming run sends.
    f.Pret1 = PriceAsSent(f.Pret1);
    f.Pret2 = PriceAsSent(f.Pret2);
    f.LinkPLU = std::trunc(f.LinkPLU);
    StorePlu(plu, no, f);
    ++taken;
  }
  return taken;
}

bool ReadWholeFile(const std::string &path, std::string &bytes, std::string &reason) {
  std::unique_ptr<std::FILE, int (*)(std::FILE *)> f(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!f) {
    reason = ErrnoReason(errno);
    return false;
  }
  bytes.clear();
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) bytes.append(buf, n);
  if (std::ferror(f.get())) {
    reason = ErrnoReason(errno);
    return false;
  }
  return true;
}
