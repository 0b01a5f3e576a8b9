// The command texts of the upload records, by kind.
#pragma once

#include <string>

#include "Records.h"

// Record texts of kinds 0..4 and 6..8; kind 5 and unknown kinds give "".
// rec points to the record of that kind (TDeptRec for rkDept, ...).
std::string BuildRecordText(int kind, const void *rec);
