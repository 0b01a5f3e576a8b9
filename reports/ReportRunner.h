// The "Rapoarte" items of the main window: the question before the PLU sales
// (which the register clears), the read with the program's register slot
// held and the hourglass cursor, the failure messages, and the viewer.
#pragma once

#include "RegisterReports.h"

// The viewer's caption says when a report broke off: "Raport Z PLU - incomplet".
inline constexpr const char *PartialTitleSuffix = " - incomplet";

// Runs one report for the current project (the caller has checked that one
// is open). Nothing starts while another action holds the register.
void RunRegisterReport(TReportKind kind);
