#include "app/copied_messages.h"

#include "keys/formats/message_search.h"

std::vector<std::string> MessagesOpenedUnasked(std::string_view text) {
  std::vector<std::string> messages;
  for (const FoundMessage& found : FindMessages(text))
    if (found.kind != MessageKind::kOld) messages.emplace_back(text.substr(found.begin, found.end - found.begin));
  return messages;
}
