// brantle's command line: banner, help, arguments, the GPS option, the log
// type, the input test, the run mode and the count line.
#include "brantle.h"

#include <iostream>

std::int32_t convertedCount = 0;

namespace {

const char *const brantleVersion = "kvel-threadmere-brantle.02.27.03.pm.13.48";
const char *const usageLine =
    "USAGE: ./brantle -FLAG INFILE [-g=GPSFILE] OUTFILE";

bool isHelpSwitch(const std::string &arg) {
  return arg == "-h" || arg == "--help" || arg == "/help" || arg == "/?";
}

bool isGpsOption(const std::string &arg) {
  return arg.size() >= 3 && arg[0] == '-' && (arg[1] == 'g' || arg[1] == 'G') &&
         arg[2] == '=';
}

/// The log type from the input path: the first of ".csv", ".network" and
/// ".xml" found anywhere in it decides.
char logTypeOf(const std::string &inFile) {
  if (inFile.find(".csv") != std::string::npos)
    return 'C';
  if (inFile.find(".network") != std::string::npos)
    return 'N';
  if (inFile.find(".xml") != std::string::npos)
    return 'X';
  return 0;
}

} // namespace

void displayHelp() {
  std::ostream &out = std::cout;
  out << usageLine << std::endl;
  out << "Converts logs created by Kismet and Netstumbler based on the "
         "specified flag,\n  from INFILE to OUTFILE, optionally using "
         "supplimental GPSFILE."
      << '\n'
      << std::endl;
  out << "-FLAGS:\t\tdefines the input type and output type as follows:"
      << std::endl;
  out << "\t\t  - the first alpha character signifies the input log type,"
      << std::endl;
  out << "\t\t    either [k]ismet or [w]i-scan" << std::endl;
  out << "\t\t  - the second alpha character signifies the output type,"
      << std::endl;
  out << "\t\t    also either [k] or [w], the supported log types" << std::endl;
  out << "\t\t  - the third alpha character further defines the output"
      << std::endl;
  out << "\t\t    file type, and is specified in uppercase, as either"
      << std::endl;
  out << "\t\t    [X]wi-scan, [T]ext, [S]ummary for wi-scan output (or)"
      << std::endl;
  out << "\t\t    [C]sv, [X]ml, [N]etwork for kismet output" << std::endl;
  out << "\t\t  EXAMPLE: -kwT  converts kismet log to wi-scan text" << '\n'
      << std::endl;
  out << "INFILE:\t\tinput file to be converted from" << '\n' << std::endl;
  out << "OUTFILE:\t\toutput file to be converted to" << '\n' << std::endl;
  out << "GPSFILE:\t\tkismet .gps input file serves two purposes:" << std::endl;
  out << "\t\t 1) suppliments missing Signal / Noise values in logs"
      << std::endl;
  out << "\t\t 2) extra data for output files such as wi-scan.txt" << '\n'
      << std::endl;
}

void printError(runState &state, const char *text) {
  std::cout << '\n' << text << '\n' << std::endl;
  state.errorPrinted = true;
}

std::string getGPSFile() {
  bool invalidPath = false;
  return askForGpsFile(invalidPath);
}

std::string askForGpsFile(bool &invalidPath) {
  invalidPath = false;
  std::string result = "ERROR";
  std::cout << "\n"
            << "WARNING: The log you are using does not contain Signal/Noise "
               "information!"
            << std::endl;
  std::cout << " Would you like to specify a .gps file with this information? "
               "(y/n)"
            << std::endl;
  std::cout << "   - (y) will prompt for gps path and file" << std::endl;
  std::cout << "   - (n) will fill values with 0 in output log"
            << "\n"
            << std::endl;
  char answer = 'n'; // no answer at all counts as a no
  if (!(std::cin >> answer))
    answer = 'n';
  if (answer == 'y' || answer == 'Y') {
    std::cout << "Please provide the .gps file with its full path: ";
    std::cout.flush();
    std::string path;
    std::cin >> path;
    if (common::fileCheck(path) == 0) {
      invalidPath = true;
      std::cout << '\n'
                << "*ERROR = INVALID GPS FILE PROVIDED" << '\n'
                << std::endl;
    } else {
      result = path;
    }
  } else {
    std::cout << "- no gps file provided, attempting to run without"
              << std::endl;
  }
  return result;
}

int runBrantle(int argc, const char *const *argv) {
  convertedCount = 0;
  std::ostream &out = std::cout;
  out << brantleVersion << "\n" << bannerLine() << "\n-----" << std::endl;

  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && isHelpSwitch(args[0])) {
    displayHelp();
    return 0;
  }
  if (args.size() <= 2) {
    out << '\n' << "*ERROR: NOT ENOUGH ARGUMENTS PROVIDED" << std::endl;
    out << " please read included documentation" << '\n' << std::endl;
    out << usageLine << '\n' << std::endl;
    return 1;
  }

  runState state;
  const std::string flag = args[0];
  std::size_t inAt = args.size();
  for (std::size_t i = 1; i < args.size(); ++i)
    if (args[i].empty() || args[i][0] != '-') {
      inAt = i;
      state.inFile = args[i];
      break;
    }
  for (std::size_t i = inAt + 1; i < args.size(); ++i)
    if (args[i].empty() || args[i][0] != '-') {
      state.outFile = args[i];
      break;
    }

  if (flag.size() >= 2 && flag[1] == 'k') {
    // A repeated option replaces the one before; the last one decides.
    for (std::size_t i = 1; i < args.size(); ++i) {
      if (!isGpsOption(args[i]))
        continue;
      state.useGps = 1;
      state.gpsPath = args[i].substr(3);
      if (common::fileCheck(state.gpsPath) == 0) {
        state.useGps = 0;
        printError(state, "*ERROR = INVALID GPS FILE PROVIDED");
      }
    }
    state.logType = logTypeOf(state.inFile);
    if (state.logType == 0)
      printError(
          state,
          "*ERROR = INVALID INPUT EXTENSION, COULD NOT DETERMINE LOG TYPE");
  }

  if (state.useGps == 1)
    loadGpsFile(state.gpsPath, state.track);

  if (common::fileCheck(state.inFile) == 0) {
    printError(state, "*ERROR = INVALID INPUT FILE");
  } else {
    struct runMode {
      const char *flag;
      const char *message;
      char mode; // 0 for the conversions that are not available
    };
    static const runMode modes[] = {
        {"-kwX", "> converting kismet log to wi-scan extended ...", 'X'},
        {"-kwT", "> converting kismet log to wi-scan text ...", 'T'},
        {"-kwS", "> converting kismet log to wi-scan summary ...", 'S'},
        {"-wkC", "> converting wi-scan log to kismet CSV ...", 0},
        {"-wkX", "> converting wi-scan log to kismet XML ...", 0},
        {"-wkN", "> converting wi-scan log to kismet network ...", 0},
    };
    const runMode *chosen = nullptr;
    for (const runMode &m : modes)
      if (flag == m.flag) {
        chosen = &m;
        break;
      }
    if (!chosen) {
      out << '\n' << "*ERROR = NO VALID RUNMODE SPECIFIED" << std::endl;
      out << " please read included documentation" << '\n' << std::endl;
      state.errorPrinted = true;
    } else {
      out << chosen->message << std::endl;
      if (chosen->mode == 0) {
        out << '\n'
            << "This conversion is not yet available." << '\n'
            << std::endl;
        state.errorPrinted = true;
      } else if (state.logType != 0) {
        convertKW(chosen->mode, state);
      }
    }
  }

  out << "\n\n"
      << "*******     ----- " << convertedCount
      << " NETWORKS SUCCESSFULLY CONVERTED -----     *******" << '\n'
      << std::endl;
  return state.errorPrinted ? 1 : 0;
}
