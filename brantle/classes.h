// brantle's class unit: the scanning helpers and the records that travel
// between its readers, translation and writers.
#ifndef BRANTLE_CLASSES_H
#define BRANTLE_CLASSES_H

#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

/// Declared for completeness; brantle reports failures as messages only.
class error {
public:
  error() = default;
  ~error() = default;
};

/// Static scanning and file-test operations shared by every reader.
class common {
public:
  common() = default;
  ~common() = default;

  /// 1 when \p path opens and holds at least one whitespace-delimited word.
  static int fileCheck(std::string path);

  /// Consumes characters through the next \p delim, or to the end of the
  /// stream. At the end the stream is left at end of file (failed).
  static void skipThis(std::istream &in, char delim);

  /// Consumes characters through the next \p delim (or to the end of the
  /// stream) and returns them without the delimiter and without their
  /// leading spaces (code 32 only).
  static std::string getThis(std::istream &in, char delim);

  /// '0'-'9', 'A'-'F' and 'a'-'f' give their value; anything else 0.
  static int getHexChar(char c);

  /// The string as an unsigned hexadecimal number, modulo 2^32.
  static std::int32_t getHexStr(std::string s);
};

/// One point of a Kismet .gps track.
class kisgps {
public:
  std::string bssid;
  std::int32_t timeSec = 0;
  std::int32_t timeUsec = 0;
  double lat = 0.0;
  double lon = 0.0;
  double alt = 0.0;
  double spd = 0.0;
  std::int32_t fix = 0;
  std::int32_t signal = 0;
  std::int32_t quality = 0;
  std::int32_t noise = 0;
};

/// The GPS track groups: one group of points per BSSID, in the order in
/// which the BSSIDs first appear in the track; each group in file order.
/// A loaded track starts with a placeholder group of one default point.
/// Lookups go through an index by the BSSID of each group's first point.
class gpsGroups {
public:
  std::vector<std::vector<kisgps>> groups;

  /// The groups whose first point carries exactly \p bssid, in order.
  const std::vector<std::size_t> &find(const std::string &bssid) const;

  /// Adds a point to the first group whose key is its BSSID, or opens a new
  /// group for it.
  void addPoint(kisgps point);

  /// Rebuilds the index after \p groups was changed directly.
  void reindex();

private:
  // The index: an open-addressing table of the keys, each slot holding the
  // key's hash, its text where it is short (a BSSID is 17 characters) and
  // its first group, so that adding a point reads one slot and its group.
  static constexpr std::uint32_t noKey = 0xFFFFFFFF;
  static constexpr std::size_t inlineLength = 20;
  struct slot {
    std::uint64_t hash = 0;
    std::uint32_t key = noKey;    // into keys_
    std::uint32_t first = 0;      // the key's first group
    std::size_t length = 0;       // of the key
    char text[inlineLength] = {}; // the key, where it is this short
  };
  struct keyGroups {
    std::string key;
    std::vector<std::size_t> groups;
  };

  const slot *lookup(std::string_view key, std::uint64_t hash) const;
  /// The first empty slot on \p hash's probe path.
  std::size_t freeSlot(std::uint64_t hash) const;
  /// The slot of \p key, added with \p newGroup as its first group when
  /// the key is new (\p isNew).
  const slot &keySlot(const std::string &key, std::size_t newGroup,
                      bool &isNew);

  std::vector<slot> table_; // a power of two in size, at most half full
  std::vector<keyGroups> keys_;
};

/// One network of a Kismet log, whichever log kind it came from.
class kismet {
public:
  bool valid = false;
  double minLat = 0.0;
  double minLon = 0.0;
  double minAlt = 0.0;
  double minSpd = 0.0;
  double maxLat = 0.0;
  double maxLon = 0.0;
  double maxAlt = 0.0;
  double maxSpd = 0.0;
  std::int32_t number = 0;
  std::int32_t channel = 0;
  std::int32_t llc = 0;
  std::int32_t data = 0;
  std::int32_t crypt = 0;
  std::int32_t weak = 0;
  std::int32_t total = 0;
  std::int32_t bestQuality = 0;
  std::int32_t bestSignal = 0;
  std::int32_t bestNoise = 0;
  std::string type;
  std::string ssid;
  std::string bssid;
  std::string wep;
  std::string info;
  float maxrate = 0.0f;
  std::string firstDay;
  std::string firstMonth;
  std::string lastDay;
  std::string lastMonth;
  std::int32_t firstDate = 0;
  std::int32_t firstHour = 0;
  std::int32_t firstMin = 0;
  std::int32_t firstSec = 0;
  std::int32_t firstYear = 0;
  std::int32_t lastDate = 0;
  std::int32_t lastHour = 0;
  std::int32_t lastMin = 0;
  std::int32_t lastSec = 0;
  std::int32_t lastYear = 0;
  std::string extraText1;
  std::string extraText2;
  std::string extraText3;
  std::string extraText4;
  std::string extraText5;
  std::string extraText6;
  double lat = 0.0; // the position to report, set before each translation
  double lon = 0.0;

  /// True when none of the four latitude and longitude bounds is 0.0.
  bool sanityCheck() const;
};

/// One network as a wi-scan line shows it, every column already text.
class wiscan {
public:
  bool valid = false;
  char latDir = 'N';
  char lonDir = 'E';
  double latitude = 0.0; // magnitudes
  double longitude = 0.0;
  std::string ssid;
  std::string type;
  std::string bssid;
  std::string flagsText;
  std::string channelBits;
  std::int32_t hour = 0;
  std::int32_t minute = 0;
  std::int32_t second = 0;
  std::int32_t snr = 0;
  std::int32_t signal = 0;
  std::int32_t noise = 0;
  std::int32_t beaconInterval = 0;
  /// The low byte of the 802.11 capability field bit by bit (ESS, IBSS,
  /// CF-Pollable, CF-Poll Request, Privacy, Short Preamble, PBCC, Channel
  /// Agility), then a mask of the high byte.
  std::int32_t flagBits[9] = {1, 2, 4, 8, 16, 32, 64, 128, 65280};
  bool flagSet[9] = {};
  std::int32_t flags = 0;
  std::string timeText;
  std::string sigText;
  std::string latText;
  std::string lonText;

  /// False when the latitude or the longitude is exactly 0.0.
  bool sanityCheck() const;
};

/// Copies the first point's signal, noise and quality of the last group
/// that carries the record's BSSID; with no groups at all, sets them to 0.
void supplementSignal(kismet &record, const gpsGroups &track);

#endif
