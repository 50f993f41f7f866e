// corvane's command line and run: the track, a counting pass over the CSV
// log, then the NS1 header and one record per data line.
#include "corvane.h"
#include "lines.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>
#include <vector>

const char *const corvaneVersion = "kvel-threadmere-corvane-02.28.03.am.12.13";

namespace {

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

/// Opens \p path for reading; a directory counts as unreadable.
bool openForReading(std::ifstream &in, const std::string &path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec))
    return false;
  in.open(path, std::ios::in | std::ios::binary);
  return in.is_open();
}

} // namespace

int runCorvane(int argc, const char *const *argv) {
  std::ostream &console = std::cout;
  if (argc != 4) {
    console << corvaneVersion << '\n'
            << bannerLine() << '\n'
            << "Usage: " << (argc > 0 ? argv[0] : "corvane")
            << " <kismet .csv filename> <kismet .gps filename> <ns1 filename>"
            << '\n';
    console.flush();
    return 1;
  }
  const std::string csvPath = argv[1];
  const std::string gpsPath = argv[2];
  const std::string ns1Path = argv[3];
  auto fail = [&](const std::string &message) {
    console << message << '\n';
    console.flush();
    return 1;
  };

  std::ifstream csv, track;
  if (!openForReading(csv, csvPath))
    return fail("Error: cannot read " + csvPath);
  if (!openForReading(track, gpsPath))
    return fail("Error: cannot read " + gpsPath);
  if (sameFile(ns1Path, csvPath) || sameFile(ns1Path, gpsPath))
    return fail("Error: " + ns1Path + " is also an input file");
  // A large buffer: most records are smaller than the default one, and each
  // record is one write into it.
  std::vector<char> ns1Buffer(1 << 20);
  std::ofstream ns1;
  ns1.rdbuf()->pubsetbuf(ns1Buffer.data(),
                         static_cast<std::streamsize>(ns1Buffer.size()));
  ns1.open(ns1Path, std::ios::out | std::ios::trunc | std::ios::binary);
  if (!ns1.is_open())
    return fail("Error: cannot write " + ns1Path);

  console << "Reading GPS file .. "
          << "Status: ";
  console.flush();
  std::vector<gpsPoint> gpsPoints;
  loadGpsPoints(track, gpsPoints, console);
  track.close();
  console << " NMEA!" << '\n';
  console.flush();
  const gpsIndex index(gpsPoints);

  // Counting pass: the header announces exactly the records that follow.
  std::int32_t apCount = 0;
  {
    lineReader lines(csv);
    std::string_view line;
    while (lines.next(line))
      if (isDataLine(line))
        ++apCount;
  }
  console << "Found " << apCount << " APs .." << '\n';
  console.flush();

  csv.clear();
  csv.seekg(0);
  writeNs1Header(ns1, apCount);
  console << "Writing NS1 .. "
          << "Status: ";
  console.flush();

  std::int32_t written = 0;
  lineReader lines(csv);
  std::string_view line;
  while (lines.next(line)) {
    if (!isDataLine(line))
      continue;
    if (!writeNs1Record(ns1, line, gpsPoints, index)) {
      // An SSID or name too long for its length byte: keep the complete
      // records and make the header announce exactly those.
      console << "Whore." << '\n';
      console.flush();
      ns1.seekp(8);
      std::string count;
      for (int shift = 0; shift < 32; shift += 8)
        count.push_back(static_cast<char>(
            (static_cast<std::uint32_t>(written) >> shift) & 0xFF));
      ns1.write(count.data(), 4);
      ns1.close();
      if (ns1.fail())
        console << "Error: cannot write " << ns1Path << '\n';
      console.flush();
      return 1;
    }
    if (written % 35 == 0) {
      console << 'o';
      console.flush();
    }
    ++written;
  }
  console << " NMEA!" << '\n';
  console.flush();
  ns1.close();
  if (ns1.fail())
    return fail("Error: cannot write " + ns1Path);
  return 0;
}
