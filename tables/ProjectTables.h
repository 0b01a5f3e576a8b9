// Opening and saving the tables of a project directory.
//
// Tables other than PLU open with the fields stored in their file (or the
// table's own fields when there is no file), then get every missing row that
// always exists appended, in ascending code order; rows already there are
// never changed. PLU always opens with the PLU fields and takes over, row by
// row in file order, the fields the file shares with them by name; it gets no
// default rows. The settings table opens with its file's fields or, when the
// project has none, as an empty table with Port and Baud.
//
// Every open table is in Cod order and positioned on its first row.
#pragma once

#include <string>

#include "RecordSet.h"
#include "Schemas.h"

// projectDir + "/" + the table's file name ("/" not doubled).
std::string ProjectTablePath(const std::string &projectDir, TTableId id);

// Throws ETableFile when the table's file exists but cannot be read, or
// when a field the table knows is kept there as another kind of value (a
// whole number where a decimal one belongs is taken; the settings table is
// taken as it is).
TRecordSet OpenProjectTable(const std::string &projectDir, TTableId id);

// Writes rs, whole, to the table's file (see SaveTableFile).
void SaveProjectTable(const std::string &projectDir, TTableId id, const TRecordSet &rs);
