#pragma once
// A rectangle of four int16 as the stored records keep it: left, top, right,
// bottom (for a line object: X1, Y1, X2, Y2), in client pixels. Shared by
// the plot records and the drawing services.
#include <cstdint>

namespace voq {

struct TSmallRect {
  int16_t Left = 0;
  int16_t Top = 0;
  int16_t Right = 0;
  int16_t Bottom = 0;
  bool operator==(const TSmallRect&) const = default;
};

}  // namespace voq
