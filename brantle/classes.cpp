#include "classes.h"

#include <algorithm>
#include <cstring>
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

namespace {

/// FNV-1a, with a final mix so that the low bits index the table well.
std::uint64_t hashOf(std::string_view text) {
  std::uint64_t h = 14695981039346656037ULL;
  for (unsigned char c : text)
    h = (h ^ c) * 1099511628211ULL;
  h ^= h >> 29;
  h *= 0xBF58476D1CE4E5B9ULL;
  return h ^ (h >> 32);
}

} // namespace

const gpsGroups::slot *gpsGroups::lookup(std::string_view key,
                                         std::uint64_t hash) const {
  if (table_.empty())
    return nullptr;
  const std::size_t mask = table_.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    const slot &s = table_[i];
    if (s.key == noKey)
      return nullptr;
    if (s.hash != hash || s.length != key.size())
      continue;
    const bool same = key.size() <= inlineLength
                          ? std::memcmp(s.text, key.data(), key.size()) == 0
                          : keys_[s.key].key == key;
    if (same)
      return &s;
  }
}

std::size_t gpsGroups::freeSlot(std::uint64_t hash) const {
  const std::size_t mask = table_.size() - 1;
  std::size_t i = hash & mask;
  while (table_[i].key != noKey)
    i = (i + 1) & mask;
  return i;
}

const gpsGroups::slot &gpsGroups::keySlot(const std::string &key,
                                          std::size_t newGroup, bool &isNew) {
  const std::uint64_t hash = hashOf(key);
  const slot *found = lookup(key, hash);
  isNew = found == nullptr;
  if (found)
    return *found;
  if (2 * (keys_.size() + 1) > table_.size()) {
    std::vector<slot> old(std::max<std::size_t>(64, 2 * table_.size()));
    old.swap(table_);
    for (const slot &s : old)
      if (s.key != noKey)
        table_[freeSlot(s.hash)] = s;
  }
  slot &s = table_[freeSlot(hash)];
  s.hash = hash;
  s.key = static_cast<std::uint32_t>(keys_.size());
  s.first = static_cast<std::uint32_t>(newGroup);
  s.length = key.size();
  if (key.size() <= inlineLength)
    std::memcpy(s.text, key.data(), key.size());
  keys_.push_back({key, {}});
  return s;
}

const std::vector<std::size_t> &
gpsGroups::find(const std::string &bssid) const {
  static const std::vector<std::size_t> none;
  const slot *found = lookup(bssid, hashOf(bssid));
  return found ? keys_[found->key].groups : none;
}

void gpsGroups::addPoint(kisgps point) {
  bool isNew = false;
  const slot &key = keySlot(point.bssid, groups.size(), isNew);
  if (!isNew) {
    groups[key.first].push_back(std::move(point));
    return;
  }
  keys_[key.key].groups.push_back(groups.size());
  groups.emplace_back();
  groups.back().push_back(std::move(point));
}

void gpsGroups::reindex() {
  table_.clear();
  keys_.clear();
  for (std::size_t g = 0; g < groups.size(); ++g) {
    if (groups[g].empty())
      continue; // an empty group has no key
    bool isNew = false;
    const slot &key = keySlot(groups[g].front().bssid, g, isNew);
    keys_[key.key].groups.push_back(g);
  }
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
