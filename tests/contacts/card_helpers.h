#pragma once
// Small helpers the contact tests share: one card from text, a scratch folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "contacts/contact_record.h"
#include "contacts/vcard_parser.h"

namespace fernkartei::contacts::testing {

// A card of the given version around `body` (lines ended by CR LF).
inline std::string Card(const std::string& version, const std::string& body) {
  return "BEGIN:VCARD\r\nVERSION:" + version + "\r\n" + body + "END:VCARD\r\n";
}

// The one record `text` holds; fails the test when it holds another number of cards.
inline ContactRecord OnlyRecord(const std::string& text, std::vector<std::string>* dropped = nullptr) {
  const VCardFile file = ParseVCards(text);
  EXPECT_EQ(file.cards.size(), 1u) << text;
  if (file.cards.empty()) return {};
  return ToContactRecord(file.cards.front(), dropped);
}

inline std::string Telephone(const ContactRecord& r, TelephoneSlot slot) {
  return std::string(r.telephone(slot));
}

// A fresh folder below the system's temporary folder, removed again at the end of the test.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("fernkartei-contacts-" + std::to_string(rd()) + "-" + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

  std::filesystem::path Write(const std::string& name, const std::string& bytes) const {
    const auto file = path_ / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace fernkartei::contacts::testing
