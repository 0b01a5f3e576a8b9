// The paths the HTTP service answers and the methods each takes:
//   GET   /v1/projects
//   GET   /v1/projects/{p}/tables/{t}
//   POST  /v1/projects/{p}/tables/{t}/{read|program|program-changed|verify}
//   PATCH /v1/projects/{p}/tables/{t}/rows/{cod}
//   POST  /v1/projects/{p}/plu
//   POST  /v1/projects/{p}/reports/{r}
// Matching looks at the words only; whether the project exists is the
// router's question.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "RegisterReports.h"
#include "Schemas.h"

enum class TRouteKind { Projects, TableShow, TableAction, RowChange, PluList, Report };
enum class TTableAction { Read, Program, ProgramChanged, Verify };

struct TRoute {
  TRouteKind Kind = TRouteKind::Projects;
  std::string Project;  // as the path names it (UTF-8), not yet checked
  TTableId Table = tiDepartamente;
  TTableAction Action = TTableAction::Read;
  const TReportDef *Report = nullptr;
  int64_t Cod = 0;
};

struct TRouteMatch {
  int Status = 0;  // 0 matched, else 404 or 405
  TRoute Route;
  std::string Allow;  // 405: the method the path takes
  std::string Error, Reason;
};

// path as the server decoded it (percent escapes undone), without the query.
TRouteMatch MatchRoute(std::string_view method, std::string_view path);

// The word of a table in paths and in tarvoctl ("dept", ..., "plu").
const char *TableWord(TTableId id);
