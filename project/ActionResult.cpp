#include "ActionResult.h"

#include <QCoreApplication>

std::string TActionResult::ReasonLine() const {
  if (RowCode.empty()) return Reason;
  return "Cod " + RowCode + (Reason.empty() ? std::string() : ": " + Reason);
}

std::string TActionResult::Text() const {
  std::string text = Message;
  const std::string line = ReasonLine();
  if (line.empty()) return text;
  if (!text.empty() && text.back() != '\r') text += '\r';
  return text + line;
}

void LetEventsRun() {
  if (QCoreApplication::instance()) QCoreApplication::processEvents();
}
