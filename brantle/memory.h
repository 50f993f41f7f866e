// An input stream buffer over bytes held in memory, so that the readers'
// character-at-a-time scanning and the CSV look-ahead's step back cost no
// system calls.
#ifndef BRANTLE_MEMORY_H
#define BRANTLE_MEMORY_H

#include <streambuf>
#include <string>

class memoryBuffer : public std::streambuf {
public:
  /// Reads \p bytes, which must outlive the buffer.
  explicit memoryBuffer(const std::string &bytes) {
    char *begin = const_cast<char *>(bytes.data()); // only ever read
    setg(begin, begin, begin + bytes.size());
  }

protected:
  pos_type seekoff(off_type off, std::ios_base::seekdir dir,
                   std::ios_base::openmode which) override {
    if (!(which & std::ios_base::in))
      return pos_type(off_type(-1));
    off_type base = dir == std::ios_base::beg   ? 0
                    : dir == std::ios_base::cur ? gptr() - eback()
                                                : egptr() - eback();
    return seekpos(pos_type(base + off), which);
  }
  pos_type seekpos(pos_type pos, std::ios_base::openmode which) override {
    off_type at = off_type(pos);
    if (!(which & std::ios_base::in) || at < 0 || at > egptr() - eback())
      return pos_type(off_type(-1));
    setg(eback(), eback() + at, egptr());
    return pos;
  }
};

#endif
