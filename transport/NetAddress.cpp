#include "NetAddress.h"

#include <algorithm>
#include <cctype>

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return s;
}

bool Refuse(std::string *why, const std::string &text) {
  if (why) *why = text;
  return false;
}

// Letters, digits, '-', '.', '_' make a host name; ':' only inside brackets.
bool NameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_'; }

}  // namespace

std::string TNetAddress::HostPort() const {
  const bool v6 = Host.find(':') != std::string::npos;
  return (v6 ? "[" + Host + "]" : Host) + ":" + std::to_string(Port);
}

bool IsPortUrl(const std::string &text) {
  const size_t sep = text.find("://");
  if (sep == std::string::npos || sep == 0) return false;
  if (!std::isalpha(static_cast<unsigned char>(text[0]))) return false;
  return std::all_of(text.begin(), text.begin() + long(sep), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
  });
}

bool ParseNetAddress(const std::string &text, TNetAddress &out, std::string *why) {
  if (!IsPortUrl(text)) return Refuse(why, "nu incepe cu tcp:// sau rfc2217://");
  const size_t sep = text.find("://");
  const std::string scheme = Lower(text.substr(0, sep));
  TNetAddress a;
  if (scheme == "tcp")
    a.Scheme = TNetAddress::Tcp;
  else if (scheme == "rfc2217")
    a.Scheme = TNetAddress::Rfc2217;
  else
    return Refuse(why, "felul \"" + scheme + "://\" nu este cunoscut (tcp:// sau rfc2217://)");

  std::string rest = text.substr(sep + 3);
  if (!rest.empty() && rest.back() == '/') rest.pop_back();
  std::string portText;
  if (!rest.empty() && rest.front() == '[') {
    const size_t close = rest.find(']');
    if (close == std::string::npos) return Refuse(why, "lipseste ']' dupa adresa IPv6");
    a.Host = rest.substr(1, close - 1);
    if (a.Host.empty() ||
        !std::all_of(a.Host.begin(), a.Host.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.'; }))
      return Refuse(why, "adresa IPv6 dintre [ ] nu este buna");
    if (close + 1 >= rest.size() || rest[close + 1] != ':') return Refuse(why, "lipseste portul (:PORT)");
    portText = rest.substr(close + 2);
  } else {
    const size_t colon = rest.rfind(':');
    if (colon == std::string::npos) return Refuse(why, "lipseste portul (:PORT)");
    a.Host = rest.substr(0, colon);
    portText = rest.substr(colon + 1);
    if (a.Host.empty()) return Refuse(why, "lipseste calculatorul (HOST)");
    if (!std::all_of(a.Host.begin(), a.Host.end(), NameChar))
      return Refuse(why, "numele calculatorului \"" + a.Host + "\" nu este bun");
  }
  if (portText.empty() || portText.size() > 5 ||
      !std::all_of(portText.begin(), portText.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return Refuse(why, "portul trebuie sa fie un numar intre 1 si 65535");
  const long port = std::stol(portText);
  if (port < 1 || port > 65535) return Refuse(why, "portul trebuie sa fie un numar intre 1 si 65535");
  a.Port = uint16_t(port);
  out = a;
  return true;
}
