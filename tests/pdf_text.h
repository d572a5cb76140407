#pragma once
// Reading back what a test printed to a PDF file (no printer on the test
// machine): the output of poppler's pdftotext and pdftoppm (Debian
// poppler-utils, installed by `make test`).
#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

namespace voq::testing {

// The output of a command line; empty when it could not run.
inline std::string CommandOutput(const std::string& command) {
  std::string output;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return output;
  std::array<char, 4096> buffer{};
  size_t n = 0;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), n);
  ::pclose(pipe);
  return output;
}

inline bool HavePoppler() {
  return std::filesystem::exists("/usr/bin/pdftotext") && std::filesystem::exists("/usr/bin/pdftoppm");
}

// The text of one page (numbered from 1).
inline std::string PdfPageText(const std::string& pdf, int page) {
  const std::string n = std::to_string(page);
  return CommandOutput("pdftotext -enc UTF-8 -f " + n + " -l " + n + " '" + pdf + "' - 2>/dev/null");
}

// The text with every blank, line break and page break taken out:
// pdftotext keeps neither runs of blanks nor the spacing of raised, lowered
// or character-by-character pieces, so texts are compared without them.
inline std::string WithoutBlanks(const std::string& text) {
  std::string out;
  for (const char c : text)
    if (c != ' ' && c != '\n' && c != '\r' && c != '\t' && c != '\f') out.push_back(c);
  return out;
}

// Writes page `page` of `pdf` as "<prefix>.png" at `dpi` dots per inch;
// gives the file's path.
inline std::string RenderPdfPage(const std::string& pdf, int page, int dpi, const std::string& prefix) {
  const std::string n = std::to_string(page);
  CommandOutput("pdftoppm -png -r " + std::to_string(dpi) + " -f " + n + " -l " + n + " -singlefile '" + pdf +
                "' '" + prefix + "'");
  return prefix + ".png";
}

}  // namespace voq::testing
