#include "PluSalesLayout.h"

#include <algorithm>

#include "FieldText.h"

namespace {

bool BeginsWith(const std::string &line, const char *prefix) {
  return line.rfind(prefix, 0) == 0;
}

}  // namespace

void LayOutPluSales(TLineList &lines) {
  std::string header;
  TLineList articles;
  TLineList fields;
  for (const std::string &line : lines) {
    // Only the beginning of the text is compared: "1;1;1;40..." is a sales
    // record too.
    if (BeginsWith(line, "1;1;1;4")) {
      fields.clear();
      SplitText(line, ';', fields);
      if (fields.size() < 17) continue;
      std::string out = fields[4];
      for (size_t f : {5, 6, 7, 8, 14, 16}) out += ";" + fields[f];
      if (fields.size() >= 18) out += ";" + fields[17];
      articles.push_back(std::move(out));
    } else if (BeginsWith(line, "0;0;0;0;6")) {
      fields.clear();
      SplitText(line, ';', fields);
      // "0;0;0;0;6" itself has five fields; date and time may be missing.
      const std::string date = fields.size() > 5 ? WithoutQuotes(fields[5]) : std::string();
      const std::string time = fields.size() > 6 ? WithoutQuotes(fields[6]) : std::string();
      header = "Raport din data " + date + " ora " + time;
    }
  }
  lines.clear();
  lines.reserve(articles.size() + 2);
  lines.push_back(std::move(header));
  lines.emplace_back(size_t(PluSalesRuleWidth), '-');
  for (std::string &a : articles) lines.push_back(std::move(a));
}
