// Kismet records to wi-scan records, and the wi-scan writers.
//
// A wi-scan text export, as NetStumbler writes it:
//   # $Creator: Network Stumbler Version 0.3.30
//   # $Format: wi-scan with extensions
//   # Latitude<TAB>Longitude<TAB>( SSID )<TAB>Type<TAB>( BSSID )<TAB>...
//   # $DateGMT: 2003-02-22
//   N 40.1234560<TAB>W 74.1234560<TAB>( harbour )<TAB>BBS<TAB> (
//   00:0a:e9:1f:2b:3c )<TAB>08:05:30 (GMT)<TAB>[ 25 70 45 ]<TAB># (  )<TAB>
//   0011<TAB>0040<TAB>100
// (the network line is one line in the file).
#include "brantle.h"

#include <charconv>
#include <ostream>
#include <string_view>
#include <utility>

namespace {

/// A coordinate magnitude as the column shows it: ten significant digits,
/// padded with zeros to ten characters. A value whose short form has no
/// decimal point or an exponent (37, 1.5e-05) is written in fixed notation
/// with as many decimals as make ten digits, at least one. to_chars with a
/// precision gives exactly the bytes of printf's %g and %f.
std::string coordinateText(double magnitude) {
  char text[512];
  auto shortForm = std::to_chars(text, text + sizeof text, magnitude,
                                 std::chars_format::general, 10);
  const std::string_view s(text,
                           static_cast<std::size_t>(shortForm.ptr - text));
  if (s.find('.') == std::string_view::npos ||
      s.find('e') != std::string_view::npos) {
    auto whole = std::to_chars(text, text + sizeof text, magnitude,
                               std::chars_format::fixed, 0);
    int integerDigits = 0;
    for (const char *c = text; c != whole.ptr; ++c)
      if (*c >= '0' && *c <= '9')
        ++integerDigits;
    int decimals = 9 - integerDigits;
    if (decimals < 1)
      decimals = 1;
    auto fixed = std::to_chars(text, text + sizeof text, magnitude,
                               std::chars_format::fixed, decimals);
    return std::string(text, fixed.ptr);
  }
  std::string padded(s);
  if (padded.size() < 10)
    padded.append(10 - padded.size(), '0');
  return padded;
}

/// Appends a number in decimal.
void appendNumber(std::string &text, std::int32_t value) {
  char digits[16];
  auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  text.append(digits, end);
}

/// Appends a time value in two digits; negative values are written plainly.
void appendTwoDigits(std::string &text, std::int32_t value) {
  if (value >= 0 && value <= 9)
    text += '0';
  appendNumber(text, value);
}

/// At least four lower-case hexadecimal digits, as "%04x" writes them.
std::string fourHexDigits(std::uint32_t value) {
  char digits[16];
  auto end = std::to_chars(digits, digits + sizeof digits, value, 16).ptr;
  const std::size_t length = static_cast<std::size_t>(end - digits);
  std::string text(length < 4 ? 4 - length : 0, '0');
  text.append(digits, end);
  return text;
}

std::string channelBitsOf(std::int32_t channel) {
  if (channel < 1 || channel > 14)
    return "0000";
  return fourHexDigits(1u << channel);
}

/// Pieces 1 to 15 of a network line, shared by the three variants.
void appendCommonColumns(std::string &line, const wiscan &r) {
  line += r.latDir;
  line += ' ';
  line += r.latText;
  line += '\t';
  line += r.lonDir;
  line += ' ';
  line += r.lonText;
  line += "\t( ";
  line += r.ssid;
  line += " )\t";
  line += r.type;
  line += "\t ( ";
  line += r.bssid;
  line += " )\t";
  line += r.timeText;
  line += " (GMT)\t";
  line += r.sigText;
}

/// Pieces 16 to 21: the empty name, flags, channel bits and beacon interval.
void appendExtensions(std::string &line, const wiscan &r) {
  line += "\t# (  )\t";
  line += r.flagsText;
  line += '\t';
  line += r.channelBits;
  line += '\t';
  appendNumber(line, r.beaconInterval);
}

/// A line break as a blank: a damaged log can run a name over several
/// lines, and a network line must stay one line.
char onOneLine(char c) { return c == '\n' || c == '\r' ? ' ' : c; }

/// The line a writer fills, kept between records so that its memory is
/// taken once.
std::string &lineBuffer() {
  static thread_local std::string line;
  line.clear();
  return line;
}

void writeLine(std::ostream &out, const std::string &line) {
  out.write(line.data(), static_cast<std::streamsize>(line.size()));
}

} // namespace

wiscan translateKW(kismet record) {
  wiscan r;
  r.valid = true;
  r.latDir = record.lat < 0.0 ? 'S' : 'N';
  r.latitude = record.lat < 0.0 ? record.lat * -1.0 : record.lat;
  r.latText = coordinateText(r.latitude);
  r.lonDir = record.lon < 0.0 ? 'W' : 'E';
  r.longitude = record.lon < 0.0 ? record.lon * -1.0 : record.lon;
  r.lonText = coordinateText(r.longitude);
  r.ssid = std::move(record.ssid);
  for (char &c : r.ssid)
    c = onOneLine(c);

  r.flags = 0;
  if (record.type == "infrastructure") {
    r.type = "BBS";
    r.flags += r.flagBits[0];
  } else {
    r.type = "ad-hoc";
    r.flags += r.flagBits[1];
    if (record.type == "probe")
      r.flags += r.flagBits[3];
  }
  r.bssid.reserve(record.bssid.size());
  for (char c : record.bssid)
    r.bssid += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a')
                                      : onOneLine(c);
  if (record.wep == "Yes")
    r.flags += r.flagBits[4];
  r.flagsText = fourHexDigits(static_cast<std::uint32_t>(r.flags));
  r.channelBits = channelBitsOf(record.channel);

  r.hour = record.firstHour;
  r.minute = record.firstMin;
  r.second = record.firstSec;
  appendTwoDigits(r.timeText, r.hour);
  r.timeText += ':';
  appendTwoDigits(r.timeText, r.minute);
  r.timeText += ':';
  appendTwoDigits(r.timeText, r.second);
  r.signal = record.bestSignal;
  r.noise = record.bestNoise;
  // Wraps like the 32-bit difference instead of overflowing.
  r.snr = static_cast<std::int32_t>(static_cast<std::uint32_t>(r.signal) -
                                    static_cast<std::uint32_t>(r.noise));
  r.sigText = "[ ";
  appendNumber(r.sigText, r.snr);
  r.sigText += ' ';
  appendNumber(r.sigText, r.signal);
  r.sigText += ' ';
  appendNumber(r.sigText, r.noise);
  r.sigText += " ]";
  r.beaconInterval = 100;
  return r;
}

kismet translateWK(wiscan /*record*/) { return kismet(); }

void writeWHeaders(std::ostream &out, char mode, std::string logDate) {
  out << "# $Creator: Network Stumbler Version 0.3.30" << '\n';
  const char *format = nullptr;
  switch (mode) {
  case 'X':
    format = "# $Format: wi-scan";
    break;
  case 'T':
    format = "# $Format: wi-scan with extensions";
    break;
  case 'S':
    format = "# $Format: wi-scan summary with extensions";
    break;
  default:
    return;
  }
  const char *end = mode == 'T' ? "\r\n" : "\n";
  const char *columns =
      mode == 'X' ? "# Latitude\tLongitude\t( SSID )\tType\t( BSSID )\tTime "
                    "(GMT)\t[ SNR Sig Noise ]"
                  : "# Latitude\tLongitude\t( SSID )\tType\t( BSSID )\tTime "
                    "(GMT)\t[ SNR Sig Noise ]\t# ( Name "
                    ")\tFlags\tChannelbits\tBcnIntvl";
  out << format << end << columns << end << "# $DateGMT: " << logDate << end;
}

void writeWXRecord(std::ostream &out, wiscan record) {
  std::string &line = lineBuffer();
  appendCommonColumns(line, record);
  line += '\n';
  writeLine(out, line);
}

void writeWTRecord(std::ostream &out, wiscan record) {
  std::string &line = lineBuffer();
  appendCommonColumns(line, record);
  appendExtensions(line, record);
  line += "\r\n";
  writeLine(out, line);
}

void writeWSRecord(std::ostream &out, wiscan record) {
  std::string &line = lineBuffer();
  appendCommonColumns(line, record);
  appendExtensions(line, record);
  line += '\n';
  writeLine(out, line);
}
