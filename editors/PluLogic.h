// The logic of the PLU editor ("Fisier PLU-uri"): the article table PLU.cds,
// which, unlike the other tables, gains and loses rows here. New PLUs are
// made on the PC and flagged Nou, PLUs to remove from the register are
// flagged Sters, and a programming run sends both and closes the upload with
// "CPB", "CPM" or "CPD". The table also goes to and comes from a plain text
// file, all PLUs can be erased in the register, and the scale-sold ones are
// passed on to the label scales.
//
// PLU.cds is written after a successful read, after a complete programming
// run (after its closing command), after the erase of all PLUs and by
// SavePluTable (before the scale window opens); never when the editor
// closes. A run that stops at a refused record leaves the rows it already
// sent changed in the open table (flags cleared, marked rows gone) while the
// file keeps its previous content.
//
// The register's image (PLU.registru, RegisterImage.h) follows every read,
// verify, erase and run: the PLUs the register took, new ones as normal
// PLUs, marked ones gone.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "EditorLogic.h"
#include "PluRows.h"

class TPluLogic : public TEditorLogic {
 public:
  // Opens PLU.cds of the project (an empty table when there is none);
  // throws ETableFile when the file exists but cannot be read.
  explicit TPluLogic(TProjectContext context);
  ~TPluLogic() override;

  TRecordSet &GridTable() override { return FTable; }
  const TRecordSet &Table() const { return FTable; }
  const std::vector<TGridColumn> &GridColumns() const override;
  // The code takes typing only on a new row; nothing does while an action runs.
  bool CellReadOnly(int recNo, int column) const override;
  // The code takes digits only; the scale mark takes "x" or a blank.
  bool AcceptsChar(int column, char c) const override;
  // A typed code sets Cod to its value (0 when empty) and is padded to 14
  // digits; a scale mark is "x", a blank or nothing. A price with more than
  // two decimals and a linked PLU with a fraction are refused: they would be
  // sent as another value than the one stored.
  std::string SetCell(int recNo, int column, const std::string &text) override;
  // Cyan for a new row, red for a row marked for deletion, amber for one
  // the last verify found different from the register.
  int32_t RowColour(int recNo) const override;

  // "&Citire din casa": "D10000"; a non-empty answer replaces the whole
  // table (46-field lines, codes of 1 to 14 digits), then PLU.cds is saved.
  TActionResult Read(TProgress &progress) override;
  // "&Programare casa": the empty-table and repeated-code checks, then one
  // record per row in Cod order, the flags taken into effect row by row, the
  // closing command and PLU.cds.
  TActionResult Program(TProgress &progress) override;
  // The same checks and run over the rows whose record differs from the
  // register's image, and every new and marked row; the closing command as
  // in a full run.
  TActionResult ProgramChanges(TProgress &progress) override;
  // "D10000" compared with the table; a row marked for deletion should be
  // gone from the register, a repeated code is said so.
  TActionResult Verify(TProgress &progress) override;
  // The messages of the last Program stopped by repeated codes, one per
  // repeated occurrence ("Cod PLU dublat !\r" and the code); empty otherwise.
  const std::vector<std::string> &DuplicateMessages() const { return FDuplicates; }
  // The CodAlfa of every row whose code an earlier row already has, in
  // table order.
  std::vector<std::string> RepeatedCodes() const;

  // "Sterge &toate PLU-urile", once the user said yes: "CPX", then the
  // table emptied and saved.
  TActionResult EraseAll();

  // "&Adauga": a new row with the defaults, stored at once; its row number.
  int Add();
  // "&Sterge ": a new row goes at once; another has its deletion mark
  // switched. Nothing on an empty table or while an action runs.
  void DeleteOrMark(int recNo);
  // The command line's delete and undelete: a new row goes when marked,
  // another row gets the mark set or cleared.
  void SetDeletionMark(int recNo, bool marked);
  // The "..." button of the Cantar cell: "x" becomes empty, anything else "x".
  void ToggleScaleMark(int recNo);
  // The row number of the first row with this code; 0 when there is none.
  int FindCode(int64_t code);

  // "Sal&vare fisier text": every row to path (replacing it); the table and
  // PLU.cds stay as they are.
  TActionResult SaveTextFile(const std::string &path) const;
  // "I&mport fiisier text": the file's PLUs into the table, without saving it.
  TActionResult ImportTextFile(const std::string &path);
  // PLU.cds as the table is now ("Cantare" saves before the scale window).
  TActionResult SavePluTable() const { return SaveTable(tiPLU, FTable); }

  // Column numbers of the grid.
  enum : int { colCodAlfa, colNume, colCodDep, colCodUM, colPret1, colPret2, colLinkPLU, colCantar };

 private:
  // The checks both runs make before anything is sent.
  TActionResult CheckBeforeRun();
  // One loop for both runs: changesOnly sends only the rows ChangedRows
  // picks.
  TActionResult RunProgram(TProgress &progress, bool changesOnly);

  TRecordSet FTable;
  TPluFieldNos FNo;
  // The second cursor lives inside; it goes before the table does.
  std::unique_ptr<TPluNumbering> FNumbering;
  std::vector<std::string> FDuplicates;
};

// Messages of the PLU editor.
inline constexpr const char *NoPluMessage = "Nu exista nici un PLU pentru a fi trimis in casa de marcat !\r";
inline constexpr const char *DuplicatePluMessage = "Cod PLU dublat !\r";
inline constexpr const char *EraseAllQuestion =
    "Atentie !\r\rToate PLU-urile din casa de marcat vor fi sterse.\r\rContinui ?";
