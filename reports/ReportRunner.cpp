#include "ReportRunner.h"

#include <cstdio>

#include <QApplication>
#include <QDir>

#include "CodePage.h"
#include "EditorDialog.h"
#include "ReadProgressWindow.h"
#include "RegisterSlot.h"
#include "ReportReader.h"
#include "ReportWindow.h"
#include "UserDialogs.h"

void RunRegisterReport(TReportKind kind, const TProjectContext &context) {
  // One register action at a time: while another holds the register the
  // menus that lead here are unavailable, so this is only a second line.
  if (context.Slot && context.Slot->Busy()) return;
  const TReportDef &def = ReportDef(kind);
  if (kind == TReportKind::PluSales && !AskYesNo(QString::fromLatin1(PluSalesQuestion))) return;

  TReportOutcome outcome;
  {
    // Taken after the question: the online mode may have started a command
    // file while it was asked.
    TRegisterTurn turn(context.Slot, std::string("Rapoarte - ") + def.Title);
    if (!turn.Had()) {
      ShowError(ToDisplay(RegisterBusyMessage(context.Slot->Holder())));
      return;
    }
    TWaitCursor wait;
    TReadProgressWindow progress(ToDisplay(def.Title), QApplication::activeWindow());
    outcome = TReportReader(context).Read(kind, &progress);
  }

  if (outcome.Result.Ok) {
    ShowReport(def.Title, ReportText(def.Title, std::move(outcome.Lines)), context.Dir, outcome.ArchivePath);
  } else if (outcome.HasPartial()) {
    // What did arrive may be the only copy left: say where it is kept and
    // show it.
    ShowError(ToDisplay(outcome.Result.Text() + "\r\r" + outcome.PartialNote()));
    ShowReport(std::string(def.Title) + PartialTitleSuffix, ReportText(def.Title, std::move(outcome.Lines)),
               context.Dir, outcome.PartialPath);
  } else {
    TEditorDialog::ShowFailure(outcome.Result);
  }
}

void AnnounceLeftZReports(const QString &programDir) {
  const QDir root(programDir);
  for (const QString &name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
    const std::string dir = QFile::encodeName(root.filePath(name)).toStdString();
    for (const TLeftJournal &left : RecoverZJournals(dir, {ProjectZNames()})) {
      std::fprintf(stderr, "tarvoprog: %s\n", LeftJournalLogLine(left).c_str());
      ShowMessageBox(ToDisplay(LeftJournalNote(left)), QStringLiteral("Atentie"), mkWarning, MsgOK);
    }
  }
}
