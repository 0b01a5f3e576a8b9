// What the simulated register has sold since its last Z report, and the
// report lines it answers the report commands with.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "RegisterTables.h"

namespace Sim {

struct TPluSales {
  int64_t Cod = 0;
  std::string Nume, NumeAditional;  // as the article was named when sold
  int32_t CodDep = 0, CodUM = 0, Tva = 0;
  int64_t UnitPrice = 0;  // hundredths
  int64_t QtyMilli = 0;   // thousandths of a unit
  int64_t Value = 0;      // hundredths, before discounts
  int64_t Discount = 0;   // hundredths
  int32_t Count = 0;      // receipt lines
};

struct TCashierTotals {
  std::map<int32_t, int64_t> ByForm;       // payment form -> hundredths
  std::map<int32_t, int32_t> CountByForm;  // payment form -> receipts
  int32_t Receipts = 0;
};

// What a report read does to the ledger once the computer has taken every line.
struct TReportEffect {
  bool ClearsPluSales = false;
  bool ClearsDiscounts = false;
};

class TSalesLedger {
 public:
  // One receipt of one article. False (nothing recorded) when the register
  // has no such PLU or the cashier or payment form is unknown.
  bool Sell(const TRegisterTables &tables, int64_t plu, int64_t qtyMilli, int32_t cashier,
            int32_t payForm, int32_t discountPercent = 0);

  // count receipts over the PLUs the register has, always the same for the
  // same tables: sale i sells PLU number (3*i mod n) in code order, quantity
  // 1 + i mod 3 units (half that in kg for articles sold by weight, UM 2),
  // by cashier 1 + i mod 2, paid with form 1 + i mod 3, with a 10 % discount
  // on every fifth sale.
  void Seed(const TRegisterTables &tables, int count);

  // The lines of a report command ("RSZ000004", "RSX000004", "RSX0001006",
  // "RSX0001007", "RSZ0000009"). False for a report the register does not have.
  bool Report(std::string_view command, const TRegisterTables &tables, const std::string &date,
              const std::string &time, std::vector<std::string> &lines,
              TReportEffect &effect) const;

  // The Z report's reset, applied when its answer was delivered in full.
  void Apply(const TReportEffect &effect);
  void Clear();

  std::map<int64_t, TPluSales> PluSales;
  std::map<int32_t, TCashierTotals> Cashiers;
  int64_t DiscountValue = 0;
  int32_t DiscountCount = 0;
  int32_t ZNumber = 1;  // number of the next Z report
};

}  // namespace Sim
