// The setup sheet's tests share this: a batch file whose setup maps some
// columns, the sheet opened over it by RunUI, and shorthands for what an
// administrator does on it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "host/batch/batch_file.h"
#include "tests/wine/component/wine_support.h"
#include "tests/wine/setup_ui/sheet_driver.h"

namespace mirdane::wine_test {

inline constexpr int kHeaderGroup = 0;
inline constexpr int kLineGroup = 1;

// A document class whose setup maps the first required column, holds a
// text constant and a capture value, and one link of an older setup.
inline constexpr char kBatch[] = R"({
  "batchClass": "AP Invoices",
  "documentClass": "Invoice",
  "setup": {
    "name": "XA bridge",
    "connectString": "odbc:DSN=xa",
    "userName": "XAUSER",
    "password": "secret",
    "customProperties": { "serverAPILibrary": "XALIB" },
    "links": [
      { "source": "Transaction type", "sourceType": 0, "destination": "UAGYCPP.GYABNT" },
      { "source": "T-01", "sourceType": 1, "destination": "UAGYCPP.GYALNB" },
      { "source": "Batch Name", "sourceType": 2, "destination": "UAGYCPP.GYDHNA" },
      { "source": "old", "sourceType": 0, "destination": "UAGYCPP.GYOLD1" },
      { "source": "OriginalFolder", "sourceType": 3, "destination": "OriginalFolder" },
      { "source": "First Page Original File Name", "sourceType": 2, "destination": "OriginalFileName" },
      { "source": "OriginalFileNameExt", "sourceType": 3, "destination": "OriginalFileNameExt" }
    ],
    "indexFields": ["Transaction type", "Vendor", "Division", "P&L code", "Ledger"],
    "batchFields": ["OriginalFolder", "OriginalFileNameExt"],
    "captureValues": ["Batch Name", "First Page Original File Name"]
  },
  "documents": []
})";

inline std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }
inline std::string NarrowW(const wchar_t* text) {
  return Narrow(std::u16string(reinterpret_cast<const char16_t*>(text)));
}
// A text of a grid item, for comparing.
inline std::wstring Text(const WCHAR* text) { return text; }

inline batch::SetupRecord SetupOf(const std::filesystem::path& path) { return batch::LoadBatchFile(path).setup; }

inline std::u16string CustomProperty(const batch::SetupRecord& setup, const std::u16string& name) {
  for (const auto& [key, value] : setup.customProperties) {
    if (key == name) return value;
  }
  return u"(absent)";
}

// The links as "destination=type:source", in order.
inline std::vector<std::string> LinksOf(const batch::SetupRecord& setup) {
  std::vector<std::string> links;
  for (const auto& link : setup.links) {
    links.push_back(Narrow(link.destination) + "=" + std::to_string(link.sourceType) +
                    ":" + Narrow(link.source));
  }
  return links;
}

class SetupSheet : public ::testing::Test {
 protected:
  void SetUp() override {
    // The sheet scales with the system's DPI only for a program that says it can.
    ASSERT_TRUE(::SetProcessDPIAware());
    // The pointer out of the way: a menu that opens under it follows the
    // mouse as well as the keys the test sends.
    ::SetCursorPos(0, 0);
    batch_ = WriteBatchFile(kBatch);
    original_ = ReadWholeFile(batch_);
  }

  // Opens the sheet over the batch file.
  void Open() {
    run_ = std::make_unique<SetupRun>(batch_);
    sheet_ = run_->WaitForSheet();
    ASSERT_TRUE(sheet_) << "no sheet came up: " << run_->error();
    // Modal to the host: owned by its active window, which is disabled.
    EXPECT_EQ(::GetWindow(sheet_, GW_OWNER), run_->host());
    EXPECT_FALSE(::IsWindowEnabled(run_->host()));
  }
  HWND Page() const { return CurrentPage(sheet_); }
  HWND Control(int id) const { return ::GetDlgItem(Page(), id); }
  // Goes to the Data Mapping page and gives its grid.
  HWND OpenMappingPage() {
    ChoosePage(sheet_, 1);
    // The page and its grid read together: while the pages change, the
    // sheet shows one, then none, then the other.
    HWND grid = nullptr;
    EXPECT_TRUE(WaitUntil([&] {
      grid = GridOf(Page());
      return grid != nullptr && ::IsWindowVisible(grid);
    }));
    return grid;
  }
  // Finds the row named `name` (as shown) in `group`, or -1.
  int RowNamed(HWND grid, int group, const std::wstring& name) const {
    for (int row = 0; row < GridRowCount(grid, group); ++row) {
      if (Text(GridItem(grid, group, row).name) == name) return row;
    }
    return -1;
  }
  // Selects the row and chooses `path` from its menu.
  void Map(HWND grid, int group, int row, const std::vector<std::wstring>& path) {
    ASSERT_TRUE(SelectGridRow(grid, group, row)) << "row " << row;
    ASSERT_TRUE(ChooseFromRowMenu(run_->threadId(), grid, path)) << "menu of row " << row;
  }
  void MapConstant(HWND grid, int group, int row, const std::wstring& text) {
    Map(grid, group, row, {L"Text Constant"});
    ASSERT_TRUE(TypeIntoCell(grid, text));
    ASSERT_TRUE(WaitUntil([&] { return Text(GridItem(grid, group, row).value) == text; }));
  }
  HWND WaitForRequiredFieldDialog() {
    return WaitForThreadWindow(run_->threadId(), kRequiredFieldTitle);
  }
  void PressOk() { PressButton(SheetButton(sheet_, IDOK)); }
  void PressCancel() { PressButton(SheetButton(sheet_, IDCANCEL)); }
  void ExpectClosedWith(bool applied) {
    ASSERT_TRUE(run_->WaitForEnd()) << "the sheet did not close";
    EXPECT_EQ(run_->error(), "");
    EXPECT_EQ(run_->result(), 0) << "RunUI answers KFX_REL_SUCCESS";
    EXPECT_EQ(run_->applied(), applied);
    EXPECT_TRUE(run_->hostEnabledAfterRun()) << "the host's window is enabled again";
  }

  std::filesystem::path batch_;
  std::string original_;
  std::unique_ptr<SetupRun> run_;
  HWND sheet_ = nullptr;
};

}  // namespace mirdane::wine_test
