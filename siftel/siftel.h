// siftel: splits a wi-scan text log into the lines with GPS coordinates and
// the lines without them.
#ifndef SIFTEL_SIFTEL_H
#define SIFTEL_SIFTEL_H

#include <cstdint>
#include <iosfwd>
#include <string>

/// The version line, printed in the usage text and after a run.
extern const char *const siftelVersion;

/// The banner line of this build, with its platform word.
std::string bannerLine();

/// Lines written to each output file by one split.
struct siftCounts {
  std::int32_t withGps = 0;    // lines written to ALLGPSFILE
  std::int32_t withoutGps = 0; // lines written to NOGPSFILE
};

/// Splits \p in line by line. A line is the text up to a line feed or up to
/// the end of the input; the read that finds nothing after a final line feed
/// is no line. A line without "N 0.0000000" goes to \p allGps ('G' on
/// \p console), a line with "0.0000000" goes to \p noGps ('b'); a line may go
/// to both. Each output line is the input line followed by '\n'. The console
/// letters are flushed at least every tenth of a second.
siftCounts siftLines(std::istream &in, std::ostream &allGps,
                     std::ostream &noGps, std::ostream &console);

/// The whole program: arguments, file checks, the split and the report.
/// Returns the exit status.
int runSiftel(int argc, const char *const *argv);

#endif
