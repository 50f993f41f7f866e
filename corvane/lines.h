// Line reading for corvane's two inputs.
#ifndef CORVANE_LINES_H
#define CORVANE_LINES_H

#include <istream>
#include <string>
#include <string_view>
#include <vector>

/// Lines of a stream, split at line feeds (a carriage return stays in the
/// line), read in large blocks.
class lineReader {
public:
  explicit lineReader(std::istream &in) : in_(in), block_(1 << 16) {}

  /// The next line; false once the input is exhausted.
  bool next(std::string_view &line) {
    for (;;) {
      std::size_t end = pending_.find('\n');
      if (end != std::string_view::npos) {
        if (carry_.empty()) {
          line = pending_.substr(0, end);
        } else {
          carry_.append(pending_.substr(0, end));
          line = lineBuffer(); // the carried text and this block's part
        }
        pending_.remove_prefix(end + 1);
        return true;
      }
      carry_.append(pending_);
      pending_ = {};
      if (!refill()) {
        if (carry_.empty())
          return false;
        line = lineBuffer(); // a last line without its line feed
        return true;
      }
    }
  }

private:
  std::string_view lineBuffer() {
    last_.swap(carry_);
    carry_.clear();
    return last_;
  }
  bool refill() {
    if (!in_)
      return false;
    in_.read(block_.data(), static_cast<std::streamsize>(block_.size()));
    std::size_t got = static_cast<std::size_t>(in_.gcount());
    pending_ = std::string_view(block_.data(), got);
    return got > 0;
  }

  std::istream &in_;
  std::vector<char> block_;
  std::string_view pending_;
  std::string carry_; // the start of a line that runs past a block
  std::string last_;  // the text of the line returned last, when carried
};

#endif
