#include "ScaleTransfer.h"

#include <cmath>

#include "FieldText.h"
#include "TextHelpers.h"

namespace {

TScaleOutcome Message(std::string text, std::string title, uint8_t kind) {
  TScaleOutcome o;
  o.Text = std::move(text);
  o.Title = std::move(title);
  o.Kind = kind;
  return o;
}

// The fixed message, and under it what the step said went wrong.
std::string WithReason(const char *message, const std::string &reason) {
  return reason.empty() ? std::string(message) : std::string(message) + "\r" + reason;
}

}  // namespace

int CollectScalePlus(const TRecordSet &plu, const std::string &prefix, TDigi &digi, std::string *refused) {
  const int codAlfa = plu.FieldNo("CodAlfa"), nume = plu.FieldNo("Nume"), pret1 = plu.FieldNo("Pret1"),
            cantar = plu.FieldNo("Cantar");
  int found = 0;
  for (int r = 1; r <= plu.RecordCount(); ++r) {
    const TFieldValue mark = plu.ValueAt(r, cantar);
    if (!std::holds_alternative<std::string>(mark) || std::get<std::string>(mark) != "x") continue;
    const TFieldValue code = plu.ValueAt(r, codAlfa);
    const std::string codeText = std::holds_alternative<std::string>(code) ? std::get<std::string>(code) : "";
    const double number = std::trunc(DecimalOrZero(codeText));
    if (number < 1 || number > 99999) continue;

    TDPLuRecord rec;
    rec.SetPluNumber(int32_t(number));
    rec.Barcode = prefix + PadLeft(std::to_string(int32_t(number)), 5, '0');
    const TFieldValue price = plu.ValueAt(r, pret1);
    rec.Price = std::holds_alternative<double>(price) ? std::get<double>(price) : 0.0;
    const TFieldValue name = plu.ValueAt(r, nume);
    rec.SetName(std::holds_alternative<std::string>(name) ? std::get<std::string>(name) : "");
    // Eight price digits are all a record holds; more would shift every
    // byte after them and the scale would read garbage.
    const int64_t hundredths = rec.PriceHundredths();
    if (hundredths < 0 || hundredths > MaxScalePriceHundredths) {
      if (refused && refused->empty()) *refused = codeText;
      continue;
    }
    digi.AddRecord(std::move(rec));
    ++found;
  }
  return found;
}

TScaleOutcome SendToScales(const TRecordSet &plu, const TScaleSettings &settings, const std::string &workDir) {
  if (settings.Scales.empty()) return Message(NoScalesMessage, "Eroare", 0);
  if (settings.Prefix.empty()) return Message(NoPrefixMessage, "Eroare", 0);
  if (const std::string problem = PrefixProblem(settings.Prefix); !problem.empty())
    return Message(problem, "Eroare", 0);
  for (const std::string &scale : settings.Scales)
    if (const std::string problem = ScaleAddressProblem(scale); !problem.empty())
      return Message(problem + "\r", "Eroare", 0);

  TDigi digi(workDir);
  digi.Scales = settings.Scales;
  // Nothing is written or run for a list the driver could not take.
  if (const std::string line = digi.CommandLine(); line.size() > MaxDriverCommandLine)
    return Message("Lista de cantare este prea lunga: linia de comanda a driverului ar avea " +
                       std::to_string(line.size()) + " caractere, iar driverul primeste cel mult " +
                       std::to_string(MaxDriverCommandLine) + ".\rTransmite cantarele in mai multe randuri.",
                   "", 1);
  if (const std::string problem = digi.DriverProblem(); !problem.empty()) return Message(problem, "", 1);

  std::string refused;
  const int found = CollectScalePlus(plu, settings.Prefix, digi, &refused);
  if (!refused.empty())
    return Message("Pretul PLU-ului " + refused + " nu incape in eticheta cantarului (0 - 999999,99) !", "", 1);
  if (found == 0) return Message(NoScalePluMessage, "Erroare", 1);

  std::string reason;
  if (!digi.WriteDataFiles(&reason)) return Message(WithReason(CannotWriteMessage, reason), "", 1);
  const TDigi::TDriverResult ran = digi.RunDriver(&reason);
  TScaleOutcome o = ran == TDigi::drSucceeded ? Message(TransferDoneMessage, "", 2)
                    : ran == TDigi::drCannotRun ? Message(reason, "", 1)
                                                : Message(WithReason(TransferFailedMessage, reason), "", 1);
  o.Ok = ran == TDigi::drSucceeded;
  o.Records = found;
  return o;
}
