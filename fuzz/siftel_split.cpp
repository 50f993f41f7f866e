// siftel's line split on any bytes: every line lands where the rule sends it
// and nowhere else, and the console shows one letter per line written.
#include "fuzz_support.h"
#include "siftel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  const std::string input(reinterpret_cast<const char *>(data), size);
  std::istringstream in(input);
  std::ostringstream all, none, console;
  const siftCounts counts = siftLines(in, all, none, console);

  std::string expectAll, expectNone, letters;
  std::int32_t withGps = 0, withoutGps = 0;
  for (std::size_t start = 0; start < input.size();) {
    std::size_t end = input.find('\n', start);
    if (end == std::string::npos)
      end = input.size();
    const std::string_view line(input.data() + start, end - start);
    if (line.find("N 0.0000000") == std::string_view::npos) {
      expectAll.append(line).push_back('\n');
      letters.push_back('G');
      ++withGps;
    }
    if (line.find("0.0000000") != std::string_view::npos) {
      expectNone.append(line).push_back('\n');
      letters.push_back('b');
      ++withoutGps;
    }
    start = end + 1;
  }
  fuzzing::require(all.str() == expectAll, "lines with GPS");
  fuzzing::require(none.str() == expectNone, "lines without GPS");
  fuzzing::require(console.str() == letters, "console letters");
  fuzzing::require(counts.withGps == withGps && counts.withoutGps == withoutGps,
                   "counts");
  return 0;
}
