// The "Rapoarte" items of the main window: the question before the PLU sales
// (which the register clears), the read with the program's register slot
// held and the hourglass cursor, the failure messages, and the viewer.
#pragma once

#include <QString>

#include "RegisterLink.h"
#include "RegisterReports.h"

// The viewer's caption says when a report broke off: "Raport Z PLU - incomplet".
inline constexpr const char *PartialTitleSuffix = " - incomplet";

// Runs one report for the project the main window gives (it has checked that
// one is open), holding the context's register slot while it reads; nothing
// starts while another action holds it.
void RunRegisterReport(TReportKind kind, const TProjectContext &context);

// At the window program's start: every project of the program directory is
// looked at for a Z report whose read never finished, and each one found is
// announced once (its line count and where they are), in a message box and
// on stderr.
void AnnounceLeftZReports(const QString &programDir);
