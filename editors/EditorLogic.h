// The logic under an editor window: its open table, what the grid may do to
// it, reading it from the register and programming the register from it.
// QtCore only; the window over it, the command line and the tests drive the
// same object.
#pragma once

#include <string>

#include "ActionResult.h"
#include "GridSource.h"
#include "RegisterLink.h"
#include "Schemas.h"

class TEditorLogic : public TGridSource {
 public:
  explicit TEditorLogic(TProjectContext context) : FContext(std::move(context)) {}
  ~TEditorLogic() override = default;
  TEditorLogic(const TEditorLogic &) = delete;
  TEditorLogic &operator=(const TEditorLogic &) = delete;

  const TProjectContext &Context() const { return FContext; }

  // "&Citire din casa": reads the table from the register, fills the table
  // and saves its file; on failure the table and the file are as they were.
  virtual TActionResult Read(TProgress &progress) = 0;
  // "&Programare casa": one record per row in Cod order, stopping at the
  // first refusal; the file is saved only after the last row.
  virtual TActionResult Program(TProgress &progress) = 0;

  // True while Read or Program runs; another call meanwhile is refused.
  bool Busy() const { return FBusy; }

 protected:
  // Marks the logic busy while it lives; Acquired() is false when an action
  // was already running (the caller then returns BusyResult()).
  class TBusy {
   public:
    explicit TBusy(TEditorLogic &logic) : FLogic(logic), FAcquired(!logic.FBusy) { logic.FBusy = true; }
    ~TBusy() {
      if (FAcquired) FLogic.FBusy = false;
    }
    bool Acquired() const { return FAcquired; }

   private:
    TEditorLogic &FLogic;
    bool FAcquired;
  };
  static TActionResult BusyResult();

  // Saves a table of the project; a file that cannot be written becomes a
  // failed result carrying the file layer's message.
  TActionResult SaveTable(TTableId id, const TRecordSet &table) const;

  TProjectContext FContext;

 private:
  bool FBusy = false;
};
