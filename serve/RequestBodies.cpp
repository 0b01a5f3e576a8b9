#include "RequestBodies.h"

#include <cmath>

#include <QJsonDocument>
#include <QJsonParseError>

#include "CodePage.h"
#include "ValueText.h"

namespace {

TBodyError Bad(int status, std::string error, std::string reason) {
  return {status, std::move(error), std::move(reason)};
}

std::string Lower(std::string s) {
  for (char &c : s) c = AsciiLower(c);
  return s;
}

std::string Trimmed(const std::string &s) {
  const size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// "text/plain; charset=UTF-8" -> media type "text/plain", charset "utf-8".
void SplitContentType(const std::string &header, std::string &media, std::string &charset) {
  const size_t semi = header.find(';');
  media = Lower(Trimmed(header.substr(0, semi)));
  charset.clear();
  for (size_t at = semi; at != std::string::npos;) {
    const size_t next = header.find(';', at + 1);
    const std::string param = Trimmed(header.substr(at + 1, next == std::string::npos ? std::string::npos : next - at - 1));
    const size_t eq = param.find('=');
    if (eq != std::string::npos && Lower(Trimmed(param.substr(0, eq))) == "charset") {
      charset = Lower(Trimmed(param.substr(eq + 1)));
      if (charset.size() >= 2 && charset.front() == '"' && charset.back() == '"')
        charset = charset.substr(1, charset.size() - 2);
    }
    at = next;
  }
}

// A number as the editor would have it typed: whole numbers without a
// fraction, others with the decimal comma.
std::string NumberText(double v) {
  if (std::trunc(v) == v && std::fabs(v) < 1e15) return std::to_string(static_cast<long long>(v));
  return FloatToText(v);
}

}  // namespace

TBodyError JsonObjectBody(const std::string &body, bool emptyAllowed, QJsonObject &out) {
  out = QJsonObject();
  if (body.empty() && emptyAllowed) return {};
  QJsonParseError error{};
  const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromRawData(body.data(), qsizetype(body.size())), &error);
  if (error.error != QJsonParseError::NoError)
    return Bad(400, "Cerere invalida: corpul nu este JSON corect",
               error.errorString().toStdString() + " at offset " + std::to_string(error.offset));
  if (!doc.isObject()) return Bad(400, "Cerere invalida: corpul trebuie sa fie un obiect JSON", "the body is not an object");
  out = doc.object();
  return {};
}

TBodyError CellsOfBody(const std::string &body, TCellValues &cells) {
  cells.clear();
  QJsonObject o;
  if (TBodyError e = JsonObjectBody(body, false, o)) return e;
  if (o.isEmpty()) return Bad(400, "Cerere invalida: nu este nici un camp de schimbat", "the object names no field");
  for (auto it = o.begin(); it != o.end(); ++it) {
    const std::string field = it.key().toStdString();
    std::string value;
    if (it.value().isString()) {
      bool ok = true;
      value = FromDisplay(it.value().toString(), &ok);
      if (!ok)
        return Bad(422, "Valoarea campului " + field + " contine caractere care nu exista in pagina de cod Windows-1250",
                   field + " holds characters the register's code page cannot hold");
    } else if (it.value().isDouble()) {
      value = NumberText(it.value().toDouble());
    } else {
      return Bad(400, "Cerere invalida: valoarea campului " + field + " trebuie sa fie text sau numar",
                 field + " is neither a string nor a number");
    }
    cells.emplace_back(field, std::move(value));
  }
  return {};
}

TBodyError PluListOfBody(const std::string &body, const std::string &contentType, TLineList &lines) {
  lines.clear();
  std::string media, charset;
  SplitContentType(contentType, media, charset);
  if (media != "text/plain")
    return Bad(415, "Tip de continut nesuportat: lista de PLU-uri se trimite ca text/plain",
               "Content-Type is \"" + contentType + "\", not text/plain");
  const bool utf8 = charset.empty() || charset == "utf-8" || charset == "utf8";
  if (!utf8 && charset != "windows-1250" && charset != "cp1250")
    return Bad(415, "Set de caractere nesuportat: se accepta utf-8 sau windows-1250",
               "charset " + charset + " is neither utf-8 nor windows-1250");
  std::string_view text(body);
  if (utf8 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  lines = SplitTextLines(text);
  if (!utf8) return {};
  for (size_t i = 0; i < lines.size(); ++i) {
    const QString line = QString::fromUtf8(lines[i].data(), qsizetype(lines[i].size()));
    bool ok = true;
    std::string bytes = FromDisplay(line, &ok);
    // Bytes that are no UTF-8 come back as U+FFFD, which the code page lacks.
    if (!ok)
      return Bad(400, "Linia " + std::to_string(i + 1) +
                          " nu este UTF-8 corect sau contine caractere care nu exista in pagina de cod Windows-1250",
                 "line " + std::to_string(i + 1) + " cannot be written in the register's code page");
    lines[i] = std::move(bytes);
  }
  return {};
}

TBodyError CheckIdempotencyKey(const std::string &key) {
  bool printable = !key.empty() && key.size() <= 255;
  for (unsigned char c : key) printable = printable && c >= 0x20 && c < 0x7F;
  if (printable) return {};
  return Bad(400, "Cerere invalida: Idempotency-Key trebuie sa aiba 1-255 caractere ASCII tiparibile",
             "the Idempotency-Key is empty, too long or holds other characters");
}

bool AsksForReset(const QJsonObject &body) {
  const QJsonValue v = body.value(QLatin1String("reset"));
  return v.isBool() && v.toBool();
}
