// What the HTTP service reads out of a request body itself: a JSON object,
// the FIELD: value pairs of a row change, a PLU list in UTF-8 or
// Windows-1250, and the Idempotency-Key. Each either gives what the action
// needs, in the register's code page, or the refusal to answer with; a
// refused body reaches neither the register nor a file.
#pragma once

#include <string>

#include <QJsonObject>

#include "CellEdits.h"
#include "TextHelpers.h"

struct TBodyError {
  int Status = 0;  // 0: no error
  std::string Error, Reason;
  explicit operator bool() const { return Status != 0; }
};

// A JSON object; an empty body is an empty object when emptyAllowed.
TBodyError JsonObjectBody(const std::string &body, bool emptyAllowed, QJsonObject &out);

// {"FIELD": value, ...}: texts as typed in the editor, numbers as their
// decimal text; at least one field.
TBodyError CellsOfBody(const std::string &body, TCellValues &cells);

// A PLU list: text/plain, charset utf-8 (also when none is named) or
// windows-1250; a UTF-8 byte-order mark is skipped. lines: the body's lines
// in the register's code page.
TBodyError PluListOfBody(const std::string &body, const std::string &contentType, TLineList &lines);

// An Idempotency-Key: 1 to 255 printable ASCII characters.
TBodyError CheckIdempotencyKey(const std::string &key);

// Whether a Z report's body asks for the reset outright ({"reset": true}).
bool AsksForReset(const QJsonObject &body);
