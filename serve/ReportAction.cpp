#include "Actions.h"

#include "CodePage.h"
#include "ReportReader.h"
#include "ServeJson.h"

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
  // A Z report's lines were kept in its journal before the register was
  // told it may clear them: the archive of a complete read, or the file of
  // a broken one (or, when even that name could not be given, the reason
  // saying where they are).
  body["archive"] = QJsonValue();
  if (outcome.HasArchive()) body["archive"] = Utf8Text(outcome.ArchivePath);
  if (!outcome.PartialPath.empty()) body["archive"] = Utf8Text(outcome.PartialPath);
  if (!outcome.PartialError.empty()) body["archiveError"] = Utf8Text(outcome.PartialError);
  return JsonAnswer(body);
}
