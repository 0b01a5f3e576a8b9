// Comparing a project table with the same table as the register reported
// it, field by field, over the fields the register holds: those a read takes
// from its answer and a programming run sends. Rows meet by code; a code that
// a side holds more than once is said so, and its last row is the one
// compared (a programming run sends every row and the register keeps the
// last, a read applies its lines in order).
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "RecordSet.h"

struct TFieldDifference {
  std::string Field;     // the table's field name
  std::string Project;   // the value as the project would send it (code page bytes)
  std::string Register;  // the value as the register reported it
};

enum class TDifferenceKind {
  OnlyInRegister,         // the register holds a code the project lacks
  OnlyInProject,          // the project holds a code the register lacks
  FieldsDiffer,           // both hold the code; Fields lists what differs
  MarkedButInRegister,    // a row marked for deletion that the register still holds
  RepeatedInProject,      // the project holds the code Count times
  RepeatedInRegister,     // the register reported the code Count times
};

struct TDifference {
  TDifferenceKind Kind;
  int64_t Code = 0;
  std::string CodeText;  // the code as the grid shows it
  std::vector<TFieldDifference> Fields;
  int Count = 0;
  // For a row only one side holds, or marked but still held: what the row
  // is on either side (its name), so that a person knows it; "" otherwise.
  std::string Project, Register;
};

// What is compared, for one table.
struct TCompareSpec {
  std::function<int64_t(const TRecordSet &, int recNo)> Code;
  std::function<std::string(int64_t)> CodeText;
  struct TField {
    std::string Name;
    // The value as the register holds it: as the record sends it for a
    // project row, as the read took it for a register row.
    std::function<std::string(const TRecordSet &, int recNo)> Value;
  };
  std::vector<TField> Fields;
  // A project row the register should no longer hold (PLUs marked for
  // deletion); none when empty.
  std::function<bool(const TRecordSet &, int recNo)> Unwanted;
  // What names a row for a person (its name); none when empty.
  std::function<std::string(const TRecordSet &, int recNo)> Summary;
};

struct TVerifyReport {
  bool Done = false;  // a verify read the register and compared
  int ProjectRows = 0, RegisterRows = 0;
  std::vector<TDifference> Differences;  // in Cod order
  // Project codes a difference concerns (for marking the grid's rows).
  std::set<int64_t> MarkedCodes;
  bool Same() const { return Differences.empty(); }
  // One per differing field, one per other difference: the lines a list
  // of the differences has.
  int Lines() const;
  // For a code: the differing fields, or null when the code has no
  // FieldsDiffer entry.
  const TDifference *FieldsOf(int64_t code) const;
};

TVerifyReport CompareWithRegister(const TRecordSet &project, const TRecordSet &registerRows,
                                  const TCompareSpec &spec);
