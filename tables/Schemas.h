// The project tables: file names, fields in order and the rows that always
// exist. These are fixed by the register's tables; the editors, the settings
// dialog and the file layer all take them from here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "RecordSet.h"

enum TTableId {
  tiDepartamente, tiTVA, tiPLU, tiCasieri, tiCurs, tiFormePlata, tiSP, tiSO,
  tiSetari  // the project's serial settings (Port, Baud)
};

// Every table, in the order above.
const std::vector<TTableId> &AllTables();

// "Departamente.cds", "TVA.cds", "PLU.cds", "Casieri.cds", "Curs.cds",
// "FormePlata.cds", "SP.cds", "SO.cds", "setari.cds".
const char *TableFileName(TTableId id);

// The table's fields in order, with types and sizes.
const std::vector<TFieldDef> &TableFields(TTableId id);

// An empty record set with the table's fields.
TRecordSet NewTable(TTableId id);

// Codes of the rows that always exist, ascending (departments 1..20, VAT
// 1..6, cashiers 1..8, rates 1..2, payment forms 1..6, SP 1..8, SO 1..16);
// empty for PLU and the settings.
std::vector<int32_t> DefaultCodes(TTableId id);

// Fills the current (pending) row of rs with default row `cod` of the table:
// Cod and the default values. Fields rs lacks, or whose type cannot take the
// value, are left empty, so a file with its own field list still gets the
// codes it needs. For tiSetari it fills Port and Baud with the values below
// (cod is not used).
void FillDefaultRow(TTableId id, int32_t cod, TRecordSet &rs);

// The settings row the dialog writes when the project has none yet.
constexpr int32_t SetariDefaultPort = 1;  // COM1
constexpr int32_t SetariDefaultBaud = 3;  // 57600 bit/s
