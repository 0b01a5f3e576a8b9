#include "PluList.h"

#include "CommandFile.h"
#include "RegisterLink.h"
#include "TarvoCore.h"

TPluListRun SendPluList(TRegisterSession &session, const TLineList &lines) {
  TPluListRun run;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].empty()) continue;  // a line without fields
    const TPluRec rec = PluRecordOfLine(lines[i]);
    std::string why;
    try {
      if (session.Link().SendRecord(rkPlu, &rec)) {
        ++run.Sent;
        continue;
      }
      why = session.FailureReason();
    } catch (const std::exception &e) {
      why = session.FailureReason(e);
    }
    run.Ok = false;
    run.FailedLine = int(i + 1);
    run.Reason = why;
    return run;
  }
  return run;
}
