#include "RegisterActions.h"

#include "TarvoCore.h"

TActionResult ReadAnswer(const TProjectContext &context, const std::string &command, TLineList &lines) {
  TRegisterSession session(context, false);
  TActionResult result;
  if (!session.Open(result)) return result;
  try {
    if (session.Link().ReadLines(command, lines)) return TActionResult::Success();
    return TActionResult::Failure(OperationFailedMessage, session.Link().LastError());
  } catch (const std::exception &e) {
    // The port failed under the exchange; the link has recorded it too.
    return TActionResult::Failure(OperationFailedMessage, e.what());
  }
}

TActionResult SendRows(const TProjectContext &context, int count, TProgress &progress,
                       const std::function<bool(TTARVO &, int row)> &send,
                       const std::function<std::string(int row)> &code) {
  struct THide {
    TProgress &P;
    ~THide() { P.End(); }
  } hide{progress};
  progress.Begin(count);
  TRegisterSession session(context, true);
  TActionResult result;
  if (!session.Open(result)) return result;
  for (int row = 1; row <= count; ++row) {
    progress.Step(row);
    LetEventsRun();
    std::string reason;
    try {
      if (send(session.Link(), row)) continue;
      reason = session.Link().LastError();
    } catch (const std::exception &e) {
      reason = e.what();
    }
    result = TActionResult::Failure(OperationFailedMessage, reason);
    result.RowCode = code(row);
    result.Row = row;
    return result;
  }
  return TActionResult::Success();
}
