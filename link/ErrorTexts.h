// Error codes of the link and their texts, exactly as LastError shows them.
//
// The register's own status codes (1..176) replace the "code;" prefix with
// their text; the link's codes (8000 and up) append their text after it;
// any other code leaves just "code;".
#pragma once

#include <cstdint>
#include <string>

enum : int32_t {
  LE_TimeOut = 8000,
  LE_PortOpenError = 8001,
  LE_CharCount = 8002,       // answer longer than the link's buffers
  LE_Nak = 8003,
  LE_TextTooLong = 8004,     // command text longer than a frame can carry
  LE_ResetRam = 8025,
  LE_DailyReport = 8027,
  LE_NotNumeric = 8031,
  LE_BarcodeType = 8032,
  LE_BarcodeFlag = 8033,
  LE_MfReportType = 8034,
  LE_MfReportStart = 8035,
  LE_MfReportEnd = 8036,
  LE_OpenPort = 8045,
  LE_UnitCode = 8046,
  LE_MfReportNumber = 8047,  // text of the vocabulary that had no code of its own
  LE_Busy = 8048,            // an exchange was asked for while one was running
  LE_RecordKind = 8049,      // SendRecord with a kind that has no record text
  LE_LineLost = 8050,        // the port went away during or before an exchange
  LE_DleInText = 8051,       // a command text holds 0x10, which no request frame can carry
  LE_KeepFailed = 8052,      // a line that arrived could not be kept on disk: not acknowledged
};

// The bare text of a code: "" when the code has none.
std::string ErrorText(int32_t code);
// What SetError puts into LastError for a code.
std::string ErrorMessage(int32_t code);
