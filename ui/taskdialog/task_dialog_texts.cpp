#include "ui/taskdialog/task_dialog_texts.h"

#include "ui/taskdialog/task_dialog_constants.h"

namespace mirdane::taskdialog {

HRESULT LoadText(const StringSource& strings, std::uintptr_t instance, std::uintptr_t value,
                 std::u16string& text) {
  text.clear();
  if (value == 0) return hr::kOk;
  if (!IsResourceId(value)) {
    text = reinterpret_cast<const char16_t*>(value);
    return hr::kOk;
  }
  return strings.FindString(instance, static_cast<unsigned>(value), text);
}

std::u16string RemoveLinkMarkup(std::u16string_view text) {
  static constexpr std::u16string_view kClose = u"</A>";
  static constexpr std::u16string_view kOpen = u"<A HREF=";
  std::u16string result;
  result.reserve(text.size());
  for (std::size_t at = 0;;) {
    const std::size_t tag = text.find(kClose, at);
    result.append(text.substr(at, tag == std::u16string_view::npos ? tag : tag - at));
    if (tag == std::u16string_view::npos) break;
    at = tag + kClose.size();
  }
  for (;;) {
    const std::size_t open = result.find(kOpen);
    if (open == std::u16string::npos) break;
    const std::size_t end = result.find(u'>', open + kOpen.size());
    if (end == std::u16string::npos) break;
    result.erase(open, end - open + 1);
  }
  return result;
}

CommandLinkParts SplitCommandLink(std::u16string_view text) {
  const std::size_t lineBreak = text.find(u'\n');
  if (lineBreak == std::u16string_view::npos) return {text, {}, false};
  return {text.substr(0, lineBreak), text.substr(lineBreak + 1), true};
}

namespace {

HRESULT LoadLinked(const TaskDialogConfig& config, const StringSource& strings,
                   std::uintptr_t value, LinkedText& text) {
  const HRESULT result = LoadText(strings, config.hInstance, value, text.raw);
  if (Failed(result)) return result;
  text.display = (config.dwFlags & tdf::kEnableHyperlinks) != 0 ? RemoveLinkMarkup(text.raw)
                                                                : text.raw;
  return hr::kOk;
}

HRESULT LoadButtons(const TaskDialogConfig& config, const StringSource& strings,
                    const TaskDialogButton* array, std::uint32_t count,
                    std::vector<ButtonText>& buttons) {
  buttons.clear();
  for (const TaskDialogButton& button : ReadButtons(array, count)) {
    ButtonText loaded{button.nButtonID, {}};
    const HRESULT result = LoadText(strings, config.hInstance, button.pszButtonText, loaded.text);
    if (Failed(result)) return result;
    buttons.push_back(std::move(loaded));
  }
  return hr::kOk;
}

}  // namespace

HRESULT LoadTaskDialogTexts(const TaskDialogConfig& config, const StringSource& strings,
                            std::u16string_view executableName, TaskDialogTexts& texts) {
  const std::uintptr_t instance = config.hInstance;
  HRESULT result = LoadText(strings, instance, config.pszWindowTitle, texts.windowTitle);
  if (Failed(result)) return result;
  if (texts.windowTitle.empty()) texts.windowTitle = executableName;
  if (Failed(result = LoadText(strings, instance, config.pszMainInstruction,
                               texts.mainInstruction)))
    return result;
  if (Failed(result = LoadLinked(config, strings, config.pszContent, texts.content)))
    return result;
  if (Failed(result = LoadLinked(config, strings, config.pszExpandedInformation,
                                 texts.expandedInformation)))
    return result;
  if (Failed(result = LoadText(strings, instance, config.pszExpandedControlText,
                               texts.expandedControlText)))
    return result;
  if (texts.expandedControlText.empty()) texts.expandedControlText = kDefaultExpandedText;
  if (Failed(result = LoadText(strings, instance, config.pszCollapsedControlText,
                               texts.collapsedControlText)))
    return result;
  if (texts.collapsedControlText.empty()) texts.collapsedControlText = kDefaultCollapsedText;
  if (Failed(result = LoadText(strings, instance, config.pszVerificationText,
                               texts.verification)))
    return result;
  if (Failed(result = LoadLinked(config, strings, config.pszFooter, texts.footer))) return result;
  // A null array counts as no buttons, whatever its count says.
  if (Failed(result = LoadButtons(config, strings, config.pButtons, config.cButtons,
                                  texts.buttons)))
    return result;
  return LoadButtons(config, strings, config.pRadioButtons, config.cRadioButtons,
                     texts.radioButtons);
}

}  // namespace mirdane::taskdialog
