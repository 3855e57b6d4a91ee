// Build step: turns the list of German area codes (ortsnetzkennzahlen.csv) into the SQLite area-code
// database vorwahlen.mdb that ships beside the programs.
//   make_vorwahlen <list.csv> <vorwahlen.mdb>

#include <fstream>
#include <iostream>
#include <sstream>

#include "phone/area_code_file_writer.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_vorwahlen <ortsnetzkennzahlen.csv> <vorwahlen.mdb>\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << "make_vorwahlen: cannot read " << argv[1] << '\n';
    return 1;
  }
  std::ostringstream text;
  text << in.rdbuf();
  try {
    const auto rows = fernkartei::phone::ParseAreaCodeList(text.str());
    fernkartei::phone::WriteAreaCodeDatabase(argv[2], rows);
    std::cout << "make_vorwahlen: " << rows.size() << " area codes written to " << argv[2] << '\n';
  } catch (const fernkartei::phone::AreaCodeFileError& e) {
    std::cerr << "make_vorwahlen: " << argv[1] << ": " << e.what() << '\n';
    return 1;
  }
  return 0;
}
