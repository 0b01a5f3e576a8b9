#include "Access.h"

#include <arpa/inet.h>
#include <charconv>
#include <fstream>

#include <QCryptographicHash>

bool ParseListen(const std::string &text, std::string &host, int &port, std::string &why) {
  const size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0) {
    why = "--listen takes HOST:PORT (127.0.0.1:8735, [::1]:8735)";
    return false;
  }
  host = text.substr(0, colon);
  if (host.front() == '[') {
    if (host.size() < 3 || host.back() != ']') {
      why = "an IPv6 address goes in brackets: [::1]:8735";
      return false;
    }
    host = host.substr(1, host.size() - 2);
  } else if (host.find(':') != std::string::npos) {
    why = "an IPv6 address goes in brackets: [::1]:8735";
    return false;
  }
  const std::string p = text.substr(colon + 1);
  const auto r = std::from_chars(p.data(), p.data() + p.size(), port);
  if (p.empty() || r.ec != std::errc() || r.ptr != p.data() + p.size() || port < 0 || port > 65535) {
    why = "the port of --listen is a number from 0 to 65535, not \"" + p + "\"";
    return false;
  }
  return true;
}

bool IsLoopbackHost(const std::string &host) {
  if (host == "localhost") return true;
  in_addr v4{};
  if (::inet_pton(AF_INET, host.c_str(), &v4) == 1) return (ntohl(v4.s_addr) >> 24) == 127;
  in6_addr v6{};
  if (::inet_pton(AF_INET6, host.c_str(), &v6) == 1) return IN6_IS_ADDR_LOOPBACK(&v6);
  return false;
}

bool ReadTokenFile(const std::string &path, std::string &token, std::string &why) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    why = "cannot read the token file " + path;
    return false;
  }
  std::getline(in, token);
  if (!token.empty() && token.back() == '\r') token.pop_back();
  if (token.empty()) {
    why = "the first line of the token file " + path + " is empty";
    return false;
  }
  return true;
}

bool BearerMatches(std::string_view header, std::string_view token) {
  // Digests of both sides have one length, so the loop below neither ends
  // early nor tells the token's length.
  const std::string expected = "Bearer " + std::string(token);
  const QByteArray a = QCryptographicHash::hash(QByteArrayView(header.data(), qsizetype(header.size())),
                                                QCryptographicHash::Sha256);
  const QByteArray b = QCryptographicHash::hash(QByteArrayView(expected.data(), qsizetype(expected.size())),
                                                QCryptographicHash::Sha256);
  unsigned char diff = 0;
  for (qsizetype i = 0; i < a.size(); ++i) diff |= static_cast<unsigned char>(a[i] ^ b[i]);
  return diff == 0;
}
