// Build-time tool: turns the message table data file (lines "id<TAB>text",
// "#" starts a comment line) into a C++ array compiled into the program.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: embed_messages INPUT OUTPUT\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << "embed_messages: cannot read " << argv[1] << "\n";
    return 2;
  }
  std::ostringstream out;
  out << "// Generated from data/messages.txt; do not edit.\n"
         "#include \"core/message_table.h\"\nnamespace voq {\n"
         "const MessageEntry kMessageEntries[] = {\n";
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    size_t tab = line.find('\t');
    if (tab == std::string::npos || tab == 0 ||
        line.find_first_not_of("0123456789") != tab) {
      std::cerr << argv[1] << ":" << lineNo << ": expected id<TAB>text\n";
      return 2;
    }
    out << "  {" << line.substr(0, tab) << ", R\"voqmsg(" << line.substr(tab + 1) << ")voqmsg\"},\n";
  }
  out << "  {0, nullptr}\n};\n}  // namespace voq\n";
  std::ofstream o(argv[2], std::ios::binary);
  o << out.str();
  return o ? 0 : 2;
}
