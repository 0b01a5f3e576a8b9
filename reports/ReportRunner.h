// The "Rapoarte" items of the main window: the question before the PLU sales
// (which the register clears), the read on the main window's link slot with
// the hourglass cursor, the failure messages, and the viewer.
#pragma once

#include "RegisterReports.h"

// The viewer's caption says when a report broke off: "Raport Z PLU - incomplet".
inline constexpr const char *PartialTitleSuffix = " - incomplet";

// Runs one report for the current project (the caller has checked that one
// is open). A second report asked for while one is being read starts nothing.
void RunRegisterReport(TReportKind kind);
