// Number texts as the C library reads them, without its locale, its
// undefined overflow and its "inf"/"nan"/hexadecimal forms.
#include "corvane.h"

#include <charconv>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
         c == '\r';
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t skipSpace(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isSpace(text[i]))
    ++i;
  return i;
}

} // namespace

std::int64_t atolRule(std::string_view text) {
  std::size_t i = skipSpace(text);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-'))
    negative = text[i++] == '-';
  // Accumulate as a negative number so that the minimum is reachable.
  constexpr std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
  std::int64_t value = 0;
  for (; i < text.size() && isDigit(text[i]); ++i) {
    int digit = text[i] - '0';
    if (value < (lowest + digit) / 10) {
      value = lowest;
      continue;
    }
    value = value * 10 - digit;
  }
  if (negative)
    return value;
  return value == lowest ? std::numeric_limits<std::int64_t>::max() : -value;
}

std::int32_t atoiRule(std::string_view text) {
  std::int64_t value = atolRule(text);
  constexpr std::int64_t low = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t high = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(value < low ? low
                                               : (value > high ? high : value));
}

double strtodRule(std::string_view text) {
  std::size_t start = skipSpace(text);
  std::size_t i = start;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-'))
    negative = text[i++] == '-';
  std::size_t digitsStart = i;
  std::size_t digits = 0;
  while (i < text.size() && isDigit(text[i]))
    ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    std::size_t j = i + 1;
    while (j < text.size() && isDigit(text[j]))
      ++j, ++digits;
    if (digits > 0)
      i = j;
  }
  if (digits == 0)
    return 0.0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-'))
      ++j;
    if (j < text.size() && isDigit(text[j])) {
      while (j < text.size() && isDigit(text[j]))
        ++j;
      i = j;
    }
  }
  std::string_view number = text.substr(digitsStart, i - digitsStart);
  double value = 0.0;
  auto [end, ec] =
      std::from_chars(number.data(), number.data() + number.size(), value);
  if (ec != std::errc() || end != number.data() + number.size()) {
    // Out of range, or a form from_chars leaves to strtod ("5." for one):
    // strtod gives the overflowed or underflowed value of the C rule.
    value = std::strtod(std::string(number).c_str(), nullptr);
  }
  return negative ? -value : value;
}
