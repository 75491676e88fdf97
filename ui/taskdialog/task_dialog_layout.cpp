#include "ui/taskdialog/task_dialog_layout.h"

#include <algorithm>
#include <new>

#include "ui/taskdialog/task_dialog_constants.h"

namespace mirdane::taskdialog {

namespace style = ui::style;
using ui::DialogItem;
using ui::DialogTemplate;
using ui::ControlKind;
using ui::PixelRect;
using ui::DialogBaseUnits;
using ui::PixelsToUnitsX;
using ui::PixelsToUnitsY;
using ui::SizeToUnitsX;
using ui::SizeToUnitsY;
using ui::KindStyle;
namespace {

// Every size here is in pixels at 96 DPI, scaled to the screen's DPI where
// it is used.
constexpr int kCommandLinkIconSpace = 46;  // arrow, its margins and the text's
constexpr int kCommandLinkTextSpace = 20;  // the text's margins without an arrow
constexpr int kGlyphSpace = 20;            // a check box's or radio button's glyph and gap
constexpr int kRadioIndent = 10;           // radio buttons stand 10 pixels into the text column
constexpr int kButtonMarginX = 32;         // a push button's width beyond its text
constexpr int kButtonMarginY = 10;         // its height beyond the text's

bool Has(std::uint32_t flags, std::uint32_t flag) { return (flags & flag) != 0; }

void RaiseButton(ButtonMetrics& metrics, TextSize size, int dpi) {
  metrics.buttonWidth =
      std::max(metrics.buttonWidth, size.width + ScaleForDpi(kButtonMarginX, dpi));
  metrics.buttonHeight =
      std::max(metrics.buttonHeight, size.height + ScaleForDpi(kButtonMarginY, dpi));
}

}  // namespace

ButtonMetrics MeasureButtons(const TaskDialogConfig& config, const TaskDialogTexts& texts,
                             const CommonButtonTable& common, TextMeasurer& measurer, int limit,
                             int dpi) {
  ButtonMetrics metrics;
  auto measure = [&](std::u16string_view text) {
    return measurer.Measure(text, TextFont::kMessage, text_format::kPlain, limit);
  };
  for (const CommonButton& button : common) {
    if (!Has(config.dwCommonButtons, button.flag)) continue;
    RaiseButton(metrics, measure(button.text), dpi);
    metrics.idCounter = std::max(metrics.idCounter, button.id);
  }
  if (CountCommonButtons(common, config.dwCommonButtons) == 0 && texts.buttons.empty()) {
    RaiseButton(metrics, measure(common[0].text), dpi);
    metrics.idCounter = std::max(metrics.idCounter, button_id::kOk);
  }
  for (const ButtonText& button : texts.buttons) {
    if (!Has(config.dwFlags, tdf::kUseCommandLinks)) RaiseButton(metrics, measure(button.text), dpi);
    metrics.idCounter = std::max(metrics.idCounter, button.id);
  }
  for (const std::u16string* text : {&texts.collapsedControlText, &texts.expandedControlText}) {
    const TextSize size = measure(*text);
    metrics.expandoWidth =
        std::max(metrics.expandoWidth, size.width + ScaleForDpi(kButtonMarginX, dpi));
    metrics.buttonHeight =
        std::max(metrics.buttonHeight, size.height + ScaleForDpi(kButtonMarginY, dpi));
  }
  for (const ButtonText& radio : texts.radioButtons)
    metrics.idCounter = std::max(metrics.idCounter, radio.id);
  return metrics;
}

int MeasureCommandLink(TextMeasurer& measurer, std::u16string_view text, int width, int dpi) {
  const CommandLinkParts parts = SplitCommandLink(text);
  const int title =
      measurer.Measure(parts.title, TextFont::kLarge, text_format::kSingleLine, width).height;
  if (!parts.hasNote) return title + ScaleForDpi(20, dpi);
  const int note =
      measurer.Measure(parts.note, TextFont::kMessage, text_format::kWrapped, width).height;
  return title + ScaleForDpi(25, dpi) + note;
}

namespace {

// Builds the template item by item, as the layout steps place the controls.
class LayoutBuilder {
 public:
  LayoutBuilder(const TaskDialogConfig& config, const LayoutEnvironment& environment,
                TaskDialogLayout& layout)
      : config_(config), environment_(environment), layout_(layout) {}

  // Appends a control; for a button, makes it the default where it should be.
  int Add(ControlKind kind, int id, const PixelRect& rect, std::u16string text,
          std::uint32_t extraStyle = 0, std::uint32_t removedStyle = 0) {
    const DialogBaseUnits& base = environment_.baseUnits;
    DialogItem item;
    item.kind = kind;
    item.id = static_cast<std::uint16_t>(id);
    item.x = PixelsToUnitsX(rect.left, base);
    item.y = PixelsToUnitsY(rect.top, base);
    item.cx = SizeToUnitsX(rect.Width(), base);
    item.cy = SizeToUnitsY(rect.Height(), base);
    item.style = KindStyle(kind) | extraStyle;
    if (kind == ControlKind::kButton &&
        (id == config_.nDefaultButton || (config_.nDefaultButton == 0 && !anyButton_))) {
      item.style |= style::kDefaultPushButton;
      layout_.ids.defaultControl = id;
    }
    if (kind == ControlKind::kButton) anyButton_ = true;
    item.style &= ~removedStyle;
    item.text = std::move(text);
    layout_.dialog.items.push_back(std::move(item));
    layout_.pixelRects.push_back(rect);
    return id;
  }

  // The next id for a control that has none of its own.
  int NextId() { return nextId_++; }
  void SetFirstFreeId(int id) { nextId_ = id; }

 private:
  const TaskDialogConfig& config_;
  const LayoutEnvironment& environment_;
  TaskDialogLayout& layout_;
  bool anyButton_ = false;
  int nextId_ = 1;
};

int WidestOf(std::initializer_list<int> widths) { return std::max(widths); }

}  // namespace

HRESULT LayOutTaskDialog(const TaskDialogConfig& config, const TaskDialogTexts& texts,
                         const CommonButtonTable& common, const LayoutEnvironment& environment,
                         TaskDialogLayout& layout) try {
  TextMeasurer& measurer = *environment.measurer;
  // The fixed sizes below are those of 96 DPI.
  const int dpi = environment.dpi;
  auto px = [dpi](int pixels) { return ScaleForDpi(pixels, dpi); };
  const std::uint32_t flags = config.dwFlags;
  const bool commandLinks = Has(flags, tdf::kUseCommandLinks);
  const bool linkIcons = !Has(flags, tdf::kUseCommandLinksNoIcon);
  const bool hyperlinks = Has(flags, tdf::kEnableHyperlinks);
  const ControlKind textKind = hyperlinks ? ControlKind::kLink : ControlKind::kStatic;
  auto wrapped = [&](std::u16string_view text, TextFont font, int limit) {
    return measurer.Measure(text, font, text_format::kWrapped, limit);
  };

  // Steps 2 to 6: the button row and the text limit.
  const int commonCount = CountCommonButtons(common, config.dwCommonButtons);
  const int customCount = static_cast<int>(texts.buttons.size());
  const bool addOk = commonCount == 0 && customCount == 0;
  const int rowCount = addOk ? 1 : commonCount + (commandLinks ? 0 : customCount);
  const int width = config.cxWidth == 0
                        ? environment.monitorWidth / 2 + px(80)
                        : static_cast<int>(config.cxWidth) * environment.baseUnits.x / 8;
  int limit = environment.hasMainIcon ? width - px(52) : width - px(20);
  layout = TaskDialogLayout{};
  LayoutBuilder builder(config, environment, layout);
  layout.buttons = MeasureButtons(config, texts, common, measurer, limit, dpi);
  const ButtonMetrics& buttons = layout.buttons;
  const int buttonGap = px(8);
  const int rowWidth = rowCount * (buttons.buttonWidth + buttonGap) - buttonGap;
  builder.SetFirstFreeId(buttons.idCounter + 1);
  if (limit < rowWidth) limit = rowWidth + px(20);

  // Steps 7 to 9: the text width and the heights.
  int textWidth =
      1 + WidestOf({wrapped(texts.mainInstruction, TextFont::kLarge, limit).width,
                    wrapped(texts.content.display, TextFont::kMessage, limit).width,
                    wrapped(texts.expandedInformation.display, TextFont::kMessage, limit).width,
                    wrapped(texts.footer.display, TextFont::kMessage, limit).width,
                    measurer.Measure(texts.verification, TextFont::kMessage,
                                     text_format::kWrappedWithMnemonics, limit).width});
  const int linkSpace = px(linkIcons ? kCommandLinkIconSpace : kCommandLinkTextSpace);
  if (commandLinks) {
    for (const ButtonText& button : texts.buttons) {
      const CommandLinkParts parts = SplitCommandLink(button.text);
      textWidth = std::max(textWidth, measurer.Measure(parts.title, TextFont::kLarge,
                                                       text_format::kSingleLine, limit).width +
                                          linkSpace);
      if (parts.hasNote)
        textWidth = std::max(
            textWidth, wrapped(parts.note, TextFont::kMessage, limit).width + linkSpace);
    }
  }
  // A radio button's or the check box's text stands beside its glyph: the
  // text width alone would leave the end of a text that is the widest one cut
  // off. The check box starts at the left margin, not at the text column.
  const int margin = px(10);
  const int x0 = environment.hasMainIcon ? px(52) : margin;
  for (const ButtonText& radio : texts.radioButtons) {
    const int radioWidth =
        measurer.Measure(radio.text, TextFont::kMessage, text_format::kRadio, limit).width;
    textWidth = std::max(textWidth, radioWidth + px(kRadioIndent) + px(kGlyphSpace));
  }
  if (!texts.verification.empty()) {
    const int boxWidth = measurer.Measure(texts.verification, TextFont::kMessage,
                                          text_format::kWrappedWithMnemonics, limit).width;
    textWidth = std::max(textWidth, boxWidth + px(kGlyphSpace) - (x0 - margin));
  }
  const int instructionHeight = wrapped(texts.mainInstruction, TextFont::kLarge, textWidth).height;
  const int contentHeight = wrapped(texts.content.display, TextFont::kMessage, textWidth).height;
  const int expandedHeight =
      wrapped(texts.expandedInformation.display, TextFont::kMessage, textWidth).height;
  const int verificationHeight = measurer.Measure(texts.verification, TextFont::kMessage,
                                                  text_format::kWrappedWithMnemonics, limit)
                                     .height;
  const int footerHeight = wrapped(texts.footer.display, TextFont::kMessage, limit).height;

  // Step 10: the template header.
  DialogTemplate& dialog = layout.dialog;
  dialog.style = style::kDialog;
  if (Has(flags, tdf::kPositionRelativeToWindow)) dialog.style |= style::kCentre;
  if (Has(flags, tdf::kCanBeMinimized)) dialog.style |= style::kMinimizeBox;
  if (Has(flags, tdf::kAllowDialogCancellation) ||
      Has(config.dwCommonButtons, tdcbf::kCancel))
    dialog.style |= style::kSystemMenu;
  dialog.exStyle = Has(flags, tdf::kRtlLayout) ? style::kRtlExtended : 0;
  dialog.title = texts.windowTitle;
  layout.expanded = Has(flags, tdf::kExpandedByDefault);
  const std::uint32_t hiddenWhileCollapsed = layout.expanded ? 0 : style::kVisible;
  const bool expandInFooter = Has(flags, tdf::kExpandFooterArea);
  ControlIds& ids = layout.ids;
  Separators& separators = layout.separators;

  // Steps 11 to 19: the content area.
  const PixelRect mainIconRect{margin, px(14), px(42), px(46)};
  if (environment.hasMainIcon)
    ids.mainIcon = builder.Add(ControlKind::kStatic, builder.NextId(), mainIconRect, u"");
  const int x1 = x0 + textWidth;
  const bool hasExpanded = !texts.expandedInformation.raw.empty();
  // The expando button stands at the left margin at its own width: a narrow
  // dialog is widened so that it is not cut off.
  const int clientWidth = std::max({x1 + margin, rowWidth + px(20),
                                    hasExpanded ? buttons.expandoWidth + px(20) : 0});
  // The gap above and below each part.
  const int gap = px(5);
  int y = gap;
  if (!texts.mainInstruction.empty()) {
    y += gap;
    ids.mainInstruction = builder.Add(ControlKind::kStatic, builder.NextId(),
                                      {x0, y, x1, y + instructionHeight}, texts.mainInstruction);
    y += instructionHeight + gap;
  }
  if (!texts.content.raw.empty()) {
    y += gap;
    ids.content = builder.Add(textKind, builder.NextId(), {x0, y, x1, y + contentHeight},
                              texts.content.raw);
    y += contentHeight + gap;
  }
  if (hasExpanded && !expandInFooter) {
    const PixelRect rect{x0, y + gap, x1, y + gap + expandedHeight};
    ids.expandedInformation = builder.Add(textKind, builder.NextId(), rect,
                                          texts.expandedInformation.raw, 0, hiddenWhileCollapsed);
    if (layout.expanded) y = rect.bottom + gap;
  }
  if (Has(flags, tdf::kShowProgressBar) || Has(flags, tdf::kShowMarqueeProgressBar)) {
    y += gap;
    const std::uint32_t marquee = Has(flags, tdf::kShowMarqueeProgressBar) ? style::kMarquee : 0;
    const int barHeight = px(14);
    ids.progressBar = builder.Add(ControlKind::kProgress, builder.NextId(),
                                  {x0, y, clientWidth - margin, y + barHeight}, u"", marquee);
    y += barHeight + gap;
  }
  if (!texts.radioButtons.empty()) y += gap;
  bool firstRadio = true;
  for (const ButtonText& radio : texts.radioButtons) {
    const int height =
        measurer.Measure(radio.text, TextFont::kMessage, text_format::kRadio, limit).height;
    builder.Add(ControlKind::kRadio, radio.id, {x0 + px(kRadioIndent), y, x1, y + height},
                radio.text, firstRadio ? style::kGroup : 0);
    firstRadio = false;
    y += height + gap;
  }
  if (commandLinks && !texts.buttons.empty()) {
    y += gap;
    for (const ButtonText& button : texts.buttons) {
      const int height = MeasureCommandLink(measurer, button.text, (x1 - x0) - linkSpace, dpi);
      builder.Add(ControlKind::kButton, button.id, {x0, y, x1, y + height}, button.text,
                  style::kCommandLink);
      y += height;
    }
    y += gap;
  }
  if (environment.hasMainIcon && mainIconRect.bottom >= y) y = mainIconRect.bottom + gap;

  // Steps 20 to 25: the button band.
  separators.first = y + gap;
  y = separators.first + margin;
  bool bandInUse = false;
  const int top = y;
  int x = clientWidth - margin - rowWidth;
  auto addRowButton = [&](int id, const std::u16string& text, std::uint32_t extra) {
    builder.Add(ControlKind::kButton, id, {x, top, x + buttons.buttonWidth,
                                           top + buttons.buttonHeight}, text, extra);
    x += buttons.buttonWidth + buttonGap;
  };
  if (!commandLinks) {
    for (const ButtonText& button : texts.buttons) addRowButton(button.id, button.text, 0);
  }
  for (const CommonButton& button : common) {
    const bool present = Has(config.dwCommonButtons, button.flag) ||
                         (addOk && button.id == button_id::kOk);
    if (present) {
      addRowButton(button.id, button.text, style::kGroup);
      layout.commonButtonIds.push_back(button.id);
    }
  }
  if (rowCount > 0) {
    bandInUse = true;
    if (top + buttons.buttonHeight >= y) y = top + buttons.buttonHeight + gap;
  }
  if (hasExpanded) {
    ids.expandoButton = builder.Add(
        ControlKind::kButton, builder.NextId(),
        {margin, y, margin + buttons.expandoWidth, y + buttons.buttonHeight},
        layout.expanded ? texts.expandedControlText : texts.collapsedControlText);
    bandInUse = true;
    y += buttons.buttonHeight + gap;
  }
  if (!texts.verification.empty()) {
    ids.verification = builder.Add(ControlKind::kCheckBox, builder.NextId(),
                                   {margin, y, x1, y + verificationHeight}, texts.verification);
    bandInUse = true;
    y += verificationHeight + gap;
  }
  if (!bandInUse) separators.first = -1;

  // Steps 26 and 27: the footer and the expanded information below it.
  if (environment.hasFooterIcon || !texts.footer.raw.empty()) {
    y += gap;
    (separators.first == -1 ? separators.first : separators.second) = y;
    y += margin;
    const int footerTop = y;
    int textLeft = margin;
    if (environment.hasFooterIcon) {
      const int iconSize = px(16);
      const int offset = footerHeight > iconSize ? (footerHeight - iconSize) / 2 : 0;
      const PixelRect rect{margin, footerTop + offset, px(26), footerTop + offset + iconSize};
      ids.footerIcon = builder.Add(ControlKind::kStatic, builder.NextId(), rect, u"");
      if (rect.bottom >= y) y = rect.bottom + gap;
      textLeft = px(31);
    }
    const PixelRect rect{textLeft, footerTop, x1, footerTop + footerHeight};
    ids.footerText = builder.Add(textKind, builder.NextId(), rect, texts.footer.raw);
    if (rect.bottom >= y) y = rect.bottom + gap;
  }
  if (hasExpanded && expandInFooter) {
    const int expandedTop = y + px(15);
    const PixelRect rect{margin, expandedTop, x1, expandedTop + expandedHeight};
    ids.expandedInformation = builder.Add(textKind, builder.NextId(), rect,
                                          texts.expandedInformation.raw, 0, hiddenWhileCollapsed);
    if (layout.expanded) {
      (separators.second == -1 ? separators.second : separators.third) = expandedTop - margin;
      if (rect.bottom >= y) y = rect.bottom + gap;
    }
  }

  // Step 28: the dialog's size in dialog units.
  y += gap;
  dialog.cx = SizeToUnitsX(clientWidth, environment.baseUnits);
  dialog.cy = SizeToUnitsY(y, environment.baseUnits);
  return hr::kOk;
} catch (const std::bad_alloc&) {
  return hr::kOutOfMemory;
}

}  // namespace mirdane::taskdialog
