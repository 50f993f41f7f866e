// NetStumbler NS1 file writer, version 8.
//
// All numbers are little-endian and nothing is padded:
//   header   "NetS", u32 version 8, i32 apCount
//   record   u8 ssidLength, ssid, 6 bssid octets, i32 maxSignal,
//            i32 minNoise, i32 maxSnr, u32 capabilityFlags,
//            u32 beaconInterval, i64 firstSeen, i64 lastSeen, f64 bestLat,
//            f64 bestLong, i32 dataCount, dataCount 80-byte entries,
//            u8 nameLength, name, u32 channelBits, three u32 zero words
//   entry    i64 time, i32 signal, i32 noise, i32 locationSource 1,
//            f64 lat, f64 lon, f64 alt, i32 satellites, f64 speed,
//            three f64 zeros
// Times are FILETIMEs: 100-nanosecond intervals since 1601-01-01 UTC.
//
// The records come from Kismet CSV lines of 30 or 32 ';'-ended columns:
//   1;infrastructure;linksys;00:06:25:AA:01:01;None;06;11.0;No;3;0;0;0;3;
//   Mon Mar  3 09:05:01 2003;Mon Mar  3 09:05:17 2003;45;205;153;40.712345;
//   -74.005676;35.500000;12.250000;40.716000;-74.000999;37.500000;22.000000;
//   ;;;;;;
#include "corvane.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <ostream>

namespace {

constexpr std::uint64_t fileTimeOf1970 = 116444736000000000ULL;

// Byte order goes through these helpers only: each shifts its value out
// least significant byte first, whatever the host's order.
void putU8(std::string &out, std::uint8_t v) {
  out.push_back(static_cast<char>(v));
}
void putU32(std::string &out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<char>((v >> shift) & 0xFF));
}
void putI32(std::string &out, std::int32_t v) {
  putU32(out, static_cast<std::uint32_t>(v));
}
void putU64(std::string &out, std::uint64_t v) {
  for (int shift = 0; shift < 64; shift += 8)
    out.push_back(static_cast<char>((v >> shift) & 0xFF));
}
void putI64(std::string &out, std::int64_t v) {
  putU64(out, static_cast<std::uint64_t>(v));
}
void putF64(std::string &out, double v) {
  std::uint64_t bits;
  static_assert(sizeof bits == sizeof v, "binary64 expected");
  std::memcpy(&bits, &v, sizeof bits);
  putU64(out, bits);
}

bool contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

/// Capability flags from the WEP column and the type column; the last test
/// that holds decides.
std::uint32_t capabilityFlags(std::string_view wep, std::string_view type) {
  struct rule {
    const char *wep;
    const char *type;
    std::uint32_t flags;
  };
  static const rule rules[] = {
      {"No", "infrastructure", 0x01}, {"No", "ad-hoc", 0x02},
      {"No", "probe", 0x08},          {"Yes", "infrastructure", 0x11},
      {"Yes", "ad-hoc", 0x12},        {"Yes", "probe", 0x18},
  };
  std::uint32_t flags = 0;
  for (const rule &r : rules)
    if (contains(wep, r.wep) && contains(type, r.type))
      flags = r.flags;
  return flags;
}

/// Channels 1 to 11 as a bit mask; every other value counts as channel 6.
std::uint32_t channelBits(std::int32_t channel) {
  if (channel < 1 || channel > 11)
    channel = 6;
  return 1u << channel;
}

/// One octet of the BSSID column: the pair at \p pos as sscanf "%02x" reads
/// it, 0 when the pair is missing or holds no hexadecimal number.
std::uint8_t bssidOctet(std::string_view bssid, std::size_t pos) {
  char pair[3] = {};
  if (pos < bssid.size())
    pair[0] = bssid[pos];
  if (pos + 1 < bssid.size())
    pair[1] = bssid[pos + 1];
  unsigned int value = 0;
  if (std::sscanf(pair, "%02x", &value) != 1)
    return 0;
  return static_cast<std::uint8_t>(value & 0xFF);
}

/// Fields of a time text cut at runs of blanks; leading blanks are ignored.
std::vector<std::string_view> timeTokens(std::string_view text) {
  std::vector<std::string_view> tokens;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
      ++i;
    std::size_t start = i;
    while (i < text.size() && text[i] != ' ' && text[i] != '\t')
      ++i;
    if (i > start)
      tokens.push_back(text.substr(start, i - start));
  }
  return tokens;
}

/// Two characters of a time of day; characters past the end count as absent.
std::int32_t timePart(std::string_view hhmmss, std::size_t pos) {
  return pos < hhmmss.size() ? atoiRule(hhmmss.substr(pos, 2)) : 0;
}

std::int32_t clampToInt(std::int64_t v) {
  if (v < INT32_MIN)
    return INT32_MIN;
  if (v > INT32_MAX)
    return INT32_MAX;
  return static_cast<std::int32_t>(v);
}

/// glibc's mktime looks at /etc/localtime again on every call while TZ is
/// unset, a system call per time. Naming that same file in TZ, which is what
/// an unset TZ means there, lets it keep the zone it has read.
void keepLocalZone() {
#if defined(__GLIBC__)
  static const bool kept = [] {
    if (std::getenv("TZ") == nullptr)
      setenv("TZ", ":/etc/localtime", 0);
    return true;
  }();
  (void)kept;
#endif
}

} // namespace

std::int64_t secondsToFileTime(std::int64_t seconds) {
  // Unsigned arithmetic wraps like two's complement where a signed product
  // would overflow; for every representable time the value is the same.
  return static_cast<std::int64_t>(
      static_cast<std::uint64_t>(seconds) * 10000000ULL + fileTimeOf1970);
}

std::int64_t kismetTimeToFileTime(std::string_view text) {
  static const char *const months[] = {"Jan", "Feb", "Mar", "Apr",
                                       "May", "Jun", "Jul", "Aug",
                                       "Sep", "Oct", "Nov", "Dec"};
  std::vector<std::string_view> tokens = timeTokens(text);
  int month = -1;
  if (tokens.size() >= 5)
    for (int m = 0; m < 12; ++m)
      if (contains(tokens[1], months[m]))
        month = m;
  if (month < 0)
    return secondsToFileTime(-1);

  std::tm broken{};
  broken.tm_mday = atoiRule(tokens[2]);
  broken.tm_mon = month;
  broken.tm_year = clampToInt(std::int64_t{atoiRule(tokens[4])} - 1900);
  broken.tm_hour = timePart(tokens[3], 0);
  broken.tm_min = timePart(tokens[3], 3);
  broken.tm_sec = timePart(tokens[3], 6);
  broken.tm_isdst = -1; // the C library decides whether summer time applies
  keepLocalZone();
  std::time_t seconds = std::mktime(&broken);
  return secondsToFileTime(static_cast<std::int64_t>(seconds));
}

std::array<std::string_view, 30> cutColumns(std::string_view line) {
  std::array<std::string_view, 30> columns;
  std::size_t start = 0;
  for (std::string_view &column : columns) {
    std::size_t end = line.find(';', start);
    if (end == std::string_view::npos) {
      column = line.substr(start);
      start = 0; // too few columns: the line is read again from its start
    } else {
      column = line.substr(start, end - start);
      start = end + 1;
    }
  }
  return columns;
}

bool isDataLine(std::string_view line) {
  if (line.empty() || line[0] == 'N')
    return false;
  return line.find_first_not_of(" \t\r") != std::string_view::npos;
}

void writeNs1Header(std::ostream &out, std::int32_t apCount) {
  std::string header;
  header.append("NetS");   // 4 bytes - signature
  putU32(header, 8);       // 4 bytes - version
  putI32(header, apCount); // 4 bytes - apCount
  out.write(header.data(), static_cast<std::streamsize>(header.size()));
}

bool writeNs1Record(std::ostream &out, std::string_view line,
                    const std::vector<gpsPoint> &gpsPoints,
                    const gpsIndex &index) {
  const std::array<std::string_view, 30> col = cutColumns(line);
  std::string_view ssid = col[2];
  std::string_view bssid = col[3];
  std::string_view name = col[4] == "None" ? std::string_view() : col[4];
  if (ssid.size() > 255 || col[4].size() > 255)
    return false;

  std::string rec;
  rec.reserve(80 + ssid.size() + name.size());
  putU8(rec, static_cast<std::uint8_t>(ssid.size())); // 1 byte - ssidLength
  rec.append(ssid);                                   // S bytes - ssid
  for (std::size_t pos : {0, 3, 6, 9, 12, 15})
    putU8(rec, bssidOctet(bssid, pos));         // 6 bytes - bssid
  putI32(rec, atoiRule(col[16]));               // 4 bytes - maxSignal
  putI32(rec, atoiRule(col[17]));               // 4 bytes - minNoise
  putI32(rec, atoiRule(col[15]));               // 4 bytes - maxSnr
  putU32(rec, capabilityFlags(col[7], col[1])); // 4 bytes - flags
  putU32(rec, 100);                             // 4 bytes - beacon
  putI64(rec, kismetTimeToFileTime(col[13]));   // 8 bytes - firstSeen
  putI64(rec, kismetTimeToFileTime(col[14]));   // 8 bytes - lastSeen
  putF64(rec, (strtodRule(col[22]) + strtodRule(col[18])) / 2.0); // bestLat
  putF64(rec, (strtodRule(col[23]) + strtodRule(col[19])) / 2.0); // bestLong

  const std::vector<std::uint32_t> &matches = index.matching(bssid);
  putI32(rec, static_cast<std::int32_t>(matches.size())); // 4 - dataCount
  for (std::uint32_t i : matches) {
    const gpsPoint &p = gpsPoints[i];
    putI64(rec, secondsToFileTime(p.timeSec)); // 8 bytes - time
    putI32(rec, p.signal);                     // 4 bytes - signal
    putI32(rec, p.noise);                      // 4 bytes - noise
    putI32(rec, 1);                            // 4 bytes - locationSource
    putF64(rec, p.lat);                        // 8 bytes - latitude
    putF64(rec, p.lon);                        // 8 bytes - longitude
    putF64(rec, p.alt);                        // 8 bytes - altitude
    putI32(rec, p.fix);                        // 4 bytes - satellites
    putF64(rec, p.spd);                        // 8 bytes - speed
    putF64(rec, 0.0);                          // 8 bytes - unused
    putF64(rec, 0.0);                          // 8 bytes - unused
    putF64(rec, 0.0);                          // 8 bytes - unused
  }

  putU8(rec, static_cast<std::uint8_t>(name.size())); // 1 byte - nameLength
  rec.append(name);                                   // N bytes - name
  putU32(rec, channelBits(atoiRule(col[5])));         // 4 bytes - channels
  putU32(rec, 0);                                     // 4 bytes - unused
  putU32(rec, 0);                                     // 4 bytes - unused
  putU32(rec, 0);                                     // 4 bytes - unused
  out.write(rec.data(), static_cast<std::streamsize>(rec.size()));
  return true;
}
