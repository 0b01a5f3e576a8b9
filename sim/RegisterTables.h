// The register's programmable tables as the simulator keeps them: what the
// read commands report and the write records change.
//
// Each table answers a read with one line per row in code order, in the field
// layout the computer's editors read; a write record is checked in full before
// anything is stored, so a refused record leaves the table as it was.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace Sim {

// The register's own error codes the simulator answers with.
enum : uint8_t {
  RE_Ok = 0,
  RE_InvalidInput = 1,     // "Intrare invalida": field count, number format
  RE_InvalidItem = 4,      // "Articol invalid": code out of the table's range
  RE_UnknownReport = 5,    // "Raport necunoscut"
  RE_InvalidFunction = 6,  // "Functie invalida": no such command or table
  RE_InputTooLarge = 20,   // "Intrare prea mare": text longer than the register keeps
  RE_PluFileFull = 39,     // "Fisier PLU plin"
};

struct TDept {
  int32_t Cod = 0;
  std::string Nume;
  int32_t UM = 0, G = 0, O1 = 0, O2 = 0, L = 0, P1 = 0, P2 = 0, TVA = 0;
};
struct TVat {
  int32_t Cod = 0;
  std::string Nume;
  int32_t Cota = 0, Exceptat = 0, O1 = 0, O2 = 0, P1 = 0, P2 = 0;
};
struct TPlu {
  int64_t Cod = 0;
  std::string Nume, NumeAditional;
  int32_t CodDep = 0, CodUM = 0;
  int64_t Pret1 = 0, Pret2 = 0;  // hundredths
  int64_t LinkPLU = 0;
};
struct TCashier {
  int32_t Cod = 0;
  std::string Nume;
  int32_t O1 = 0, O2 = 0;
  std::string Parola;
};
struct TRate {
  int32_t Cod = 0;
  std::string Nume, Prefix;
  int32_t Rata = 0;
};
struct TPayForm {
  int32_t Cod = 0;
  std::string Nume;
  int32_t O1 = 0, O2 = 0, L = 0, P1 = 0, P2 = 0, S = 0, ODS = 0;
};
struct TBlock {
  int32_t Cod = 0;
  int32_t P[32] = {};
};

class TRegisterTables {
 public:
  // Code ranges the register accepts; beyond them a record is "Articol invalid".
  static constexpr int32_t MaxDept = 99, MaxVat = 6, MaxCashier = 30, MaxRate = 10,
                           MaxPayForm = 10, MaxBlock = 16;
  static constexpr int64_t MaxPluCode = 99999999999999;  // 14 digits
  static constexpr size_t DefaultPluCapacity = 50000;

  TRegisterTables();
  // Back to a fresh register's tables.
  void Reset();

  // The answer lines of a table read ("D5000", "D260", ...). False when the
  // command reads no table.
  bool ReadTable(std::string_view command, std::vector<std::string> &lines) const;

  // Applies one write record ("U5000;..."). Returns RE_Ok when stored, else
  // the error code the register refuses it with; nothing changes then.
  uint8_t Write(std::string_view record);

  void EraseAllPlus() { Plus.clear(); }

  // How many PLUs fit: beyond it a new PLU is "Fisier PLU plin".
  size_t PluCapacity = DefaultPluCapacity;

  std::map<int32_t, TDept> Depts;
  std::map<int32_t, TVat> Vats;
  std::map<int64_t, TPlu> Plus;
  std::map<int32_t, TCashier> Cashiers;
  std::map<int32_t, TRate> Rates;
  std::map<int32_t, TPayForm> PayForms;
  std::map<int32_t, TBlock> SysParams;   // "D16" / "U16"
  std::map<int32_t, TBlock> SysOptions;  // "D17" / "U17"

 private:
  uint8_t WriteDept(const std::vector<std::string_view> &f);
  uint8_t WriteVat(const std::vector<std::string_view> &f);
  uint8_t WritePlu(const std::vector<std::string_view> &f);
  uint8_t WriteCashier(const std::vector<std::string_view> &f);
  uint8_t WriteRate(const std::vector<std::string_view> &f);
  uint8_t WritePayForm(const std::vector<std::string_view> &f);
  uint8_t WriteBlock(const std::vector<std::string_view> &f, std::map<int32_t, TBlock> &table);
};

// One table line in the layout its read command answers with.
std::string DeptLine(const TDept &d);
std::string VatLine(const TVat &v);
std::string PluLine(const TPlu &p);
std::string CashierLine(const TCashier &c);
std::string RateLine(const TRate &r);
std::string PayFormLine(const TPayForm &p);
std::string BlockLine(int table, const TBlock &b);

}  // namespace Sim
