#include "siftel.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string_view>
#include <system_error>
#include <vector>

const char *const siftelVersion = "kvel-threadmere-siftel.02.25.03.pm.08.36";

namespace {

// The Windows build reads and writes its files in text mode, so that CR LF
// line ends are translated there; every other build keeps the bytes as they
// are.
#if defined(SURVEY_PLATFORM_WINDOWS)
constexpr std::ios::openmode fileMode = std::ios::openmode{};
#else
constexpr std::ios::openmode fileMode = std::ios::binary;
#endif

constexpr std::string_view zeroLatitude = "N 0.0000000";
constexpr std::string_view zeroCoordinate = "0.0000000";

/// Console progress letters, written in batches: at the latest a tenth of a
/// second after the first letter of a batch, or when the batch is large.
class progressLetters {
public:
  explicit progressLetters(std::ostream &console) : console_(console) {}
  ~progressLetters() { flush(); }

  void add(char letter) {
    pending_.push_back(letter);
    if (pending_.size() % 256 == 0)
      flushIfDue();
  }
  void flushIfDue() {
    if (pending_.empty())
      return;
    auto now = std::chrono::steady_clock::now();
    if (pending_.size() >= (1u << 16) || now - lastFlush_ >= maxDelay)
      flush();
  }
  void flush() {
    console_.write(pending_.data(),
                   static_cast<std::streamsize>(pending_.size()));
    console_.flush();
    pending_.clear();
    lastFlush_ = std::chrono::steady_clock::now();
  }

private:
  static constexpr std::chrono::milliseconds maxDelay{100};
  std::ostream &console_;
  std::string pending_;
  std::chrono::steady_clock::time_point lastFlush_ =
      std::chrono::steady_clock::now();
};

void writeLine(std::ostream &out, std::string_view line) {
  out.write(line.data(), static_cast<std::streamsize>(line.size()));
  out.put('\n');
}

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
  fs::path pa = fs::absolute(a, ec).lexically_normal();
  fs::path pb = fs::absolute(b, ec).lexically_normal();
  return pa == pb;
}

bool isDirectory(const std::string &path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

/// Opens \p firstPath and \p secondPath for writing, truncated, only once
/// both of them can be opened. On failure \p fail reports the path that
/// could not be opened, and neither file is changed.
template <class Fail>
bool openBoth(const std::string &firstPath, std::ofstream &first,
              const std::string &secondPath, std::ofstream &second, Fail fail) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const bool firstExisted = fs::exists(firstPath, ec);
  const bool secondExisted = fs::exists(secondPath, ec);
  auto removeCreated = [&] {
    if (!firstExisted)
      fs::remove(firstPath, ec);
    if (!secondExisted)
      fs::remove(secondPath, ec);
  };
  // Appending creates a missing file and leaves an existing one whole.
  {
    std::ofstream probe(firstPath, std::ios::out | std::ios::app | fileMode);
    if (!probe.is_open()) {
      fail("Error: cannot write " + firstPath);
      return false;
    }
  }
  {
    std::ofstream probe(secondPath, std::ios::out | std::ios::app | fileMode);
    if (!probe.is_open()) {
      removeCreated();
      fail("Error: cannot write " + secondPath);
      return false;
    }
  }
  first.open(firstPath, std::ios::out | std::ios::trunc | fileMode);
  second.open(secondPath, std::ios::out | std::ios::trunc | fileMode);
  if (!first.is_open() || !second.is_open()) {
    const std::string &failed = first.is_open() ? secondPath : firstPath;
    first.close();
    second.close();
    removeCreated();
    fail("Error: cannot write " + failed);
    return false;
  }
  return true;
}

} // namespace

siftCounts siftLines(std::istream &in, std::ostream &allGps,
                     std::ostream &noGps, std::ostream &console) {
  siftCounts counts;
  progressLetters letters(console);

  auto handle = [&](std::string_view line) {
    if (line.find(zeroLatitude) == std::string_view::npos) {
      writeLine(allGps, line);
      ++counts.withGps;
      letters.add('G');
    }
    if (line.find(zeroCoordinate) != std::string_view::npos) {
      writeLine(noGps, line);
      ++counts.withoutGps;
      letters.add('b');
    }
  };

  std::vector<char> chunk(1 << 16);
  std::string partial; // the start of a line that runs past a chunk
  bool pendingLine = false;
  while (in) {
    in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    std::size_t got = static_cast<std::size_t>(in.gcount());
    if (got == 0)
      break;
    std::string_view data(chunk.data(), got);
    while (!data.empty()) {
      std::size_t end = data.find('\n');
      if (end == std::string_view::npos) {
        partial.append(data);
        pendingLine = true;
        break;
      }
      if (pendingLine) {
        partial.append(data.substr(0, end));
        handle(partial);
        partial.clear();
        pendingLine = false;
      } else {
        handle(data.substr(0, end));
      }
      data.remove_prefix(end + 1);
    }
    letters.flushIfDue();
  }
  if (pendingLine)
    handle(partial); // a last line without its line feed
  letters.flush();
  return counts;
}

int runSiftel(int argc, const char *const *argv) {
  std::ostream &out = std::cout;
  if (argc != 4) {
    out << siftelVersion << '\n'
        << bannerLine() << '\n'
        << "Usage: " << (argc > 0 ? argv[0] : "siftel")
        << " INFILE ALLGPSFILE NOGPSFILE\n";
    out.flush();
    return 1;
  }
  const std::string inPath = argv[1];
  const std::string allPath = argv[2];
  const std::string noPath = argv[3];

  auto fail = [&](const std::string &message) {
    out << message << '\n';
    out.flush();
    return 1;
  };

  std::ifstream in;
  if (!isDirectory(inPath))
    in.open(inPath, std::ios::in | fileMode);
  if (!in.is_open())
    return fail("Error: cannot read " + inPath);
  for (const std::string *path : {&allPath, &noPath})
    if (sameFile(*path, inPath))
      return fail("Error: " + *path + " is also an input file");
  if (sameFile(noPath, allPath))
    return fail("Error: " + noPath + " is named twice");

  // Both outputs are tried without truncating them first: when one of them
  // cannot be written, the other keeps every byte it held, and one that this
  // run created is removed again.
  std::ofstream allGps;
  std::ofstream noGps;
  if (!openBoth(allPath, allGps, noPath, noGps, fail))
    return 1;

  out << "Processing, please wait.";
  out.flush();
  siftCounts counts = siftLines(in, allGps, noGps, out);

  out << '\n'
      << siftelVersion << '\n'
      << bannerLine() << '\n'
      << "Number of APs without GPS Coords = " << counts.withoutGps
      << " saved to: " << noPath << '\n'
      << "Number of APs with GPS Coords    = " << counts.withGps
      << " saved to: " << allPath << '\n';

  in.close();
  allGps.close();
  noGps.close();
  int status = 0;
  if (allGps.fail()) {
    out << "Error: cannot write " << allPath << '\n';
    status = 1;
  }
  if (noGps.fail()) {
    out << "Error: cannot write " << noPath << '\n';
    status = 1;
  }
  out.flush();
  return status;
}
