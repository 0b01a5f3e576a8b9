#include "ServeJson.h"

#include <QJsonDocument>

#include "CodePage.h"

QString RegisterText(const std::string &bytes) {
  QString s = ToDisplay(bytes);
  while (!s.isEmpty() && (s.back() == '\r' || s.back() == '\n')) s.chop(1);
  s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  s.replace('\r', '\n');
  return s;
}

QString Utf8Text(const std::string &utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }

QJsonArray Utf8Array(const std::vector<std::string> &utf8) {
  QJsonArray a;
  for (const std::string &s : utf8) a.append(Utf8Text(s));
  return a;
}

TAnswer JsonAnswer(const QJsonObject &body, int status) {
  TAnswer a;
  a.Status = status;
  a.Body = QJsonDocument(body).toJson(QJsonDocument::Compact).toStdString();
  return a;
}

TAnswer ErrorAnswer(int status, const std::string &error, const std::string &reason) {
  return JsonAnswer({{"error", Utf8Text(error)}, {"reason", Utf8Text(reason)}}, status);
}

QJsonObject ResultObject(const TActionResult &result) {
  QString message = RegisterText(result.Message);
  if (!result.Notice.empty()) {
    const QString notice = RegisterText(result.Notice);
    message = message.isEmpty() ? notice : notice + '\n' + message;
  }
  return {{"ok", result.Ok},
          {"message", message},
          {"reason", RegisterText(result.ReasonLine())},
          {"row", result.RowCode.empty() ? QJsonValue() : QJsonValue(RegisterText(result.RowCode))}};
}
