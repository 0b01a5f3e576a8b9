// The logic of the system parameter and system option editors: the block
// table (SP.cds or SO.cds, blocks of 32 whole numbers) read and programmed
// as any table, and over it the list the user actually sees and edits: one
// row per described position, with its description and value.
//
// Programming is possible only after a successful read when the project had
// no block table file yet, so a register is never programmed with blocks
// nobody read out of it.
#pragma once

#include <string>
#include <vector>

#include "TableEditor.h"

// A described position of a block.
struct TPositionDescription {
  int Block;
  int Position;  // 1..32
  const char *Text;
};

struct TBlockDescription {
  const TTableDescription &Blocks;
  std::vector<TPositionDescription> Positions;  // in block, then position order
  // What the list's description column is called and its width, and the
  // value column's width (the windows differ by a few pixels).
  int DescriptionWidth;
  int ValueWidth;
};

const TBlockDescription &SPBlocks();  // "Fisier Parametri Sistem", 26 positions
const TBlockDescription &SOBlocks();  // "Fisier Optiuni Sistem", 30 positions

class TBlockEditor : public TTableEditor {
 public:
  // Opens the block table (blocks 1..8 or 1..16 made to exist) and builds
  // the list; throws ETableFile for a file that cannot be read.
  TBlockEditor(TProjectContext context, const TBlockDescription &description);

  const TBlockDescription &Blocks() const { return FBlocks; }
  TRecordSet &BlockTable() { return FTable; }
  // The list (in memory only): Rand, Coloana, Denumire, Valoare.
  TRecordSet &Manual() { return FManual; }

  // False until a read succeeded, when the file did not exist at opening.
  bool ProgramAllowed() const { return FProgramAllowed; }
  TActionResult Program(TProgress &progress) override;
  TActionResult ProgramChanges(TProgress &progress) override;

  // Sets a described position of a block, as typing in the list does.
  // Returns "" when stored, else why not (an undescribed position, a value
  // that is not a whole number).
  std::string SetPosition(int32_t block, int position, const std::string &value);
  // A field of the block table as the list names it: "P21 Nr. casa de
  // marcat" for a described position, else the field's name.
  std::string PositionTitle(int64_t block, const std::string &field) const;
  // The list's row of a block's field ("P21"): the position's own row, else
  // the block's first row; 0 for a block the list does not hold.
  int ListRowOf(int64_t block, const std::string &field) const;

  // The grid is the list: the description (read-only) and the value.
  TRecordSet &GridTable() override { return FManual; }
  const std::vector<TGridColumn> &GridColumns() const override { return FColumns; }
  bool AcceptsChar(int column, char c) const override;
  // A value typed in the list goes to its position of the block.
  std::string SetCell(int recNo, int column, const std::string &text) override;
  // A position of the list the last verify found different.
  int32_t RowColour(int recNo) const override;

  // The block table as a grid (never shown): Bloc, P1..P32, only the
  // described positions of a block take typing.
  TGridSource &BlockGrid() { return FBlockGrid; }

  // Deletes the list's rows and makes one per described position of every
  // block present, in block order.
  void RebuildManual();

 protected:
  void TableFilled(bool saved) override;

 private:
  class TBlockGrid : public TGridSource {
   public:
    explicit TBlockGrid(TBlockEditor &owner) : FOwner(owner) {}
    TRecordSet &GridTable() override { return FOwner.FTable; }
    const std::vector<TGridColumn> &GridColumns() const override { return FOwner.FDescription.Columns; }
    bool CellReadOnly(int recNo, int column) const override;
    std::string SetCell(int recNo, int column, const std::string &text) override;

   private:
    TBlockEditor &FOwner;
  };

  const char *Described(int32_t block, int position) const;
  // The list's row of exactly this position, 0 when there is none.
  int ExactListRow(int32_t block, int position) const;

  const TBlockDescription &FBlocks;
  TRecordSet FManual;
  std::vector<TGridColumn> FColumns;
  TBlockGrid FBlockGrid{*this};
  bool FProgramAllowed = true;
};

// The message of a programming run refused before the first read.
inline constexpr const char *ReadBlocksFirstMessage =
    "Cititi mai intai tabelul din casa de marcat: programarea este posibila doar dupa o citire reusita.\r";
