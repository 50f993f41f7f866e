// brantle's whole run on any log of one kind and any track, in the mode the
// first byte picks: it ends with status 0 or 1, leaves its inputs as they
// were, and a wi-scan file it writes has the mode's header and network lines
// with every column.
#include "brantle.h"
#include "fuzz_support.h"

#include <vector>

#ifndef LOG_EXTENSION
#error "LOG_EXTENSION names the log kind, such as \".csv\""
#endif

namespace {

void checkWiscan(const std::string &text, char mode) {
  const std::string end = mode == 'T' ? "\r\n" : "\n";
  const char *format = mode == 'X'   ? "# $Format: wi-scan"
                       : mode == 'T' ? "# $Format: wi-scan with extensions"
                                     : "# $Format: wi-scan summary with "
                                       "extensions";
  const std::string start = "# $Creator: Network Stumbler Version 0.3.30\n" +
                            std::string(format) + end;
  fuzzing::require(text.compare(0, start.size(), start) == 0, "header");
  std::vector<std::string_view> lines;
  for (std::size_t at = start.size(); at < text.size();) {
    const std::size_t stop = text.find(end, at);
    fuzzing::require(stop != std::string::npos, "every line ended");
    lines.emplace_back(text.data() + at, stop - at);
    at = stop + end.size();
  }
  fuzzing::require(lines.size() >= 2, "column and date lines");
  fuzzing::require(lines[1].substr(0, 12) == "# $DateGMT: ", "date line");
  std::size_t networks = 0;
  for (std::size_t i = 2; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    std::size_t tabs = 0;
    for (char c : line)
      tabs += c == '\t';
    fuzzing::require(tabs >= (mode == 'X' ? 6u : 10u), "every column");
    fuzzing::require(line.size() > 2 && (line[0] == 'N' || line[0] == 'S') &&
                         line[1] == ' ',
                     "latitude column");
    const std::size_t lon = line.find('\t') + 1;
    fuzzing::require((line[lon] == 'E' || line[lon] == 'W') &&
                         line[lon + 1] == ' ',
                     "longitude column");
    ++networks;
  }
  const std::size_t centres = static_cast<std::size_t>(convertedCount);
  fuzzing::require(mode == 'S' ? networks == centres : networks >= centres,
                   "a line per converted network");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  if (size == 0)
    return 0;
  const char mode = "XTS"[data[0] % 3];
  std::string_view log, track;
  const bool withTrack = fuzzing::splitAtTrack(
      std::string_view(reinterpret_cast<const char *>(data) + 1, size - 1), log,
      track);
  const std::string logPath =
      fuzzing::pathOf(std::string("survey") + LOG_EXTENSION);
  const std::string gpsPath = fuzzing::pathOf("survey.gps");
  const std::string outPath = fuzzing::pathOf("survey.txt");
  fuzzing::writeFile(logPath, log);
  fuzzing::writeFile(gpsPath, track);
  std::filesystem::remove(outPath);

  const std::string flag = std::string("-kw") + mode;
  const std::string gpsOption = "-g=" + gpsPath;
  std::vector<const char *> argv = {"brantle", flag.c_str(), logPath.c_str()};
  if (withTrack)
    argv.push_back(gpsOption.c_str());
  argv.push_back(outPath.c_str());
  int status = 0;
  {
    fuzzing::quietConsole quiet;
    status = runBrantle(static_cast<int>(argv.size()), argv.data());
  }
  fuzzing::require(status == 0 || status == 1, "exit status 0 or 1");
  fuzzing::require(fuzzing::readFile(logPath) == log, "log unchanged");
  fuzzing::require(fuzzing::readFile(gpsPath) == track, "track unchanged");
  if (status == 0 && std::filesystem::exists(outPath))
    checkWiscan(fuzzing::readFile(outPath), mode);
  return 0;
}
