// Filling a table from the lines the register answered a read with: each
// line is split at ";", a line whose field count is not the table's is
// skipped without a word, and the others change the row with their code or
// append one. Nothing is ever deleted, and fields the line does not carry
// keep their values.
#pragma once

#include "ActionResult.h"
#include "TableDescription.h"
#include "TextHelpers.h"

// A bulk change of a table (a fill, a programming run, an import): its
// controls are off from construction, so the grid does not repaint row by
// row; at the end, on every path, an unfinished row is cancelled, the gauge
// (when given) hidden, the table put on its first row and the controls let
// the grid catch up once.
class TTableWork {
 public:
  explicit TTableWork(TRecordSet &table, TProgress *progress = nullptr);
  ~TTableWork();
  TTableWork(const TTableWork &) = delete;
  TTableWork &operator=(const TTableWork &) = delete;

 private:
  TRecordSet &FTable;
  TProgress *FProgress;
};

// Fills table from lines under the description's layout. The table's
// controls are disabled meanwhile (the grid stops repainting), progress
// counts the lines and events run once per line; at the end, also when an
// exception passes, the gauge is hidden, the controls come back and the
// table is on its first row. Returns the number of lines taken.
//
// eachLine: every line taken becomes a row of its own, even when its code
// came before; comparing with the register must see a code it repeats.
int FillTable(const TTableDescription &description, const TLineList &lines, TRecordSet &table,
              TProgress &progress, bool eachLine = false);
