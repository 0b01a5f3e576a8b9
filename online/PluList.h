// Programming a PLU list (the lines of WRITEPLU.TXT, or the body of the HTTP
// service's PLU request) over an open write-mode link: one record per line
// that is not empty, stopping at the first refusal. The lines before it stay
// programmed.
#pragma once

#include <string>

#include "TextHelpers.h"

class TTARVO;

struct TPluListRun {
  bool Ok = true;
  int Sent = 0;        // records the register took
  int FailedLine = 0;  // the line (from 1) it refused; 0 when none
  std::string Reason;  // the link's LastError then
};

// lines must have passed FirstInvalidPluLine.
TPluListRun SendPluList(TTARVO &link, const TLineList &lines);
