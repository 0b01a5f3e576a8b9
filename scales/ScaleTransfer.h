// Sending the articles sold by weight to the label scales: the checks of
// "&Programare cantare", the scale records made from the PLU table, the
// data files and the run of the driver, each step with its message. The
// scale window and the command line both run it.
#pragma once

#include <cstdint>
#include <string>

#include "Digi.h"
#include "RecordSet.h"
#include "ScaleSettings.h"

// What the transfer tells the user: the text, the title ("" for the kind's
// own) and the kind of message (0 warning, 1 error, 2 information).
struct TScaleOutcome {
  bool Ok = false;
  std::string Text;
  std::string Title;
  uint8_t Kind = 1;
  int Records = 0;  // scale PLUs found
};

// A scale PLU: Cantar exactly "x" and a code (CodAlfa) from 1 to 99999.
// Walks the table without moving its current row. Adds one record per scale
// PLU, in table order, to digi; a price the record cannot hold (more than
// 999999,99 or below 0) is refused with its code in `refused`.
int CollectScalePlus(const TRecordSet &plu, const std::string &prefix, TDigi &digi, std::string *refused);

// The whole transfer, from the checks on; the files and the driver live in
// workDir (the program directory).
TScaleOutcome SendToScales(const TRecordSet &plu, const TScaleSettings &settings, const std::string &workDir);

// The messages.
inline constexpr const char *NoScalesMessage = "Nu ai introdus nici o pozitie in lista de cantare !\r";
inline constexpr const char *NoPrefixMessage = "Nu ai introdus prefixul codurilor transmise!\r";
inline constexpr const char *NoScalePluMessage = " Nu sunt articole cantarible pentru a fi transmise la Cantar !!";
inline constexpr const char *CannotWriteMessage = "Nu pot crea fisierele pentru transmisie !";
inline constexpr const char *TransferFailedMessage = "Nu am reusit sa transmit datele catre cantare !";
inline constexpr const char *TransferDoneMessage = "Transmisia datelor s-a incheiat cu succes !";
