// One article as a DIGI label scale takes it (the data file ending
// "F37.DAT"): a text of upper-case hexadecimal byte pairs holding the PLU
// number, the record length, the status, the price in hundredths, the
// barcode and the name in lines of up to 14 characters.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TDPLuRecord {
 public:
  // The scale PLU number (1..99999); also forms its 8-digit text.
  void SetPluNumber(int32_t number);
  int32_t PluNumber() const { return FPluNumber; }
  const std::string &PluNumberText() const { return FPluNumberText; }
  // The article's name (bytes of the register's code page); also cuts it
  // into name lines of 14 characters, the last holding what remains.
  void SetName(const std::string &name);
  const std::string &Name() const { return FName; }
  const std::vector<std::string> &NameLines() const { return FNameLines; }

  double Price = 0;     // in currency units (Pret1)
  std::string Barcode;  // prefix + PLU number padded to 5 digits

  // The price in hundredths: Price * 100 rounded half away from zero.
  int64_t PriceHundredths() const;
  // Bytes of the record: 25 fixed, plus 3 and its length per name line.
  int Length() const;
  // The record as the data file holds it.
  std::string Text() const;

 private:
  int32_t FPluNumber = 0;
  std::string FPluNumberText;
  std::string FName;
  std::vector<std::string> FNameLines;
};

// Largest price a record's 4 price bytes hold, in hundredths.
constexpr int64_t MaxScalePriceHundredths = 99999999;
