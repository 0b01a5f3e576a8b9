// The "Rapoarte" items of the main window: the question before the PLU sales
// (which the register clears), the read with the program's register slot
// held and the hourglass cursor, the failure messages, and the viewer.
#pragma once

#include <QString>

#include "RegisterReports.h"

// The viewer's caption says when a report broke off: "Raport Z PLU - incomplet".
inline constexpr const char *PartialTitleSuffix = " - incomplet";

// Runs one report for the current project (the caller has checked that one
// is open). Nothing starts while another action holds the register.
void RunRegisterReport(TReportKind kind);

// At the window program's start: every project of the program directory is
// looked at for a Z report whose read never finished, and each one found is
// announced once (its line count and where they are), in a message box and
// on stderr.
void AnnounceLeftZReports(const QString &programDir);
