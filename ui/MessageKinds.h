// The words of a message box: its kind (picture and default title), its
// buttons and the modal results they give. Shared by the box itself and
// the seam every message goes through.
#pragma once

#include <cstdint>

// Kinds of message: picture and default title.
enum TMsgKind : uint8_t {
  mkWarning = 0,       // alarm picture, "Atentie !"
  mkError = 1,         // alarm picture, "EROARE !"
  mkInformation = 2,   // no picture,    "Informatie..."
  mkConfirmation = 3,  // question,      "Confirmare..."
  mkCustom = 4,        // no picture,    ""
};

// Buttons, by bit number in the button set.
enum TMsgButton : int {
  mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp,
  mbCount
};
using TMsgButtons = uint16_t;
constexpr TMsgButtons MsgButton(TMsgButton b) { return TMsgButtons(1u << b); }
constexpr TMsgButtons MsgOK = MsgButton(mbOK);
constexpr TMsgButtons MsgYesNo = MsgButton(mbYes) | MsgButton(mbNo);

// Modal results.
enum : int {
  mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
  mrYes = 6, mrNo = 7, mrAll = 8
};
