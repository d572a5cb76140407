// Build-time tool: turns the message table data file (lines
// "id<TAB>name<TAB>text" or "id<TAB>name", "#" starts a comment line) into a
// C++ array compiled into the program and a header that names every id.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>

namespace {

bool IsMessageName(const std::string& name) {
  if (name.size() < 5 || name.compare(0, 4, "kMsg") != 0 || name[4] < 'A' || name[4] > 'Z')
    return false;
  for (char c : name) {
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
  }
  return true;
}

// Leaves an unchanged file alone, so that editing a text does not rebuild
// everything that includes the header.
bool WriteIfChanged(const char* path, const std::string& content) {
  std::ifstream old(path, std::ios::binary);
  if (old) {
    std::ostringstream current;
    current << old.rdbuf();
    if (current.str() == content) return true;
  }
  std::ofstream o(path, std::ios::binary);
  o << content;
  return static_cast<bool>(o);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: embed_messages INPUT OUTPUT_CPP OUTPUT_H\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << "embed_messages: cannot read " << argv[1] << "\n";
    return 2;
  }
  std::ostringstream table;
  table << "// Generated from data/messages.txt; do not edit.\n"
           "#include \"core/message_table.h\"\nnamespace voq {\n"
           "const MessageEntry kMessageEntries[] = {\n";
  std::ostringstream ids;
  ids << "// Generated from data/messages.txt; do not edit.\n"
         "// The message numbers by name, for CalcErrorCode, GetMessageText and the alerts.\n"
         "#pragma once\n#include <cstdint>\n\nnamespace voq {\n\n";
  std::set<std::string> names;
  long lastId = 0;
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    auto fail = [&](const char* what) {
      std::cerr << argv[1] << ":" << lineNo << ": " << what << "\n";
      return 2;
    };
    // The text is everything after the second tab, tabs included.
    size_t tab = line.find('\t');
    if (tab == std::string::npos || tab == 0 || tab > 9 ||
        line.find_first_not_of("0123456789") != tab)
      return fail("expected id<TAB>name<TAB>text");
    size_t nameEnd = line.find('\t', tab + 1);
    std::string id = line.substr(0, tab);
    std::string name =
        line.substr(tab + 1, nameEnd == std::string::npos ? std::string::npos : nameEnd - tab - 1);
    std::string text = nameEnd == std::string::npos ? std::string() : line.substr(nameEnd + 1);
    // The program looks texts up by binary search over the ids in file order.
    long number = std::stol(id);
    if (number <= lastId) return fail("ids must ascend from 1");
    lastId = number;
    if (!IsMessageName(name))
      return fail("expected a name kMsg, a capital letter, then letters and digits");
    if (!names.insert(name).second) return fail("name already used");
    ids << "inline constexpr int32_t " << name << " = " << number << ";\n";
    if (!text.empty()) table << "  {" << number << ", R\"voqmsg(" << text << ")voqmsg\"},\n";
  }
  table << "  {0, nullptr}\n};\n}  // namespace voq\n";
  ids << "\n}  // namespace voq\n";
  return WriteIfChanged(argv[2], table.str()) && WriteIfChanged(argv[3], ids.str()) ? 0 : 2;
}
