#include "RegisterReports.h"

#include "PluSalesLayout.h"

namespace {

const TReportDef Reports[] = {
    {TReportKind::PluSales, "RSZ000004", PluSalesTitle, "plu-sales"},
    // The title ends with a blank, as the window has always shown it.
    {TReportKind::PaymentForms, "RSX0001006", "Raport forme plata casieri ", "payments"},
    {TReportKind::Drawer, "RSX0001007", "Raport sertar pe casieri", "drawer"},
};

}  // namespace

const TReportDef &ReportDef(TReportKind kind) {
  for (const TReportDef &r : Reports)
    if (r.Kind == kind) return r;
  return Reports[0];
}

const TReportDef *ReportDefByName(const std::string &name) {
  for (const TReportDef &r : Reports)
    if (name == r.CliName) return &r;
  return nullptr;
}

bool ClearsWhatItReports(const std::string &command) { return command.rfind("RSZ", 0) == 0; }

TLineList ReportText(const std::string &title, TLineList lines) {
  if (title == PluSalesTitle) LayOutPluSales(lines);
  return lines;
}
