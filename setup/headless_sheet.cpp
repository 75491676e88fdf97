#include "setup/headless_sheet.h"

#include "base/text.h"
#include "setup/export_settings.h"

namespace mirdane {
namespace {

constexpr char16_t kIndexFieldsMenu[] = u"Document Index Fields";
constexpr char16_t kCaptureValuesMenu[] = u"Kofax Capture Values";

std::u16string Quoted(const std::u16string& text) { return u"\"" + text + u"\""; }

const MenuItem* FindSubmenu(const MenuItem& menu, const std::u16string& title) {
  for (const auto& item : menu.items) {
    if (item.command == 0 && item.text == title) return &item;
  }
  return nullptr;
}

// The names a submenu offers, for a message: "a", "b" and whether the list was cut.
std::u16string Offered(const MenuItem& submenu) {
  std::u16string names;
  bool cut = false;
  for (const auto& item : submenu.items) {
    if (!item.enabled) {
      cut = true;
      continue;
    }
    if (!names.empty()) names += u", ";
    names += Quoted(item.text);
  }
  if (names.empty()) return u"none";
  if (cut) names += u"; the menu lists no more than that";
  return names;
}

}  // namespace

HeadlessSetupSheet::HeadlessSetupSheet(HeadlessEdits edits, StringLoader strings)
    : edits_(std::move(edits)), strings_(std::move(strings)) {}

SheetResult HeadlessSetupSheet::Run(const std::u16string&, CSetupMappingModel& model) {
  refusal_.clear();
  requiredField_.reset();
  stoppedAtRequiredField_ = false;
  unmappedColumn_.clear();

  // The General page, as it is first shown, then typed into.
  GeneralSettings general;
  general.Load(&model);
  if (edits_.name) general.name = *edits_.name;
  if (edits_.connectString) general.connectString = *edits_.connectString;
  if (edits_.userName) general.userName = *edits_.userName;
  if (edits_.password) general.password = *edits_.password;
  if (edits_.apiLibrary) general.apiLibrary = *edits_.apiLibrary;
  // The General page's check box: on stores "1", off removes the property.
  if (edits_.releaseLedger) general.releaseLedger = *edits_.releaseLedger;

  // The Data Mapping page, each choice made through the row's menu.
  MappingPage page(model);
  page.BuildRows();
  page.SetDisplayFieldNames(edits_.displayFieldNames);
  for (const auto& [column, mapping] : edits_.mappings) {
    if (!ApplyMapping(page, column, mapping)) return SheetResult::kCancel;
  }

  if (const MappedRow* unmet = FindFirstUnmetRequirement(page)) {
    unmappedColumn_ = unmet->entry()->identifier + u" (" + unmet->entry()->caption + u")";
  }
  // OK pressed on the Data Mapping page: the page is left first.
  const RequiredFieldPrompt answer = [this](const RequiredFieldTexts& texts) {
    requiredField_ = texts;
    return edits_.ignoreRequired ? kAnswerIgnoreRequirement : kAnswerMapFields;
  };
  if (CheckRequiredFields(page, answer, strings_)) {
    // An administrator would now map the column; without one the sheet is cancelled.
    stoppedAtRequiredField_ = true;
    return SheetResult::kCancel;
  }
  general.Store(&model);
  return SheetResult::kOk;
}

MappedRow* HeadlessSetupSheet::FindColumn(MappingPage& page, const std::u16string& column) {
  // An identifier first (exactly, then in any case), then a caption that names one column.
  for (const bool exact : {true, false}) {
    for (const auto& group : page.groups()) {
      for (const auto& row : group.rows) {
        const auto& identifier = row->entry()->identifier;
        if (exact ? identifier == column : EqualsIgnoringAsciiCase(identifier, column)) return row.get();
      }
    }
  }
  for (const bool exact : {true, false}) {
    std::vector<MappedRow*> found;
    for (const auto& group : page.groups()) {
      for (const auto& row : group.rows) {
        const auto& caption = row->entry()->caption;
        if (exact ? caption == column : EqualsIgnoringAsciiCase(caption, column)) found.push_back(row.get());
      }
    }
    if (found.size() == 1) return found.front();
    if (found.size() > 1) {
      refusal_ = u"the caption " + Quoted(column) + u" names more than one column (";
      for (std::size_t i = 0; i < found.size(); ++i) {
        refusal_ += (i ? u", " : u"") + found[i]->entry()->identifier;
      }
      refusal_ += u"): give the identifier";
      return nullptr;
    }
  }
  refusal_ = u"no column " + Quoted(column) +
             u": give an identifier such as UAGYCPP.GYABNT or a column's caption";
  return nullptr;
}

bool HeadlessSetupSheet::ApplyMapping(MappingPage& page, const std::u16string& column,
                                      const std::u16string& mapping) {
  MappedRow* row = FindColumn(page, column);
  if (!row) return false;
  const auto colon = mapping.find(u':');
  const std::u16string kind = mapping.substr(0, colon);
  const std::u16string text = colon == std::u16string::npos ? u"" : mapping.substr(colon + 1);

  const std::optional<MenuItem> menu = page.OpenMenu(*row);
  if (!menu) return false;
  if (kind == u"none" && colon == std::u16string::npos) {
    page.OnCommand(kCommandNoMapping);
    return true;
  }
  if (kind == u"const" && colon != std::u16string::npos) {
    page.OnCommand(kCommandTextConstant);
    row->EndEdit(text);  // typed into the value cell
    return true;
  }
  if ((kind == u"index" || kind == u"value") && colon != std::u16string::npos) {
    const bool index = kind == u"index";
    const char16_t* title = index ? kIndexFieldsMenu : kCaptureValuesMenu;
    const char16_t* what = index ? u"document index field " : u"Kofax Capture Value ";
    const MenuItem* submenu = FindSubmenu(*menu, title);
    if (submenu) {
      for (const auto& item : submenu->items) {
        if (item.enabled && item.command != 0 && item.text == text) {
          page.OnCommand(item.command);
          return true;
        }
      }
    }
    refusal_ = u"no " + std::u16string(what) + Quoted(text) + u" for column " + Quoted(column) +
               u" (offered: " + (submenu ? Offered(*submenu) : u"none") + u")";
    return false;
  }
  refusal_ = Quoted(column + u"=" + mapping) +
             u": a mapping is index:NAME, value:NAME, const:TEXT or none";
  return false;
}

}  // namespace mirdane
