// corvane: turns a Kismet CSV network log and its .gps track into a
// NetStumbler NS1 file (version 8).
#ifndef CORVANE_CORVANE_H
#define CORVANE_CORVANE_H

#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

/// The version line, printed in the usage text.
extern const char *const corvaneVersion;

/// The banner line of this build, with its platform word.
std::string bannerLine();

// ---------------------------------------------------------------------------
// Number texts
// ---------------------------------------------------------------------------

/// The C library's atoi rule: leading white space, an optional sign, decimal
/// digits up to the first other character; 0 without digits. Values beyond
/// the 32-bit range are clamped to it.
std::int32_t atoiRule(std::string_view text);

/// The same rule for 64-bit values (atol).
std::int64_t atolRule(std::string_view text);

/// The decimal strtod rule: [white space][sign]digits[.digits][(e|E)[sign]
/// digits], the longest such prefix; 0.0 without one. "inf", "nan" and
/// hexadecimal texts are no numbers here.
double strtodRule(std::string_view text);

// ---------------------------------------------------------------------------
// Kismet GPS track
// ---------------------------------------------------------------------------

/// One network point of a Kismet track.
struct gpsPoint {
  char bssid[18] = {}; // upper-cased, at most 17 characters, NUL-filled
  std::int64_t timeSec = 0;
  double lat = 0.0;
  double lon = 0.0;
  double alt = 0.0;
  double spd = 0.0;
  std::int32_t fix = 0;
  std::int32_t signal = 0;
  std::int32_t noise = 0;
};

/// Reads one line of a track. A network point line, such as
///   <gps-point bssid="00:06:25:AA:01:01" time-sec="1046700301"
///    time-usec="123456" lat="40.712345" lon="-74.005676" alt="35.500000"
///    spd="12.250000" fix="3" signal="190" quality="34" noise="156"/>
/// gives true and \p point. The BSSID is the 17 characters after bssid="
/// and must look like one (':' at 2, 5, 8, 11 and 14); the GPS's own points
/// (GP:SD:TR:AC:KL:OG) and lines without all of time-sec, lat, lon, alt, spd,
/// fix, signal and noise give false. Values are found by attribute name.
bool parseGpsPointLine(std::string_view line, gpsPoint &point);

/// Appends every network point of the track \p in to \p gpsPoints, in file
/// order, printing "o" on \p console before every thousandth line read.
void loadGpsPoints(std::istream &in, std::vector<gpsPoint> &gpsPoints,
                   std::ostream &console);

/// The track points by BSSID, for the records' lookups.
class gpsIndex {
public:
  explicit gpsIndex(const std::vector<gpsPoint> &points);

  /// The indexes, in track order, of the points whose BSSID matches the CSV
  /// BSSID column \p bssid: the first L characters compared as C strings
  /// (strncmp), L being the column's length. An empty column matches none.
  /// The result stays valid until the next call.
  const std::vector<std::uint32_t> &matching(std::string_view bssid) const;

private:
  const std::vector<gpsPoint> &points_;
  std::unordered_map<std::string_view, std::vector<std::uint32_t>> byBssid_;
  mutable std::vector<std::uint32_t> scanned_; // matches of an odd column
};

// ---------------------------------------------------------------------------
// NS1 file
// ---------------------------------------------------------------------------

/// FILETIME of a count of seconds since 1970-01-01 00:00 UTC.
std::int64_t secondsToFileTime(std::int64_t seconds);

/// FILETIME of a Kismet CSV time such as "Mon Mar  3 09:05:01 2003", read as
/// local time. An unreadable time counts as the seconds value -1.
std::int64_t kismetTimeToFileTime(std::string_view text);

/// The columns 1 to 30 of a CSV line cut at ';'. A line of fewer columns
/// repeats its own columns from column 1 on.
std::array<std::string_view, 30> cutColumns(std::string_view line);

/// A data line is not empty, does not begin with 'N' and holds more than
/// blanks, tabs and carriage returns.
bool isDataLine(std::string_view line);

/// Writes the 12-byte NS1 header.
void writeNs1Header(std::ostream &out, std::int32_t apCount);

/// Writes the access-point record of one CSV data line with its data
/// entries. Returns false, writing nothing, when the SSID (column 3) or the
/// name (column 5) is longer than 255 bytes.
bool writeNs1Record(std::ostream &out, std::string_view line,
                    const std::vector<gpsPoint> &gpsPoints,
                    const gpsIndex &index);

/// The whole program. Returns the exit status.
int runCorvane(int argc, const char *const *argv);

#endif
