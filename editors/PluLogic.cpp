#include "PluLogic.h"

#include <cmath>
#include <exception>
#include <unordered_set>

#include "AtomicFile.h"
#include "FieldText.h"
#include "ProjectTables.h"
#include "PluTextFile.h"
#include "RegisterActions.h"
#include "TableFill.h"
#include "TarvoCore.h"
#include "ValueText.h"

namespace {

// Fills table from the register's answer, a gauge step a line. Each line
// becomes a row of its own (eachLine), so that a code the register repeats
// shows, or changes the row with its code.
void FillFromAnswer(TRecordSet &table, const TPluFieldNos &no, const TLineList &lines, TProgress &progress,
                    bool eachLine) {
  progress.Begin(int(lines.size()));
  TTableWork work(table, &progress);
  TLineList fields;
  TPluFields f;
  for (size_t i = 0; i < lines.size(); ++i) {
    progress.Step(int(i) + 1);
    LetEventsRun();
    if (!ParsePluLine(lines[i], fields, f)) continue;
    if (eachLine)
      AppendPlu(table, no, f);
    else
      StorePlu(table, no, f);
  }
}

TActionResult LinkFailure(const std::string &reason) {
  return TActionResult::Failure(OperationFailedMessage, reason);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A price goes to the register with two decimals and a linked PLU as a
// whole code: a value with more would be stored and shown as typed but sent
// as something else. "" when the text goes as it is (texts that are no
// number at all are left to the field's own message).
std::string SentAsTyped(int column, const std::string &text) {
  double v = 0;
  if (!ParseFloatText(text, v)) return {};
  const std::string field = column == TPluLogic::colLinkPLU ? "LinkPLU" : column == TPluLogic::colPret1 ? "Pret1" : "Pret2";
  if (column == TPluLogic::colLinkPLU)
    return v == std::trunc(v) ? "" : "'" + text + "' nu este un numar intreg (campul " + field + ")";
  return v == PriceAsSent(v) ? "" : "Coloana " + field + " primeste un pret cu cel mult doua zecimale ('" + text + "')";
}

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
      // Numbers right-aligned, as in every editor.
      {"CodAlfa", "Cod", false, {}, TGridColumn::alRight, 120},
      {"Nume", "Denumire", false, {}, TGridColumn::alDefault, 230},
      {"CodDep", "Departament", false, {}, TGridColumn::alRight, 100},
      {"CodUM", "UM", false, {"0", "1", "2", "3", "4", "5"}, TGridColumn::alRight, 50},
      {"Pret1", "", false, {}, TGridColumn::alRight, 80},
      {"Pret2", "", false, {}, TGridColumn::alRight, 80},
      {"LinkPLU", "", false, {}, TGridColumn::alRight, 110},
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
    return !FlagAt(FTable, recNo, FNo.Nou);
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
  if (column == colPret1 || column == colPret2 || column == colLinkPLU)
    if (const std::string why = SentAsTyped(column, text); !why.empty()) return why;
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
  if (FlagAt(FTable, recNo, FNo.Nou)) return 0x00FFFF;    // cyan: made here, not yet programmed
  if (FlagAt(FTable, recNo, FNo.Sters)) return 0xF94444;  // red: to be deleted in the register
  if (!FVerify.MarkedCodes.empty() && VerifyMarked(PluCodeAt(FTable, FNo, recNo))) return VerifyMarkColour;
  return -1;
}

TActionResult TPluLogic::Read(TProgress &progress) {
  TBusy busy(*this);
  if (!busy.Acquired()) return BusyResult();
  TLineList lines;
  if (TActionResult r = ReadAnswer(FContext, "D10000", lines, nullptr, {}, &progress, FTable.RecordCount()); !r.Ok)
    return r;
  FVerify = {};
  // An empty answer leaves the table as it was (and saves it as it is).
  if (!lines.empty()) {
    // The register's answer is the whole table: PLUs only on the PC go.
    // Only rows of this same read can carry a code already; every row gets
    // the new-row scale mark " ", so a read clears the marks.
    FTable.EmptyTable();
    FillFromAnswer(FTable, FNo, lines, progress, false);
  }
  // The table now is what the register holds (none when it sent nothing).
  const TRecordSet none(FTable.FieldDefs());
  return SaveWithImage(tiPLU, FTable, lines.empty() ? &none : &FTable);
}

TActionResult TPluLogic::Verify(TProgress &progress) {
  TBusy busy(*this);
  if (!busy.Acquired()) return BusyResult();
  FVerify = {};
  TLineList lines;
  if (TActionResult r = ReadAnswer(FContext, "D10000", lines, nullptr, {}, &progress, FTable.RecordCount()); !r.Ok)
    return r;
  if (FTable.State() != dsBrowse) FTable.Post();
  TRecordSet registerRows(FTable.FieldDefs());
  FillFromAnswer(registerRows, FNo, lines, progress, true);
  FVerify = CompareWithRegister(FTable, registerRows, PluCompareSpec(FNo));
  return SaveRegisterImage(FContext.Dir, tiPLU, LastRowPerCode(registerRows, PluRowRecord(FNo).Code));
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

TActionResult TPluLogic::CheckBeforeRun() {
  FDuplicates.clear();
  FRowsSent = 0;
  if (FTable.IsEmpty()) return TActionResult::Failure(NoPluMessage);
  for (const std::string &code : RepeatedCodes()) FDuplicates.push_back(DuplicatePluMessage + code);
  if (!FDuplicates.empty()) return TActionResult::Failure(FDuplicates.front());
  return TActionResult::Success();
}

TActionResult TPluLogic::Program(TProgress &progress) {
  TBusy busy(*this);
  if (!busy.Acquired()) return BusyResult();
  if (TActionResult r = CheckBeforeRun(); !r.Ok) return r;
  return RunProgram(progress, false);
}

TActionResult TPluLogic::ProgramChanges(TProgress &progress) {
  TBusy busy(*this);
  if (!busy.Acquired()) return BusyResult();
  if (TActionResult r = CheckBeforeRun(); !r.Ok) return r;
  return RunProgram(progress, true);
}

TActionResult TPluLogic::RunProgram(TProgress &progress, bool changesOnly) {
  if (FTable.State() != dsBrowse) FTable.Post();
  TRegisterImage image = LoadRegisterImage(FContext.Dir, tiPLU, FTable.FieldDefs());
  if (changesOnly && !image.Known) return TActionResult::Failure(NoImageMessage, image.Problem);
  // The codes are unique here (the check above refused repeats), so a row
  // is known by its code while marked rows leave the table under the loop.
  const TRowRecord record = PluRowRecord(FNo);
  std::unordered_set<int64_t> wanted;
  int total = FTable.RecordCount();
  if (changesOnly) {
    // New and marked rows always go: the register must take them into effect.
    const std::vector<int> rows = ChangedRows(FTable, image.Rows, record, [this](int r) {
      const TPluRec rec = PluRecordAt(FTable, FNo, r);
      return rec.Nou || rec.Sters;
    });
    for (int r : rows) wanted.insert(record.Code(FTable, r));
    total = int(rows.size());
  }

  TActionResult result;
  bool anyNew = false, anyDeleted = false, imageUntrue = false;
  int sent = 0;
  // A changes run with nothing to send leaves the line alone; the table is
  // saved as after any complete run.
  if (total > 0) {
    TRegisterSession session(FContext, true);
    if (!session.Open(result)) return result;
    TTARVO &link = session.Link();
    progress.Begin(total);
    TTableWork work(FTable, &progress);
    for (FTable.First(); !FTable.IsEmpty() && !FTable.Eof();) {
      const TPluRec rec = PluRecordOf(FTable, FNo);
      const int64_t code = PluCodeAt(FTable, FNo, FTable.RecNo());
      if (changesOnly && !wanted.count(code)) {
        FTable.Next();
        continue;
      }
      ++sent;
      progress.Step(sent);
      LetEventsRun();
      bool accepted = false;
      std::string why;
      try {
        accepted = link.SendRecord(rkPlu, &rec);
        if (!accepted) why = session.FailureReason();
      } catch (const std::exception &e) {
        why = session.FailureReason(e);
      }
      if (!accepted) {
        // Rows sent before this one keep their cleared flags and marked rows
        // stay gone from the open table; PLU.cds keeps its older content,
        // the image the PLUs the register took.
        result = LinkFailure(why);
        result.RowCode = FTable.AsString(FNo.CodAlfa);
        result.Row = sent;
        break;
      }
      ++FRowsSent;
      if (rec.Nou) anyNew = true;
      else if (rec.Sters) anyDeleted = true;
      if (rec.Nou) {
        FTable.SetBoolean(FNo.Nou, false);
        FTable.Post();
      }
      if (rec.Sters) {
        imageUntrue = imageUntrue || image.Rows.FindKey(double(code));
        DropImageRow(image.Rows, code);
        FTable.Delete();
      } else {
        imageUntrue = imageUntrue || ImageDiffers(image.Rows, code, record.Text(FTable, FTable.RecNo()), record);
        PutImageRow(image.Rows, FTable, FTable.RecNo(), code);
        FTable.Next();
      }
    }

    // Tells the register to take the additions and deletions into effect.
    const char *closing = anyNew && anyDeleted ? "CPB" : anyNew ? "CPM" : anyDeleted ? "CPD" : nullptr;
    if (result.Ok && closing) {
      try {
        link.SendCommand(closing);
      } catch (const std::exception &e) {
        result = LinkFailure(session.FailureReason(e));
      }
    }
  }
  const TRecordSet *newImage = FRowsSent > 0 ? &image.Rows : nullptr;
  TActionResult saved;
  if (result.Ok) {
    FVerify = {};
    saved = SaveWithImage(tiPLU, FTable, newImage);
  } else if (newImage) {
    saved = SaveRegisterImage(FContext.Dir, tiPLU, *newImage);
  }
  // The files stay as they were; an image that no longer tells the truth
  // goes, so that no changes run leaves out a row on its word.
  if (!saved.Ok && imageUntrue) DropRegisterImage(FContext.Dir, tiPLU);
  return result.Ok ? saved : result;
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
    return LinkFailure(session.FailureReason(e));
  }
  FTable.EmptyTable();
  FVerify = {};
  // The register holds no PLU now: an empty image, not none.
  const TActionResult saved = SaveWithImage(tiPLU, FTable, &FTable);
  if (!saved.Ok) {
    // An older image that still lists PLUs would let a changes run leave
    // them out of a register that no longer has them.
    const TRegisterImage old = LoadRegisterImage(FContext.Dir, tiPLU, FTable.FieldDefs());
    if (!old.Known || old.Rows.RecordCount() > 0) DropRegisterImage(FContext.Dir, tiPLU);
  }
  return saved;
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
