#pragma once
// Reads the Martin-Hou reference data files of tests/data/martin-hou/
// (tab-separated; "#" lines are the header naming source, units and
// reference state): SAT rows of saturation properties and PVT rows of
// single-phase states.
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace voq::test {

struct MartinHouSatRow {
  double T, pBubble, pDew, rhoF, vG, hF, hG, sF, sG;
};
struct MartinHouPvtRow {
  double T, P, v, h, s, cv0;
};
struct MartinHouReference {
  std::vector<MartinHouSatRow> sat;
  std::vector<MartinHouPvtRow> pvt;
  // h = s = 0 for the saturated liquid at this temperature: -40 F, or the
  // normal boiling point where the header says so.
  double referenceT = 419.67;
  bool normalBoilingReference = false;
};

inline MartinHouReference ReadMartinHouReference(const std::string& fluid) {
  MartinHouReference data;
  std::ifstream in(std::string(VOQ_TEST_DATA_DIR) + "/martin-hou/" + fluid + ".tsv");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    if (line[0] == '#') {
      if (line.find("reference state") != std::string::npos && line.find("normal boiling point") != std::string::npos)
      {
        data.normalBoilingReference = true;
        const size_t at = line.find("T = ");
        if (at != std::string::npos) data.referenceT = std::stod(line.substr(at + 4));
      }
      continue;
    }
    std::istringstream fields(line);
    std::string kind;
    fields >> kind;
    if (kind == "SAT") {
      MartinHouSatRow r{};
      fields >> r.T >> r.pBubble >> r.pDew >> r.rhoF >> r.vG >> r.hF >> r.hG >> r.sF >> r.sG;
      data.sat.push_back(r);
    } else if (kind == "PVT") {
      MartinHouPvtRow r{};
      fields >> r.T >> r.P >> r.v >> r.h >> r.s >> r.cv0;
      data.pvt.push_back(r);
    }
  }
  return data;
}

}  // namespace voq::test
