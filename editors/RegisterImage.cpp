#include "RegisterImage.h"

#include <cmath>
#include <sys/stat.h>
#include <unistd.h>

#include "ProjectTables.h"
#include "TableFile.h"
#include "ValueText.h"

namespace {

// Copies row recNo of from into the pending row of to, field by field where
// both have the same fields, else by name.
void CopyRow(const TRecordSet &from, int recNo, TRecordSet &to) {
  if (from.FieldDefs() == to.FieldDefs()) {
    for (int f = 0; f < from.FieldCount(); ++f) to.SetValue(f, from.ValueAt(recNo, f));
    return;
  }
  for (int f = 0; f < from.FieldCount(); ++f)
    if (const int t = to.FieldIndex(from.FieldDefs()[size_t(f)].Name); t >= 0) to.SetValue(t, from.ValueAt(recNo, f));
}

// The Cod of an image row as a number (an image row's Cod may be an integer
// or, for PLUs, a float); NaN when it has none.
double CodAt(const TRecordSet &rows, int recNo, int codField) {
  double v = 0;
  if (codField < 0 || !TryValueToFloat(rows.ValueAt(recNo, codField), v)) return std::nan("");
  return v;
}

}  // namespace

std::string RegisterImagePath(const std::string &projectDir, TTableId id) {
  std::string path = ProjectTablePath(projectDir, id);
  const std::string cds = ".cds";
  if (path.size() > cds.size() && path.compare(path.size() - cds.size(), cds.size(), cds) == 0)
    path.resize(path.size() - cds.size());
  return path + ".registru";
}

TRegisterImage LoadRegisterImage(const std::string &projectDir, TTableId id, const std::vector<TFieldDef> &fields) {
  TRegisterImage image;
  image.Rows = TRecordSet(fields);
  const std::string path = RegisterImagePath(projectDir, id);
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return image;  // never read, never programmed
  try {
    TRecordSet file = LoadTableFile(path);
    if (!file.Indexed()) throw ETableFile(false, path, "imaginea nu are un camp Cod numeric");
    if (file.FieldDefs() == fields) {
      image.Rows = std::move(file);
    } else {
      image.Rows.DisableControls();
      for (int r = 1; r <= file.RecordCount(); ++r) {
        image.Rows.Append();
        CopyRow(file, r, image.Rows);
        image.Rows.Post();
      }
      image.Rows.EnableControls();
    }
    image.Known = true;
  } catch (const ETableFile &e) {
    image.Problem = e.what();
  } catch (const ERecordSet &e) {
    // A value that does not fit the table's field: an image of another make.
    image.Problem = "Nu pot citi fisierul " + path + ": " + e.what();
  }
  if (!image.Known) image.Rows.EmptyTable();
  return image;
}

TActionResult SaveRegisterImage(const std::string &projectDir, TTableId id, const TRecordSet &rows) {
  const std::string path = RegisterImagePath(projectDir, id);
  try {
    SaveTableFile(path, rows);
  } catch (const ETableFile &e) {
    return TActionResult::Failure(std::string(e.what()) + "\r");
  }
  return TActionResult::Success();
}

void DropRegisterImage(const std::string &projectDir, TTableId id) {
  ::unlink(RegisterImagePath(projectDir, id).c_str());
}

bool ImageDiffers(TRecordSet &image, int64_t code, const std::string &text, const TRowRecord &record) {
  return image.FindKey(double(code)) && record.Text(image, image.RecNo()) != text;
}

std::vector<int> ChangedRows(const TRecordSet &table, const TRecordSet &image, const TRowRecord &record,
                             const std::function<bool(int recNo)> &always) {
  std::unordered_map<int64_t, std::string> known;
  known.reserve(size_t(image.RecordCount()));
  for (int r = 1; r <= image.RecordCount(); ++r) known[record.Code(image, r)] = record.Text(image, r);
  const int n = table.RecordCount();
  std::vector<int64_t> codes(static_cast<size_t>(n));
  std::unordered_map<int64_t, int> rowsOfCode;
  rowsOfCode.reserve(size_t(n));
  for (int r = 1; r <= n; ++r) ++rowsOfCode[codes[size_t(r - 1)] = record.Code(table, r)];

  std::vector<int> rows;
  for (int r = 1; r <= n; ++r) {
    const int64_t code = codes[size_t(r - 1)];
    const auto k = known.find(code);
    if ((always && always(r)) || rowsOfCode[code] > 1 || k == known.end() || k->second != record.Text(table, r))
      rows.push_back(r);
  }
  return rows;
}

void PutImageRow(TRecordSet &image, const TRecordSet &table, int recNo, int64_t code) {
  if (!image.FindKey(double(code))) {
    image.Append();
    CopyRow(table, recNo, image);
    image.Post();
    return;
  }
  image.Edit();
  CopyRow(table, recNo, image);
  image.Post();
  // Only an image of another make can hold the code twice: one row is left.
  const int cod = image.FieldIndex("Cod");
  const int kept = image.RecNo();
  while (kept < image.RecordCount() && CodAt(image, kept + 1, cod) == double(code)) {
    image.SetRecNo(kept + 1);
    image.Delete();
  }
}

void DropImageRow(TRecordSet &image, int64_t code) {
  while (image.FindKey(double(code))) image.Delete();
}

TRecordSet LastRowPerCode(const TRecordSet &rows, const std::function<int64_t(const TRecordSet &, int)> &code) {
  const int n = rows.RecordCount();
  std::unordered_map<int64_t, int> last;
  last.reserve(size_t(n));
  for (int r = 1; r <= n; ++r) last[code(rows, r)] = r;
  TRecordSet out(rows.FieldDefs());
  out.DisableControls();
  for (int r = 1; r <= n; ++r) {
    if (last[code(rows, r)] != r) continue;
    out.Append();
    CopyRow(rows, r, out);
    out.Post();
  }
  out.EnableControls();
  return out;
}
