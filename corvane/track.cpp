// Kismet .gps track reader.
//
// A track is XML written one element per line; corvane takes the lines of
// network points and leaves the rest:
//   <gps-point bssid="00:06:25:AA:01:01" time-sec="1046700301"
//    time-usec="123456" lat="40.712345" lon="-74.005676" alt="35.500000"
//    spd="12.250000" fix="3" signal="190" quality="34" noise="156"/>
// (one line in the file). Kismet 2.9 and later add attributes such as source
// and heading in front of time-sec, and 3.x drops quality, so the values are
// found by name.
#include "corvane.h"
#include "lines.h"

#include <cctype>
#include <cstring>
#include <istream>
#include <ostream>

namespace {

struct attribute {
  std::string_view name;
  std::size_t valueStart; // offset of the value in the line
  std::string_view value;
};

bool endsName(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '"' || c == '<' ||
         c == '>' || c == '/' || c == '=';
}

/// Every NAME="VALUE" of a line, in order. A value without its closing quote
/// was cut off (a track that ends in the middle of a line): that attribute
/// counts as absent.
std::vector<attribute> attributesOf(std::string_view line) {
  std::vector<attribute> found;
  std::size_t at = 0;
  while ((at = line.find("=\"", at)) != std::string_view::npos) {
    std::size_t nameStart = at;
    while (nameStart > 0 && !endsName(line[nameStart - 1]))
      --nameStart;
    std::size_t valueStart = at + 2;
    std::size_t close = line.find('"', valueStart);
    if (close == std::string_view::npos)
      break;
    found.push_back({line.substr(nameStart, at - nameStart), valueStart,
                     line.substr(valueStart, close - valueStart)});
    at = close;
  }
  return found;
}

const attribute *named(const std::vector<attribute> &attributes,
                       std::string_view name) {
  for (const attribute &a : attributes)
    if (a.name == name)
      return &a;
  return nullptr;
}

} // namespace

bool parseGpsPointLine(std::string_view line, gpsPoint &point) {
  if (line.find("=\"") == std::string_view::npos)
    return false;
  std::vector<attribute> attributes = attributesOf(line);
  const attribute *bssid = named(attributes, "bssid");
  if (!bssid)
    return false;

  // The candidate is the 17 characters after bssid=", whatever they are.
  std::string_view candidate = line.substr(bssid->valueStart, 17);
  char upper[18] = {};
  for (std::size_t i = 0; i < candidate.size(); ++i)
    upper[i] = static_cast<char>(
        std::toupper(static_cast<unsigned char>(candidate[i])));
  if (candidate.size() < 15)
    return false;
  for (std::size_t colon : {2, 5, 8, 11, 14})
    if (upper[colon] != ':')
      return false;
  if (candidate.size() == 17 &&
      std::memcmp(upper, "GP:SD:TR:AC:KL:OG", 17) == 0)
    return false;

  const attribute *timeSec = named(attributes, "time-sec");
  const attribute *lat = named(attributes, "lat");
  const attribute *lon = named(attributes, "lon");
  const attribute *alt = named(attributes, "alt");
  const attribute *spd = named(attributes, "spd");
  const attribute *fix = named(attributes, "fix");
  const attribute *signal = named(attributes, "signal");
  const attribute *noise = named(attributes, "noise");
  if (!timeSec || !lat || !lon || !alt || !spd || !fix || !signal || !noise)
    return false;

  std::memcpy(point.bssid, upper, sizeof upper);
  point.timeSec = atolRule(timeSec->value);
  point.lat = strtodRule(lat->value);
  point.lon = strtodRule(lon->value);
  point.alt = strtodRule(alt->value);
  point.spd = strtodRule(spd->value);
  point.fix = atoiRule(fix->value);
  point.signal = atoiRule(signal->value);
  point.noise = atoiRule(noise->value);
  return true;
}

void loadGpsPoints(std::istream &in, std::vector<gpsPoint> &gpsPoints,
                   std::ostream &console) {
  lineReader lines(in);
  std::string_view line;
  // The mark comes before each read, the read that meets the end of the
  // file included.
  for (std::size_t readsBefore = 0;; ++readsBefore) {
    if (readsBefore % 1000 == 0) {
      console << 'o';
      console.flush();
    }
    if (!lines.next(line))
      break;
    gpsPoint point;
    if (!line.empty() && parseGpsPointLine(line, point))
      gpsPoints.push_back(point);
  }
}

gpsIndex::gpsIndex(const std::vector<gpsPoint> &points) : points_(points) {
  for (std::uint32_t i = 0; i < points.size(); ++i) {
    const char *b = points[i].bssid;
    byBssid_[std::string_view(b, strnlen(b, sizeof points[i].bssid))].push_back(
        i);
  }
}

const std::vector<std::uint32_t> &
gpsIndex::matching(std::string_view bssid) const {
  static const std::vector<std::uint32_t> none;
  if (bssid.empty())
    return none;
  // A 17-character column without NUL bytes matches exactly the points that
  // carry it, since a point's BSSID is at most 17 characters long.
  if (bssid.size() == 17 && bssid.find('\0') == std::string_view::npos) {
    auto found = byBssid_.find(bssid);
    return found == byBssid_.end() ? none : found->second;
  }
  scanned_.clear();
  for (std::uint32_t i = 0; i < points_.size(); ++i)
    if (std::strncmp(points_[i].bssid, bssid.data(), bssid.size()) == 0)
      scanned_.push_back(i);
  return scanned_;
}
