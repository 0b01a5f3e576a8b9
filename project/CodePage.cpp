#include "CodePage.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <unordered_map>

namespace {

// One UTF-16 unit per byte: Windows-1250 has no character outside the BMP.
struct TCodeTable {
  std::array<char16_t, 256> ToUnicode{};
  std::unordered_map<char16_t, unsigned char> FromUnicode;

  TCodeTable() {
    for (int b = 0; b < 256; ++b) ToUnicode[b] = char16_t(b);  // identity fallback
    // iconv knows the code page; ask it once per byte and keep the answers,
    // so a conversion is a table lookup and never depends on the locale.
    iconv_t cd = iconv_open("UTF-16LE", "WINDOWS-1250");
    if (cd != iconv_t(-1)) {
      for (int b = 0x80; b < 256; ++b) {
        char in = char(b);
        char out[4];
        char *inp = &in, *outp = out;
        size_t inLeft = 1, outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &inp, &inLeft, &outp, &outLeft) != size_t(-1) && outLeft == 2)
          ToUnicode[b] = char16_t((unsigned char)out[0] | ((unsigned char)out[1] << 8));
      }
      iconv_close(cd);
    }
    for (int b = 0; b < 256; ++b) FromUnicode.emplace(ToUnicode[b], (unsigned char)b);
    // Romanian is typed today with comma-below S and T, which the code page
    // lacks; it has always written them with the cedilla forms it does hold.
    FromUnicode.emplace(u'\u0218', 0xAA);  // S comma below -> S cedilla
    FromUnicode.emplace(u'\u0219', 0xBA);
    FromUnicode.emplace(u'\u021A', 0xDE);  // T comma below -> T cedilla
    FromUnicode.emplace(u'\u021B', 0xFE);
  }
};

const TCodeTable &Table() {
  static const TCodeTable table;
  return table;
}

}  // namespace

QString ToDisplay(const std::string &bytes) {
  const auto &t = Table();
  QString s;
  s.reserve(qsizetype(bytes.size()));
  for (unsigned char c : bytes) s.append(QChar(t.ToUnicode[c]));
  return s;
}

std::string FromDisplay(const QString &text, bool *ok) {
  const auto &t = Table();
  bool good = true;
  std::string out;
  out.reserve(size_t(text.size()));
  for (QChar ch : text) {
    auto it = t.FromUnicode.find(ch.unicode());
    if (it == t.FromUnicode.end()) {
      good = false;
      out.push_back('?');
    } else {
      out.push_back(char(it->second));
    }
  }
  if (ok) *ok = good;
  return out;
}

bool FitsCodePage(const QString &text) {
  bool ok = true;
  FromDisplay(text, &ok);
  return ok;
}

std::string ToUtf8(const std::string &bytes) { return ToDisplay(bytes).toStdString(); }

std::string FromUtf8(const std::string &utf8, bool *ok) {
  return FromDisplay(QString::fromStdString(utf8), ok);
}
