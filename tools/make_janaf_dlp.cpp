// Builds JANAF.DLP: the shared object with the procedure's entry, followed
// by the data block of polynomial fits read from their text form and the
// block's offset in the last 4 bytes.
//   make_janaf_dlp ENTRY.so FITS.txt OUT.DLP
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "properties/janaf.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: make_janaf_dlp ENTRY.so FITS.txt OUT.DLP\n");
    return 2;
  }
  std::ifstream entry(argv[1], std::ios::binary);
  std::ifstream fits(argv[2]);
  if (!entry || !fits) {
    std::fprintf(stderr, "make_janaf_dlp: cannot read %s or %s\n", argv[1], argv[2]);
    return 1;
  }
  const std::vector<uint8_t> code((std::istreambuf_iterator<char>(entry)), std::istreambuf_iterator<char>());
  std::stringstream text;
  text << fits.rdbuf();
  std::vector<voq::TJanafRecord> records;
  std::string error;
  if (!voq::ParseJanafText(text.str(), records, error)) {
    std::fprintf(stderr, "make_janaf_dlp: %s: %s\n", argv[2], error.c_str());
    return 1;
  }
  const std::vector<uint8_t> file = voq::BuildJanafFile(code, records);
  std::ofstream out(argv[3], std::ios::binary);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  return out ? 0 : 1;
}
