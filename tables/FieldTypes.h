// The vocabulary of a record set: field types and definitions, values
// (empty is std::monostate), the error of a misused set and the editing
// states. Shared by the set, its rows and the value conversions.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <variant>

enum TFieldType { ftInteger, ftString, ftFloat, ftBoolean };

struct TFieldDef {
  std::string Name;
  TFieldType DataType = ftInteger;
  int Size = 0;  // characters (bytes) of a ftString field; 0 for the others

  bool operator==(const TFieldDef &) const = default;
};

// Largest text field size a set accepts; keeps a damaged file from
// declaring absurd sizes.
constexpr int MaxStringFieldSize = 1 << 20;

// An empty value is std::monostate.
using TFieldValue = std::variant<std::monostate, int32_t, double, bool, std::string>;

// Misuse of a record set: unknown field, value that does not fit the field,
// bad filter text, operation on an empty set. The message is shown to the
// user as it is.
class ERecordSet : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum TDataSetState { dsBrowse, dsEdit, dsInsert };
