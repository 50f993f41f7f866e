// brantle's track loader on any bytes: one placeholder group first, then
// non-empty groups of one BSSID each, every one found by its key.
#include "brantle.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  const std::string input(reinterpret_cast<const char *>(data), size);
  gpsGroups track;
  loadGpsText(input, track);

  std::size_t openings = 0;
  for (std::size_t at = 0;
       (at = input.find("<gps-point", at)) != std::string::npos; at += 1)
    ++openings;
  std::size_t points = 0;
  fuzzing::require(!track.groups.empty() && !track.groups[0].empty(),
                   "placeholder group");
  for (std::size_t g = 0; g < track.groups.size(); ++g) {
    const auto &group = track.groups[g];
    fuzzing::require(!group.empty(), "no empty group");
    for (const kisgps &point : group)
      fuzzing::require(point.bssid == group.front().bssid, "one BSSID a group");
    const auto &found = track.find(group.front().bssid);
    fuzzing::require(found.size() == 1 && found.front() == g, "found by key");
    points += group.size();
  }
  fuzzing::require(points - 1 <= openings, "a point per <gps-point");
  return 0;
}
