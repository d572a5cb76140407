// The README's code blocks, run through voq-solve, so that its examples
// cannot go stale. A block is a run of lines indented by four blanks.
//
// - A transcript (lines beginning "$ "): "$ cat NAME" is followed by the
//   file's lines (a NAME with a folder is a file of the repository, whose
//   text must be the one shown); "$ voq-solve ARGUMENTS" by what it prints,
//   stdout then stderr; "$ echo $?" by the exit status (0 when not shown).
// - A synopsis (a block beginning "voq-solve " or "make ") is not run.
// - Any other block is equation text: it must be read and solved (exit 0),
//   or hold routines only; a comment {a = 1, b = 2} in it gives values the
//   solution must list.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "solver_process.h"

namespace {

using voq::testing::ReadFileText;
using voq::testing::RunVoqSolve;
using voq::testing::SolverRun;
using voq::testing::TempPath;

const std::filesystem::path kSourceDir = std::filesystem::path(VOQ_TEST_DATA_DIR) / ".." / "..";

struct Block {
  int line = 0;  // of its first line in the README
  std::vector<std::string> lines;
};

std::vector<Block> CodeBlocks(const std::string& text) {
  std::vector<Block> blocks;
  std::istringstream in(text);
  std::string line;
  std::string previous;
  int number = 0;
  bool open = false;
  while (std::getline(in, line)) {
    ++number;
    const bool indented = line.rfind("    ", 0) == 0;
    if (indented && (open || previous.empty())) {
      if (!open) blocks.push_back(Block{number, {}});
      open = true;
      blocks.back().lines.push_back(line.substr(4));
    } else if (!line.empty()) {
      open = false;
    }
    previous = line;
  }
  // Blank lines inside a block belong to it; at its end they do not.
  for (Block& b : blocks)
    while (!b.lines.empty() && b.lines.back().empty()) b.lines.pop_back();
  return blocks;
}

std::vector<std::string> Words(const std::string& command) {
  std::istringstream in(command);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += l + "\n";
  return s;
}

std::string WithoutCarriageReturns(std::string s) {
  std::erase(s, '\r');
  return s;
}

void RunTranscript(const Block& block, const std::filesystem::path& folder) {
  const auto& lines = block.lines;
  for (size_t k = 0; k < lines.size();) {
    const std::string command = lines[k];
    ASSERT_EQ(command.rfind("$ ", 0), 0u) << "README line " << block.line + int(k) << ": " << command;
    std::vector<std::string> shown;
    for (++k; k < lines.size() && lines[k].rfind("$ ", 0) != 0; ++k) shown.push_back(lines[k]);
    const std::vector<std::string> words = Words(command.substr(2));
    if (words.size() == 2 && words[0] == "cat") {
      if (words[1].find('/') != std::string::npos) {
        EXPECT_EQ(WithoutCarriageReturns(ReadFileText((kSourceDir / words[1]).string())), Joined(shown))
            << words[1] << " differs from the README";
      } else {
        std::ofstream(folder / words[1], std::ios::binary) << Joined(shown);
      }
      continue;
    }
    ASSERT_FALSE(words.empty());
    ASSERT_EQ(words[0], "voq-solve") << "README line " << block.line << ": " << command;
    std::vector<std::string> arguments;
    for (size_t w = 1; w < words.size(); ++w) {
      const std::string& a = words[w];
      if (std::filesystem::exists(folder / a))
        arguments.push_back((folder / a).string());
      else if (a.find('/') != std::string::npos && std::filesystem::exists(kSourceDir / a))
        arguments.push_back((kSourceDir / a).string());
      else
        arguments.push_back(a);
    }
    int status = 0;
    if (k + 1 < lines.size() && lines[k] == "$ echo $?") {
      status = std::stoi(lines[k + 1]);
      k += 2;
    }
    const SolverRun r = RunVoqSolve(arguments);
    EXPECT_EQ(r.status, status) << command << "\n" << r.err;
    EXPECT_EQ(r.out + r.err, Joined(shown)) << "README line " << block.line << ": " << command;
  }
}

void RunEquations(const Block& block, const std::filesystem::path& folder) {
  const std::string text = Joined(block.lines);
  const std::string file = (folder / "example.txt").string();
  std::ofstream(file, std::ios::binary) << text;
  const SolverRun r = RunVoqSolve({file});
  const bool routinesOnly = r.status == 2 && r.err == "voq-solve: " + file + " holds no equations to solve\n";
  EXPECT_TRUE(r.status == 0 || routinesOnly) << "README line " << block.line << ":\n" << text << r.err;
  // {u = 7, v = 10}: values the solution lists.
  static const std::regex comment(R"(\{\s*(\w+\s*=\s*-?[\d.]+(\s*,\s*\w+\s*=\s*-?[\d.]+)*)\s*\})");
  static const std::regex pair(R"((\w+)\s*=\s*(-?[\d.]+))");
  for (std::sregex_iterator c(text.begin(), text.end(), comment), end; c != end; ++c) {
    const std::string values = (*c)[1];
    for (std::sregex_iterator p(values.begin(), values.end(), pair); p != end; ++p)
      EXPECT_NE(r.out.find((*p)[1].str() + "=" + (*p)[2].str() + "\n"), std::string::npos)
          << "README line " << block.line << ": " << (*p)[0] << "\n" << r.out;
  }
}

TEST(ReadmeExamplesTest, EveryCodeBlockRunsAsShown) {
  const std::string readme = ReadFileText((kSourceDir / "README.md").string());
  ASSERT_FALSE(readme.empty());
  const std::vector<Block> blocks = CodeBlocks(readme);
  int transcripts = 0;
  for (size_t n = 0; n < blocks.size(); ++n) {
    const Block& block = blocks[n];
    const std::string& first = block.lines.front();
    if (first.rfind("voq-solve ", 0) == 0 || first.rfind("make ", 0) == 0) continue;
    const std::filesystem::path folder = TempPath("readme_" + std::to_string(n));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    SCOPED_TRACE("README line " + std::to_string(block.line));
    if (first.rfind("$ ", 0) == 0) {
      RunTranscript(block, folder);
      ++transcripts;
    } else {
      RunEquations(block, folder);
    }
    std::filesystem::remove_all(folder);
  }
  // The parser found the examples at all (a change of the README's layout
  // must not make this test pass by reading nothing).
  EXPECT_GE(transcripts, 6);
}

}  // namespace
