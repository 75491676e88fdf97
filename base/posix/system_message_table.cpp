// Off Windows there is no system message table; these are the texts Windows
// gives for the HRESULTs this system can meet, so that messages read the same
// on both sides.
#include <cstdint>
#include <utility>

#include "base/system_message.h"

namespace mirdane {
namespace {

struct Entry {
  std::uint32_t code;
  const char16_t* text;
};

constexpr Entry kMessages[] = {
    {0x00000000, u"The operation completed successfully.\r\n"},
    {0x80004001, u"Not implemented\r\n"},
    {0x80004002, u"No such interface supported\r\n"},
    {0x80004003, u"Invalid pointer\r\n"},
    {0x80004004, u"Operation aborted\r\n"},
    {0x80004005, u"Unspecified error\r\n"},
    {0x8000FFFF, u"Catastrophic failure\r\n"},
    {0x80010106, u"Cannot change thread mode after it is set.\r\n"},
    {0x80020003, u"Member not found.\r\n"},
    {0x80020004, u"Parameter not found.\r\n"},
    {0x80020005, u"Type mismatch.\r\n"},
    {0x80020006, u"Unknown name.\r\n"},
    {0x80020009, u"Exception occurred.\r\n"},
    {0x8002000B, u"Invalid index.\r\n"},
    {0x8002000E, u"Invalid number of parameters.\r\n"},
    {0x80040111, u"ClassFactory cannot supply requested class\r\n"},
    {0x80040154, u"Class not registered\r\n"},
    {0x800401F0, u"CoInitialize has not been called.\r\n"},
    {0x80070002, u"The system cannot find the file specified.\r\n"},
    {0x80070003, u"The system cannot find the path specified.\r\n"},
    {0x80070005, u"Access is denied.\r\n"},
    {0x80070006, u"The handle is invalid.\r\n"},
    {0x8007000E, u"Not enough memory resources are available to complete this operation.\r\n"},
    {0x80070020, u"The process cannot access the file because it is being used by another process.\r\n"},
    {0x80070035, u"The network path was not found.\r\n"},
    {0x80070057, u"The parameter is incorrect.\r\n"},
    {0x80070079, u"The semaphore timeout period has expired.\r\n"},
    {0x8007052E, u"The user name or password is incorrect.\r\n"},
    {0x80072746, u"An existing connection was forcibly closed by the remote host.\r\n"},
    {0x8007274C, u"A connection attempt failed because the connected party did not properly respond after a period of time, or established connection failed because connected host has failed to respond.\r\n"},
    {0x8007274D, u"No connection could be made because the target machine actively refused it.\r\n"},
};

}  // namespace

std::optional<std::u16string> LookUpSystemMessage(HRESULT result) {
  const auto code = static_cast<std::uint32_t>(result);
  for (const auto& entry : kMessages) {
    if (entry.code == code) return std::u16string(entry.text);
  }
  return std::nullopt;
}

}  // namespace mirdane
