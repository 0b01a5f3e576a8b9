#include "PluLogic.h"

#include <exception>
#include <unordered_set>

#include "AtomicFile.h"
#include "FieldText.h"
#include "ProjectTables.h"
#include "PluTextFile.h"
#include "TarvoCore.h"
#include "ValueText.h"

namespace {

// Hides the gauge, puts the table on its first row and lets the grid catch
// up at the end of a read, a run or an import, on every path.
class TTableWork {
 public:
  TTableWork(TRecordSet &table, TProgress *progress) : FTable(table), FProgress(progress) {
    FTable.DisableControls();
  }
  ~TTableWork() {
    if (FProgress) FProgress->End();
    FTable.First();
    FTable.EnableControls();
  }
  TTableWork(const TTableWork &) = delete;
  TTableWork &operator=(const TTableWork &) = delete;

 private:
  TRecordSet &FTable;
  TProgress *FProgress;
};

TActionResult LinkFailure(const std::string &reason) {
  return TActionResult::Failure(OperationFailedMessage, reason);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

TPluLogic::TPluLogic(TProjectContext context)
    : TEditorLogic(std::move(context)),
      FTable(OpenProjectTable(FContext.Dir, tiPLU)),
      FNo(FTable),
      FNumbering(std::make_unique<TPluNumbering>(FTable)) {
  FTable.First();
}

TPluLogic::~TPluLogic() { FNumbering.reset(); }

const std::vector<TGridColumn> &TPluLogic::GridColumns() const {
  static const std::vector<TGridColumn> columns = {
      {"CodAlfa", "Cod", false, {}, TGridColumn::alDefault, 120},
      {"Nume", "Denumire", false, {}, TGridColumn::alDefault, 230},
      {"CodDep", "Departament", false, {}, TGridColumn::alDefault, 100},
      {"CodUM", "UM", false, {"0", "1", "2", "3", "4", "5"}, TGridColumn::alDefault, 50},
      {"Pret1", "", false, {}, TGridColumn::alDefault, 80},
      {"Pret2", "", false, {}, TGridColumn::alDefault, 80},
      {"LinkPLU", "", false, {}, TGridColumn::alDefault, 110},
      {"Cantar", "", false, {}, TGridColumn::alCenter, 72, true},
  };
  return columns;
}

bool TPluLogic::CellReadOnly(int recNo, int column) const {
  // A run moves through the table row by row: a cell typed into meanwhile
  // would move it too.
  if (Busy()) return true;
  if (column == colCodAlfa) {
    if (recNo < 1 || recNo > FTable.RecordCount()) return true;
    const TFieldValue nou = FTable.ValueAt(recNo, FNo.Nou);
    return !(std::holds_alternative<bool>(nou) && std::get<bool>(nou));
  }
  return TGridSource::CellReadOnly(recNo, column);
}

bool TPluLogic::AcceptsChar(int column, char c) const {
  if (column == colCodAlfa) return IsDigit(c);
  if (column == colCantar) return c == 'x' || c == ' ';
  return true;
}

std::string TPluLogic::SetCell(int recNo, int column, const std::string &text) {
  if (Busy()) return "O alta operatie cu casa de marcat este in curs.";
  if (column == colCantar && !(text.empty() || text == " " || text == "x"))
    return "Coloana Cantar primeste \"x\" (articol vandut la cantar) sau nimic";
  if (column != colCodAlfa) return TGridSource::SetCell(recNo, column, text);

  if (CellReadOnly(recNo, column)) return "Codul se poate schimba doar pe un PLU nou";
  for (char c : text)
    if (!IsDigit(c)) return "Codul PLU contine doar cifre";
  if (text.size() > 14) return "Codul PLU are cel mult 14 cifre";
  // The typed code sets Cod, then CodAlfa is padded to its 14 digits; an
  // empty code is 0.
  try {
    FTable.SetRecNo(recNo);
    FTable.SetFloat(FNo.Cod, double(Whole64Or(text, 0)));
    FTable.SetString(FNo.CodAlfa, PadLeft(text, 14, '0'));
    FTable.Post();
  } catch (const ERecordSet &e) {
    FTable.Cancel();
    return e.what();
  }
  return {};
}

int32_t TPluLogic::RowColour(int recNo) const {
  if (recNo < 1 || recNo > FTable.RecordCount()) return -1;
  auto flag = [&](int field) {
    const TFieldValue v = FTable.ValueAt(recNo, field);
    return std::holds_alternative<bool>(v) && std::get<bool>(v);
  };
  if (flag(FNo.Nou)) return 0x00FFFF;    // cyan: made here, not yet programmed
  if (flag(FNo.Sters)) return 0xF94444;  // red: to be deleted in the register
  return -1;
}

TActionResult TPluLogic::Read(TProgress &progress) {
  TBusy busy(*this);
  if (!busy.Acquired()) return BusyResult();
  TRegisterSession session(FContext, false);
  TActionResult result;
  if (!session.Open(result)) return result;
  TLineList lines;
  try {
    if (!session.Link().ReadLines("D10000", lines)) return LinkFailure(session.Link().LastError());
  } catch (const std::exception &e) {
    return LinkFailure(e.what());
  }
  // An empty answer leaves the table as it was (and saves it as it is).
  if (!lines.empty()) {
    progress.Begin(int(lines.size()));
    TTableWork work(FTable, &progress);
    // The register's answer is the whole table: PLUs only on the PC go.
    FTable.EmptyTable();
    TLineList fields;
    for (size_t i = 0; i < lines.size(); ++i) {
      progress.Step(int(i) + 1);
      LetEventsRun();
      fields.clear();
      SplitText(lines[i], ';', fields);
      if (fields.size() != 46) continue;
      TPluFields f;
      f.Code = Whole64Or(fields[1], 0);
      if (!ValidPluCode(f.Code)) continue;
      f.Nume = WithoutQuotes(fields[2]);
      f.NumeAditional = WithoutQuotes(fields[3]);
      f.CodDep = WholeOr(fields[4], 0);
      f.CodUM = WholeOr(fields[6], 0);
      f.Pret1 = DecimalOrZero(fields[7]);
      f.Pret2 = DecimalOrZero(fields[8]);
      f.LinkPLU = DecimalOrZero(fields[28]);
      // Only rows of this same read can carry the code already; every row
      // gets the new-row scale mark " ", so a read clears the marks.
      StorePlu(FTable, FNo, f);
    }
  }
  return SaveTable(tiPLU, FTable);
}

std::vector<std::string> TPluLogic::RepeatedCodes() const {
  std::vector<std::string> repeated;
  std::unordered_set<std::string> seen;
  const int n = FTable.RecordCount();
  seen.reserve(size_t(n));
  for (int r = 1; r <= n; ++r) {
    std::string code = ValueToText(FTable.ValueAt(r, FNo.CodAlfa));
    if (!seen.insert(code).second) repeated.push_back(std::move(code));
  }
  return repeated;
}

TActionResult TPluLogic::Program(TProgress &progress) {
  TBusy busy(*this);
  if (!busy.Acquired()) return BusyResult();
  FDuplicates.clear();
  if (FTable.IsEmpty()) return TActionResult::Failure(NoPluMessage);
  for (const std::string &code : RepeatedCodes()) FDuplicates.push_back(DuplicatePluMessage + code);
  if (!FDuplicates.empty()) return TActionResult::Failure(FDuplicates.front());
  return RunProgram(progress);
}

TActionResult TPluLogic::RunProgram(TProgress &progress) {
  TRegisterSession session(FContext, true);
  TActionResult result;
  if (!session.Open(result)) return result;
  TTARVO &link = session.Link();

  progress.Begin(FTable.RecordCount());
  TTableWork work(FTable, &progress);
  bool anyNew = false, anyDeleted = false;
  int sent = 0;
  for (FTable.First(); !FTable.IsEmpty() && !FTable.Eof();) {
    ++sent;
    progress.Step(sent);
    LetEventsRun();
    const TPluRec rec = PluRecordOf(FTable, FNo);
    bool accepted = false;
    std::string why;
    try {
      accepted = link.SendRecord(rkPlu, &rec);
      if (!accepted) why = link.LastError();
    } catch (const std::exception &e) {
      why = e.what();
    }
    if (!accepted) {
      // Rows sent before this one keep their cleared flags and marked rows
      // stay gone from the open table; PLU.cds keeps its older content.
      TActionResult failed = LinkFailure(why);
      failed.RowCode = FTable.AsString(FNo.CodAlfa);
      failed.Row = sent;
      return failed;
    }
    if (rec.Nou) anyNew = true;
    else if (rec.Sters) anyDeleted = true;
    if (rec.Nou) {
      FTable.SetBoolean(FNo.Nou, false);
      FTable.Post();
    }
    if (rec.Sters) FTable.Delete();
    else FTable.Next();
  }

  // Tells the register to take the additions and deletions into effect.
  const char *closing = anyNew && anyDeleted ? "CPB" : anyNew ? "CPM" : anyDeleted ? "CPD" : nullptr;
  if (closing) {
    try {
      link.SendCommand(closing);
    } catch (const std::exception &e) {
      return LinkFailure(e.what());
    }
  }
  return SaveTable(tiPLU, FTable);
}

TActionResult TPluLogic::EraseAll() {
  TBusy busy(*this);
  if (!busy.Acquired()) return BusyResult();
  TRegisterSession session(FContext, false);
  TActionResult result;
  if (!session.Open(result)) return result;
  try {
    session.Link().SendCommand("CPX");
  } catch (const std::exception &e) {
    return LinkFailure(e.what());
  }
  FTable.EmptyTable();
  return SaveTable(tiPLU, FTable);
}

int TPluLogic::Add() {
  if (Busy()) return 0;
  FTable.Append();
  FTable.Post();
  return FTable.RecNo();
}

void TPluLogic::DeleteOrMark(int recNo) {
  if (Busy() || recNo < 1 || recNo > FTable.RecordCount()) return;
  FTable.SetRecNo(recNo);
  if (FTable.AsBoolean(FNo.Nou)) {
    FTable.Delete();
    return;
  }
  FTable.SetBoolean(FNo.Sters, !FTable.AsBoolean(FNo.Sters));
  FTable.Post();
}

void TPluLogic::SetDeletionMark(int recNo, bool marked) {
  if (Busy() || recNo < 1 || recNo > FTable.RecordCount()) return;
  FTable.SetRecNo(recNo);
  if (FTable.AsBoolean(FNo.Nou)) {
    if (marked) FTable.Delete();
    return;
  }
  if (FTable.AsBoolean(FNo.Sters) == marked) return;
  FTable.SetBoolean(FNo.Sters, marked);
  FTable.Post();
}

void TPluLogic::ToggleScaleMark(int recNo) {
  if (Busy() || recNo < 1 || recNo > FTable.RecordCount()) return;
  FTable.SetRecNo(recNo);
  FTable.SetString(FNo.Cantar, FTable.AsString(FNo.Cantar) == "x" ? "" : "x");
  FTable.Post();
}

int TPluLogic::FindCode(int64_t code) { return FTable.FindKey(double(code)) ? FTable.RecNo() : 0; }

TActionResult TPluLogic::SaveTextFile(const std::string &path) const {
  try {
    WriteLinesAtomic(path, PluTextLines(FTable));
  } catch (const EFileWrite &e) {
    return TActionResult::Failure(std::string(e.what()) + "\r");
  }
  return TActionResult::Success();
}

TActionResult TPluLogic::ImportTextFile(const std::string &path) {
  TBusy busy(*this);
  if (!busy.Acquired()) return BusyResult();
  std::string bytes, reason;
  if (!ReadWholeFile(path, bytes, reason))
    return TActionResult::Failure("Nu pot citi fisierul " + path + ": " + reason + "\r");
  TTableWork work(FTable, nullptr);
  ImportPluText(FTable, bytes);
  return TActionResult::Success();
}
