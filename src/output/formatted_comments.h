#pragma once
// Comments of the Equations text on the Formatted Equations page: the text
// drawn character by character with its small markup. "_" or "[" after a
// letter starts a subscript, "^" a superscript; a delimiter (blank, tab,
// ")", "*", "+", "-", "/", "=") outside parentheses opened in it, or "]",
// ends it; a word followed by "_dot", "_bar" or "_hat" gets that accent
// and the four characters are not drawn. Long comments wrap on paper.
#include <cstdint>
#include <string>

#include "output/format_box.h"
#include "output/palette.h"

namespace voq {

struct TCommentLook {
  TRgb Colour = MakeRgb(0, 0, 0);
  int32_t FontStyle = 0;  // the box model's: 0 plain, 1 bold, 2 italic, 4 underlined
};

// Where a comment is drawn: the pen starts at (X, Y), the top of its first
// line; new lines start at LineLeft; on paper the text wraps before
// PageRight less RightMargin (on screen PageRight is practically endless).
struct TCommentPlace {
  int32_t X = 0;
  int32_t Y = 0;
  int32_t LineLeft = 0;
  int32_t PageRight = 999999;
  int32_t RightMargin = 40;
};

// Draws text on the form's canvas; gives the rectangle it covers.
TRect DrawCommentText(TFormattedForm& form, const std::string& text, const TCommentPlace& place,
                      const TCommentLook& look);

// The comment styles of the preferences as box-model font styles: on
// screen 0 plain, 1 italic, 2 bold, 3 underline; on paper 0 plain, 1 bold,
// 2 italic, 3 underline.
int32_t CommentFontStyle(int32_t preference, bool printed);

}  // namespace voq
