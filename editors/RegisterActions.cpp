#include "RegisterActions.h"

#include <algorithm>

#include "TarvoCore.h"

TActionResult SendRows(const TProjectContext &context, const std::vector<int> &rows, TProgress &progress,
                       const std::function<bool(TTARVO &, int row)> &send,
                       const std::function<std::string(int row)> &code, int *acknowledged) {
  int taken = 0;
  struct TEnd {
    TProgress &P;
    int &Taken;
    int *Out;
    ~TEnd() {
      P.End();
      if (Out) *Out = Taken;
    }
  } end{progress, taken, acknowledged};
  progress.Begin(int(rows.size()));
  TRegisterSession session(context, true);
  TActionResult result;
  if (!session.Open(result)) return result;
  for (const int row : rows) {
    progress.Step(taken + 1);
    LetEventsRun();
    std::string reason;
    try {
      if (send(session.Link(), row)) {
        ++taken;
        continue;
      }
      reason = session.FailureReason();
    } catch (const std::exception &e) {
      reason = session.FailureReason(e);
    }
    result = TActionResult::Failure(OperationFailedMessage, reason);
    result.RowCode = code(row);
    result.Row = taken + 1;
    return result;
  }
  return TActionResult::Success();
}

