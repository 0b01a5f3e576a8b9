// The PLU text import on arbitrary bytes, as a file from another program or
// a damaged one would reach "I&mport fiisier text". Every row it leaves has
// a code of 1 to 14 digits whose CodAlfa is its 14-digit text, no flags, and
// no code twice; and what it took survives an export and an import again.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "PluRows.h"
#include "PluTextFile.h"
#include "ProjectTables.h"

namespace {

// Numbers the file's "12,5"-style text cannot hold without an exponent.
bool Writable(double v) { return v == 0 || (std::fabs(v) >= 1e-4 && std::fabs(v) < 1e15); }

void Check(const TRecordSet &t) {
  const TPluFieldNos no(t);
  double previous = 0;
  for (int r = 1; r <= t.RecordCount(); ++r) {
    const double cod = std::get<double>(t.ValueAt(r, no.Cod));
    if (!(cod > previous) || cod > double(MaxPluCode) || cod != std::trunc(cod)) std::abort();
    previous = cod;
    if (std::get<std::string>(t.ValueAt(r, no.CodAlfa)) != PluCodeText(int64_t(cod))) std::abort();
    for (int f : {no.Nou, no.Sters})
      if (std::get<bool>(t.ValueAt(r, f))) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string bytes(reinterpret_cast<const char *>(data), size);
  TRecordSet plu = NewTable(tiPLU);
  TPluNumbering numbering(plu);
  ImportPluText(plu, bytes);
  Check(plu);

  const std::vector<std::string> lines = PluTextLines(plu);
  std::string file;
  for (const std::string &l : lines) file += l + "\r\n";
  TRecordSet again = NewTable(tiPLU);
  TPluNumbering numberingAgain(again);
  if (ImportPluText(again, file) != plu.RecordCount() || again.RecordCount() != plu.RecordCount()) std::abort();
  Check(again);
  const TPluFieldNos no(plu);
  for (int r = 1; r <= plu.RecordCount(); ++r) {
    for (int f : {no.Cod, no.Nume, no.NumeAditional, no.CodDep, no.CodUM})
      if (plu.ValueAt(r, f) != again.ValueAt(r, f)) std::abort();
    for (int f : {no.Pret1, no.Pret2, no.LinkPLU}) {
      const double a = std::get<double>(plu.ValueAt(r, f)), b = std::get<double>(again.ValueAt(r, f));
      if (Writable(a) && std::fabs(a - b) > std::fabs(a) * 1e-14) std::abort();
    }
  }
  return 0;
}
