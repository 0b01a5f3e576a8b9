#include "ErrorTexts.h"

namespace {

struct TCodeText {
  int32_t Code;
  const char *Text;
};

// The register's status codes; codes missing here have no text.
constexpr TCodeText RegisterTexts[] = {
    {1, "Intrare invalida"},
    {2, "Ora incorecta"},
    {3, "Data incorecta"},
    {4, "Articol invalid"},
    {5, "Raport necunoscut"},
    {6, "Functie invalida"},
    {7, "Buffer tranzactie plin"},
    {8, "Ramas in tranzactie"},
    {9, "Intrerupere utilizator"},
    {10, "Plata mai mica nepermis"},
    {11, "Ramas in plati"},
    {12, "Eroare Scanner"},
    {13, "Selecteaza Casier"},
    {15, "Articol nevandut"},
    {16, "Pret neintrodus"},
    {17, "Fara pr\xEAt zero"},  // 0xEA: e with a diacritic in Windows-1250
    {18, "Sertar inchis"},
    {19, "Doar Manager"},
    {20, "Intrare prea mare"},
    {21, "Discount nepermis"},
    {22, "Corectie nepermisa"},
    {23, "Discount deja efectuat"},
    {24, "Introduceti Cantitatea"},
    {28, "Casier gresit"},
    {30, "Tipareste Invoice"},
    {31, "Lipsa hartie BON"},
    {32, "Lipsa hartie Jurnal"},
    {34, "Eroare Logare"},
    {35, "Eroare KP"},
    {37, "Buffer Invoice plin"},
    {39, "Fisier PLU plin"},
    {40, "Re-indexare fisier PLU"},
    {129, "Memorie fiscala plina"},
    {130, "Inregistrare incorecta in MF"},
    {131, "Lipsa MF"},
    {132, "Trebuie efectuat Raportul Z"},
    {133, "Inregistrare incorecta in MF"},
    {134, "Nu se mai pot efectua modificari TVA"},
    {135, "MF nu este goala"},
    {136, "Lipsa cota TVA asociata PLU / Dept"},
    {137, "Nu se mai pot efectua modificari TVA"},
    {138, "Nu se mai pot efectua Reset RAM"},
    {139, "Ora este anterioara ultimei inregistrari din MF"},
    {140, "Data este anterioara ultimei inregistrari din MF"},
    {142, "Nu este permis pret ZERO - verificati setarile Optiune #1"},
    {143, "F15_POWER_ERROR\tneutilizat"},
    {144, "Vanzare invalida inainte de efectuare raport Z"},
    {145, "Buffer imprimanta plin"},
    {146, "2 cote TVA cu aceeasi valoare"},
    {147, "Memorie Fiscala inlocuita"},
    {148, "RAM corupt - efectuati Reset RAM"},
    {149, "Total bon ZERO- verificati setarile Optiuni Sistem"},
    {150, "Interval Raport MF incorect"},
    {151, "Procedura Deschidere Zi"},
    {152, "F24_CLOSE_TABLES\tneutilizat"},
    {153, "Eroare Afisaj"},
    {154, "Depasire nr. casier"},
    {155, "Cota TVA ZERO nepermisa"},
    {156, "Parola gresita acces Programare"},
    {157, "24 ore de la primul bon fiscal - Efectuati raport Z"},
    {158, "Imprimanta deconectata"},
    {159, "Raport Z deja efectuat"},
    {160, "TVA preprogramat"},
    {161, "No Pre Programmed Euro Convert Date"},
    {162, "Nu este setat tipul casei de marcat"},
    {169, "Nepermis"},
    {170, "Unele setari pentru Config Rapoarte nu sunt corecte"},
    {175, "Nu este permis - nefiscal"},
    {176, "Baterie descarcata"},
};

// The link's own codes. The trailing blanks are part of the texts.
constexpr TCodeText LinkTexts[] = {
    {LE_TimeOut, "Time out"},
    {LE_PortOpenError, "Eroare la deschiderea portului serial"},
    {LE_CharCount, "Numar invalid de caractere returnate fata de cel asteptat"},
    {LE_Nak, "NAK "},
    {LE_TextTooLong, "Lungimea textului este prea mare "},
    {LE_ResetRam, "Trebuie efectuat Reset RAM"},
    {LE_DailyReport, "Comanda de raport zilnic nu poate fi insotita de alte comenzi"},
    {LE_NotNumeric, "Valoarea returnata nu este numerica "},
    {LE_BarcodeType, "Tip cod bare eronat"},
    {LE_BarcodeFlag, "Flagul privind modul de tiparire al cifrelor la codul de bare este eronat"},
    {LE_MfReportType, "Tip raport MF eronat (valori admise : 1 sau 2)"},
    {LE_MfReportStart, "Data de inceput raport MF este eronata"},
    {LE_MfReportEnd, "Data de sfarsit raport MF este eronata"},
    {LE_OpenPort, "Nu pot deschide portul serial"},
    {LE_UnitCode, "Cod unitate de masura eronat "},
    {LE_MfReportNumber, "Numar raport MF eronat "},
    {LE_Busy, "Legatura cu casa de marcat este ocupata"},
    {LE_RecordKind, "Tip de inregistrare necunoscut"},
    {LE_LineLost, "Legatura cu portul serial s-a pierdut"},
    {LE_DleInText, "Textul contine caracterul 0x10, care nu poate fi trimis"},
    {LE_KeepFailed, "Linia primita nu poate fi pastrata pe disc"},
};

template <size_t N>
const char *Find(const TCodeText (&table)[N], int32_t code) {
  for (const auto &e : table)
    if (e.Code == code) return e.Text;
  return nullptr;
}

}  // namespace

std::string ErrorText(int32_t code) {
  if (const char *t = Find(RegisterTexts, code)) return t;
  if (const char *t = Find(LinkTexts, code)) return t;
  return "";
}

std::string ErrorMessage(int32_t code) {
  if (const char *t = Find(RegisterTexts, code)) return t;
  std::string message = std::to_string(code) + ";";
  if (const char *t = Find(LinkTexts, code)) message += t;
  return message;
}
