// Finding command and result files by name as the other program's file
// system finds them: without regard to case.
#pragma once

#include <string>
#include <vector>

// The entries of dir named as one of `wanted`, found without regard to case:
// found[i] holds the names that match wanted[i], sorted, so the same
// directory always gives the same order. One pass over the directory. False
// (errno kept) when it cannot be read.
bool ScanNoCase(const std::string &dir, const std::vector<std::string> &wanted,
                std::vector<std::vector<std::string>> &found);
