#pragma once
// Small text services on equation, macro and file texts (bytes of the
// Windows-1252 code page; case is folded for ASCII letters only).
#include <cstdint>
#include <string>

namespace voq {

// The longest statement or short text.
inline constexpr int32_t kShortTextLength = 255;
// The byte that stands for a blank inside a quoted text.
inline constexpr char kProtectedSpace = static_cast<char>(160);

// ASCII upper case of text.
std::string UpperCaseText(const std::string& text);
std::string LowerCaseText(const std::string& text);
// a and b equal without regard to (ASCII) case.
bool SameTextNoCase(const std::string& a, const std::string& b);

// Removes blanks and control characters at both ends, then cuts to maxLength.
void TrimShort(std::string& text, int32_t maxLength = kShortTextLength);
// Deletes every blank.
void RemoveBlanks(std::string& text);
// Replaces find by replacement one occurrence at a time, searching again from
// the beginning after each, the result cut to maxLength. A replacement that
// contains find is replaced in a single left-to-right pass instead (searching
// again would never end); an empty find changes nothing.
void ReplaceAllShort(const std::string& find, const std::string& replacement, std::string& text,
                     int32_t maxLength = kShortTextLength);
// Every occurrence of find, matched without regard to case, replaced left to
// right; replaced text is not searched again. Texts of any length.
std::string ReplaceAllText(const std::string& find, const std::string& replacement,
                           const std::string& text);
// Removes one single quote at each end when the text begins and ends with one.
std::string StripQuotes(const std::string& text);
// Deletes every single quote; a count other than 0 or 2 is error 343 with
// MessageArgs[1] := "" (the quotes are deleted all the same).
void RemoveQuoteChars(std::string& text);
// When the 1-based position pos lies inside a quoted text (between the 1st
// and 2nd quote, the 3rd and 4th, ...), the character there becomes byte 160
// and the result is true; otherwise nothing changes.
bool ProtectQuotedSpaces(std::string& text, int32_t pos);
// The macro interpreter's command splitter: token := the text up to the first
// tab, line feed, blank, "=" or ArgumentSeparator outside quotes and square
// brackets; line := what follows it.
void SplitFirstToken(std::string& line, std::string& token);

// Places the text on the clipboard as plain text; false for an empty text or
// when the clipboard refuses it.
bool CopyTextToClipboard(const std::string& text);

}  // namespace voq
