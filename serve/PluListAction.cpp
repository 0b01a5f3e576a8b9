#include "Actions.h"

#include "CommandFile.h"
#include "PluList.h"
#include "ServeJson.h"
#include "TarvoCore.h"

TAnswer PluListAnswer(const TProjectContext &project, const TLineList &lines) {
  QJsonObject body{{"ok", false}, {"message", ""}, {"line", QJsonValue()}, {"reason", ""}, {"programmed", 0}};
  if (const int bad = FirstInvalidPluLine(lines)) {
    body["message"] = ErrBadStructure;
    if (bad > 0) body["line"] = bad;
    body["reason"] = bad < 0 ? "the list has no lines" : "line " + QString::number(bad);
    return JsonAnswer(body);
  }
  TRegisterSession session(project, true);
  TActionResult failure;
  if (!session.Open(failure)) {
    body["message"] = ErrPortWrite;
    body["reason"] = RegisterText(failure.Notice.empty() ? failure.Reason : failure.Notice);
    return JsonAnswer(body);
  }
  const TPluListRun run = SendPluList(session, lines);
  body["programmed"] = run.Sent;
  if (!run.Ok) {
    // The lines before stay programmed; the rest is not sent.
    body["message"] = ErrFailed;
    if (run.FailedLine) body["line"] = run.FailedLine;
    body["reason"] = RegisterText(run.Reason);
    return JsonAnswer(body);
  }
  body["ok"] = true;
  return JsonAnswer(body);
}
