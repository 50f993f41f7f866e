// The Kismet to wi-scan conversion run: date, header, the question for a
// track, then one centre record per network and its corner or track-point
// records.
#include "brantle.h"
#include "memory.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>
#include <utility>
#include <vector>

namespace {

/// Progress characters, flushed in batches at most a tenth of a second
/// apart instead of one system call each.
class progress {
public:
  ~progress() { std::cout.flush(); }
  void show(char c) {
    std::cout.put(c);
    if (++sinceCheck_ < 64)
      return;
    sinceCheck_ = 0;
    auto now = std::chrono::steady_clock::now();
    if (now - lastFlush_ >= std::chrono::milliseconds(100)) {
      std::cout.flush();
      lastFlush_ = now;
    }
  }

private:
  int sinceCheck_ = 0;
  std::chrono::steady_clock::time_point lastFlush_ =
      std::chrono::steady_clock::now();
};

/// Same file: the same device and inode when both exist, otherwise the same
/// path once both are made absolute and normalised.
bool sameFile(const std::string &a, const std::string &b) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::exists(a, ec) && fs::exists(b, ec)) {
    bool same = fs::equivalent(a, b, ec);
    if (!ec)
      return same;
  }
  return fs::absolute(a, ec).lexically_normal() ==
         fs::absolute(b, ec).lexically_normal();
}

void writeRecord(std::ostream &out, char mode, wiscan record) {
  switch (mode) {
  case 'X':
    writeWXRecord(out, std::move(record));
    break;
  case 'T':
    writeWTRecord(out, std::move(record));
    break;
  default:
    writeWSRecord(out, std::move(record));
    break;
  }
}

/// Translates the network at its current position and writes it when the
/// wi-scan record is sound. True when it was written.
bool placeAndWrite(std::ostream &out, char mode, const kismet &network) {
  wiscan record = translateKW(network);
  if (!record.valid || !record.sanityCheck())
    return false;
  writeRecord(out, mode, std::move(record));
  return true;
}

} // namespace

void convertKW(char mode, runState &state) {
  const std::string logDate = getKLogDate(state.inFile, state.logType);

  // The output is checked before it is opened, so that nothing is truncated
  // when the run refuses.
  if (state.outFile.empty()) {
    printError(state, "*ERROR = NO OUTPUT FILE PROVIDED");
    return;
  }
  if (sameFile(state.outFile, state.inFile) ||
      (state.useGps == 1 && sameFile(state.outFile, state.gpsPath))) {
    printError(state, "*ERROR = OUTPUT FILE IS ALSO AN INPUT FILE");
    return;
  }
  // A large buffer: a million records cost a few hundred writes, not
  // tens of thousands.
  std::vector<char> outBuffer(1 << 20);
  std::ofstream out;
  out.rdbuf()->pubsetbuf(outBuffer.data(),
                         static_cast<std::streamsize>(outBuffer.size()));
  out.open(state.outFile, std::ios::out | std::ios::trunc | std::ios::binary);
  if (!out.is_open()) {
    printError(state, "*ERROR = COULD NOT WRITE OUTPUT FILE");
    return;
  }

  const std::string log = readWholeFile(state.inFile);
  memoryBuffer logBuffer(log);
  std::istream in(&logBuffer);

  bool hasSignalColumns = false;
  const std::string header = getKHeaders(in, state.logType);
  if (header.find("Best") != std::string::npos) {
    hasSignalColumns = true;
  } else if (state.useGps == 0) {
    bool invalidPath = false;
    std::string answer = askForGpsFile(invalidPath);
    if (invalidPath)
      state.errorPrinted = true;
    if (answer != "ERROR") {
      state.gpsPath = answer;
      state.useGps = 1;
      loadGpsFile(state.gpsPath, state.track);
    }
  }

  writeWHeaders(out, mode, logDate);
  const bool extraRecords = mode == 'X' || mode == 'T';
  progress shown;
  while (in.good() && in.rdbuf()->sgetc() != std::char_traits<char>::eof()) {
    kismet network =
        getKRecord(in, state.logType, hasSignalColumns, state.track);
    if (state.logType == 'C' && !hasSignalColumns) {
      state.errorPrinted = true; // the old-version message ends the run
      break;
    }
    if (!network.valid || !network.sanityCheck()) {
      if (extraRecords)
        shown.show('X');
      continue;
    }

    network.lat = (network.minLat + network.maxLat) / 2.0;
    network.lon = (network.minLon + network.maxLon) / 2.0;
    if (placeAndWrite(out, mode, network)) {
      ++convertedCount;
      shown.show('o');
    } else {
      shown.show('X');
    }
    if (!extraRecords)
      continue;

    if (state.useGps == 0) {
      const double corners[4][2] = {{network.minLat, network.minLon},
                                    {network.minLat, network.maxLon},
                                    {network.maxLat, network.minLon},
                                    {network.maxLat, network.maxLon}};
      for (const auto &corner : corners) {
        network.lat = corner[0];
        network.lon = corner[1];
        shown.show(placeAndWrite(out, mode, network) ? '.' : 'x');
      }
    } else {
      for (std::size_t g : state.track.find(network.bssid))
        for (const kisgps &point : state.track.groups[g]) {
          network.lat = point.lat;
          network.lon = point.lon;
          network.bestSignal = point.signal;
          network.bestNoise = point.noise;
          shown.show(placeAndWrite(out, mode, network) ? '.' : 'x');
        }
    }
  }

  out.close();
  if (out.fail())
    printError(state, "*ERROR = COULD NOT WRITE OUTPUT FILE");
}
