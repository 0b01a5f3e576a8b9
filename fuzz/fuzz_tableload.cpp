// Feeds arbitrary bytes to the table-file loader, as a damaged or foreign
// file in a project directory would. Anything other than a table or an
// ETableFile (another exception, a crash, a sanitizer report) is a finding,
// and so is a loaded table that does not survive a save and a load.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "ProjectTables.h"
#include "TableFile.h"
#include "FuzzScratch.h"

namespace {

const std::string &Dir() { return FuzzScratchDir("fuzz-tableload"); }

void CheckRoundTrip(const TRecordSet &rs) {
  const std::string copy = Dir() + "/copy.cds";
  SaveTableFile(copy, rs);
  const TRecordSet back = LoadTableFile(copy);
  if (back.FieldDefs() != rs.FieldDefs() || back.RecordCount() != rs.RecordCount()) std::abort();
  for (int r = 1; r <= rs.RecordCount(); ++r)
    for (int f = 0; f < rs.FieldCount(); ++f)
      if (!(back.ValueAt(r, f) == rs.ValueAt(r, f))) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string path = Dir() + "/Departamente.cds";
  WriteFuzzInput(path, data, size);
  try {
    const TRecordSet rs = LoadTableFile(path);
    CheckRoundTrip(rs);
  } catch (const ETableFile &) {
  }
  // The two opening rules over the same bytes.
  try {
    OpenProjectTable(Dir(), tiDepartamente);
  } catch (const ETableFile &) {
  }
  std::filesystem::rename(path, Dir() + "/PLU.cds");
  try {
    OpenProjectTable(Dir(), tiPLU);
  } catch (const ETableFile &) {
  }
  return 0;
}
