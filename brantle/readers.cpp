// The Kismet log readers: log date, headers and one network at a time from
// a CSV, XML or .network log.
#include "brantle.h"
#include "memory.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iostream>

namespace {

const char *const monthTable[][2] = {
    {"Jan", "01-"}, {"Feb", "02-"}, {"Mar", "03-"}, {"Apr", "04-"},
    {"May", "05-"}, {"Jun", "06-"}, {"Jul", "07-"}, {"Aug", "08-"},
    {"Sep", "09-"}, {"Oct", "10-"}, {"Nov", "11-"}, {"Dec", "12-"}};

std::string monthText(const std::string &word) {
  for (const auto &row : monthTable)
    if (word == row[0])
      return row[1];
  return "00-";
}

bool isNetworkType(const std::string &type) {
  return type == "infrastructure" || type == "probe" || type == "data" ||
         type == "ad-hoc";
}

/// Formatted extraction of a number; a text that is no number (or is out of
/// range) makes the record invalid and clears the failure so that reading
/// can go on.
template <class T> bool readNumber(std::istream &in, T &value, kismet &rec) {
  in >> value;
  if (!in.fail())
    return true;
  rec.valid = false;
  in.clear();
  return false;
}

/// One character, whatever it is.
void skipOne(std::istream &in) { in.get(); }

/// The characters through the next line feed (or to the end), without it.
std::string takeLine(std::istream &in) {
  std::string line;
  if (!in.good()) {
    in.setstate(std::ios::failbit);
    return line;
  }
  std::streambuf *buf = in.rdbuf();
  for (;;) {
    int c = buf->sbumpc();
    if (c == std::char_traits<char>::eof()) {
      in.setstate(line.empty() ? std::ios::eofbit | std::ios::failbit
                               : std::ios::eofbit);
      break;
    }
    if (c == '\n')
      break;
    line.push_back(static_cast<char>(c));
  }
  return line;
}

/// A Kismet time as day name, month name, day, hh:mm:ss and year. False when
/// one of its parts cannot be read.
bool readTime(std::istream &in, std::string &day, std::string &month,
              std::int32_t &date, std::int32_t &hour, std::int32_t &min,
              std::int32_t &sec, std::int32_t &year) {
  if (!(in >> day >> month >> date >> hour))
    return false;
  skipOne(in);
  if (!(in >> min))
    return false;
  skipOne(in);
  return static_cast<bool>(in >> sec >> year);
}

// ---------------------------------------------------------------------------
// XML character references
// ---------------------------------------------------------------------------

/// Decodes &amp; &lt; &gt; &quot; &apos; and &#N; / &#xH; for code points 1
/// to 127, left to right in one pass; any other reference stays as written.
std::string decodeReferences(const std::string &text) {
  static const char *const named[][2] = {{"&amp;", "&"},
                                         {"&lt;", "<"},
                                         {"&gt;", ">"},
                                         {"&quot;", "\""},
                                         {"&apos;", "'"}};
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] != '&') {
      out.push_back(text[i++]);
      continue;
    }
    bool decoded = false;
    for (const auto &ref : named) {
      std::size_t len = std::char_traits<char>::length(ref[0]);
      if (text.compare(i, len, ref[0]) == 0) {
        out += ref[1];
        i += len;
        decoded = true;
        break;
      }
    }
    if (!decoded && text.compare(i, 2, "&#") == 0) {
      std::size_t j = i + 2;
      bool hex = j < text.size() && (text[j] == 'x' || text[j] == 'X');
      if (hex)
        ++j;
      std::size_t digitsStart = j;
      long code = 0;
      while (j < text.size() && j - digitsStart < 8 &&
             (hex ? std::isxdigit(static_cast<unsigned char>(text[j]))
                  : std::isdigit(static_cast<unsigned char>(text[j])))) {
        code = code * (hex ? 16 : 10) + common::getHexChar(text[j]);
        ++j;
      }
      if (j > digitsStart && j < text.size() && text[j] == ';' && code >= 1 &&
          code <= 127) {
        out.push_back(static_cast<char>(code));
        i = j + 1;
        decoded = true;
      }
    }
    if (!decoded)
      out.push_back(text[i++]);
  }
  return out;
}

/// The value of the first NAME="VALUE" attribute called \p name; empty when
/// there is none.
std::string attributeValue(const std::string &text, std::string_view name) {
  std::string found;
  bool seen = false;
  forEachAttribute(text, [&](std::string_view n, std::string_view value) {
    if (!seen && n == name) {
      seen = true;
      found = std::string(value);
    }
  });
  return found;
}

} // namespace

// ---------------------------------------------------------------------------
// Log date and headers
// ---------------------------------------------------------------------------

std::string getKLogDate(std::string path, char logType) {
  std::ifstream in(path);
  std::string word;
  char separator = '"';
  switch (logType) {
  case 'C':
    // Column 14 of the first network: the first-seen time.
    common::skipThis(in, '\n');
    for (int field = 0; field < 13; ++field)
      common::skipThis(in, ';');
    in >> word;
    separator = ';';
    break;
  case 'X':
    // <detection-run kismet-version="2.8.0" start-time="Mon Mar  3 ...
    while (in >> word && word != "<detection-run") {
    }
    in >> word;
    common::skipThis(in, '"');
    in >> word;
    break;
  case 'N':
    //     First    : "Mon Mar  3 09:05:01 2003"
    while (in >> word && word != "First") {
    }
    common::skipThis(in, '"');
    in >> word;
    break;
  default:
    break;
  }
  std::string month, day, minutesSeconds;
  in >> month;
  std::string date = monthText(month);
  in >> day;
  date += day.size() == 1 ? "0" + day : day;
  common::skipThis(in, ':');
  in >> minutesSeconds;
  std::string year = common::getThis(in, separator);
  in.close();
  // A damaged log may lack the separator for many lines; the date stays on
  // its own header line.
  year.erase(std::min(year.find_first_of("\r\n"), year.size()));
  return year + "-" + date;
}

std::string getKHeaders(std::istream &in, char logType) {
  switch (logType) {
  case 'C':
    return getKCHeader(in);
  case 'X':
    return getKXHeader(in);
  default:
    return ""; // a .network log has no header
  }
}

std::string getKCHeader(std::istream &in) { return common::getThis(in, '\n'); }

std::string getKXHeader(std::istream &in) {
  static const std::string marker = "<detection-run";
  std::string header = common::getThis(in, '\n');
  std::size_t searchFrom = 0;
  // At least one more line is taken, even when the first held the marker.
  while (in.good()) {
    header += common::getThis(in, '\n');
    if (header.find(marker, searchFrom) != std::string::npos)
      break;
    searchFrom =
        header.size() >= marker.size() ? header.size() - marker.size() + 1 : 0;
  }
  return header;
}

kismet getKRecord(std::istream &in, char logType, bool hasSignalColumns,
                  const gpsGroups &track) {
  switch (logType) {
  case 'C':
    return getKCRecord(in, hasSignalColumns, track);
  case 'X':
    return getKXRecord(in, hasSignalColumns, track);
  case 'N':
    return getKNRecord(in, hasSignalColumns, track);
  default:
    return kismet();
  }
}

// ---------------------------------------------------------------------------
// CSV log
//
//   Network;NetType;ESSID;BSSID;Info;Channel;Maxrate;WEP;LLC;Data;...
//   1;infrastructure;linksys;00:06:25:AA:01:01;None;06;11.0;No;3;0;0;0;3;
//   Mon Mar  3 09:05:01 2003;Mon Mar  3 09:05:17 2003;45;205;153;40.712345;
//   -74.005676;35.500000;12.250000;40.716000;-74.000999;37.500000;22.000000;
//   ;;;;;;
// (one line per network, CR LF line ends). A network whose DHCP range Kismet
// learned has 30 columns instead of 32, so every line is read on its own.
// ---------------------------------------------------------------------------

namespace {

/// The 32 columns of one network line.
void readCsvColumns(std::istream &ls, kismet &rec) {
  auto number = [&](auto &value) {
    if (!readNumber(ls, value, rec))
      return false;
    skipOne(ls); // the ';' after the number
    return true;
  };
  auto text = [&] { return common::getThis(ls, ';'); };
  auto time = [&](std::string &day, std::string &month, std::int32_t &date,
                  std::int32_t &hour, std::int32_t &min, std::int32_t &sec,
                  std::int32_t &year) {
    if (!readTime(ls, day, month, date, hour, min, sec, year)) {
      rec.valid = false;
      return false;
    }
    skipOne(ls);
    return true;
  };

  if (!number(rec.number))
    return;
  if (rec.number < 1)
    rec.valid = false;
  rec.type = text();
  if (!isNetworkType(rec.type))
    rec.valid = false;
  rec.ssid = text();
  rec.bssid = text();
  if (rec.bssid.size() != 17)
    rec.valid = false;
  rec.info = text();
  if (!number(rec.channel))
    return;
  if (rec.channel < 1 || rec.channel > 14)
    rec.valid = false;
  if (!number(rec.maxrate))
    return;
  rec.wep = text();
  if (rec.wep != "Yes" && rec.wep != "No")
    rec.valid = false;
  for (std::int32_t *count :
       {&rec.llc, &rec.data, &rec.crypt, &rec.weak, &rec.total})
    if (!number(*count))
      return;
  if (!time(rec.firstDay, rec.firstMonth, rec.firstDate, rec.firstHour,
            rec.firstMin, rec.firstSec, rec.firstYear) ||
      !time(rec.lastDay, rec.lastMonth, rec.lastDate, rec.lastHour, rec.lastMin,
            rec.lastSec, rec.lastYear))
    return;
  for (std::int32_t *best : {&rec.bestQuality, &rec.bestSignal, &rec.bestNoise})
    if (!number(*best))
      return;
  for (double *bound : {&rec.minLat, &rec.minLon, &rec.minAlt, &rec.minSpd,
                        &rec.maxLat, &rec.maxLon, &rec.maxAlt, &rec.maxSpd})
    if (!number(*bound))
      return;
  for (std::string *extra : {&rec.extraText1, &rec.extraText2, &rec.extraText3,
                             &rec.extraText4, &rec.extraText5, &rec.extraText6})
    *extra = text();
}

} // namespace

kismet getKCRecord(std::istream &in, bool hasSignalColumns,
                   const gpsGroups & /*track: the log has its own signal*/) {
  kismet rec;
  rec.valid = true;
  if (!hasSignalColumns) {
    // A log without best quality, signal and noise: the run stops after
    // this message.
    std::cout << '\n'
              << "*ERROR = OLD LOG VERSION, UNSUPPORTED UNTIL REQUESTED" << '\n'
              << std::endl;
    return rec;
  }

  // White space in front of the line (the rest of a stray word's line) is
  // skipped as the number of column 1 would skip it.
  in >> std::ws;
  const std::string line = takeLine(in);
  memoryBuffer lineBuffer(line);
  std::istream ls(&lineBuffer);
  readCsvColumns(ls, rec);

  // Look ahead at the next word: the start of a network line is put back,
  // a short word is stray text after this network.
  std::string word;
  in >> word;
  if (in.eof())
    return rec; // the log is over
  if (word.size() <= 6) {
    std::cout << "execution obstructed by unexpected: " << word
              << " after network " << rec.number << std::endl;
  } else {
    in.seekg(in.tellg() - static_cast<std::streamoff>(word.size()));
  }
  return rec;
}

// ---------------------------------------------------------------------------
// XML log
//
//   <wireless-network number="1" type="infrastructure" wep="false"
//    cloaked="false" first-time="Mon Mar  3 09:05:01 2003"
//    last-time="Mon Mar  3 09:05:17 2003">
//     <SSID>linksys</SSID>
//     <BSSID>00:06:25:AA:01:01</BSSID>
//     <channel>6</channel>
//     ...
//   </wireless-network>
// (the opening tag on one line). Kismet 2.8.1 adds a carrier attribute, so
// the opening line's attributes are taken by name.
// ---------------------------------------------------------------------------

kismet getKXRecord(std::istream &in, bool /*hasSignalColumns*/,
                   const gpsGroups &track) {
  kismet rec;
  rec.valid = true;
  const std::string opening = takeLine(in);
  std::size_t quote = opening.find('"');
  std::size_t lead = opening.find_first_not_of(' ');
  if (quote == std::string::npos || lead == std::string::npos || lead > quote ||
      opening.compare(lead, quote - lead, "<wireless-network number=") != 0 ||
      !in.good() || in.rdbuf()->sgetc() == std::char_traits<char>::eof()) {
    rec.valid = false;
    return rec;
  }

  const std::string rest = opening.substr(quote + 1);
  memoryBuffer restBuffer(rest);
  std::istream attrs(&restBuffer);
  if (readNumber(attrs, rec.number, rec) && rec.number < 1)
    rec.valid = false;
  skipOne(attrs); // the closing quote
  std::string others;
  std::getline(attrs, others);

  rec.type = attributeValue(others, "type");
  if (!isNetworkType(rec.type))
    rec.valid = false;
  std::string wep = attributeValue(others, "wep");
  if (wep == "true")
    rec.wep = "Yes";
  else if (wep == "false")
    rec.wep = "No";
  else
    rec.valid = false;
  {
    std::string firstTime = attributeValue(others, "first-time");
    memoryBuffer timeBuffer(firstTime);
    std::istream times(&timeBuffer);
    std::string dayName; // the day name of the first time is not kept
    if (!readTime(times, dayName, rec.firstMonth, rec.firstDate, rec.firstHour,
                  rec.firstMin, rec.firstSec, rec.firstYear))
      rec.valid = false;
  }
  {
    std::string lastTime = attributeValue(others, "last-time");
    memoryBuffer timeBuffer(lastTime);
    std::istream times(&timeBuffer);
    if (!readTime(times, rec.lastDay, rec.lastMonth, rec.lastDate, rec.lastHour,
                  rec.lastMin, rec.lastSec, rec.lastYear))
      rec.valid = false;
  }

  bool ssidSeen = false;
  bool infoSeen = false;
  // Every record needs a BSSID and a channel that pass their checks; a line
  // passed over (a tab in front of its tag) or missing leaves them unset.
  bool bssidPassed = false;
  bool channelPassed = false;
  while (in.good() && in.rdbuf()->sgetc() != std::char_traits<char>::eof()) {
    std::string tag = common::getThis(in, '>');
    if (tag == "</wireless-network")
      break;
    if (tag == "<SSID") {
      rec.ssid = decodeReferences(common::getThis(in, '<'));
      ssidSeen = true;
    } else if (tag == "<info") {
      rec.info = decodeReferences(common::getThis(in, '<'));
      infoSeen = true;
    } else if (tag == "<BSSID") {
      rec.bssid = decodeReferences(common::getThis(in, '<'));
      bssidPassed = rec.bssid.size() == 17;
      if (!bssidPassed)
        rec.valid = false;
    } else if (tag == "<channel") {
      channelPassed = readNumber(in, rec.channel, rec) && rec.channel >= 1 &&
                      rec.channel <= 14;
      if (!channelPassed)
        rec.valid = false;
    } else if (tag == "<maxrate") {
      readNumber(in, rec.maxrate, rec);
    } else if (tag == "<LLC") {
      readNumber(in, rec.llc, rec);
    } else if (tag == "<data") {
      readNumber(in, rec.data, rec);
    } else if (tag == "<crypt") {
      readNumber(in, rec.crypt, rec);
    } else if (tag == "<weak") {
      readNumber(in, rec.weak, rec);
    } else if (tag == "<total") {
      readNumber(in, rec.total, rec);
    } else if (tag == "<min-lat") {
      readNumber(in, rec.minLat, rec);
    } else if (tag == "<min-lon") {
      readNumber(in, rec.minLon, rec);
    } else if (tag == "<min-alt") {
      readNumber(in, rec.minAlt, rec);
    } else if (tag == "<min-spd") {
      readNumber(in, rec.minSpd, rec);
    } else if (tag == "<max-lat") {
      readNumber(in, rec.maxLat, rec);
    } else if (tag == "<max-lon") {
      readNumber(in, rec.maxLon, rec);
    } else if (tag == "<max-alt") {
      readNumber(in, rec.maxAlt, rec);
    } else if (tag == "<max-spd") {
      readNumber(in, rec.maxSpd, rec);
    }
    common::skipThis(in, '\n'); // the rest of the line
  }
  common::skipThis(in, '\n'); // the rest of the closing line

  if (!bssidPassed || !channelPassed)
    rec.valid = false;
  if (!ssidSeen)
    rec.ssid = "<no ssid>";
  if (!infoSeen)
    rec.info = "None";
  supplementSignal(rec, track);
  return rec;
}

// ---------------------------------------------------------------------------
// .network log
//
//   Network 1: "linksys" BSSID: "00:06:25:AA:01:01"
//       Type     : infrastructure
//       Info     : "None"
//       Channel  : 06
//       WEP      : "No"
//       Maxrate  : 11.0
//       LLC      : 3
//       ...
//       First    : "Mon Mar  3 09:05:01 2003"
//       Last     : "Mon Mar  3 09:05:17 2003"
//       Min Loc: Lat 40.712345 Lon -74.005676 Alt 35.500000 Spd 12.250000
//       Max Loc: Lat 40.716000 Lon -74.000999 Alt 37.500000 Spd 22.000000
// Values are found by the separators in front of them, not by the labels.
// ---------------------------------------------------------------------------

kismet getKNRecord(std::istream &in, bool /*hasSignalColumns*/,
                   const gpsGroups &track) {
  kismet rec;
  rec.valid = true;
  std::string word;
  in >> word;
  if (word != "Network" || !in.good() ||
      in.rdbuf()->sgetc() == std::char_traits<char>::eof()) {
    rec.valid = false;
    return rec;
  }

  auto quoted = [&] {
    common::skipThis(in, '"');
    return common::getThis(in, '"');
  };
  auto afterColon = [&](auto &value) {
    common::skipThis(in, ':');
    return readNumber(in, value, rec);
  };
  auto timeRow = [&](std::string &day, std::string &month, std::int32_t &date,
                     std::int32_t &hour, std::int32_t &min, std::int32_t &sec,
                     std::int32_t &year) {
    common::skipThis(in, '"');
    if (!readTime(in, day, month, date, hour, min, sec, year)) {
      rec.valid = false;
      in.clear();
    }
    skipOne(in); // the closing quote
  };
  auto locationRow = [&](double &lat, double &lon, double &alt, double &spd) {
    common::skipThis(in, ':');
    for (double *value : {&lat, &lon, &alt, &spd}) {
      std::string label;
      in >> label;
      readNumber(in, *value, rec);
    }
  };

  if (readNumber(in, rec.number, rec) && rec.number < 1)
    rec.valid = false;
  rec.ssid = quoted();
  rec.bssid = quoted();
  if (rec.bssid.size() != 17)
    rec.valid = false;
  common::skipThis(in, ':');
  in >> rec.type;
  if (!isNetworkType(rec.type))
    rec.valid = false;
  rec.info = quoted();
  if (afterColon(rec.channel) && (rec.channel < 1 || rec.channel > 14))
    rec.valid = false;
  rec.wep = quoted();
  if (rec.wep != "Yes" && rec.wep != "No")
    rec.valid = false;
  afterColon(rec.maxrate);
  for (std::int32_t *count :
       {&rec.llc, &rec.data, &rec.crypt, &rec.weak, &rec.total})
    afterColon(*count);
  timeRow(rec.firstDay, rec.firstMonth, rec.firstDate, rec.firstHour,
          rec.firstMin, rec.firstSec, rec.firstYear);
  timeRow(rec.lastDay, rec.lastMonth, rec.lastDate, rec.lastHour, rec.lastMin,
          rec.lastSec, rec.lastYear);
  locationRow(rec.minLat, rec.minLon, rec.minAlt, rec.minSpd);
  locationRow(rec.maxLat, rec.maxLon, rec.maxAlt, rec.maxSpd);

  supplementSignal(rec, track);
  return rec;
}
