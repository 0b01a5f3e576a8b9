#include "RegisterTables.h"

#include <optional>

#include "Fields.h"

namespace Sim {

namespace {

constexpr size_t MaxName = 50;  // what the computer's tables hold; longer is refused

// Collects the numbers of one record; the first field that does not parse
// marks the whole record invalid, so the caller stores nothing.
struct TNumbers {
  const std::vector<std::string_view> &F;
  bool Ok = true;
  int32_t Int(size_t i) {
    auto v = ParseInt32(F[i]);
    if (!v) Ok = false;
    return v.value_or(0);
  }
};

bool NameFits(std::string_view name, size_t max = MaxName) { return name.size() <= max; }

void AppendInt(std::string &s, int64_t v) {
  s += std::to_string(v);
}

std::string Quoted(const std::string &s) { return "\"" + s + "\""; }

}  // namespace

TRegisterTables::TRegisterTables() { Reset(); }

void TRegisterTables::Reset() {
  Depts.clear();
  Vats.clear();
  Plus.clear();
  Cashiers.clear();
  Rates.clear();
  PayForms.clear();
  SysParams.clear();
  SysOptions.clear();

  for (int32_t n = 1; n <= 20; ++n)
    Depts[n] = TDept{n, "DEPARTAMENT " + std::to_string(n), 1, 0, 4, 0, 0, 1256, 0, 1};

  static const int32_t cote[6] = {1900, 900, 500, 0, 0, 0};
  for (int32_t n = 1; n <= 6; ++n)
    Vats[n] = TVat{n, std::string("TVA ") + char('A' + n - 1), cote[n - 1], n == 6 ? 1 : 0,
                   458, 4, 1234567, 8};

  // A few articles, so that a fresh register has something to sell and read.
  const TPlu plus[] = {
      {1, "PAINE ALBA", "", 1, 1, 350, 0, 0},
      {2, "LAPTE 1L", "3.5% GRASIME", 1, 1, 620, 590, 0},
      {3, "APA MINERALA", "", 2, 1, 275, 0, 0},
      {4, "CAFEA 250G", "", 2, 1, 1499, 0, 0},
      {5, "MERE", "", 3, 2, 450, 0, 0},
      {6, "BRANZA", "TELEMEA", 3, 2, 2890, 0, 0},
      {7, "ZAHAR 1KG", "", 2, 1, 520, 0, 0},
      {8, "SUC PORTOCALE", "", 2, 1, 799, 0, 3},
      {10000, "PUNGA", "", 4, 1, 50, 0, 0},
      {5941234567890, "CIOCOLATA", "LAPTE", 2, 1, 725, 0, 0},
  };
  for (const TPlu &p : plus) Plus[p.Cod] = p;

  for (int32_t n = 1; n <= 8; ++n) {
    std::string pw = std::to_string(n);
    Cashiers[n] = TCashier{n, "CASIER " + std::to_string(n), 0, n == 1 ? 1 : 0,
                           std::string(8 - pw.size(), '0') + pw};
  }

  Rates[1] = TRate{1, "EURO", "E", 49750};
  Rates[2] = TRate{2, "USD", "$", 45120};

  static const char *forms[6] = {"NUMERAR", "CARD", "CEC", "TICHETE", "CREDIT", "VOUCHER"};
  for (int32_t n = 1; n <= 6; ++n)
    PayForms[n] = TPayForm{n, forms[n - 1], n == 1 ? 1 : 0, 0, n == 1 ? 1 : 0, 0, 0, 0, 0};

  for (int32_t n = 1; n <= 8; ++n) SysParams[n] = TBlock{n, {}};
  SysParams[1].P[0] = 1;   // port for the PC
  SysParams[1].P[1] = 5;
  SysParams[1].P[2] = 5;
  SysParams[2].P[20] = 1;  // register number
  SysParams[2].P[22] = 1;
  for (int32_t n = 1; n <= 16; ++n) SysOptions[n] = TBlock{n, {}};
  SysOptions[1].P[0] = 1;  // key click
  SysOptions[5].P[10] = 1;
}

std::string DeptLine(const TDept &d) {
  std::string s = "5000;";
  AppendInt(s, d.Cod);
  s += ";" + Quoted(d.Nume);
  for (int32_t v : {d.UM, d.G, d.O1, d.O2, d.L, d.P1, d.P2, d.TVA}) {
    s += ';';
    AppendInt(s, v);
  }
  s += ";0;0;0;0;0;0;0;0";  // positions 11 to 18: not programmable from the computer
  return s;
}

std::string VatLine(const TVat &v) {
  std::string s = "260;";
  AppendInt(s, v.Cod);
  s += ";" + Quoted(v.Nume);
  for (int32_t x : {v.Cota, v.Exceptat, v.O1, v.O2, v.P1, v.P2}) {
    s += ';';
    AppendInt(s, x);
  }
  return s;
}

std::string PluLine(const TPlu &p) {
  std::string s = "10000;";
  AppendInt(s, p.Cod);
  s += ";" + Quoted(p.Nume) + ";" + Quoted(p.NumeAditional) + ";";
  AppendInt(s, p.CodDep);
  s += ";0;";
  AppendInt(s, p.CodUM);
  s += ";" + FormatCents(p.Pret1) + ";" + FormatCents(p.Pret2);
  for (int i = 9; i <= 27; ++i) s += ";0";  // stock and counters the computer does not read
  s += ';';
  AppendInt(s, p.LinkPLU);
  for (int i = 29; i <= 45; ++i) s += ";0";
  return s;
}

std::string CashierLine(const TCashier &c) {
  std::string s = "2000;";
  AppendInt(s, c.Cod);
  s += ";" + Quoted(c.Nume) + ";";
  AppendInt(s, c.O1);
  s += ';';
  AppendInt(s, c.O2);
  s += ";" + c.Parola + ";0;0";
  return s;
}

std::string RateLine(const TRate &r) {
  std::string s = "1200;";
  AppendInt(s, r.Cod);
  s += ";" + Quoted(r.Nume) + ";" + Quoted(r.Prefix) + ";";
  AppendInt(s, r.Rata);
  s += ";0;0;0;0;0";
  return s;
}

std::string PayFormLine(const TPayForm &p) {
  std::string s = "700;";
  AppendInt(s, p.Cod);
  s += ";" + Quoted(p.Nume);
  for (int32_t v : {p.O1, p.O2, p.L, p.P1, p.P2, p.S, p.ODS}) {
    s += ';';
    AppendInt(s, v);
  }
  return s;
}

std::string BlockLine(int table, const TBlock &b) {
  std::string s = std::to_string(table) + ";";
  AppendInt(s, b.Cod);
  for (int32_t v : b.P) {
    s += ';';
    AppendInt(s, v);
  }
  return s;
}

bool TRegisterTables::ReadTable(std::string_view command,
                                std::vector<std::string> &lines) const {
  if (command == "D5000") {
    for (const auto &[cod, d] : Depts) lines.push_back(DeptLine(d));
  } else if (command == "D260") {
    for (const auto &[cod, v] : Vats) lines.push_back(VatLine(v));
  } else if (command == "D10000") {
    lines.reserve(lines.size() + Plus.size());
    for (const auto &[cod, p] : Plus) lines.push_back(PluLine(p));
  } else if (command == "D2000") {
    for (const auto &[cod, c] : Cashiers) lines.push_back(CashierLine(c));
  } else if (command == "D1200") {
    for (const auto &[cod, r] : Rates) lines.push_back(RateLine(r));
  } else if (command == "D700") {
    for (const auto &[cod, p] : PayForms) lines.push_back(PayFormLine(p));
  } else if (command == "D16") {
    for (const auto &[cod, b] : SysParams) lines.push_back(BlockLine(16, b));
  } else if (command == "D17") {
    for (const auto &[cod, b] : SysOptions) lines.push_back(BlockLine(17, b));
  } else {
    return false;
  }
  return true;
}

uint8_t TRegisterTables::Write(std::string_view record) {
  const std::vector<std::string_view> f = SplitFields(record);
  if (f.empty()) return RE_InvalidFunction;
  const std::string_view table = f[0];
  if (table == "U5000") return WriteDept(f);
  if (table == "U260") return WriteVat(f);
  if (table == "U10000") return WritePlu(f);
  if (table == "U2000") return WriteCashier(f);
  if (table == "U1200") return WriteRate(f);
  if (table == "U700") return WritePayForm(f);
  if (table == "U16") return WriteBlock(f, SysParams);
  if (table == "U17") return WriteBlock(f, SysOptions);
  return RE_InvalidFunction;
}

// U5000;Cod;"Nume";UM;G;O1;O2;L;P1;P2;TVA and nine empty fields.
uint8_t TRegisterTables::WriteDept(const std::vector<std::string_view> &f) {
  if (f.size() != 20) return RE_InvalidInput;
  TNumbers n{f};
  TDept d;
  d.Cod = n.Int(1);
  d.UM = n.Int(3);
  d.G = n.Int(4);
  d.O1 = n.Int(5);
  d.O2 = n.Int(6);
  d.L = n.Int(7);
  d.P1 = n.Int(8);
  d.P2 = n.Int(9);
  d.TVA = n.Int(10);
  if (!n.Ok) return RE_InvalidInput;
  if (d.Cod < 1 || d.Cod > MaxDept) return RE_InvalidItem;
  if (d.TVA < 1 || d.TVA > MaxVat) return RE_InvalidInput;
  const std::string_view name = Unquote(f[2]);
  if (!NameFits(name)) return RE_InputTooLarge;
  d.Nume = std::string(name);
  Depts[d.Cod] = d;
  return RE_Ok;
}

// U260;Cod;"Nume";Cota;Exceptat;O1;;P1;P2; - the empty field keeps the stored O2.
uint8_t TRegisterTables::WriteVat(const std::vector<std::string_view> &f) {
  if (f.size() != 10) return RE_InvalidInput;
  TNumbers n{f};
  TVat v;
  v.Cod = n.Int(1);
  v.Cota = n.Int(3);
  v.Exceptat = n.Int(4);
  v.O1 = n.Int(5);
  v.P1 = n.Int(7);
  v.P2 = n.Int(8);
  std::optional<int32_t> o2;
  if (!f[6].empty()) {
    o2 = ParseInt32(f[6]);
    if (!o2) n.Ok = false;
  }
  if (!n.Ok) return RE_InvalidInput;
  if (v.Cod < 1 || v.Cod > MaxVat) return RE_InvalidItem;
  if (v.Cota < 0) return RE_InvalidInput;
  const std::string_view name = Unquote(f[2]);
  if (!NameFits(name)) return RE_InputTooLarge;
  v.Nume = std::string(name);
  auto it = Vats.find(v.Cod);
  v.O2 = o2 ? *o2 : (it != Vats.end() ? it->second.O2 : 0);
  Vats[v.Cod] = v;
  return RE_Ok;
}

// U10000;Cod;"Nume";"NumeAditional";CodDep;;CodUM;Pret1;Pret2; 19 empty ;LinkPLU
// or U10000;-Cod to delete.
uint8_t TRegisterTables::WritePlu(const std::vector<std::string_view> &f) {
  if (f.size() == 2 && !f[1].empty() && f[1][0] == '-') {
    const auto cod = ParseInt64(f[1].substr(1));
    if (!cod || f[1].size() < 2 || f[1][1] == '-') return RE_InvalidInput;
    if (*cod < 1 || *cod > MaxPluCode) return RE_InvalidItem;
    // Deleting a PLU the register does not have is no error: a deletion
    // that was sent twice must not stop an upload.
    Plus.erase(*cod);
    return RE_Ok;
  }
  if (f.size() != 29) return RE_InvalidInput;
  TPlu p;
  TNumbers n{f};
  const auto cod = ParseInt64(f[1]);
  const auto link = ParseInt64(f[28]);
  const auto p1 = ParseCents(f[7]);
  const auto p2 = ParseCents(f[8]);
  p.CodDep = n.Int(4);
  p.CodUM = n.Int(6);
  if (!cod || !link || !p1 || !p2 || !n.Ok) return RE_InvalidInput;
  if (*cod < 1 || *cod > MaxPluCode) return RE_InvalidItem;
  if (*link < 0 || *link > MaxPluCode) return RE_InvalidInput;
  if (p.CodDep < 0 || p.CodDep > MaxDept || p.CodUM < 0 || p.CodUM > 9) return RE_InvalidInput;
  if (*p1 > 9999999999 || *p2 > 9999999999) return RE_InputTooLarge;
  const std::string_view name = Unquote(f[2]), extra = Unquote(f[3]);
  if (!NameFits(name) || !NameFits(extra)) return RE_InputTooLarge;
  if (!Plus.count(*cod) && Plus.size() >= PluCapacity) return RE_PluFileFull;
  p.Cod = *cod;
  p.Nume = std::string(name);
  p.NumeAditional = std::string(extra);
  p.Pret1 = *p1;
  p.Pret2 = *p2;
  p.LinkPLU = *link;
  Plus[p.Cod] = std::move(p);
  return RE_Ok;
}

// U2000;Cod;"Nume";O1;O2;Parola;
uint8_t TRegisterTables::WriteCashier(const std::vector<std::string_view> &f) {
  if (f.size() != 7) return RE_InvalidInput;
  TNumbers n{f};
  TCashier c;
  c.Cod = n.Int(1);
  c.O1 = n.Int(3);
  c.O2 = n.Int(4);
  if (!n.Ok) return RE_InvalidInput;
  if (c.Cod < 1 || c.Cod > MaxCashier) return RE_InvalidItem;
  const std::string_view pw = f[5];
  if (pw.size() > 8) return RE_InputTooLarge;
  for (char ch : pw)
    if (ch < '0' || ch > '9') return RE_InvalidInput;
  const std::string_view name = Unquote(f[2]);
  if (!NameFits(name)) return RE_InputTooLarge;
  c.Nume = std::string(name);
  c.Parola = std::string(pw);
  Cashiers[c.Cod] = c;
  return RE_Ok;
}

// U1200;Cod;"Nume";"Prefix";rata;
uint8_t TRegisterTables::WriteRate(const std::vector<std::string_view> &f) {
  if (f.size() != 6) return RE_InvalidInput;
  TNumbers n{f};
  TRate r;
  r.Cod = n.Int(1);
  r.Rata = n.Int(4);
  if (!n.Ok) return RE_InvalidInput;
  if (r.Cod < 1 || r.Cod > MaxRate) return RE_InvalidItem;
  const std::string_view name = Unquote(f[2]), prefix = Unquote(f[3]);
  if (!NameFits(name, 10) || !NameFits(prefix, 2)) return RE_InputTooLarge;
  r.Nume = std::string(name);
  r.Prefix = std::string(prefix);
  Rates[r.Cod] = r;
  return RE_Ok;
}

// U700;Cod;"Nume";O1;O2;L;P1;P2;S;ODS;
uint8_t TRegisterTables::WritePayForm(const std::vector<std::string_view> &f) {
  if (f.size() != 11) return RE_InvalidInput;
  TNumbers n{f};
  TPayForm p;
  p.Cod = n.Int(1);
  p.O1 = n.Int(3);
  p.O2 = n.Int(4);
  p.L = n.Int(5);
  p.P1 = n.Int(6);
  p.P2 = n.Int(7);
  p.S = n.Int(8);
  p.ODS = n.Int(9);
  if (!n.Ok) return RE_InvalidInput;
  if (p.Cod < 1 || p.Cod > MaxPayForm) return RE_InvalidItem;
  const std::string_view name = Unquote(f[2]);
  if (!NameFits(name)) return RE_InputTooLarge;
  p.Nume = std::string(name);
  PayForms[p.Cod] = p;
  return RE_Ok;
}

// U16;Cod;P1;...;P32; (and U17 alike)
uint8_t TRegisterTables::WriteBlock(const std::vector<std::string_view> &f,
                                    std::map<int32_t, TBlock> &table) {
  if (f.size() != 35) return RE_InvalidInput;
  TNumbers n{f};
  TBlock b;
  b.Cod = n.Int(1);
  for (int i = 0; i < 32; ++i) b.P[i] = n.Int(size_t(i) + 2);
  if (!n.Ok) return RE_InvalidInput;
  if (b.Cod < 1 || b.Cod > MaxBlock) return RE_InvalidItem;
  table[b.Cod] = b;
  return RE_Ok;
}

}  // namespace Sim
