// Feeds arbitrary bytes to the command-file reading of the online mode, as a
// WRITEPLU.TXT (or a report answer) from another program would come: line
// splitting, the structure check, the record each line stands for and the
// PLU sales layout. A crash, a sanitizer report or a broken promise is a
// finding.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "AtomicFile.h"
#include "CommandFile.h"
#include "PluSalesLayout.h"
#include "RecordText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string bytes(reinterpret_cast<const char *>(data), size);
  const TLineList lines = SplitTextLines(bytes);
  // What the ".OK" holds reads back as the same lines.
  for (const std::string &l : lines)
    if (l.find_first_of("\r\n") != std::string::npos) std::abort();
  if (SplitTextLines(JoinLinesCrLf(lines)) != lines) std::abort();

  const int bad = FirstInvalidPluLine(lines);
  if (bad < -1 || bad > int(lines.size()) || (bad == -1) != lines.empty()) std::abort();
  if (bad == 0) {
    for (const std::string &l : lines) {
      if (l.empty()) continue;
      const TPluRec rec = PluRecordOfLine(l);
      const std::string text = BuildRecordText(rkPlu, &rec);
      if (text.rfind("U10000;", 0) != 0 || rec.Nou) std::abort();
      // A delete is "U10000;-" and the code alone (a negative code of the
      // program form also begins with "-", but more fields follow it).
      if (rec.Sters != (text.find(';', 7) == std::string::npos)) std::abort();
      if (rec.Nume.find('"') != std::string::npos || rec.NumeAditional.find('"') != std::string::npos)
        std::abort();
    }
  }

  TLineList report = lines;
  LayOutPluSales(report);
  if (report.size() < 2 || report[1] != std::string(PluSalesRuleWidth, '-')) std::abort();
  if (report.size() - 2 > lines.size()) std::abort();
  return 0;
}
