// The lines a verify prints, one per difference, in UTF-8:
// `Cod 4: Nume: project "PAINE", register "DEPARTAMENT 4"`. The command line
// prints them and the HTTP service sends them, in the same words.
#pragma once

#include <string>
#include <vector>

#include "RegisterCompare.h"

// codeWord names the key ("Cod", "Bloc" for the block tables).
std::vector<std::string> DifferenceLines(const TVerifyReport &report, const std::string &codeWord);
