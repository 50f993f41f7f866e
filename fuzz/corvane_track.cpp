// corvane's track reader on any bytes: every point it keeps has a BSSID of
// at most 17 upper-cased characters, and the index finds each point.
#include "corvane.h"
#include "fuzz_support.h"

#include <algorithm>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  const std::string input(reinterpret_cast<const char *>(data), size);
  std::istringstream in(input);
  std::ostringstream console;
  std::vector<gpsPoint> points;
  loadGpsPoints(in, points, console);

  const std::size_t lines =
      static_cast<std::size_t>(std::count(input.begin(), input.end(), '\n')) +
      1;
  fuzzing::require(points.size() <= lines, "at most one point per line");
  const gpsIndex index(points);
  for (std::uint32_t i = 0; i < points.size(); ++i) {
    const char *bssid = points[i].bssid;
    fuzzing::require(bssid[17] == '\0', "BSSID ends within its field");
    const std::size_t length = std::strlen(bssid);
    for (std::size_t c = 0; c < length; ++c)
      fuzzing::require(!(bssid[c] >= 'a' && bssid[c] <= 'z'),
                       "BSSID upper-cased");
    if (length == 17) {
      const auto &found = index.matching(std::string_view(bssid, 17));
      fuzzing::require(std::find(found.begin(), found.end(), i) != found.end(),
                       "index finds the point");
    }
  }
  return 0;
}
