#include "classes.h"

#include <fstream>
#include <utility>

int common::fileCheck(std::string path) {
  std::ifstream in(path);
  std::string word;
  int usable = (in >> word) ? 1 : 0;
  in.close();
  return usable;
}

// Both scanners read the stream buffer directly, one character at a time,
// and leave the stream in the state that an unformatted get() at the end of
// the input leaves: end of file and failed.
void common::skipThis(std::istream &in, char delim) {
  if (!in.good()) {
    in.setstate(std::ios::failbit);
    return;
  }
  std::streambuf *buf = in.rdbuf();
  const int wanted = static_cast<unsigned char>(delim);
  for (;;) {
    int c = buf->sbumpc();
    if (c == std::char_traits<char>::eof()) {
      in.setstate(std::ios::eofbit | std::ios::failbit);
      return;
    }
    if (c == wanted)
      return;
  }
}

std::string common::getThis(std::istream &in, char delim) {
  std::string text;
  if (!in.good()) {
    in.setstate(std::ios::failbit);
    return text;
  }
  std::streambuf *buf = in.rdbuf();
  const int wanted = static_cast<unsigned char>(delim);
  bool leading = true;
  for (;;) {
    int c = buf->sbumpc();
    if (c == std::char_traits<char>::eof()) {
      in.setstate(std::ios::eofbit | std::ios::failbit);
      break;
    }
    if (c == wanted)
      break;
    if (leading && c == ' ')
      continue; // only the spaces in front go
    leading = false;
    text.push_back(static_cast<char>(c));
  }
  return text;
}

int common::getHexChar(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  return 0;
}

std::int32_t common::getHexStr(std::string s) {
  std::uint32_t value = 0;
  for (char c : s)
    value = value * 16u + static_cast<std::uint32_t>(getHexChar(c));
  return static_cast<std::int32_t>(value);
}

const std::vector<std::size_t> &
gpsGroups::find(const std::string &bssid) const {
  static const std::vector<std::size_t> none;
  auto found = index_.find(bssid);
  return found == index_.end() ? none : found->second;
}

void gpsGroups::addPoint(kisgps point) {
  auto [slot, added] = index_.try_emplace(point.bssid);
  if (!added && !slot->second.empty()) {
    groups[slot->second.front()].push_back(std::move(point));
    return;
  }
  slot->second.push_back(groups.size());
  groups.emplace_back();
  groups.back().push_back(std::move(point));
}

void gpsGroups::reindex() {
  index_.clear();
  for (std::size_t g = 0; g < groups.size(); ++g)
    if (!groups[g].empty()) // an empty group has no key
      index_[groups[g].front().bssid].push_back(g);
}

bool kismet::sanityCheck() const {
  return minLat != 0.0 && maxLat != 0.0 && minLon != 0.0 && maxLon != 0.0;
}

bool wiscan::sanityCheck() const {
  bool sane = true;
  if (latitude == 0.0)
    sane = false;
  if (longitude == 0.0)
    sane = false;
  return sane;
}

void supplementSignal(kismet &record, const gpsGroups &track) {
  if (track.groups.empty()) {
    record.bestSignal = 0;
    record.bestNoise = 0;
    record.bestQuality = 0;
    return;
  }
  const std::vector<std::size_t> &matches = track.find(record.bssid);
  if (matches.empty())
    return;
  const kisgps &first = track.groups[matches.back()].front();
  record.bestSignal = first.signal;
  record.bestNoise = first.noise;
  record.bestQuality = first.quality;
}
