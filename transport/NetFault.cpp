#include "NetFault.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

// Started by systemd: the service's unit may be what keeps the network out.
bool UnderSystemd() { return std::getenv("INVOCATION_ID") != nullptr; }

constexpr const char *AllowNetwork =
    "permiteti reteaua serviciului cu drop-in-ul tarvoprog-online-network.conf (\"systemctl edit "
    "tarvoprog-online\": PrivateNetwork=no, RestrictAddressFamilies=AF_UNIX AF_INET AF_INET6, "
    "IPAddressAllow=adresa serverului; README, \"Registers on the network\")";

}  // namespace

bool IsSandboxRefusal(int osError) {
  return osError == EAFNOSUPPORT || osError == EPERM || osError == EACCES;
}

std::string NetFaultText(TNetFault fault, const std::string &url, int osError, const std::string &detail) {
  switch (fault) {
    case TNetFault::BadAddress:
      return "adresa \"" + url + "\" nu este buna: " + detail +
             "; se scrie tcp://CALCULATOR:PORT sau rfc2217://CALCULATOR:PORT";
    case TNetFault::UnknownHost:
      return url + ": calculatorul \"" + detail + "\" nu este cunoscut (numele nu se gaseste)";
    case TNetFault::Refused:
      return url + ": conexiune refuzata, la acest port nu asculta niciun server (verificati adresa, "
                   "portul si serverul serial)";
    case TNetFault::NoAnswer:
      return url + ": nu raspunde (nicio conexiune in " + detail +
             " secunde): calculatorul este oprit sau reteaua nu ajunge la el";
    case TNetFault::Unreachable:
      return url + ": reteaua nu ajunge la acest calculator" +
             (UnderSystemd() ? std::string(" (serviciul poate rula fara retea: ") + AllowNetwork + ")" : "");
    case TNetFault::Sandbox:
      return url + ": sandbox-ul serviciului nu permite conexiuni de retea; " + AllowNetwork;
    case TNetFault::NoRfc2217:
      return url + ": serverul nu accepta RFC 2217 (" + detail +
             "); folositi tcp:// sau porniti portul serverului cu telnet(rfc2217)";
    case TNetFault::Failed:
      break;
  }
  return url + ": " + (detail.empty() ? std::string(std::strerror(osError)) : detail);
}
