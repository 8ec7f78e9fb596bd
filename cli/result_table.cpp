// Widths are counted in terminal columns, not bytes, so that Chinese names
// line up with their header.
#include "cli/result_table.h"

#include <unicode/uchar.h>

#include "frame/utf8_scan.h"

namespace orv::cli {
namespace {

size_t CodePointWidth(UChar32 c) {
  const auto general = static_cast<UCharCategory>(u_charType(c));
  if (general == U_NON_SPACING_MARK || general == U_ENCLOSING_MARK || c == 0x200B) return 0;
  const auto width = static_cast<UEastAsianWidth>(u_getIntPropertyValue(c, UCHAR_EAST_ASIAN_WIDTH));
  return width == U_EA_WIDE || width == U_EA_FULLWIDTH ? 2 : 1;
}

}  // namespace

size_t DisplayWidth(std::string_view utf8) {
  size_t width = 0;
  for (size_t pos = 0; pos < utf8.size();) {
    const int32_t c = frame::NextCodePoint(utf8, pos);
    width += c < 0 ? 1 : CodePointWidth(c);
  }
  return width;
}

std::string RowCountMessage(size_t rows) {
  return rows == 1 ? "(1 row affected)" : "(" + std::to_string(rows) + " rows affected)";
}

}  // namespace orv::cli
