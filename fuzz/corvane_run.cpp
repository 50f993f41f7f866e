// corvane's whole run on any CSV log and track: it ends with status 0 or 1,
// leaves both inputs as they were, and an NS1 file it writes parses back to
// exactly apCount complete records.
#include "corvane.h"
#include "fuzz_support.h"

#include <cstring>

namespace {

/// Reads a little-endian value at \p at, false when it runs past the end.
template <typename T>
bool take(const std::string &bytes, std::size_t &at, T &value) {
  if (bytes.size() - at < sizeof(T))
    return false;
  std::memcpy(&value, bytes.data() + at, sizeof(T));
  at += sizeof(T);
  return true;
}

bool skip(const std::string &bytes, std::size_t &at, std::size_t count) {
  if (bytes.size() - at < count)
    return false;
  at += count;
  return true;
}

/// One record: SSID, BSSID and the fixed fields, the signal data points,
/// the name and the channel fields.
bool parseRecord(const std::string &bytes, std::size_t &at) {
  std::uint8_t ssidLength = 0, nameLength = 0;
  std::int32_t dataCount = 0;
  if (!take(bytes, at, ssidLength) || !skip(bytes, at, ssidLength + 6u))
    return false;
  if (!skip(bytes, at, 4 * 5 + 8 * 2 + 8 * 2) || !take(bytes, at, dataCount))
    return false;
  if (dataCount < 0 || !skip(bytes, at, std::size_t(dataCount) * 80u))
    return false;
  return take(bytes, at, nameLength) && skip(bytes, at, nameLength + 16u);
}

void checkNs1(const std::string &bytes) {
  std::size_t at = 0;
  std::uint32_t version = 0;
  std::int32_t apCount = 0;
  fuzzing::require(bytes.compare(0, 4, "NetS") == 0, "signature");
  at = 4;
  fuzzing::require(take(bytes, at, version) && version == 8, "version");
  fuzzing::require(take(bytes, at, apCount) && apCount >= 0, "apCount");
  for (std::int32_t r = 0; r < apCount; ++r)
    fuzzing::require(parseRecord(bytes, at), "apCount complete records");
  fuzzing::require(at == bytes.size(), "nothing after the last record");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  std::string_view log, track;
  fuzzing::splitAtTrack(
      std::string_view(reinterpret_cast<const char *>(data), size), log, track);
  const std::string csv = fuzzing::pathOf("survey.csv");
  const std::string gps = fuzzing::pathOf("survey.gps");
  const std::string ns1 = fuzzing::pathOf("survey.ns1");
  fuzzing::writeFile(csv, log);
  fuzzing::writeFile(gps, track);
  std::filesystem::remove(ns1);

  int status = 0;
  {
    fuzzing::quietConsole quiet;
    const char *argv[] = {"corvane", csv.c_str(), gps.c_str(), ns1.c_str()};
    status = runCorvane(4, argv);
  }
  fuzzing::require(status == 0 || status == 1, "exit status 0 or 1");
  fuzzing::require(fuzzing::readFile(csv) == log, "log unchanged");
  fuzzing::require(fuzzing::readFile(gps) == track, "track unchanged");
  if (status == 0)
    checkNs1(fuzzing::readFile(ns1));
  return 0;
}
