// Shared by the fuzz targets: a scratch folder per process, files in it, and
// a console that swallows what the programs print.
#ifndef SURVEY_FUZZ_SUPPORT_H
#define SURVEY_FUZZ_SUPPORT_H

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace fuzzing {

/// Stops with a message, so that the fuzzer records the input.
[[noreturn]] inline void fail(const char *what) {
  std::fprintf(stderr, "property violated: %s\n", what);
  std::abort();
}

inline void require(bool holds, const char *what) {
  if (!holds)
    fail(what);
}

/// A folder of this process's own, removed when the process ends.
inline const std::filesystem::path &scratch() {
  struct folder {
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("survey-fuzz-" + std::to_string(::getpid()));
    folder() { std::filesystem::create_directories(path); }
    ~folder() {
      std::error_code ec;
      std::filesystem::remove_all(path, ec);
    }
  };
  static const folder scratchFolder;
  return scratchFolder.path;
}

inline std::string pathOf(const std::string &name) {
  return (scratch() / name).string();
}

inline void writeFile(const std::string &path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

/// Standard output thrown away and standard input empty while it lives.
class quietConsole {
public:
  quietConsole() : out_(std::cout.rdbuf(&sink_)), in_(std::cin.rdbuf(&empty_)) {
    std::cin.clear();
  }
  ~quietConsole() {
    std::cout.rdbuf(out_);
    std::cin.rdbuf(in_);
    std::cout.clear();
    std::cin.clear();
  }

private:
  class nullBuffer : public std::streambuf {
  protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char *, std::streamsize n) override {
      return n;
    }
  };
  nullBuffer sink_;
  std::stringbuf empty_;
  std::streambuf *out_;
  std::streambuf *in_;
};

/// The part of \p data before the first "\n#TRACK#\n" and the part after
/// it; the second is absent when the marker is.
inline bool splitAtTrack(std::string_view data, std::string_view &log,
                         std::string_view &track) {
  constexpr std::string_view marker = "\n#TRACK#\n";
  const std::size_t at = data.find(marker);
  if (at == std::string_view::npos) {
    log = data;
    track = {};
    return false;
  }
  log = data.substr(0, at);
  track = data.substr(at + marker.size());
  return true;
}

} // namespace fuzzing

#endif
