#pragma once
// The program's message table, compiled in from data/messages.txt.
#include <cstdint>

namespace voq {

struct MessageEntry {
  int32_t id;
  const char* text;
};

// Ends with an entry whose text is null.
extern const MessageEntry kMessageEntries[];

// The raw text of message id, or "" when the table has none.
const char* MessageTableText(int32_t id);

}  // namespace voq
