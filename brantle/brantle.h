// brantle's program unit: the command line, the Kismet readers, the
// translation to wi-scan, the wi-scan writers and the conversion run.
#ifndef BRANTLE_BRANTLE_H
#define BRANTLE_BRANTLE_H

#include "classes.h"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

/// Networks whose centre record was written in this run.
extern std::int32_t convertedCount;

/// The banner line of this build, with its platform word.
std::string bannerLine();

// ---------------------------------------------------------------------------
// Command line
// ---------------------------------------------------------------------------

/// The help text.
void displayHelp();

/// Asks on standard input for a .gps track; the path of a usable file, or
/// "ERROR".
std::string getGPSFile();

/// getGPSFile, telling also whether an answered path was refused.
std::string askForGpsFile(bool &invalidPath);

/// The whole program. Returns the exit status.
int runBrantle(int argc, const char *const *argv);

// ---------------------------------------------------------------------------
// Attributes of one XML line
// ---------------------------------------------------------------------------

/// Calls \p visit(name, value) for every NAME="VALUE" in \p text, in order.
/// A name runs back from its '=' to a blank, quote, '<', '>', '/' or '='. A
/// value without its closing quote was cut off (a log or track that ends in
/// the middle of a line): it is no value, and the attribute counts as absent.
template <class Visit>
void forEachAttribute(std::string_view text, Visit visit) {
  auto endsName = [](char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
           c == '\r' || c == '"' || c == '<' || c == '>' || c == '/' ||
           c == '=';
  };
  std::size_t at = 0;
  while ((at = text.find("=\"", at)) != std::string_view::npos) {
    std::size_t nameStart = at;
    while (nameStart > 0 && !endsName(text[nameStart - 1]))
      --nameStart;
    std::size_t valueStart = at + 2;
    std::size_t close = text.find('"', valueStart);
    if (close == std::string_view::npos)
      return;
    visit(text.substr(nameStart, at - nameStart),
          text.substr(valueStart, close - valueStart));
    at = close;
  }
}

// ---------------------------------------------------------------------------
// GPS track
// ---------------------------------------------------------------------------

/// Loads the track at \p gpsPath into \p track (a placeholder group first)
/// and prints the "> loading gps data from [...]" line.
void loadGpsFile(const std::string &gpsPath, gpsGroups &track);

/// The bytes of a file; empty when it cannot be read.
std::string readWholeFile(const std::string &path);

/// Loads a track from a seekable stream, which is read twice; the same,
/// without the console line.
void loadGpsStream(std::istream &in, gpsGroups &track);

/// Loads a track held in memory.
void loadGpsText(const std::string &text, gpsGroups &track);

// ---------------------------------------------------------------------------
// Kismet logs
// ---------------------------------------------------------------------------

/// The survey date, year-month-day, from the first time in the log.
std::string getKLogDate(std::string path, char logType);

/// Consumes the log's header and returns its text.
std::string getKHeaders(std::istream &in, char logType);
std::string getKCHeader(std::istream &in);
std::string getKXHeader(std::istream &in);

/// The next network of the log, read by the reader of \p logType.
kismet getKRecord(std::istream &in, char logType, bool hasSignalColumns,
                  const gpsGroups &track);
kismet getKCRecord(std::istream &in, bool hasSignalColumns,
                   const gpsGroups &track);
kismet getKXRecord(std::istream &in, bool hasSignalColumns,
                   const gpsGroups &track);
kismet getKNRecord(std::istream &in, bool hasSignalColumns,
                   const gpsGroups &track);

// ---------------------------------------------------------------------------
// wi-scan
// ---------------------------------------------------------------------------

/// The wi-scan record of a Kismet record placed at its lat and lon.
wiscan translateKW(kismet record);

/// The other direction is not available; returns a default record.
kismet translateWK(wiscan record);

void writeWHeaders(std::ostream &out, char mode, std::string logDate);
void writeWXRecord(std::ostream &out, wiscan record);
void writeWTRecord(std::ostream &out, wiscan record);
void writeWSRecord(std::ostream &out, wiscan record);

// ---------------------------------------------------------------------------
// Conversion run
// ---------------------------------------------------------------------------

/// What a Kismet-to-wi-scan run works on; the command line fills it.
struct runState {
  std::string inFile;
  std::string outFile;
  std::string gpsPath;
  int useGps = 0;
  char logType = 0; // 'C', 'X' or 'N'; 0 when none could be chosen
  gpsGroups track;
  bool errorPrinted = false;
};

/// Prints a message of its own between newlines, as every "*ERROR = "
/// message stands, and notes it for the exit status.
void printError(runState &state, const char *text);

/// Converts the Kismet log of \p state into the wi-scan variant \p mode
/// ('X', 'T' or 'S').
void convertKW(char mode, runState &state);

#endif
