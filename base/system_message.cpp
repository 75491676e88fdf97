#include "base/system_message.h"

#include "base/format.h"

namespace mirdane {

std::u16string HresultText(HRESULT result) {
  if (auto text = LookUpSystemMessage(result)) {
    // The system ends its messages with "\r\n"; a lone character is kept as it is.
    if (text->size() > 1 && text->back() == u'\n') {
      text->pop_back();
      if (!text->empty() && text->back() == u'\r') text->pop_back();
    }
    return *text;
  }
  const auto bits = static_cast<std::uint32_t>(result);
  if (bits >= 0x80040201u && bits <= 0x8004FFFFu) {
    return FormatText(u"IDispatch error #%d", {static_cast<int>(bits - 0x80040200u)});
  }
  return FormatText(u"Unknown error 0x%0lX", {static_cast<unsigned long>(bits)});
}

}  // namespace mirdane
