#include "SalesLedger.h"

#include "Fields.h"

namespace Sim {

namespace {

std::string Header(const std::string &date, const std::string &time, int32_t z) {
  return "0;0;0;0;6;\"" + date + "\";\"" + time + "\";" + std::to_string(z);
}

// Hundredths of qty (thousandths) times price (hundredths), rounded half up.
int64_t LineValue(int64_t qtyMilli, int64_t unitPrice) {
  return (qtyMilli * unitPrice + 500) / 1000;
}

}  // namespace

bool TSalesLedger::Sell(const TRegisterTables &tables, int64_t plu, int64_t qtyMilli,
                        int32_t cashier, int32_t payForm, int32_t discountPercent) {
  const auto p = tables.Plus.find(plu);
  if (p == tables.Plus.end() || qtyMilli <= 0 || !tables.Cashiers.count(cashier) ||
      !tables.PayForms.count(payForm) || discountPercent < 0 || discountPercent > 100)
    return false;
  const TPlu &art = p->second;
  const auto dept = tables.Depts.find(art.CodDep);

  TPluSales &s = PluSales[plu];
  s.Cod = plu;
  s.Nume = art.Nume;
  s.NumeAditional = art.NumeAditional;
  s.CodDep = art.CodDep;
  s.CodUM = art.CodUM;
  s.Tva = dept != tables.Depts.end() ? dept->second.TVA : 1;
  s.UnitPrice = art.Pret1;
  const int64_t value = LineValue(qtyMilli, art.Pret1);
  const int64_t discount = value * discountPercent / 100;
  s.QtyMilli += qtyMilli;
  s.Value += value;
  s.Discount += discount;
  s.Count += 1;

  TCashierTotals &c = Cashiers[cashier];
  c.ByForm[payForm] += value - discount;
  c.CountByForm[payForm] += 1;
  c.Receipts += 1;
  if (discount > 0) {
    DiscountValue += discount;
    DiscountCount += 1;
  }
  return true;
}

void TSalesLedger::Seed(const TRegisterTables &tables, int count) {
  std::vector<const TPlu *> plus;
  for (const auto &[cod, p] : tables.Plus) plus.push_back(&p);
  if (plus.empty()) return;
  for (int i = 0; i < count; ++i) {
    const TPlu &p = *plus[size_t(3 * int64_t(i)) % plus.size()];
    const int64_t units = 1 + i % 3;
    const int64_t qty = p.CodUM == 2 ? units * 500 : units * 1000;
    Sell(tables, p.Cod, qty, 1 + i % 2, 1 + i % 3, i % 5 == 4 ? 10 : 0);
  }
}

bool TSalesLedger::Report(std::string_view command, const TRegisterTables &tables,
                          const std::string &date, const std::string &time,
                          std::vector<std::string> &lines, TReportEffect &effect) const {
  effect = {};
  const auto cashierName = [&](int32_t cod) {
    auto it = tables.Cashiers.find(cod);
    return it != tables.Cashiers.end() ? it->second.Nume : std::string();
  };
  const auto formName = [&](int32_t cod) {
    auto it = tables.PayForms.find(cod);
    return it != tables.PayForms.end() ? it->second.Nume : std::string();
  };

  if (command == "RSZ000004" || command == "RSX000004") {
    lines.push_back(Header(date, time, ZNumber));
    int64_t qty = 0, value = 0;
    for (const auto &[cod, s] : PluSales) {
      // 1;1;1;4;Cod;"Nume";Qty;Value;Dep;UM;Count;0;0;0;Price;TVA;Discount;"NumeAditional"
      lines.push_back("1;1;1;4;" + std::to_string(s.Cod) + ";\"" + s.Nume + "\";" +
                      FormatMilli(s.QtyMilli) + ";" + FormatCents(s.Value) + ";" +
                      std::to_string(s.CodDep) + ";" + std::to_string(s.CodUM) + ";" +
                      std::to_string(s.Count) + ";0;0;0;" + FormatCents(s.UnitPrice) + ";" +
                      std::to_string(s.Tva) + ";" + FormatCents(s.Discount) + ";\"" +
                      s.NumeAditional + "\"");
      qty += s.QtyMilli;
      value += s.Value;
    }
    lines.push_back("2;0;0;4;" + FormatMilli(qty) + ";" + FormatCents(value) + ";" +
                    std::to_string(PluSales.size()));
    effect.ClearsPluSales = command[2] == 'Z';
    return true;
  }
  if (command == "RSX0001006") {
    lines.push_back(Header(date, time, ZNumber));
    int64_t total = 0;
    for (const auto &[cod, c] : Cashiers)
      for (const auto &[form, v] : c.ByForm) {
        const auto n = c.CountByForm.find(form);
        lines.push_back("1;1;1006;" + std::to_string(cod) + ";\"" + cashierName(cod) + "\";" +
                        std::to_string(form) + ";\"" + formName(form) + "\";" + FormatCents(v) +
                        ";" + std::to_string(n != c.CountByForm.end() ? n->second : 0));
        total += v;
      }
    lines.push_back("2;0;1006;" + FormatCents(total));
    return true;
  }
  if (command == "RSX0001007") {
    lines.push_back(Header(date, time, ZNumber));
    for (const auto &[cod, c] : Cashiers) {
      // Only cash (form 1) stays in the drawer.
      const auto cash = c.ByForm.find(1);
      lines.push_back("1;1;1007;" + std::to_string(cod) + ";\"" + cashierName(cod) + "\";" +
                      FormatCents(cash != c.ByForm.end() ? cash->second : 0) + ";" +
                      std::to_string(c.Receipts));
    }
    return true;
  }
  if (command == "RSZ0000009") {
    lines.push_back(Header(date, time, ZNumber));
    lines.push_back("1;1;9;1;\"DISCOUNT %\";" + std::to_string(DiscountCount) + ";" +
                    FormatCents(DiscountValue));
    effect.ClearsDiscounts = true;
    return true;
  }
  return false;
}

void TSalesLedger::Apply(const TReportEffect &effect) {
  if (effect.ClearsPluSales) {
    PluSales.clear();
    ++ZNumber;
  }
  if (effect.ClearsDiscounts) {
    DiscountValue = 0;
    DiscountCount = 0;
  }
}

void TSalesLedger::Clear() {
  PluSales.clear();
  Cashiers.clear();
  DiscountValue = 0;
  DiscountCount = 0;
}

}  // namespace Sim
