// The in-memory records a window fills for TTARVO::SendRecord, by kind.
// A value-initialised record ({}) is the zero-filled record callers start from.
#pragma once

#include <cstdint>
#include <string>

enum TRecordKind : int {
  rkDept = 0, rkPlu = 1, rkTva = 2, rkCasier = 3, rkCurs = 4,
  rkFormaPlata = 6, rkSO = 7, rkSP = 8
};

struct TDeptRec {            // kind 0, "U5000;"
  int32_t Cod = 0;
  std::string Nume;
  int32_t UM = 0;
  int32_t G = 0;             // always sent as 0
  int32_t O1 = 0;
  int32_t O2 = 0;            // always sent as 0
  int32_t L = 0;
  int32_t P1 = 0;
  int32_t P2 = 0;            // always sent as 0
  int32_t TVA = 0;
};

struct TPluRec {             // kind 1, "U10000;"
  double Cod = 0;
  std::string Nume;
  std::string NumeAditional;
  int32_t CodDep = 0;
  int32_t CodUM = 0;
  double Pret1 = 0;
  double Pret2 = 0;
  double LinkPLU = 0;
  bool Nou = false;
  bool Sters = false;
};

struct TTvaRec {             // kind 2, "U260;"
  int32_t Cod = 0;
  std::string Nume;
  int32_t Cota = 0, Exceptat = 0, O1 = 0, O2 = 0, P1 = 0, P2 = 0;
};

struct TCasierRec {          // kind 3, "U2000;"
  int32_t Cod = 0;
  std::string Nume;
  int32_t O1 = 0, O2 = 0;
  std::string Parola;
};

struct TCursRec {            // kind 4, "U1200;"
  int32_t Cod = 0;
  std::string Nume;
  std::string Prefix;
  int32_t rata = 0;
};

struct TFormaPlataRec {      // kind 6, "U700;"
  int32_t Cod = 0;
  std::string Nume;
  int32_t O1 = 0, O2 = 0, L = 0, P1 = 0, P2 = 0, S = 0, ODS = 0;
};

struct TBlockRec {           // Cod followed by P1..P32
  int32_t Cod = 0;
  int32_t P[32] = {};        // P[0] is P1
};
struct TSORec : TBlockRec {};  // kind 7, "U17;"
struct TSPRec : TBlockRec {};  // kind 8, "U16;"
