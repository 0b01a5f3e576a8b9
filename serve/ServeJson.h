// JSON as the HTTP service writes it: the error body every refusal carries
// ({"error": "<Romanian message>", "reason": "..."}), the result of a
// register action as the windows and tarvoctl report it, and the register's
// texts (code page bytes, CR line breaks) as UTF-8 text.
#pragma once

#include <string>
#include <vector>

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include "ActionResult.h"
#include "Answer.h"

// The register's bytes as text: the code page decoded, CR line breaks as LF,
// trailing breaks taken off.
QString RegisterText(const std::string &bytes);
// UTF-8 bytes (the show format, the verify lines, our own messages) as text.
QString Utf8Text(const std::string &utf8);
QJsonArray Utf8Array(const std::vector<std::string> &utf8);

TAnswer JsonAnswer(const QJsonObject &body, int status = 200);
// error: the Romanian message; reason: what a technician needs, UTF-8.
TAnswer ErrorAnswer(int status, const std::string &error, const std::string &reason = {});

// ok, message (the notice, then the window's message), reason (the row and
// the link's reason, as tarvoctl prints them under the message) and row (its
// code as the grid shows it, or null).
QJsonObject ResultObject(const TActionResult &result);
