// Kismet .gps track loading.
//
// A track holds one <gps-point element per position fix, one per line:
//   <gps-point bssid="00:06:25:AA:01:01" time-sec="1046700301"
//    time-usec="123456" lat="40.712345" lon="-74.005676" alt="35.500000"
//    spd="12.250000" fix="3" signal="190" quality="34" noise="156"/>
// (one line in the file). Kismet 2.9 and later add attributes such as source
// and heading, and 3.x drops quality, so the values are taken by name.
#include "brantle.h"
#include "memory.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>
#include <string_view>

namespace {

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
         c == '\r';
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }

/// The atol rule, clamped to 64 bits instead of overflowing.
std::int64_t atolValue(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isSpace(text[i]))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-'))
    negative = text[i++] == '-';
  constexpr std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
  std::int64_t value = 0; // accumulated negative, so the minimum fits
  for (; i < text.size() && isDigit(text[i]); ++i) {
    int digit = text[i] - '0';
    value = value < (lowest + digit) / 10 ? lowest : value * 10 - digit;
  }
  if (negative)
    return value;
  return value == lowest ? std::numeric_limits<std::int64_t>::max() : -value;
}

/// The atoi rule, clamped to the 32-bit range.
std::int32_t atoiValue(std::string_view text) {
  std::int64_t v = atolValue(text);
  if (v < std::numeric_limits<std::int32_t>::min())
    return std::numeric_limits<std::int32_t>::min();
  if (v > std::numeric_limits<std::int32_t>::max())
    return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(v);
}

/// The decimal strtod rule: [space][sign]digits[.digits][(e|E)[sign]digits];
/// "inf", "nan" and hexadecimal texts are no numbers.
double strtodValue(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isSpace(text[i]))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-'))
    negative = text[i++] == '-';
  const std::size_t start = i;
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
  std::string_view number = text.substr(start, i - start);
  double value = 0.0;
  auto [end, ec] =
      std::from_chars(number.data(), number.data() + number.size(), value);
  if (ec != std::errc() || end != number.data() + number.size())
    value = std::strtod(std::string(number).c_str(), nullptr);
  return negative ? -value : value;
}

/// A point from the text after "<gps-point" up to the end of its line: every
/// NAME="VALUE" attribute is looked at once, and the first of each name
/// counts. A missing value is an empty text.
kisgps pointOf(std::string_view rest) {
  enum field {
    bssid,
    timeSec,
    timeUsec,
    lat,
    lon,
    alt,
    spd,
    fix,
    signal,
    quality,
    noise,
    fieldCount
  };
  static const std::string_view names[fieldCount] = {
      "bssid", "time-sec", "time-usec", "lat",     "lon",  "alt",
      "spd",   "fix",      "signal",    "quality", "noise"};
  std::string_view values[fieldCount];
  bool seen[fieldCount] = {};

  forEachAttribute(rest, [&](std::string_view name, std::string_view value) {
    for (int f = 0; f < fieldCount; ++f)
      if (!seen[f] && name == names[f]) {
        seen[f] = true;
        values[f] = value;
        break;
      }
  });

  kisgps p;
  std::string_view id = values[bssid];
  while (!id.empty() && id.front() == ' ')
    id.remove_prefix(1);
  p.bssid = std::string(id);
  p.timeSec = atoiValue(values[timeSec]);
  p.timeUsec = atoiValue(values[timeUsec]);
  p.lat = strtodValue(values[lat]);
  p.lon = strtodValue(values[lon]);
  p.alt = strtodValue(values[alt]);
  p.spd = strtodValue(values[spd]);
  p.fix = atoiValue(values[fix]);
  p.signal = atoiValue(values[signal]);
  p.quality = atoiValue(values[quality]);
  p.noise = atoiValue(values[noise]);
  return p;
}

/// Hands every line of \p in to \p visit, with its '\n' where it has one,
/// reading a block at a time: a track is never held in memory whole.
template <typename Visit> void forEachLine(std::istream &in, Visit visit) {
  std::vector<char> block(1 << 20);
  std::string carry; // a line that runs over the end of a block
  for (;;) {
    in.read(block.data(), static_cast<std::streamsize>(block.size()));
    const std::string_view chunk(block.data(),
                                 static_cast<std::size_t>(in.gcount()));
    if (chunk.empty())
      break;
    std::size_t start = 0;
    for (;;) {
      const std::size_t end = chunk.find('\n', start);
      if (end == std::string_view::npos) {
        carry.append(chunk.substr(start));
        break;
      }
      const std::string_view line = chunk.substr(start, end + 1 - start);
      if (carry.empty()) {
        visit(line);
      } else {
        carry.append(line);
        visit(std::string_view(carry));
        carry.clear();
      }
      start = end + 1;
    }
  }
  if (!carry.empty())
    visit(std::string_view(carry));
}

} // namespace

void loadGpsStream(std::istream &in, gpsGroups &track) {
  track.groups.clear();
  track.groups.push_back({kisgps{}}); // the placeholder group
  track.reindex();

  // First pass: lines, and whether the last one ends with '>'. A point is
  // taken while the file's last line is closed, or while fewer points than
  // lines were taken.
  const auto start = in.tellg();
  std::size_t lineCount = 0;
  bool lastLineClosed = false;
  forEachLine(in, [&](std::string_view line) {
    ++lineCount;
    if (line.back() == '\n')
      line.remove_suffix(1);
    lastLineClosed = !line.empty() && line.back() == '>';
  });
  in.clear();
  in.seekg(start);

  // Second pass: the first "<gps-point" word of a line starts a point that
  // runs to the end of that line.
  std::size_t pointsRead = 0;
  forEachLine(in, [&](std::string_view line) {
    std::size_t i = 0;
    while (i < line.size()) {
      while (i < line.size() && isSpace(line[i]))
        ++i;
      const std::size_t wordStart = i;
      while (i < line.size() && !isSpace(line[i]))
        ++i;
      if (line.substr(wordStart, i - wordStart) != "<gps-point")
        continue;
      if (!(lastLineClosed || pointsRead < lineCount))
        return;
      ++pointsRead;
      track.addPoint(pointOf(line.substr(i)));
      return;
    }
  });
}

void loadGpsText(const std::string &text, gpsGroups &track) {
  memoryBuffer buffer(text);
  std::istream in(&buffer);
  loadGpsStream(in, track);
}

std::string readWholeFile(const std::string &path) {
  std::ifstream in(path, std::ios::in | std::ios::binary);
  std::string text;
  if (!in.is_open())
    return text;
  // One read of the whole size where the file tells it, then blocks for
  // whatever a growing or unseekable file still holds.
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (!ec && size > 0 && size < text.max_size()) {
    text.resize(static_cast<std::size_t>(size));
    in.read(text.data(), static_cast<std::streamsize>(size));
    text.resize(static_cast<std::size_t>(in.gcount()));
  }
  char block[1 << 16];
  while (in.read(block, sizeof block) || in.gcount() > 0)
    text.append(block, static_cast<std::size_t>(in.gcount()));
  return text;
}

void loadGpsFile(const std::string &gpsPath, gpsGroups &track) {
  std::ifstream file(gpsPath, std::ios::in | std::ios::binary);
  std::cout << "> loading gps data from [" << gpsPath << "] ...   ";
  std::cout.flush();
  if (file.is_open() && file.tellg() != std::streampos(-1)) {
    loadGpsStream(file, track);
  } else {
    // A pipe cannot be read twice: it is taken into memory first.
    loadGpsText(readWholeFile(gpsPath), track);
  }
  std::cout << "successful." << std::endl;
}
