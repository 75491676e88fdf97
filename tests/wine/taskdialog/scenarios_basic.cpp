// Scenarios: the required-field dialog, cancellation, radio buttons and the
// verification box, a callback that keeps the dialog open, and the setup
// sheet's own prompt for the required-field question.
#include <algorithm>
#include <vector>

#include "setup/ui/win32/required_field_dialog.h"
#include "ui/taskdialog/task_dialog_constants.h"
#include "ui/taskdialog/win32/application_frame.h"
#include "tests/wine/taskdialog/scenarios.h"

namespace mirdane::taskdialog::wine_test {
namespace {

Report& R() { return Report::Get(); }

// The control of a button or radio button: by id, else by its text.
HWND ButtonControl(HWND dialog, int id, const std::wstring& text) {
  HWND control = GetDlgItem(dialog, id);
  return control != nullptr ? control : FindChildByText(dialog, text);
}

// The same outcome for the same clicks, whichever dialog showed.
void CompareOutcomes(const std::string& name, const Outcome& native, const Outcome& emulated,
                     bool compareRadio = true, bool compareEvents = true) {
  R().Check(name, "same button on both", native.button == emulated.button,
            std::to_string(native.button) + " / " + std::to_string(emulated.button));
  if (compareRadio)
    R().Check(name, "same radio button on both", native.radio == emulated.radio,
              std::to_string(native.radio) + " / " + std::to_string(emulated.radio));
  R().Check(name, "same verification state on both",
            native.verification == emulated.verification);
  if (compareEvents)
    R().Check(name, "same notifications on both", native.events == emulated.events,
              native.events + " / " + emulated.events);
}

BOOL CALLBACK CollectIconStatic(HWND child, LPARAM list) {
  wchar_t name[16] = {};
  GetClassNameW(child, name, 16);
  if (lstrcmpiW(name, L"Static") == 0 && GetWindowTextLengthW(child) == 0)
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

RECT PlaceIn(HWND control, HWND dialog) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// The emulation's icons and a fixed margin are as large as the screen's DPI
// makes them (their 96 DPI sizes in proportion), give or take what the
// dialog units round off.
void CheckSizesAtTheDpi(const std::string& label, HWND dialog, const std::wstring& instruction) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  RECT units{0, 0, 4, 8};
  MapDialogRect(dialog, &units);
  const int slackX = (units.right + 3) / 4 + 1;
  const int slackY = (units.bottom + 7) / 8 + 1;
  auto within = [](int seen, int expected, int slack) {
    return seen >= expected - slack && seen <= expected + slack;
  };
  std::vector<HWND> icons;  // the main icon above, the footer's below
  EnumChildWindows(dialog, CollectIconStatic, reinterpret_cast<LPARAM>(&icons));
  std::sort(icons.begin(), icons.end(),
            [&](HWND a, HWND b) { return PlaceIn(a, dialog).top < PlaceIn(b, dialog).top; });
  if (!R().Check(label, "a main and a footer icon", icons.size() == 2,
                 std::to_string(icons.size()) + " empty statics"))
    return;
  const std::string at = " at " + std::to_string(dpi) + " DPI";
  const RECT main = PlaceIn(icons[0], dialog);
  const RECT footer = PlaceIn(icons[1], dialog);
  const int large = MulDiv(32, dpi, 96);
  const int small = MulDiv(16, dpi, 96);
  R().Check(label, "the main icon is " + std::to_string(large) + " pixels" + at,
            within(main.right - main.left, large, slackX) &&
                within(main.bottom - main.top, large, slackY),
            std::to_string(main.right - main.left) + "x" + std::to_string(main.bottom - main.top));
  R().Check(label, "the footer icon is " + std::to_string(small) + " pixels" + at,
            within(footer.right - footer.left, small, slackX) &&
                within(footer.bottom - footer.top, small, slackY),
            std::to_string(footer.right - footer.left) + "x" +
                std::to_string(footer.bottom - footer.top));
  const RECT text = PlaceIn(FindChildByText(dialog, instruction), dialog);
  const int gap = MulDiv(10, dpi, 96);
  R().Check(label, "the text stands " + std::to_string(gap) + " pixels right of the icon" + at,
            within(text.left - main.right, gap, slackX), std::to_string(text.left - main.right));
}

const TASKDIALOG_BUTTON kRequiredLinks[] = {
    {541, L"Map Required Fields\nReturn to the dialog and map the required fields, beginning "
          L"with 'Transaction type'."},
    {542, L"Ignore Requirement\nDo not map the Required fields and close this dialog immediately."},
};

}  // namespace

void RequiredFieldScenario() {
  Outcome outcomes[2];
  DWORD* const promptContext = win32::ApplicationFrame::Current().PromptContext();
  for (const Path path : {Path::kNative, Path::kEmulated}) {
    const std::string label = std::string("required/") + PathName(path);
    *promptContext = 4321;
    outcomes[path == Path::kNative ? 0 : 1] = RunScenario(
        "required", path, [&](RecordingDialog& d, Outcome& seen, Path) {
          // Built exactly as the required-field check builds it.
          d.ModifyFlags(0, TDF_USE_COMMAND_LINKS);
          d.SetMainIcon(11020);
          d.SetWindowTitle(MAKEINTRESOURCEW(11011));
          d.SetMainInstruction(MAKEINTRESOURCEW(11012), 0);
          d.SetButtons(kRequiredLinks, 2, 0);
          d.SetDefaultButton(541);
          d.steps = {
              Wait(2),
              Do([label, &seen](HWND dialog) {
                Screenshot(dialog, "required-" + label.substr(label.find('/') + 1));
                seen.seen["focus"] = GetDlgCtrlID(GetFocus());
                seen.seen["title"] = WindowText(dialog) == L"Required field not Mapped";
                seen.seen["link 542"] = GetDlgItem(dialog, 542) != nullptr;
                seen.seen["sysmenu"] = (GetWindowLongW(dialog, GWL_STYLE) & WS_SYSMENU) != 0;
                seen.seen["prompt"] = *win32::ApplicationFrame::Current().PromptContext();
                PressKey(dialog, VK_ESCAPE);
              }),
              Wait(1),
              Do([&seen](HWND dialog) {
                seen.seen["open after escape"] = IsOpen(dialog);
                PostMessageW(dialog, WM_CLOSE, 0, 0);
              }),
              Wait(1),
              Do([&seen](HWND dialog) {
                seen.seen["open after close"] = IsOpen(dialog);
                HWND ignore = ButtonControl(dialog, 542, L"Ignore Requirement");
                seen.seen["clicked"] = ignore != nullptr;
                if (ignore != nullptr) {
                  Click(ignore);
                } else {
                  SendMessageW(dialog, TDM_CLICK_BUTTON, 542, 0);
                }
              }),
          };
        });
    const Outcome& o = outcomes[path == Path::kNative ? 0 : 1];
    R().Check(label, "closed by the second command link", o.button == 542,
              std::to_string(o.button));
    R().Check(label, "the window title is string 11011", Seen(o, "title") == 1);
    R().Check(label, "a help prompt id of 0 leaves the help context alone",
              Seen(o, "prompt") == 4321 && *promptContext == 4321,
              std::to_string(Seen(o, "prompt")));
    R().Check(label, "Escape leaves it open", Seen(o, "open after escape") == 1);
    R().Check(label, "Close leaves it open", Seen(o, "open after close") == 1);
    R().Check(label, "notifications", o.events == "constructed, created, button 542, destroyed",
              o.events);
    if (path == Path::kEmulated) {
      // The platform's dialog under Wine keeps its Close entry.
      R().Check(label, "no Close entry without cancellation", Seen(o, "sysmenu") == 0);
      R().Check(label, "the default link has the focus", Seen(o, "focus") == 541,
                std::to_string(Seen(o, "focus")));
      R().Check(label, "link 542 is the control of id 542", Seen(o, "link 542") == 1);
    }
  }
  CompareOutcomes("required", outcomes[0], outcomes[1], false);
}

void CancellationScenarios() {
  Outcome refused[2];
  Outcome allowed[2];
  for (const Path path : {Path::kNative, Path::kEmulated}) {
    const int slot = path == Path::kNative ? 0 : 1;
    const std::string label = std::string("nocancel/") + PathName(path);
    refused[slot] = RunScenario("nocancel", path, [](RecordingDialog& d, Outcome& seen, Path) {
      d.Config().dwCommonButtons = TDCBF_YES_BUTTON | TDCBF_NO_BUTTON;
      d.SetMainInstruction(L"Escape and Close do nothing here");
      d.steps = {
          Wait(2),
          Do([](HWND dialog) { PressKey(dialog, VK_ESCAPE); }),
          Wait(1),
          Do([&seen](HWND dialog) {
            seen.seen["open after escape"] = IsOpen(dialog);
            PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
          }),
          Wait(1),
          Do([&seen](HWND dialog) {
            seen.seen["open after close"] = IsOpen(dialog);
            SendMessageW(dialog, TDM_CLICK_BUTTON, IDNO, 0);
          }),
      };
    });
    const Outcome& o = refused[slot];
    R().Check(label, "Escape ignored", Seen(o, "open after escape") == 1);
    R().Check(label, "Close ignored", Seen(o, "open after close") == 1);
    R().Check(label, "ends with No", o.button == IDNO, std::to_string(o.button));
    R().Check(label, "only the click was notified",
              o.events == "constructed, created, button 7, destroyed", o.events);

    const std::string allowedLabel = std::string("cancel/") + PathName(path);
    allowed[slot] = RunScenario("cancel", path, [](RecordingDialog& d, Outcome& seen, Path) {
      d.ModifyFlags(0, TDF_ALLOW_DIALOG_CANCELLATION | TDF_CAN_BE_MINIMIZED);
      d.Config().dwCommonButtons = TDCBF_YES_BUTTON | TDCBF_NO_BUTTON;
      d.SetMainInstruction(L"Escape may end this one");
      d.mayCloseEarly = true;
      d.steps = {
          Wait(2),
          Do([&seen](HWND dialog) {
            const LONG style = GetWindowLongW(dialog, GWL_STYLE);
            seen.seen["sysmenu"] = (style & WS_SYSMENU) != 0;
            seen.seen["minimize"] = (style & WS_MINIMIZEBOX) != 0;
            PressKey(dialog, VK_ESCAPE);
          }),
          Wait(2),
          Do([&seen](HWND dialog) {
            // Still here: Escape was ignored; cancel by message instead.
            seen.seen["escape ignored"] = 1;
            SendMessageW(dialog, TDM_CLICK_BUTTON, IDCANCEL, 0);
          }),
      };
    });
    const Outcome& a = allowed[slot];
    R().Check(allowedLabel, "ends with 2", a.button == IDCANCEL, std::to_string(a.button));
    R().Check(allowedLabel, "after TDN_BUTTON_CLICKED 2",
              a.events == "constructed, created, button 2, destroyed", a.events);
    R().Check(allowedLabel, "system menu and minimise box",
              Seen(a, "sysmenu") == 1 && Seen(a, "minimize") == 1);
    if (path == Path::kEmulated) {
      R().Check(allowedLabel, "Escape ends it", Seen(a, "escape ignored") != 1);
    } else {
      R().Line(std::string("note cancel/native: Escape ") +
               (Seen(a, "escape ignored") == 1 ? "was ignored by Wine's own dialog"
                                               : "ended the dialog"));
    }
  }
  CompareOutcomes("nocancel", refused[0], refused[1], false);
  CompareOutcomes("cancel", allowed[0], allowed[1], false);
}

void RadioAndVerificationScenario() {
  static const TASKDIALOG_BUTTON radios[] = {{201, L"Red"}, {202, L"Green"}, {203, L"Blue"}};
  Outcome outcomes[2];
  for (const Path path : {Path::kNative, Path::kEmulated}) {
    const std::string label = std::string("radios/") + PathName(path);
    outcomes[path == Path::kNative ? 0 : 1] =
        RunScenario("radios", path, [path](RecordingDialog& d, Outcome& seen, Path) {
          TASKDIALOGCONFIG& c = d.Config();
          c.dwCommonButtons = TDCBF_OK_BUTTON | TDCBF_CANCEL_BUTTON;
          c.pszMainIcon = TD_INFORMATION_ICON;
          c.pszContent = L"Pick a colour. The choice can be changed later in the settings.";
          c.pRadioButtons = radios;
          c.cRadioButtons = 3;
          c.nDefaultRadioButton = 202;
          c.pszVerificationText = L"&Remember my choice";
          c.pszFooter = L"A footer with an icon";
          c.pszFooterIcon = TD_WARNING_ICON;
          d.SetWindowTitle(L"Radio buttons");
          d.SetMainInstruction(L"Which colour?");
          d.steps = {
              Wait(2),
              Do([path, &seen](HWND dialog) {
                Screenshot(dialog, std::string("radios-") + PathName(path));
                if (path == Path::kEmulated)
                  CheckSizesAtTheDpi("radios/emulated", dialog, L"Which colour?");
                const Pixels footer =
                    CapturePixels(FindChildByText(dialog, L"A footer with an icon"));
                seen.seen["footer look"] =
                    footer.width > 0 &&
                    footer.At(footer.width - 1, footer.height - 1) == colour::kBand &&
                    footer.Has(GetSysColor(COLOR_BTNTEXT), 0, 0, footer.width, footer.height);
                HWND green = ButtonControl(dialog, 202, L"Green");
                seen.seen["default ticked"] =
                    green != nullptr && SendMessageW(green, BM_GETCHECK, 0, 0) == BST_CHECKED;
                SendMessageW(dialog, TDM_CLICK_RADIO_BUTTON, 203, 0);
                HWND blue = ButtonControl(dialog, 203, L"Blue");
                seen.seen["blue ticked"] =
                    blue != nullptr && SendMessageW(blue, BM_GETCHECK, 0, 0) == BST_CHECKED;
                seen.seen["green cleared"] =
                    green != nullptr && SendMessageW(green, BM_GETCHECK, 0, 0) == BST_UNCHECKED;
              }),
              Do([](HWND dialog) { Click(ButtonControl(dialog, 201, L"Red")); }),
              Do([](HWND dialog) { SendMessageW(dialog, TDM_CLICK_VERIFICATION, 1, 0); }),
              Do([](HWND dialog) { Click(FindChildByText(dialog, L"&Remember my choice")); }),
              Do([](HWND dialog) { Click(FindChildByText(dialog, L"&Remember my choice")); }),
              Do([](HWND dialog) { SendMessageW(dialog, TDM_CLICK_BUTTON, IDOK, 0); }),
          };
        });
    const Outcome& o = outcomes[path == Path::kNative ? 0 : 1];
    R().Check(label, "the default radio button is ticked", Seen(o, "default ticked") == 1);
    if (path == Path::kEmulated)
      R().Check(label, "the footer's text on the band colour", Seen(o, "footer look") == 1);
    R().Check(label, "TDM_CLICK_RADIO_BUTTON ticks one and clears the others",
              Seen(o, "blue ticked") == 1 && Seen(o, "green cleared") == 1);
    R().Check(label, "results", o.button == IDOK && o.radio == 201 && o.verification,
              std::to_string(o.button) + " " + std::to_string(o.radio) + " " +
                  std::to_string(o.verification));
    if (path == Path::kEmulated) {
      R().Check(label, "notifications of clicks only, not of messages",
                o.events == "constructed, created, radio 201, verification 0, verification 1, "
                            "button 1, destroyed",
                o.events);
    } else {
      // Wine's own dialog also notifies the messages and the default radio
      // button; the clicks' notifications come in the same order.
      R().Check(label, "the clicks' notifications in order",
                o.events.find("radio 201, verification 1, verification 0, verification 1, "
                              "button 1, destroyed") != std::string::npos,
                o.events);
    }
  }
  CompareOutcomes("radios", outcomes[0], outcomes[1], true, false);

  // Nothing ticked at closing.
  const Outcome none = RunScenario("noradio", Path::kEmulated, [](RecordingDialog& d, Outcome&, Path) {
    d.ModifyFlags(0, TDF_NO_DEFAULT_RADIO_BUTTON);
    d.Config().pRadioButtons = radios;
    d.Config().cRadioButtons = 3;
    d.steps = {Wait(2), Do([](HWND dialog) { SendMessageW(dialog, TDM_CLICK_BUTTON, IDOK, 0); })};
  });
  R().Check("noradio/emulated", "no radio button ticked gives -1", none.radio == -1,
            std::to_string(none.radio));
}

void KeepOpenScenario() {
  static const TASKDIALOG_BUTTON buttons[] = {{100, L"Later"}, {101, L"Done"}};
  {
    RecordingDialog early;
    early.SetDefaultButton(101);
    early.SetButtons(buttons, 2, 0);
    R().Check("keepopen", "SetButtons without a default keeps the one set before",
              early.Config().nDefaultButton == 101, std::to_string(early.Config().nDefaultButton));
  }
  Outcome outcomes[2];
  for (const Path path : {Path::kNative, Path::kEmulated}) {
    const std::string label = std::string("keepopen/") + PathName(path);
    outcomes[path == Path::kNative ? 0 : 1] =
        RunScenario("keepopen", path, [](RecordingDialog& d, Outcome& seen, Path) {
          d.SetButtons(buttons, 2, 101);
          d.SetMainInstruction(L"The first click is refused");
          d.keepOpen = 1;
          d.steps = {
              Wait(2),
              Do([&seen](HWND dialog) {
                seen.seen["default"] = (GetWindowLongW(GetDlgItem(dialog, 101), GWL_STYLE) &
                                        BS_DEFPUSHBUTTON) != 0;
                SendMessageW(dialog, TDM_CLICK_BUTTON, 100, 0);
              }),
              Wait(1),
              Do([&seen](HWND dialog) {
                seen.seen["open"] = IsOpen(dialog);
                SendMessageW(dialog, TDM_CLICK_BUTTON, 101, 0);
              }),
          };
        });
    const Outcome& o = outcomes[path == Path::kNative ? 0 : 1];
    R().Check(label, "an answer of 1 keeps it open", Seen(o, "open") == 1);
    R().Check(label, "the second click ends it", o.button == 101, std::to_string(o.button));
    R().Check(label, "both clicks notified",
              o.events == "constructed, created, button 100, button 101, destroyed", o.events);
    if (path == Path::kEmulated)
      R().Check(label, "the default button named by SetButtons", Seen(o, "default") == 1);
  }
  CompareOutcomes("keepopen", outcomes[0], outcomes[1], false);
}

namespace {

// Ends the setup sheet's question, once it shows, as `g_questionEnd` says:
// a click on a command link, or EndDialog with a result of the test's.
int g_questionEnd = 0;
bool g_questionLink = false;
bool g_questionSeen = false;
void CALLBACK EndQuestion(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND question = FindWindowW(nullptr, L"Required field not Mapped");
  if (question == nullptr || !IsWindowVisible(question)) return;
  KillTimer(nullptr, timer);
  g_questionSeen = true;
  if (g_questionLink) {
    SendMessageW(question, TDM_CLICK_BUTTON, static_cast<WPARAM>(g_questionEnd), 0);
  } else {
    EndDialog(question, g_questionEnd);
  }
}

}  // namespace

// The setup sheet's required-field question through its own prompt: only
// the second command link ignores the requirement; closed any other way,
// the administrator goes back to map the fields.
void RequiredFieldPromptScenario() {
  const RequiredFieldTexts texts{u"Required field not Mapped", u"Fields are not mapped.",
                                 u"Map Required Fields\nReturn and map them.",
                                 u"Ignore Requirement\nClose immediately."};
  const auto ask = ui::TaskDialogRequiredFieldPrompt();
  const struct {
    const char* how;
    int end;
    bool link;
    int answer;
  } cases[] = {
      {"link 542", 542, true, kAnswerIgnoreRequirement},
      {"link 541", 541, true, kAnswerMapFields},
      {"ended with IDCANCEL", IDCANCEL, false, kAnswerMapFields},
      {"ended with 0", 0, false, kAnswerMapFields},
  };
  for (const auto& c : cases) {
    g_questionEnd = c.end;
    g_questionLink = c.link;
    g_questionSeen = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, &EndQuestion);
    const int answer = ask(nullptr, texts);
    KillTimer(nullptr, timer);
    R().Check("prompt", std::string(c.how) + " answers " + std::to_string(c.answer),
              g_questionSeen && answer == c.answer,
              std::to_string(answer) + (g_questionSeen ? "" : ", never shown"));
  }
}

}  // namespace mirdane::taskdialog::wine_test
