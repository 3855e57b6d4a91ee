#pragma once
// Invented contacts for the benchmarks, in the three vCard versions the way the programs that write them
// do: German names, several numbers each.

#include <iterator>
#include <random>
#include <string>

namespace fernkartei::contacts {

const char* const kLastNames[] = {
    "Müller",   "Schmidt",    "Schneider", "Fischer", "Weber",   "Meyer",    "Wagner", "Becker",   "Schulz",
    "Hoffmann", "Schäfer",    "Koch",      "Bauer",   "Richter", "Klein",    "Wolf",   "Schröder", "Neumann",
    "Schwarz",  "Zimmermann", "Braun",     "Krüger",  "Hofmann", "Hartmann", "Lange",  "Schmitt",  "Werner",
    "Krause",   "Meier",      "Lehmann",   "Özdemir", "Ärger",   "Groß",     "Jäger",  "Vogel"};
const char* const kFirstNames[] = {"Anna",   "Jürgen", "Sören",      "Lena", "Maximilian",
                                   "Sophie", "Jörg",   "Käthe",      "Paul", "Marie",
                                   "Björn",  "Ulrike", "Hans-Peter", "Zoë",  "Luis"};
const char* const kCities[] = {"Berlin", "München", "Köln", "Düsseldorf", "Nürnberg", "Hamburg"};

inline std::string Number(std::mt19937& r, const char* prefix) {
  return std::string(prefix) + std::to_string(100 + r() % 900) + " " + std::to_string(100000 + r() % 900000);
}

// One invented contact in one of the three versions, the way the programs that write them do.
inline std::string InventCard(std::mt19937& r, int index) {
  const std::string last = kLastNames[r() % std::size(kLastNames)];
  const std::string first = kFirstNames[r() % std::size(kFirstNames)];
  const std::string city = kCities[r() % std::size(kCities)];
  const std::string uid = std::to_string(index) + "-" + std::to_string(r());
  switch (index % 3) {
    case 0:  // Outlook 2.1
      return "BEGIN:VCARD\r\nVERSION:2.1\r\nN;LANGUAGE=de;CHARSET=UTF-8:" + last + ";" + first +
             "\r\nFN;CHARSET=UTF-8:" + first + " " + last +
             "\r\nORG:Muster GmbH;Vertrieb\r\nTEL;WORK;VOICE:" + Number(r, "0") +
             "\r\nTEL;HOME;VOICE:" + Number(r, "0") + "\r\nTEL;CELL;VOICE:" + Number(r, "01") +
             "\r\nTEL;WORK;FAX:" + Number(r, "0") + "\r\nADR;WORK;CHARSET=UTF-8:;;Hauptstr. 1;" + city +
             ";;10115;Deutschland\r\nEMAIL;PREF;INTERNET:" + uid + "@example.de\r\nEND:VCARD\r\n";
    case 1:  // Apple / Google 3.0
      return "BEGIN:VCARD\r\nVERSION:3.0\r\nN:" + last + ";" + first + ";;;\r\nFN:" + first + " " + last +
             "\r\nTEL;type=WORK;type=pref:" + Number(r, "+49 ") +
             "\r\nTEL;type=CELL;type=VOICE:" + Number(r, "+49 1") + "\r\nitem1.TEL:" + Number(r, "0") +
             "\r\nitem1.X-ABLabel:Assistenz\r\nEMAIL;type=INTERNET;type=HOME:" + uid +
             "@example.org\r\nNOTE:Kunde seit 2019\\, bevorzugt Anrufe am Vormittag\r\nUID:" + uid +
             "\r\nEND:VCARD\r\n";
    default:  // Nextcloud / Thunderbird 4.0
      return "BEGIN:VCARD\r\nVERSION:4.0\r\nN:" + last + ";" + first + ";;;\r\nFN:" + first + " " + last +
             "\r\nTEL;VALUE=uri;TYPE=\"home,voice\";PREF=1:tel:" + Number(r, "+49-") +
             "\r\nTEL;VALUE=uri;TYPE=\"work,voice\":tel:" + Number(r, "+49-") +
             "\r\nTEL;VALUE=uri;TYPE=\"work,voice\":tel:" + Number(r, "+49-") +
             "\r\nADR;TYPE=home:;;Ringstr. " + std::to_string(index % 200) + ";" + city +
             ";;;\r\nUID:urn:uuid:" + uid + "\r\nEND:VCARD\r\n";
  }
}

}  // namespace fernkartei::contacts
