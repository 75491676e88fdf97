// Every message of the release path: its text (a printf format), severity and
// the source line number the host's log shows for it.
#pragma once

namespace mirdane {

struct ReleaseMessage {
  const char16_t* format;
  int severity;  // 0 information, 1 error
  int line;
};

inline constexpr char16_t kReleaseCodeModule[] = u".\\releaseScript";

inline constexpr int kSeverityInformation = 0;
inline constexpr int kSeverityError = 1;

// The line the host's log shows for a counter file that was ignored.
inline constexpr int kCounterIgnoredLine = 530;

namespace messages {
inline constexpr ReleaseMessage kFailedToGetCountOfValues{u"Failed to get count of values", 1, 129};
inline constexpr ReleaseMessage kErrorInReadVariables{u"Error in readVariables: %s", 1, 172};
inline constexpr ReleaseMessage kGeneralErrorInReadVariables{u"General Error in readVariables", 1, 178};
inline constexpr ReleaseMessage kErrorInitializing{u"Error Initializing %s: %s", 1, 203};
inline constexpr ReleaseMessage kGeneralInitializingUpdating{u"General Initializing Updating %s", 1, 209};
inline constexpr ReleaseMessage kErrorUpdating{u"Error Updating %s: %s", 1, 228};
inline constexpr ReleaseMessage kGeneralErrorUpdating{u"General Error Updating %s", 1, 234};
inline constexpr ReleaseMessage kErrorCreatingLineRecord{u"Error Creating UAG0CPP Record: %s", 1, 261};
inline constexpr ReleaseMessage kGeneralErrorCreatingLineRecord{u"General Error Creating UAG0CPP Record", 1, 267};
inline constexpr ReleaseMessage kErrorUpdatingLine{u"Error Updating UAG0CPP record %d of %d: %s", 1, 328};
inline constexpr ReleaseMessage kGeneralErrorUpdatingLine{u"General Error Updating UAG0CPP record %d of %d", 1, 335};
inline constexpr ReleaseMessage kErrorUpdatingLines{u"Error Updating UAG0CPP: %s", 1, 343};
inline constexpr ReleaseMessage kGeneralErrorUpdatingLines{u"General Error Updating UAG0CPP", 1, 349};
inline constexpr ReleaseMessage kFailedToGetValues{u"Failed to get values", 1, 418};
inline constexpr ReleaseMessage kErrorInReleaseDoc{u"Error in ReleaseDoc: %s", 1, 508};
inline constexpr ReleaseMessage kDocumentReleased{u"Document Released Successfully %s", 0, 520};
}  // namespace messages

}  // namespace mirdane
