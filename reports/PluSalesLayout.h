// The PLU sales report laid out for reading: the report's date and time on
// the first line, a rule, then one line per article sold. The menu's "Vanzari
// PLU" and the online mode's sales commands show and save the same layout.
#pragma once

#include "TextHelpers.h"

// The rule under the header: 117 dashes.
inline constexpr int PluSalesRuleWidth = 117;

// Replaces lines (the register's answer to "RSZ000004" or "RSX000004") by
// the laid-out report:
//  - a line beginning "0;0;0;0;6" gives the header "Raport din data <field 5>
//    ora <field 6>" (quotes removed; a later such line replaces an earlier);
//  - a line beginning "1;1;1;4" with at least 17 fields gives fields 4, 5, 6,
//    7, 8, 14 and 16 joined by ";" and, when there is one, ";" and field 17,
//    each field exactly as received;
//  - every other line is dropped.
// The result is the header (an empty line without one), the rule and the
// article lines in the order they came.
void LayOutPluSales(TLineList &lines);
