// The command files another program drops into the online work directory,
// and what their contents mean.
#pragma once

#include <string>
#include <string_view>

#include "Records.h"
#include "TextHelpers.h"

struct TOnlineCommand {
  const char *File;      // the command file, "WRITEPLU.TXT"
  const char *Base;      // its name without ".TXT": results are Base + ".OK" / ".ERR"
  const char *Register;  // the read command sent; null for the PLU list
  bool LaidOut;          // the ".OK" holds the PLU sales layout
};

// In the order every polling pass examines them.
inline constexpr TOnlineCommand OnlineCommands[] = {
    {"WRITEPLU.TXT", "WRITEPLU", nullptr, false},
    {"READPLUSALES.TXT", "READPLUSALES", "RSZ000004", true},
    {"READPLUSALES_X.TXT", "READPLUSALES_X", "RSX000004", true},
    {"READZFORMEPLATA.TXT", "READZFORMEPLATA", "RSX0001006", false},
    {"READZDISCOUNT.TXT", "READZDISCOUNT", "RSZ0000009", false},
};

// The one line of a ".ERR" file, by what went wrong.
inline constexpr const char *ErrFileUnreadable = "Nu pot deschide fisierul WRITEPLU.TXT";
inline constexpr const char *ErrBadStructure = "Structura fisierului este invalida";
inline constexpr const char *ErrPortWrite = "Nu pot deschide portul serial";
inline constexpr const char *ErrPortRead = "Nu pot deschide portul serial !";
inline constexpr const char *ErrFailed = "Operatie nereusita!";
// What a command file that cannot be taken as one is answered with:
// "Nu pot deschide fisierul " and its name.
std::string UnreadableMessage(const TOnlineCommand &cmd);

// A PLU list is valid when it has at least one line and every line that is
// not empty has 8 or more fields, or exactly 2 with "-" as the second, and a
// code that is not negative (it would go out as a deletion). The
// number (from 1) of the first line that is not, 0 when all are; -1 for a
// file without lines.
int FirstInvalidPluLine(const TLineList &lines);

// The record a line of the PLU list stands for (the line has the form the
// check above accepts): the program form fills Cod, Nume, NumeAditional,
// CodDep, CodUM, Pret1, Pret2 and LinkPLU (names without double quotes,
// numbers that do not convert are 0, prices with "." or ","); the delete
// form "Cod;-" gives Cod and Sters.
TPluRec PluRecordOfLine(const std::string &line);
