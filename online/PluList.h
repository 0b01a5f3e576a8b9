// Programming a PLU list (the lines of WRITEPLU.TXT, or the body of the HTTP
// service's PLU request) over an open write-mode link: one record per line
// that is not empty, stopping at the first refusal. The lines before it stay
// programmed.
#pragma once

#include <string>

#include "TextHelpers.h"

class TRegisterSession;

struct TPluListRun {
  bool Ok = true;
  int Sent = 0;        // records the register took
  int FailedLine = 0;  // the line (from 1) it refused or the port failed at; 0 when none
  std::string Reason;  // the reason line then
};

// Over an open session; lines must have passed FirstInvalidPluLine. A port
// that fails under a record ends the run as a refusal does.
TPluListRun SendPluList(TRegisterSession &session, const TLineList &lines);
