#include "PluList.h"

#include "CommandFile.h"
#include "TarvoCore.h"

TPluListRun SendPluList(TTARVO &link, const TLineList &lines) {
  TPluListRun run;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].empty()) continue;  // a line without fields
    const TPluRec rec = PluRecordOfLine(lines[i]);
    if (!link.SendRecord(rkPlu, &rec)) {
      run.Ok = false;
      run.FailedLine = int(i + 1);
      run.Reason = link.LastError();
      return run;
    }
    ++run.Sent;
  }
  return run;
}
