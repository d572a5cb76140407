#include "output/formatted_comments.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/document_settings.h"
#include "output/print_engine.h"

namespace voq {

namespace {

enum class TScript { Normal, Lowered, Raised };

bool IsDelimiter(char c) {
  return c == '\t' || c == '\r' || c == ' ' || c == ')' || c == '*' || c == '+' || c == '-' || c == '/' || c == '=';
}

bool IsLineBreakChance(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '*' || c == '+' || c == '-'; }

class CommentWriter {
 public:
  CommentWriter(TFormattedForm& form, const std::string& text, const TCommentPlace& place, const TCommentLook& look)
      : form_(form), text_(text), place_(place), look_(look) {
    base_ = form.BaseFontSize;
    lineAdvance_ = Printing ? LineStep : form.LineHeight * 4 / 3;
    pen_ = place.X;
    y_ = place.Y;
    wordStart_ = pen_;
    rect_ = TRect{place.X, place.Y, place.X, place.Y + form.LineHeight};
  }

  TRect Run() {
    form_.TheCanvas().SetTextColor(look_.Colour);
    const size_t n = text_.size();
    for (size_t i = 0; i < n; ++i) {
      const char c = text_[i];
      if (Printing && pen_ >= place_.PageRight - place_.RightMargin) NewLine(i);
      if (c == '\r' || c == '\n') {
        if (i + 1 < n && (text_[i + 1] == '\r' || text_[i + 1] == '\n') && text_[i + 1] != c) ++i;
        EndScript();
        NewLine(i + 1);
        wordStart_ = pen_;
        continue;
      }
      if (WrapBefore(c, i)) continue;
      if (c == '\t') {
        EndScript();
        const int32_t tab = TabWidth();
        const int32_t from = place_.LineLeft;
        pen_ = from + ((pen_ - from) / tab + 1) * tab;
        wordStart_ = pen_;
        continue;
      }
      if (c == '_' && Accent(i)) {
        i += 3;
        continue;
      }
      if (c == '_' || c == '^' || (c == '[' && i >= 2 && text_[i - 1] != ' ' && text_[i - 1] != '\t')) {
        const TScript wanted = c == '^' ? TScript::Raised : TScript::Lowered;
        if (script_ == TScript::Normal) {
          script_ = wanted;
          depth_ = 0;
          if (c == '[' && !Printing) pen_ += 1;
          continue;
        }
        if (c != '^' || script_ == TScript::Raised) {
          Draw(",");
          continue;
        }
      }
      if (script_ != TScript::Normal) {
        if (c == ']') {
          EndScript();
          Draw("]");
          continue;
        }
        if (c == '(') depth_ += 1;
        if (c == ')' && depth_ > 0) {
          depth_ -= 1;
          Draw(")");
          continue;
        }
        if (IsDelimiter(c) && depth_ == 0) {
          if (c == ')') {
            Draw(")");
            EndScript();
          } else {
            EndScript();
            Draw(std::string(1, c));
          }
          wordStart_ = pen_;
          continue;
        }
      }
      Draw(std::string(1, c));
      if (IsDelimiter(c)) wordStart_ = pen_;
    }
    form_.TextSizeStyle(base_, 0);
    form_.TheCanvas().SetTextColor(MakeRgb(0, 0, 0));
    return rect_;
  }

 private:
  int32_t TabWidth() const {
    int32_t width = Preferences.TabWidth / 100;
    if (Printing) width = width * PixelScaleX;
    if (width < 1) width = form_.Px(36);  // 3/8 inch
    return width;
  }

  void EndScript() {
    script_ = TScript::Normal;
    depth_ = 0;
  }

  void NewLine(size_t next) {
    // Only the pen returns when nothing but blanks follow.
    size_t k = next;
    size_t seen = 0;
    while (k < text_.size() && seen < 10 && (text_[k] == ' ' || text_[k] == '\t' || text_[k] == '\n')) ++k, ++seen;
    if (k >= text_.size()) {
      pen_ = place_.LineLeft;
      return;
    }
    y_ += lineAdvance_;
    pen_ = place_.LineLeft;
    wordStart_ = pen_;
    wordLine_ = y_;
    rect_.Bottom = std::max(rect_.Bottom, y_ + form_.LineHeight);
  }

  // On paper, a pen close to the right margin breaks the line at the next
  // blank or operator when the rest would not fit.
  bool WrapBefore(char c, size_t i) {
    if (!Printing || !IsLineBreakChance(c)) return false;
    if (pen_ <= place_.PageRight - place_.RightMargin * 5 / 2) return false;
    form_.TextSizeStyle(base_, look_.FontStyle);
    if (form_.StringWidth(text_.substr(i)) <= place_.RightMargin) return false;
    NewLine(i + 1);
    return true;
  }

  // "_dot", "_bar" or "_hat" at i: the accent over the word before it.
  bool Accent(size_t i) {
    const std::string name = text_.substr(i + 1, 3);
    if (name != "dot" && name != "bar" && name != "hat") return false;
    Canvas& canvas = form_.TheCanvas();
    const int32_t from = wordLine_ == y_ ? wordStart_ : place_.LineLeft;
    const int32_t to = pen_;
    const int32_t top = y_ + form_.Py(1);
    const int32_t middle = (from + to) / 2;
    const int32_t r = std::max<int32_t>(1, PixelScaleX);
    canvas.SetPen(look_.Colour, std::max<int32_t>(1, PixelScaleX));
    if (name == "dot") {
      canvas.FillEllipse(TRect{middle - r, top - r, middle + r + 1, top + r + 1}, look_.Colour);
    } else if (name == "bar") {
      canvas.MoveTo(from + form_.Px(1), top);
      canvas.LineTo(to - form_.Px(1), top);
    } else {
      const int32_t half = std::max<int32_t>(form_.Px(3), (to - from) / 4);
      canvas.MoveTo(middle - half, top + form_.Py(2));
      canvas.LineTo(middle, top - form_.Py(1));
      canvas.LineTo(middle + half, top + form_.Py(2));
    }
    accents_ += 1;
    return true;
  }

  void Draw(const std::string& s) {
    int32_t size = base_;
    int32_t dy = 0;
    if (script_ != TScript::Normal) {
      size = base_ * 4 / 5;
      dy = script_ == TScript::Lowered ? form_.Py(base_ * 5 / 12) : -form_.Py(base_ / 5);
    }
    form_.TextSizeStyle(size, look_.FontStyle);
    form_.TheCanvas().TextOut(pen_, y_ + dy, s);
    pen_ += form_.StringWidth(s);
    rect_.Right = std::max(rect_.Right, pen_);
    rect_.Bottom = std::max(rect_.Bottom, y_ + dy + form_.LineHeight);
  }

  TFormattedForm& form_;
  const std::string& text_;
  const TCommentPlace& place_;
  const TCommentLook& look_;
  int32_t base_ = 13;
  int32_t lineAdvance_ = 16;
  int32_t pen_ = 0;
  int32_t y_ = 0;
  int32_t wordStart_ = 0;
  int32_t wordLine_ = 0;
  TScript script_ = TScript::Normal;
  int32_t depth_ = 0;
  int32_t accents_ = 0;
  TRect rect_;

 public:
  void StartWordLine() { wordLine_ = y_; }
};

}  // namespace

TRect DrawCommentText(TFormattedForm& form, const std::string& text, const TCommentPlace& place,
                      const TCommentLook& look) {
  CommentWriter writer(form, text, place, look);
  writer.StartWordLine();
  return writer.Run();
}

int32_t CommentFontStyle(int32_t preference, bool printed) {
  switch (preference) {
    case 1: return printed ? 1 : 2;
    case 2: return printed ? 2 : 1;
    case 3: return 4;
    default: return 0;
  }
}

}  // namespace voq
