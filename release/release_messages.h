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

// The release ledger's (custom property releaseLedger = "1").
inline constexpr ReleaseMessage kLedgerMissing{
    u"The release ledger %s does not exist, and this document class is released with "
    u"releaseLedger = 1. Create the ledger with: mirdane bridge create --ledger --library %s "
    u"--connect <server name>", 1, 540};
inline constexpr ReleaseMessage kErrorReadingLedger{u"Error Reading %s: %s", 1, 541};
inline constexpr ReleaseMessage kErrorDeleting{u"Error Deleting %s: %s", 1, 542};
inline constexpr ReleaseMessage kReleasedElsewhere{
    u"Document %s is being released on another station: the release ledger %s holds it "
    u"as transaction %s. Nothing was written", 1, 543};
inline constexpr ReleaseMessage kAlreadyReleased{
    u"Document Released Successfully %s: it was released before as transaction %s, and "
    u"nothing was written", 0, 544};
inline constexpr ReleaseMessage kHalfWrittenDeleted{
    u"Transaction %s of document %s was left half-written by an earlier release: its rows "
    u"were deleted, and the document is released anew", 0, 545};
inline constexpr ReleaseMessage kNoDocumentKey{
    u"The document has no UniqueDocumentID, original file or KofaxPDFFileName by which the "
    u"release ledger could know it: it is released without the ledger", 0, 546};
inline constexpr ReleaseMessage kErrorReadingDocumentId{u"Error Reading UniqueDocumentID: %s", 1, 547};
inline constexpr ReleaseMessage kLedgerRowUnusable{
    u"The release ledger %s cannot be used for document %s: %s", 1, 548};
}  // namespace messages

}  // namespace mirdane
