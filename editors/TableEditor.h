// The logic of a table editor (departments, VAT, cashiers, exchange rates,
// payment forms, and under the parameter and option lists their block
// tables): the open table, the grid's rules, reading the table from the
// register and programming the register from it. One class; what differs
// between the tables is their TTableDescription.
//
// The table file is written after a successful read and after a complete
// programming run (of every row or of the changed ones), and by Save; never
// when the logic goes away. A read that fails, or a run that stops at a
// refused row, leaves the file as it was. An answer without lines changes
// nothing, the file included: there is nothing read that would need keeping.
//
// Beside it the register's image (RegisterImage.h) is written after every
// successful read or verify and after every run the register took a row of.
#pragma once

#include "EditorLogic.h"
#include "RegisterImage.h"
#include "TableDescription.h"

class TTableEditor : public TEditorLogic {
 public:
  // Opens the project's table with its default rows; throws ETableFile
  // when its file exists but cannot be read.
  TTableEditor(TProjectContext context, const TTableDescription &description);

  const TTableDescription &Description() const { return FDescription; }
  TRecordSet &Table() { return FTable; }

  TActionResult Read(TProgress &progress) override;
  TActionResult Program(TProgress &progress) override;
  TActionResult ProgramChanges(TProgress &progress) override;
  TActionResult Verify(TProgress &progress) override;
  // Writes the table file as it is (the command line's `set`).
  TActionResult Save();

  // The last successful read: answer lines received and lines taken (the
  // others had the wrong field count); -1 before any.
  int LastAnswerLines() const { return FAnswerLines; }
  int LastLinesTaken() const { return FLinesTaken; }

  // Row number (from 1) of the first row with this code; 0 when none.
  int FindRow(int32_t cod);

  // The grid: the description's columns; every cell is read-only while an
  // action runs, so nothing changes under a read or a programming run.
  TRecordSet &GridTable() override { return FTable; }
  const std::vector<TGridColumn> &GridColumns() const override { return FDescription.Columns; }
  bool CellReadOnly(int recNo, int column) const override;
  // The padded-digits column takes digits only, whole-number columns
  // digits, a sign and a decimal separator (a fraction is then refused with
  // the whole value, not turned into another number).
  bool AcceptsChar(int column, char c) const override;
  // A text longer than its field is refused rather than cut; the
  // padded-digits column is completed with leading zeros.
  std::string SetCell(int recNo, int column, const std::string &text) override;
  // A row the last verify found different from the register.
  int32_t RowColour(int recNo) const override;

  // What the register holds of a row: its code and its record's text.
  TRowRecord RowRecord() const;
  // The fields a verify compares: those the answer line carries and the
  // record sends.
  TCompareSpec CompareSpec() const;

 protected:
  // After a read changed the table; saved tells whether its file was written.
  virtual void TableFilled(bool saved) { (void)saved; }

  const TTableDescription &FDescription;
  TRecordSet FTable;

 private:
  // Program and ProgramChanges: one loop, over every row or the changed ones.
  TActionResult RunProgram(TProgress &progress, bool changesOnly);

  int FAnswerLines = -1;
  int FLinesTaken = -1;
};
