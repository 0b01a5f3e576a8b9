// The register speaks Windows-1250. Texts stay bytes in the core; the windows
// convert at the view boundary with these two functions and nowhere else.
#pragma once

#include <string>

#include <QString>

// Every byte has a character: bytes the code page leaves undefined (0x81,
// 0x83, 0x88, 0x90, 0x98) show as the C1 control of the same number, so a
// text read from the register survives a round trip unchanged.
QString ToDisplay(const std::string &bytes);

// The bytes of a typed text. A character the code page cannot hold makes
// *ok false (when ok is given) and is replaced by '?' in the result; callers
// refuse the input rather than store the replacement. The comma-below
// letters of Romanian are written as the code page's cedilla letters.
std::string FromDisplay(const QString &text, bool *ok = nullptr);

// True when every character of text has a Windows-1250 byte.
bool FitsCodePage(const QString &text);

// The same conversions for text that leaves or enters the program as UTF-8
// (the command line, logs).
std::string ToUtf8(const std::string &bytes);
std::string FromUtf8(const std::string &utf8, bool *ok = nullptr);
