#include "FailureReason.h"

#include <cerrno>

#include "AtomicFile.h"
#include "ErrorTexts.h"
#include "SerialDevices.h"
#include "TarvoCore.h"
#include "Transport.h"

namespace {

// "5 secunde", "o secunda", "20 de secunde", "400 ms".
std::string Duration(int ms) {
  if (ms <= 0 || ms % 1000 != 0) return std::to_string(ms) + " ms";
  const int s = ms / 1000;
  if (s == 1) return "o secunda";
  const int tail = s % 100;
  return std::to_string(s) + (tail == 0 || tail >= 20 ? " de secunde" : " secunde");
}

// The OS's words for what a port or a connection says, in Romanian where a
// port is concerned; the file layer's words otherwise.
std::string OsText(int err) {
  switch (err) {
    case EIO: return "eroare de intrare/iesire";
    case ENOTTY: return "dispozitivul nu este un port serial";
    case EINVAL: return "dispozitivul nu accepta setarile portului";
    case ENOENT:
    case ENODEV:
    case ENXIO: return "dispozitivul nu exista";
    default: return ErrnoReason(err);
  }
}

std::string Then(const std::string &sep, const std::string &text) { return text.empty() ? "" : sep + text; }

// A network address that would not connect. The transports that reach one
// give these errors; a name that does not resolve comes as its own text.
std::string NetworkOpenWords(const TFailureFacts &f) {
  // The transport words its own faults, naming the address (NetFault.h).
  if (!f.Detail.empty()) return f.Detail;
  switch (f.OsError) {
    case ECONNREFUSED: return "adresa refuza conexiunea; verificati ca serverul portului serial este pornit";
    case ETIMEDOUT:
    case EHOSTUNREACH:
    case ENETUNREACH: return "adresa nu poate fi atinsa; verificati reteaua";
    default:
      return "conexiunea nu poate fi deschisa" + Then(": ", f.OsError > 0 ? OsText(f.OsError) : f.Detail);
  }
}

std::string OpenWords(const TFailureFacts &f) {
  if (f.Network) return NetworkOpenWords(f);
  switch (f.OsError) {
    case ENOENT:
    case ENODEV:
    case ENXIO: return "portul nu exista";
    case EBUSY:
    case EAGAIN: return f.Detail.empty() ? "portul este folosit de alt program" : f.Detail;
    case EACCES:
    case EPERM: return "utilizatorul nu are drept de acces la port" + Then("; ", f.Detail);
    default: return "portul nu poate fi deschis" + Then(": ", f.OsError > 0 ? OsText(f.OsError) : f.Detail);
  }
}

std::string Words(const TFailureFacts &f) {
  switch (f.Code) {
    case LE_OpenPort: return OpenWords(f);
    case LE_TimeOut:
      return "casa de marcat nu a raspuns " + Duration(f.SilenceMs) + "; verificati cablul si ca ea este pornita";
    case LE_LineLost:
      if (f.Network) return "conexiunea s-a inchis; verificati reteaua si reluati operatia";
      return "legatura cu portul s-a pierdut: cablul sau adaptorul a fost deconectat; reconectati-l si reluati "
             "operatia";
    case LE_KeepFailed:
      return "linia primita nu a putut fi pastrata pe disc" + Then(": ", f.Detail) +
             "; casa de marcat o pastreaza: eliberati discul si reluati citirea";
    case LE_Nak: return "casa de marcat a respins cererea (NAK)";
    case LE_CharCount: return "raspunsul casei de marcat este prea lung";
    case LE_Busy: return "legatura cu casa de marcat este folosita de alta operatie";
    case 0:
      // No code of the link's: the port itself failed.
      if (f.OsError > 0) return "eroare a portului: " + OsText(f.OsError);
      return f.Detail.empty() ? "eroare necunoscuta" : "eroare a portului: " + f.Detail;
    default: break;
  }
  const std::string text = ErrorText(f.Code);
  if (f.Code > 0 && f.Code < LE_TimeOut)
    return "casa de marcat a refuzat: " + (text.empty() ? std::string("eroare fara descriere") : text);
  return text.empty() ? "eroare necunoscuta" : text;
}

}  // namespace

std::string ReasonText(const TFailureFacts &f) {
  const std::string line = f.Place.empty() ? Words(f) : f.Place + ": " + Words(f);
  std::string codes = f.Code != 0 ? std::to_string(f.Code) : "";
  if (f.OsError > 0) codes += (codes.empty() ? "" : ", ") + std::string("errno ") + std::to_string(f.OsError);
  return codes.empty() ? line : line + " [" + codes + "]";
}

bool IsNetworkAddress(const std::string &device) {
  return device.rfind("tcp://", 0) == 0 || device.rfind("rfc2217://", 0) == 0;
}

std::string LinkPlace(const TTARVO &link, bool deviceGiven) {
  if (deviceGiven) return link.DevicePath;
  return "COM" + std::to_string(unsigned(link.PortNumber)) + " (" + link.DevicePath + ")";
}

TFailureFacts OpenFailureFacts(const TTARVO &link, const std::string &place) {
  TFailureFacts f;
  f.Place = place;
  f.Network = IsNetworkAddress(link.DevicePath);
  f.Code = LE_OpenPort;
  f.OsError = link.LastOsError() > 0 ? link.LastOsError() : 0;
  if (f.Network) {
    // The transport's words already name the address: the COM port alone
    // goes before them, nothing when the address was given instead.
    f.Detail = link.LastPortMessage();
    if (!f.Detail.empty()) f.Place = place == link.DevicePath ? "" : "COM" + std::to_string(unsigned(link.PortNumber));
    return f;
  }
  switch (f.OsError) {
    case EBUSY:
    case EAGAIN: f.Detail = PortInUseReason(link.DevicePath); break;  // who, where this machine says
    case EACCES:
    case EPERM: f.Detail = DeviceAccessFix(link.DevicePath); break;
    case 0: f.Detail = link.LastPortMessage(); break;
    default: break;
  }
  return f;
}

TFailureFacts ExchangeFailureFacts(const TTARVO &link, const std::string &place, int silenceMs) {
  TFailureFacts f;
  f.Place = place;
  f.Network = IsNetworkAddress(link.DevicePath);
  f.Code = link.LastErrorCode();
  f.OsError = link.LastErrorOs();
  f.SilenceMs = silenceMs;
  if (f.Code == LE_KeepFailed) {
    // LastError is "8052;<text>: <why>"; the why is the keeper's own words.
    const std::string head = ErrorMessage(LE_KeepFailed) + ": ";
    if (link.LastError().rfind(head, 0) == 0) f.Detail = link.LastError().substr(head.size());
  }
  return f;
}

TFailureFacts PortExceptionFacts(const TTARVO &link, const std::exception &e, const std::string &place,
                                 int silenceMs) {
  if (link.LineLost() && link.LastErrorCode() == LE_LineLost) return ExchangeFailureFacts(link, place, silenceMs);
  TFailureFacts f;
  f.Place = place;
  f.Network = IsNetworkAddress(link.DevicePath);
  const int os = TransportOsError(e);
  f.OsError = os > 0 ? os : 0;
  if (f.OsError == 0) f.Detail = e.what();
  f.SilenceMs = silenceMs;
  return f;
}
