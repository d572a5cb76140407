// The report's text and expression rewrites: every input of the table below
// is rewritten by one step (or the short chain the equation writer runs) and
// compared with the LaTeX written out by hand; the same outputs are then
// typeset by pdflatex, so a rewrite that produces LaTeX that does not compile
// is caught too.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "language/property_calls.h"
#include "language/statement_preparation.h"
#include "latex/latex_expressions.h"
#include "latex/latex_text.h"
#include "model/external_routines.h"
#include "model/routines.h"

namespace voq {
namespace {

// What the end of a line translation does with the placeholders the steps
// under test leave: argument braces, subscript commas, infinity, brackets.
std::string Finish(std::string text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case kLatexArgumentOpen: out += '{'; break;
      case kLatexArgumentClose: out += '}'; break;
      case kLatexSubscriptComma: out += ArgumentSeparator; break;
      case kLatexInfinity: out += "\\infty"; break;
      case kLatexBracket: out += '['; break;
      default: out += c;
    }
  }
  return out;
}

// The equation writer turns every parenthesis into \left( and \right) before
// the property, integral and sum rewrites run.
std::string LeftRight(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '(') {
      out += " \\left( ";
    } else if (c == ')') {
      out += " \\right) ";
    } else {
      out += c;
    }
  }
  return out;
}

using Rewrite = std::function<void(std::string&)>;

struct TRewriteCase {
  const char* Label;
  Rewrite Step;
  std::string Input;
  std::string Expected;
  bool Typesets = true;  // the output is valid LaTeX math on its own
};

Rewrite Math(void (*f)(std::string&, bool)) {
  return [f](std::string& t) { f(t, true); };
}
Rewrite Text(void (*f)(std::string&, bool)) {
  return [f](std::string& t) { f(t, false); };
}

// Every example input and output of the text and expression rewrites.
std::vector<TRewriteCase> RewriteCases() {
  const Rewrite greek = Math(LatexGreekLetters);
  const Rewrite powers = [](std::string& t) { LatexSuperscripts(t, true, false); };
  const Rewrite named = [](std::string& t) { LatexSuperscripts(t, true, true); };
  const Rewrite subscripts = Math(LatexSubscripts);
  const Rewrite exponents = [](std::string& t) { LatexExponents(t, false); };
  const Rewrite boxed = [](std::string& t) { LatexExponents(t, true); };
  const Rewrite calls = LatexFunctionCalls;
  const Rewrite property = [](std::string& t) {
    t = LeftRight(t);
    LatexPropertyCalls(t);
  };
  const Rewrite integral = [](std::string& t) {
    t = LeftRight(t);
    if (LatexIntegral(t)) LatexIntegral(t);
  };
  const Rewrite sum = [](std::string& t) {
    LatexFunctionCalls(t);
    t = LeftRight(t);
    LatexSumProduct(t, "SUM");
    LatexSumProduct(t, "PRODUCT");
  };
  return {
      {"name with a Greek prefix", greek, "alphabet", "alphabet"},
      {"lower-case Greek", greek, "alpha + beta = mu", "\\alpha + \\beta = \\mu"},
      {"Delta typed mixed case", greek, "Delta = 1", "{\\delta } = 1"},
      {"delta", greek, "delta = 1", "{\\delta } = 1"},
      {"DELTA capital", greek, "DELTA=1", "{\\Delta }=1"},
      {"Delta takes the word", greek, "DeltaP = 1", "{\\delta P} = 1"},
      {"DELTA at the end", greek, "y = DELTAT", "y = \\Delta T"},
      {"capital only where LaTeX has one", greek, "ETA + OMEGA", "\\eta + \\Omega"},
      {"gamma function", greek, "GAMMA_(x)", "\\Gamma(x)"},
      {"Greek inside a word", greek, "betabeta + thetas", "betabeta + thetas"},
      {"comment DELTAT", Text(LatexGreekLetters), "the DELTAT rise", "the ${\\Delta T}$ rise"},
      {"power with parentheses", powers, "a^(b+1)", "a^{b+1}"},
      {"repeated power", powers, "x^2^3", "x^{2}^{3}", false},  // LaTeX: double superscript
      {"power then operator", powers, "y = x^2 + 1", "y = x^{2} + 1"},
      {"named superscript", named, "X|star + X|plus_1", "X^{star} + X^{plus}_1"},
      {"comment power", [](std::string& t) { LatexSuperscripts(t, false, false); }, "area in m^2",
       "area in m$^{2}$"},
      {"two subscript parts", subscripts, "x_1_2", "x_{1,2}"},
      {"infinity", subscripts, "T_infinity", "T_{\\infty}"},
      {"underscore and blank removed", subscripts, "T_ 1", "T1"},
      {"subscript ends at an operator", subscripts, "T_in_1 = T_a[3]", "T_{in,1} = T_{a,3}"},
      {"comment subscript", Text(LatexSubscripts), "T_in is hot", "T$_{in}$ is hot"},
      {"array index", LatexArrayIndices, "x[i] + y[2]", "x_{i} + y_{2}"},
      {"two array indices", LatexArrayIndices, "x[1][2]", "x_{1,2}"},
      {"index in a string literal", LatexArrayIndices, "s = 'a[1]'", "s = 'a[1]'"},
      {"unit bracket", LatexArrayIndices, std::string("5 \\left") + kLatexBracket + "m \\right]",
       "5 \\left[m \\right]"},
      {"negative exponent", exponents, "2.5E-03", "2.5\\times 10^{-3}"},
      {"positive exponent", exponents, "1E+05", "1\\times 10^{5}"},
      {"lower-case e", exponents, "1e2", "1\\times 10^{2}"},
      {"two numbers", exponents, "Tube = 1E5 + 2E-2", "Tube = 1\\times 10^{5} + 2\\times 10^{-2}"},
      {"boxed", boxed, "3.2E-05", "3.2\\mbox{E-05}"},
      {"a name holding E", exponents, "x1E3", "x1E3"},
      {"a lone E", exponents, "E", "E"},
      {"accent", [](std::string& t) { LatexAccents(t, "_dot", "\\dot ", true); }, "m_dot = 2",
       "\\dot {m} = 2"},
      {"comment accent", [](std::string& t) { LatexAccents(t, "_bar", "\\bar", false); }, "v_bar is",
       "$\\bar{v}$ is"},
      {"italic names", LatexItalicNames, "mass_{in}", "\\V{mass} _{in}"},
      {"single letters stay", LatexItalicNames, "a + mass", "a + \\V{mass} "},
      {"commands stay", LatexItalicNames, "\\alpha + beta", "\\alpha + \\V{beta} "},
      {"ring a", Math(LatexRingA), "\xE5ngstr", "\\mbox{\\aa}ngstr"},
      {"quotient in parentheses", LatexFractions, "(a+b)/2", "\\frac {a+b}{ 2 }"},
      {"single letters", LatexFractions, "a/b", "a/b"},
      {"names", LatexFractions, "mass/vol", "\\V{mass}/\\V{vol}"},
      {"number over a sum", LatexFractions, "y = 2/(x+1)", "y = \\frac {2}{ x+1 }"},
      {"square root", calls, "sqrt(x+1)", "\\sqrt{(x+1)}"},
      {"sin after a letter", calls, "xsin(a)+sin(b)", "xsin(a)+\\sin{(b)}"},
      {"sinh not sin", calls, "sinh(x)", "\\sinh{(x)}"},
      {"arcsin not sin", calls, "arcsin(x)", "\\arcsin{(x)}"},
      {"nested calls", calls, "sqrt(exp(x))", "\\sqrt{(\\exp{(x)})}"},
      {"Bessel", calls, "BESSEL_J0(x)", "J_0 {(x)}"},
      {"built-in by name", calls, "Average(a,b)", "\\F{Average}{(a,b)}"},
      {"unit conversion", LatexUnitConversion, "Convert(ft,m)", " \\left\x1e" "0.3048\\ \\frac {m}{ft}\\right]"},
      {"a variable named Converted", LatexUnitConversion, "y = Converted + 1", "y = Converted + 1"},
      {"ConvertTemp is no Convert", LatexUnitConversion, "T = ConvertTemp(C,K,T1)", "T = ConvertTemp(C,K,T1)"},
      {"integral with limits", integral, "y = Integral(f, x, 0, 1)", "y = \\int_{0}^{1} f\\ dx "},
      {"integral without limits", integral, "y = Integral(f, x)", "y = \\int f\\ dx "},
      {"step count not shown", integral, "y = Integral(f, x, 0, 1, 0.1)", "y = \\int_{0}^{1} f\\ dx "},
      {"two integrals", integral, "y = Integral(f,x,0,1) + Integral(g,t,0,2)",
       "y = \\int_{0}^{1} f\\ dx  + \\int_{0}^{2} g\\ dt "},
      {"sum with limits", sum, "Sum(x[i], i=1, 10)", "{\\sum \\limits_{i=1}^{10} x[i] }"},
      {"sum without an index range", sum, "Sum(x, 3)", "\\F{Sum}{ \\left( x, 3 \\right) }"},
      {"product", sum, "Product(a[k], k=1, n)", "{\\prod \\limits_{k=1}^{n} a[k] }"},
      {"property call", property, "Enthalpy(Water, T=100, P=101.3)",
       "\\enthalpy \\left(\\F{Water}, T=100, P=101.3 \\right) "},
      {"property with an underscore", property, "T_crit(R134a_mh)", "\\tcrit \\left(\\F{R134a}_mh \\right) "},
      {"argument spacing", LatexSeparatorSpacing, "f(a,b,c)", "f(a,\\ b,\\ c)"},
  };
}

TEST(LatexRewritesTest, EachExampleGivesItsLatex) {
  for (const TRewriteCase& c : RewriteCases()) {
    std::string text = c.Input;
    c.Step(text);
    EXPECT_EQ(Finish(text), Finish(c.Expected)) << c.Label << ": " << c.Input;
  }
}

TEST(LatexRewritesTest, UserAndExternalFunctions) {
  auto* factorial = new TRoutineRecord;  // freed by the engine reset of the next test
  factorial->Name = "Factorial";
  auto* area = new TRoutineRecord;
  area->Name = "Area";
  FunctionTable[1] = factorial;
  FunctionTable[2] = area;
  FunctionCount = 2;
  TExternalFunctionRecord external;
  external.Name = "CPMIX_SI";
  ExternalFunctionList = &external;

  const std::vector<std::pair<std::string, std::string>> cases = {
      {"y = Factorial(n)", "y = n!"},
      {"y = Factorial(n+1)", "y = (n+1)!"},
      {"y = Area(r)", "y = \\F{Area}{(r)}"},
      {"y = CPMIX(a, b)", "y = \\F{Cpmix}{(a, b)}"},
  };
  for (const auto& [input, expected] : cases) {
    std::string text = input;
    LatexFunctionCalls(text);
    EXPECT_EQ(Finish(text), expected) << input;
  }
  ExternalFunctionList = nullptr;
  ResetRoutineStore();
}

TEST(LatexRewritesTest, ConvertWithoutAFromUnitShowsTheFactorAndTheUnit) {
  std::string text = "x = Convert(,m)";
  LatexUnitConversion(text);
  text = Finish(text);
  EXPECT_EQ(text.find(" \\left[1"), 4u) << text;
  EXPECT_NE(text.find("m \\right]"), std::string::npos) << text;
  EXPECT_EQ(CalcErrorCode, 0);
}

TEST(LatexRewritesTest, ConversionFactorsInExponentFormAndUnitsWithHyphens) {
  // 1 Btu/lb-R = 4186.8 J/kg-K (NIST SP 811, table B.9), shown as written
  // with the hyphens set upright; 1 mm = 1E-03 m needs the exponent form.
  std::string text = "cp = c*Convert(Btu/lbm-R, kJ/kg-K)";
  LatexUnitConversion(text);
  EXPECT_NE(text.find("4.1868"), std::string::npos) << text;
  EXPECT_NE(text.find(" \\mbox{-} "), std::string::npos) << text;
  std::string small = "L = Convert(mm, km)";
  LatexUnitConversion(small);
  EXPECT_NE(small.find("\\times 10^( \\mbox{-} 6)"), std::string::npos) << small;
}

TEST(LatexRewritesTest, ProtectedSpecialsAndStringLiterals) {
  std::string text = "a$b%c#d{e}f&";
  LatexProtectSpecials(text, true);
  EXPECT_EQ(text, std::string("a") + kLatexDollar + "b" + kLatexPercent + "c" + kLatexHash + "d" +
                      kLatexOpenBrace + "e" + kLatexCloseBrace + "f&");
  text.pop_back();
  LatexProtectSpecials(text, false);
  EXPECT_EQ(text, "a\\$b\\%c\\#d\\{e\\}f");

  std::vector<std::string> literals;
  std::string line = "s$ = 'a_b%' & 'c|d'";
  LatexStringLiterals(line, true, literals);
  EXPECT_EQ(line, std::string("s$ = ") + kLatexLiteral + " & " + kLatexLiteral);
  ASSERT_EQ(literals.size(), 2u);
  LatexStringLiterals(line, false, literals);
  EXPECT_EQ(line, "s$ = \\SC{a\\_b\\%} & \\SC{cd}");
  EXPECT_TRUE(literals.empty());

  std::string unpaired = "s$ = 'abc";
  LatexStringLiterals(unpaired, true, literals);
  EXPECT_TRUE(literals.empty());
  LatexStringLiterals(unpaired, false, literals);
  EXPECT_EQ(unpaired, "s$ = 'abc");
}

TEST(LatexRewritesTest, CaptionsColoursAndGreekNames) {
  std::string caption = "T_in & T_out";
  LatexEscapeCaption(caption);
  EXPECT_EQ(caption, "T{$_in$} \\& T{$_out$}");

  const std::vector<std::tuple<int, const char*, const char*, const char*>> colours = {
      {0, "black", "white", "white"}, {1, "blue", "yellow", "aqua"},  {7, "green", "green", "buff"},
      {9, "cyan", "navy", "white"},   {15, "orange", "white", "white"}, {16, "white", "white", "white"},
      {17, "black", "white", "white"}, {-1, "black", "white", "white"},
  };
  for (const auto& [index, text, highlight, cell] : colours) {
    EXPECT_EQ(LatexColourName(index), text) << index;
    EXPECT_EQ(LatexHighlightColour(index), highlight) << index;
    EXPECT_EQ(LatexCellColour(index), cell) << index;
  }
  EXPECT_TRUE(IsGreekName("alpha"));
  EXPECT_TRUE(IsGreekName("JTheta"));
  EXPECT_FALSE(IsGreekName("Alphabet"));
  EXPECT_FALSE(IsGreekName(""));
}

TEST(LatexRewritesTest, PropertyCommandsOfEveryPropertyFunction) {
  // The property functions in the order of the language's table, with the
  // command each is written as in the report.
  const std::vector<std::pair<const char*, const char*>> expected = {
      {"MOLARMASS", "\\molarmass"}, {"TEMPERATURE", "\\temperature"}, {"PRESSURE", "\\pressure"},
      {"DENSITY", "\\density"}, {"VOLUME", "\\volume"}, {"ENTHALPY", "\\enthalpy"},
      {"INTENERGY", "\\intenergy"}, {"ENTROPY", "\\entropy"}, {"QUALITY", "\\quality"},
      {"CONDUCTIVITY", "\\conductivity"}, {"SPECHEAT", "\\specheat"}, {"VISCOSITY", "\\viscosity"},
      {"WETBULB", "\\wetbulb"}, {"DEWPOINT", "\\dewpoint"}, {"HUMRAT", "\\humrat"},
      {"RELHUM", "\\relhum"}, {"T_CRIT", "\\tcrit"}, {"P_CRIT", "\\pcrit"}, {"V_CRIT", "\\vcrit"},
      {"ISIDEALGAS", "\\isidealgas"}, {"PRANDTL", "\\prandtl"}, {"SOUNDSPEED", "\\soundspeed"},
      {"SURFACETENSION", "\\surfacetension"}, {"VOLEXPCOEF", "\\volexpcoef"}, {"CP", "\\cp"},
      {"CV", "\\cv"}, {"ACENTRICFACTOR", "\\acentricfactor"}, {"FUGACITY", "\\fugacity"},
  };
  std::vector<std::string> names;
  for (const auto& [name, command] : expected) {
    names.push_back(name);
    EXPECT_EQ(LatexPropertyCommand(name), command);
  }
  std::vector<std::string> table;
  for (const auto& record : PropertyFunctionTable) {
    if (record) table.push_back(record->Name);
  }
  std::sort(names.begin(), names.end());
  std::sort(table.begin(), table.end());
  EXPECT_EQ(table, names);
}

TEST(LatexRewritesTest, IsCallAtTellsWholeCalledWords) {
  const std::vector<std::tuple<std::string, size_t, size_t, bool>> cases = {
      {"Sum(x)", 0, 3, true}, {"y=Sum(x)", 2, 5, true}, {"xSum(x)", 1, 4, false},
      {"Sum", 0, 3, true},    {"Sums(x)", 0, 3, false},
  };
  for (const auto& [text, p, q, expected] : cases) EXPECT_EQ(IsCallAt(text, p, q), expected) << text;
}

TEST(LatexRewritesTest, ADecimalCommaSeparatesArgumentsWithSemicolons) {
  SetDecimalSeparator(',');
  BuildScannerCharacterSets();
  std::string text = "x_1_2 + f(a;b)";
  LatexSubscripts(text, true);
  LatexSeparatorSpacing(text);
  EXPECT_EQ(Finish(text), "x_{1;2} + f(a;\\ b)");
  SetDecimalSeparator('.');
  BuildScannerCharacterSets();
}

// pdflatex from Debian's texlive-latex-base, when the machine has it.
bool HavePdfLatex() { return std::system("pdflatex --version > /dev/null 2>&1") == 0; }

TEST(LatexRewritesTest, EveryOutputTypesets) {
  if (!HavePdfLatex()) GTEST_SKIP() << "pdflatex is not installed (Debian texlive-latex-base)";
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("voq_latex_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::ofstream tex(dir / "cases.tex", std::ios::binary);
  // The packages and commands of the report's preamble.
  tex << "\\documentclass{article}\n\\usepackage[ansinew]{inputenc}\n\\usepackage{times}\n"
         "\\usepackage{graphicx}\n\\usepackage{color}\n\\usepackage{longtable}\n"
         "\\newcommand{\\F}[1]{\\mbox{#1}}\n\\newcommand{\\SC}[1]{\\mbox{`#1'}\\  }\n"
         "\\newcommand{\\V}[1]{\\mbox{\\it #1}}\n\\newcommand{\\enthalpy}{\\mathrm{h}}\n"
         "\\newcommand{\\tcrit}{\\mathrm{T_{crit}}}\n\\begin{document}\n";
  int count = 0;
  for (const TRewriteCase& c : RewriteCases()) {
    if (!c.Typesets) continue;
    std::string text = c.Input;
    c.Step(text);
    text = Finish(text);
    // Text-mode outputs carry their own "$"; the others are math.
    if (text.find('$') != std::string::npos) {
      tex << text << "\n\n";
    } else {
      tex << "\\begin{displaymath}" << text << "\\end{displaymath}\n";
    }
    ++count;
  }
  tex << "\\end{document}\n";
  tex.close();
  ASSERT_GT(count, 0);
  const std::string command = "cd '" + dir.string() +
                              "' && pdflatex -interaction=nonstopmode -halt-on-error cases.tex > run.log 2>&1";
  const int status = std::system(command.c_str());
  std::ifstream log(dir / "cases.log");
  std::string logText((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  EXPECT_EQ(status, 0) << logText.substr(logText.size() > 3000 ? logText.size() - 3000 : 0);
  EXPECT_EQ(logText.find("! "), std::string::npos);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace voq
