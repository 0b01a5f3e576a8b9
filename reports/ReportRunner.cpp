#include "ReportRunner.h"

#include <QApplication>

#include "CodePage.h"
#include "EditorDialog.h"
#include "ProjectShell.h"
#include "ReportReader.h"
#include "ReportWindow.h"
#include "UserDialogs.h"

namespace {

bool Running = false;

}  // namespace

void RunRegisterReport(TReportKind kind) {
  TProjectShell *shell = ProjectShell();
  // The menus stay live while the link waits; one read at a time.
  if (!shell || Running) return;
  const TReportDef &def = ReportDef(kind);
  if (kind == TReportKind::PluSales && !AskYesNo(QString::fromLatin1(PluSalesQuestion))) return;

  struct TRunning {
    TRunning() { Running = true; }
    ~TRunning() { Running = false; }
  } running;
  TWaitCursor wait;

  TProjectContext context;
  context.Dir = shell->ProjectDirPath();
  context.CurrentLink = &shell->CurrentLink;
  TReportOutcome outcome = TReportReader(context).Read(kind);
  wait.Restore();

  if (outcome.Result.Ok) {
    ShowReport(def.Title, ReportText(def.Title, std::move(outcome.Lines)), context.Dir);
  } else if (outcome.HasPartial()) {
    // What did arrive may be the only copy left: say where it is kept and
    // show it.
    ShowError(ToDisplay(outcome.Result.Text() + "\r\r" + outcome.PartialNote()));
    ShowReport(std::string(def.Title) + PartialTitleSuffix, ReportText(def.Title, std::move(outcome.Lines)),
               context.Dir);
  } else {
    TEditorDialog::ShowFailure(outcome.Result);
  }
}
