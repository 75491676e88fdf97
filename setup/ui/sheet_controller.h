// What a property sheet does with its pages, without windows: which page is
// current, how one page hands over to another (the current page may refuse
// to be left), and what OK does (the current page is left first, then every
// page that was created applies its values, in page order).
#pragma once

#include <utility>
#include <vector>

namespace mirdane::ui {

class SheetPage {
 public:
  SheetPage() = default;
  SheetPage(const SheetPage&) = delete;
  SheetPage& operator=(const SheetPage&) = delete;
  virtual ~SheetPage() = default;

  // Creates the page's window; false when it cannot be created.
  virtual bool CreatePage() = 0;
  // Whether the page's window exists.
  virtual bool IsCreated() const = 0;
  // Shows or hides the page's window.
  virtual void ShowPage(bool show) = 0;
  // The page becomes current; false to refuse.
  virtual bool OnSetActive() = 0;
  // The page is about to be left; false keeps it current.
  virtual bool OnKillActive() = 0;
  // The sheet closes with OK: the page writes its values.
  virtual void OnOK() = 0;
};

class SheetController {
 public:
  // A sheet over `pages`, which must outlive it.
  explicit SheetController(std::vector<SheetPage*> pages) : pages_(std::move(pages)) {}

  // Creates and shows page `first`; false when it cannot be shown.
  bool Start(int first);
  // Makes page `index` current; false (the current page stays) when the
  // current page refuses to be left or the new one cannot be shown.
  bool SelectPage(int index);
  // OK pressed: false when the current page refuses to be left; otherwise
  // every created page has applied its values and the sheet may close.
  bool PressOk();

  // The current page, or -1.
  int current() const { return current_; }
  int pageCount() const { return static_cast<int>(pages_.size()); }

 private:
  bool Activate(int index);

  std::vector<SheetPage*> pages_;
  int current_ = -1;
};

}  // namespace mirdane::ui
