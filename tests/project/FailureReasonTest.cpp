// The reason line under a failure message, for each kind of fault a
// technician meets: which port, what happened and what to do, the codes last.
#include <gtest/gtest.h>

#include <cerrno>

#include "ErrorTexts.h"
#include "FailureReason.h"

TEST(FailureReason, EachFaultIsSaidInPlainWordsWithItsCodesLast) {
  const std::string usb = "COM1 (/dev/ttyUSB0)";
  const struct {
    const char *Name;
    TFailureFacts Facts;
    std::string Line;
  } cases[] = {
      {"port missing", {"COM3 (/dev/ttyS2)", false, LE_OpenPort, ENOENT, "", 5000},
       "COM3 (/dev/ttyS2): portul nu exista [8045, errno 2]"},
      {"port in use, holder named",
       {usb, false, LE_OpenPort, EAGAIN, "portul este folosit de alt program: minicom (pid 4242)", 5000},
       usb + ": portul este folosit de alt program: minicom (pid 4242) [8045, errno 11]"},
      {"port in use, holder unknown", {usb, false, LE_OpenPort, EBUSY, "", 5000},
       usb + ": portul este folosit de alt program [8045, errno 16]"},
      {"no permission",
       {usb, false, LE_OpenPort, EACCES,
        "adaugati utilizatorul ion in grupul dialout (sudo usermod -aG dialout ion), apoi autentificati-va din nou", 5000},
       usb + ": utilizatorul nu are drept de acces la port; adaugati utilizatorul ion in grupul dialout (sudo "
             "usermod -aG dialout ion), apoi autentificati-va din nou [8045, errno 13]"},
      {"not a serial port", {"/tmp/x", false, LE_OpenPort, ENOTTY, "", 5000},
       "/tmp/x: portul nu poate fi deschis: dispozitivul nu este un port serial [8045, errno 25]"},
      {"line lost", {usb, false, LE_LineLost, EIO, "", 5000},
       usb + ": legatura cu portul s-a pierdut: cablul sau adaptorul a fost deconectat; reconectati-l si "
             "reluati operatia [8050, errno 5]"},
      {"silence", {usb, false, LE_TimeOut, 0, "", 5000},
       usb + ": casa de marcat nu a raspuns 5 secunde; verificati cablul si ca ea este pornita [8000]"},
      {"a shorter silence", {usb, false, LE_TimeOut, 0, "", 400},
       usb + ": casa de marcat nu a raspuns 400 ms; verificati cablul si ca ea este pornita [8000]"},
      {"a longer silence", {usb, false, LE_TimeOut, 0, "", 20000},
       usb + ": casa de marcat nu a raspuns 20 de secunde; verificati cablul si ca ea este pornita [8000]"},
      {"refused row", {usb, false, 136, 0, "", 5000},
       usb + ": casa de marcat a refuzat: Lipsa cota TVA asociata PLU / Dept [136]"},
      {"refused, code without a text", {usb, false, 14, 0, "", 5000},
       usb + ": casa de marcat a refuzat: eroare fara descriere [14]"},
      {"line not kept", {usb, false, LE_KeepFailed, 0, "discul este plin (/p/VanzariPLU.jurnal)", 5000},
       usb + ": linia primita nu a putut fi pastrata pe disc: discul este plin (/p/VanzariPLU.jurnal); casa de "
             "marcat o pastreaza: eliberati discul si reluati citirea [8052]"},
      {"port error under an exchange", {usb, false, 0, EIO, "", 5000},
       usb + ": eroare a portului: eroare de intrare/iesire [errno 5]"},
      {"network refused", {"tcp://127.0.0.1:4001", true, LE_OpenPort, ECONNREFUSED, "", 5000},
       "tcp://127.0.0.1:4001: adresa refuza conexiunea; verificati ca serverul portului serial este pornit "
       "[8045, errno 111]"},
      {"no place", {"", false, LE_Nak, 0, "", 5000}, "casa de marcat a respins cererea (NAK) [8003]"},
  };
  for (const auto &c : cases) EXPECT_EQ(ReasonText(c.Facts), c.Line) << c.Name;
}
