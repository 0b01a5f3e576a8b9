// The actions behind the HTTP service's paths, over the same logic classes
// as the windows and tarvoctl, so that each has the same effects on files as
// the matching tarvoctl action. Register actions (and every change of a
// file) run on the project's worker thread, one at a time; the table show
// reads only and runs where the request came in.
#pragma once

#include <cstdint>

#include "Answer.h"
#include "CellEdits.h"
#include "RegisterLink.h"
#include "RegisterReports.h"
#include "Route.h"
#include "TextHelpers.h"

// GET .../tables/{t}: {"fields": [...], "rows": [[...], ...]} as `show`
// prints them.
TAnswer ShowTableAnswer(const TProjectContext &project, TTableId table);
// POST .../tables/{t}/{action}: {"ok", "message", "reason", "row",
// "differences"} and what the action counted.
TAnswer TableActionAnswer(const TProjectContext &project, TTableId table, TTableAction action);
// PATCH .../tables/{t}/rows/{cod}: {"row": {...}} as saved; 422 with the
// editor's message when it refuses a value (nothing saved).
TAnswer RowChangeAnswer(const TProjectContext &project, TTableId table, int64_t cod, const TCellValues &cells);
// POST .../plu: {"ok", "message", "line"} as a WRITEPLU.TXT would be
// answered; lines in the register's code page.
TAnswer PluListAnswer(const TProjectContext &project, const TLineList &lines);
// POST .../reports/{r}: {"ok", "lines", "archive"}; lines as `tarvoctl
// report` prints them.
TAnswer ReportAnswer(const TProjectContext &project, TReportKind kind);
