// The key the release ledger knows a document by, and the numbers it reads back.
#include <gtest/gtest.h>

#include <fstream>

#include "base/sha256.h"
#include "base/text.h"
#include "release/document_key.h"
#include "release/release_ledger.h"
#include "tests/support/ledger_station.h"
#include "tests/support/temp_dir.h"

namespace mirdane::test {
namespace {

KeyLookup Find(RecordingReleaseData& data, const std::u16string& original,
               const std::u16string& pdf, DocumentKey* key, HRESULT* failure) {
  return FindDocumentKey(data, original, pdf, key, failure);
}

TEST(DocumentKey, TheHostsIdComesFirstAndAHostWithoutItIsNormal) {
  RecordingReleaseData data;
  DocumentKey key;
  HRESULT failure = hr::kOk;
  data.idAnswer = hr::kOk;
  data.id = u"{7D1C}";
  ASSERT_EQ(Find(data, u"", u"a.pdf", &key, &failure), KeyLookup::kFound);
  EXPECT_EQ(key.text, u"id:{7D1C}");
  EXPECT_EQ(key.shown, u"{7D1C}");
  EXPECT_EQ(key.hash, Sha256Hex("id:{7D1C}"));

  data.idAnswer = hr::kUnknownName;  // an older host: no such member
  ASSERT_EQ(Find(data, u"", u"a.pdf", &key, &failure), KeyLookup::kFound);
  EXPECT_EQ(key.text, u"pdf:a.pdf");

  data.idAnswer = hr::kOk;
  data.id = u"";  // offered, but empty: no identity
  ASSERT_EQ(Find(data, u"", u"a.pdf", &key, &failure), KeyLookup::kFound);
  EXPECT_EQ(key.text, u"pdf:a.pdf");

  ASSERT_EQ(Find(data, u"", u"", &key, &failure), KeyLookup::kNone);
}

TEST(DocumentKey, AnIdTheHostFailsToAnswerStopsTheDocument) {
  RecordingReleaseData data;
  DocumentKey key;
  HRESULT failure = hr::kOk;
  for (const HRESULT answer : {hr::kFail, hr::kTypeMismatch, hr::kFalse}) {
    data.idAnswer = answer;
    EXPECT_EQ(Find(data, u"", u"a.pdf", &key, &failure), KeyLookup::kFailed);
    EXPECT_EQ(failure, answer);
  }
}

TEST(DocumentKey, AnOriginalFileIsKnownByItsPathSizeAndTime) {
  TempDir dir;
  const auto path = dir.path() / "0001.tif";
  std::ofstream(path) << "first scan";
  const std::u16string file = Utf8ToUtf16(path.string());
  RecordingReleaseData data;
  DocumentKey before, same, after;
  HRESULT failure = hr::kOk;
  ASSERT_EQ(Find(data, file, u"a.pdf", &before, &failure), KeyLookup::kFound);
  EXPECT_EQ(before.shown, file);
  EXPECT_EQ(before.text.rfind(u"file:" + file + u"\n10 bytes, written ", 0), 0u);
  ASSERT_EQ(Find(data, file, u"b.pdf", &same, &failure), KeyLookup::kFound);
  EXPECT_EQ(same.hash, before.hash) << "the same file whatever the PDF is called";

  std::ofstream(path) << "a later scan of another invoice";
  ASSERT_EQ(Find(data, file, u"a.pdf", &after, &failure), KeyLookup::kFound);
  EXPECT_NE(after.hash, before.hash);
  EXPECT_EQ(after.shown, before.shown);
}

TEST(DocumentKey, KeysOfDifferentKindsNeverMeet) {
  EXPECT_NE(MakeDocumentKey(u"id:a.pdf", u"a.pdf").hash, MakeDocumentKey(u"pdf:a.pdf", u"a.pdf").hash);
  // Any character is part of the key, however the ledger's server stores text.
  EXPECT_NE(MakeDocumentKey(u"id:\u00e9", u"").hash, MakeDocumentKey(u"id:?", u"").hash);
  EXPECT_EQ(MakeDocumentKey(u"id:" + std::u16string(5000, u'x'), u"").hash.size(), 64u);
}

TEST(DocumentKey, TransactionNumbersReadBackAsWritten) {
  EXPECT_EQ(TransactionNumberText(u"260305070409045"), u"260305070409045");
  EXPECT_EQ(TransactionNumberText(u" 260305070409045.0 "), u"260305070409045");
  EXPECT_EQ(TransactionNumberText(u"+260305070409045.000"), u"260305070409045");
  EXPECT_EQ(TransactionNumberText(u"5070409045"), u"000005070409045") << "the year 2100";
  EXPECT_EQ(TransactionNumberText(u"2603.5"), u"2603.5") << "not a number it wrote: left as is";
  EXPECT_EQ(TransactionNumberText(u""), u"");
}

}  // namespace
}  // namespace mirdane::test
