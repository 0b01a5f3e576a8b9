// The logic under an editor window: its open table, what the grid may do to
// it, reading it from the register and programming the register from it.
// QtCore only; the window over it, the command line and the tests drive the
// same object.
#pragma once

#include <string>

#include "ActionResult.h"
#include "GridSource.h"
#include "RegisterCompare.h"
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
  // "Programare mo&dificari": the same run over only the rows whose record
  // differs from what the register was last known to hold (RegisterImage.h).
  // Without such knowledge it sends nothing and fails with NoImageMessage
  // (the reason line says why when an image file could not be read).
  virtual TActionResult ProgramChanges(TProgress &progress) = 0;
  // "Veri&ficare casa": reads the table from the register and compares it
  // with the open table (LastVerify); the table and its file stay as they
  // are, the register's image is refreshed.
  virtual TActionResult Verify(TProgress &progress) = 0;

  // The last programming run: how many rows the register took.
  int LastRowsSent() const { return FRowsSent; }
  // The last verify; its differences mark the grid's rows until the table
  // is read or programmed again.
  const TVerifyReport &LastVerify() const { return FVerify; }

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
  // The table and the register's image (when given) together: both files
  // are written, or, on a failure (a full disk), neither is touched.
  TActionResult SaveWithImage(TTableId id, const TRecordSet &table, const TRecordSet *image) const;

  // A row of this code is marked by the last verify.
  bool VerifyMarked(int64_t code) const { return FVerify.MarkedCodes.count(code) > 0; }

  TProjectContext FContext;
  int FRowsSent = 0;
  TVerifyReport FVerify;

 private:
  bool FBusy = false;
};

// The messages of the changes run and the verify.
inline constexpr const char *NoImageMessage =
    "Nu se stie ce contine casa de marcat: tabelul nu a fost nici citit din casa, nici programat complet.\r";
inline constexpr const char *ProgramAllQuestion = "Programez tot tabelul ?";
inline constexpr const char *NothingChangedMessage =
    "Nu exista modificari fata de ce contine casa de marcat: nu a fost trimis nimic.\r";
inline constexpr const char *RegisterMatchesMessage =
    "Casa de marcat contine tabelul din proiect: nu exista diferente.\r";
// The background of a row the last verify found different (light amber).
inline constexpr int32_t VerifyMarkColour = 0xFFD966;
