// Numbers as the register and the users write them: "," is the decimal
// separator everywhere, whatever locale the process runs under.
#pragma once

#include <string>

// The "0.00" pattern with `decimals` decimals: at least one integer digit, no
// grouping, "," as separator, "-" for negatives. Rounds half away from zero
// on the decimal value the number stands for, so 2.675 gives "2,68" although
// the nearest double lies a little below it.
std::string FormatDecimal(double v, int decimals);

// Reads a decimal text with "," or "." as separator, blanks around it
// allowed: [+-]digits[,digits]. Anything else gives false and leaves out alone.
bool ParseDecimal(const std::string &text, double &out);
