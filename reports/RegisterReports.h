// The three reports of the "Rapoarte" menu: the register command that reads
// each, the viewer's title, and whether the register clears what it reports.
#pragma once

#include <string>

#include "TextHelpers.h"

enum class TReportKind { PluSales, PaymentForms, Drawer };

struct TReportDef {
  TReportKind Kind;
  const char *Command;  // the read command, sent as written
  const char *Title;    // the viewer's caption
  const char *CliName;  // the word tarvoctl's `report` takes
};

// The viewer lays out the report whose title is exactly this.
inline constexpr const char *PluSalesTitle = "Raport Z PLU";
// Asked before "Vanzari PLU": the read clears the register's PLU sales.
inline constexpr const char *PluSalesQuestion =
    "Aceasta optiune va citi vanzarile din casa si le va resea. \r\rContinui ?";

const TReportDef &ReportDef(TReportKind kind);
// The definition whose CliName is name, or null.
const TReportDef *ReportDefByName(const std::string &name);

// Whether the register clears what a read command reports (the Z reports,
// "RSZ..."): after such a read the lines received are the only copy left.
bool ClearsWhatItReports(const std::string &command);

// The text the viewer shows for a report: the PLU sales layout for the title
// "Raport Z PLU", the lines as read for every other title.
TLineList ReportText(const std::string &title, TLineList lines);
