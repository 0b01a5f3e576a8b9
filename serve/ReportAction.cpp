#include "Actions.h"

#include "CodePage.h"
#include "ReportReader.h"
#include "ServeJson.h"
#include "ZArchive.h"

namespace {

QJsonArray LinesArray(const TLineList &lines) {
  QJsonArray a;
  for (const std::string &line : lines) a.append(ToDisplay(line));
  return a;
}

}  // namespace

TAnswer ReportAnswer(const TProjectContext &project, TReportKind kind) {
  const TReportOutcome outcome = TReportReader(project).Read(kind);
  QJsonObject body = ResultObject(outcome.Result);
  // A good read is laid out as the viewer shows it; a broken one gives the
  // lines as they came, as they are kept.
  body["lines"] = LinesArray(outcome.Result.Ok ? ReportText(outcome.Title, outcome.Lines) : outcome.Lines);
  body["archive"] = QJsonValue();
  if (ClearsWhatItReports(ReportDef(kind).Command)) {
    const TZArchive archive = KeepZArchive(project.Dir, outcome);
    if (!archive.Path.empty()) body["archive"] = Utf8Text(archive.Path);
    if (!archive.Error.empty()) {
      // The register has cleared its sales: lines that cannot be kept make
      // the report a failure, whatever the read said.
      body["ok"] = false;
      body["message"] = QStringLiteral("Liniile raportului Z nu au putut fi salvate");
      body["reason"] = Utf8Text(archive.Error);
    }
  }
  return JsonAnswer(body);
}
