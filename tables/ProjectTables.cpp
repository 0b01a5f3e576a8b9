#include "ProjectTables.h"

#include <sys/stat.h>

#include "RecordSetData.h"
#include "TableFile.h"

namespace {

bool FileExists(const std::string &path) {
  struct stat st {};
  // Anything at the path counts: a directory or a dangling link under a
  // table's name must fail to load, not be silently replaced by defaults.
  return ::lstat(path.c_str(), &st) == 0;
}

const char *TypeName(TFieldType t) {
  switch (t) {
    case ftInteger: return "intreg";
    case ftFloat: return "numar zecimal";
    case ftBoolean: return "logic";
    case ftString: return "text";
  }
  return "";
}

// A file may have fields of its own and lack some, but a field the table
// knows must hold its kind of value: a unit of measure kept as text, or a
// VAT group as a fraction, would be shown and saved as typed and reach the
// register as something else. A whole number where a decimal one belongs
// loses nothing.
void CheckKnownFields(TTableId id, const TRecordSet &file, const std::string &path) {
  for (const TFieldDef &want : TableFields(id)) {
    const int f = file.FieldIndex(want.Name);
    if (f < 0) continue;
    const TFieldType have = file.FieldDefs()[size_t(f)].DataType;
    if (have != want.DataType && !(have == ftInteger && want.DataType == ftFloat))
      throw ETableFile(false, path,
                       "campul " + want.Name + " este de tip " + TypeName(have) + " in loc de " + TypeName(want.DataType));
  }
}

// Missing rows that always exist, appended in ascending code order. A row
// that is there is left exactly as stored.
void AddDefaultRows(TTableId id, TRecordSet &rs, const std::string &path) {
  const std::vector<int32_t> codes = DefaultCodes(id);
  if (codes.empty()) return;
  if (!rs.Indexed())
    // Without a numeric Cod no row could ever be found again, so every open
    // would append the defaults once more and each save would grow the file.
    throw ETableFile(false, path, "tabelul nu are un camp Cod numeric");
  for (int32_t cod : codes) {
    if (rs.FindKey(cod)) continue;
    rs.Append();
    FillDefaultRow(id, cod, rs);
    rs.Post();
  }
}

// PLU always has this program's fields; a file's fields are taken over by
// name, in the file's row order, and what it lacks stays empty.
TRecordSet OpenPlu(const std::string &path) {
  TRecordSet plu = NewTable(tiPLU);
  if (!FileExists(path)) return plu;
  TRecordSet file = LoadTableFile(path);
  CheckKnownFields(tiPLU, file, path);
  // A file this program wrote has exactly these fields: copying every value
  // by name would only give the same table at twice the memory.
  if (file.FieldDefs() == plu.FieldDefs()) return file;

  std::vector<std::pair<int, int>> shared;  // (field in file, field in plu)
  for (int f = 0; f < file.FieldCount(); ++f) {
    const int p = plu.FieldIndex(file.FieldDefs()[f].Name);
    if (p >= 0) shared.push_back({f, p});
  }
  const TRecordSet::TData &from = TRecordSetAccess::Data(file);
  TRecordSet::TData &to = TRecordSetAccess::Data(plu);
  std::vector<TRecordSet::TRow> rows;
  rows.reserve(from.Rows.size());
  for (const TRecordSet::TRow &src : from.Rows) {
    TRecordSet::TRow row = to.EmptyRow();
    for (auto [f, p] : shared) {
      try {
        to.StoreCell(row, p, from.CellValue(src, f));
      } catch (const ERecordSet &e) {
        // A stored value that cannot become the PLU type (a text "abc"
        // where a price belongs) is a damaged table, not a blank.
        throw ETableFile(false, path, e.what());
      }
    }
    rows.push_back(std::move(row));
  }
  file = TRecordSet();  // give its memory back before the index is built
  to.AssignRows(std::move(rows));
  return plu;
}

}  // namespace

std::string ProjectTablePath(const std::string &projectDir, TTableId id) {
  std::string path = projectDir;
  if (!path.empty() && path.back() != '/') path += '/';
  return path + TableFileName(id);
}

TRecordSet OpenProjectTable(const std::string &projectDir, TTableId id) {
  const std::string path = ProjectTablePath(projectDir, id);
  TRecordSet rs;
  if (id == tiPLU) {
    rs = OpenPlu(path);
  } else {
    if (FileExists(path)) {
      rs = LoadTableFile(path);
      // The settings dialog makes do with what it finds in its file.
      if (id != tiSetari) CheckKnownFields(id, rs, path);
    } else {
      rs = NewTable(id);
    }
    AddDefaultRows(id, rs, path);
  }
  rs.First();
  return rs;
}

void SaveProjectTable(const std::string &projectDir, TTableId id, const TRecordSet &rs) {
  SaveTableFile(ProjectTablePath(projectDir, id), rs);
}
