// Scenarios: task dialog messages on the progress bar and the texts,
// hyperlinks, the owner with help, the command links' images, and handlers
// that throw.
#include <cstdio>
#include <cstdlib>
#include <new>
#include <stdexcept>

#include "ui/taskdialog/task_dialog_constants.h"
#include "ui/taskdialog/win32/application_frame.h"
#include "ui/dialog_template.h"
#include "ui/taskdialog/win32/task_dialog.h"
#include "tests/wine/taskdialog/scenarios.h"
#include "win32/window.h"

namespace mirdane::taskdialog::wine_test {
namespace {

Report& R() { return Report::Get(); }

// The runs of rows [top, bottom) that hold, within columns [left, right),
// a pixel other than `background`: each line of text is one run.
std::vector<std::pair<int, int>> InkRuns(const Pixels& pixels, COLORREF background, int left,
                                         int top, int right, int bottom) {
  std::vector<std::pair<int, int>> runs;
  for (int y = top; y < bottom; ++y) {
    bool ink = false;
    for (int x = left; x < right && !ink; ++x) ink = pixels.At(x, y) != background;
    if (!ink) continue;
    if (!runs.empty() && runs.back().second == y) {
      runs.back().second = y + 1;
    } else {
      runs.emplace_back(y, y + 1);
    }
  }
  return runs;
}

HWND g_owner = nullptr;
HELPINFO g_help{};
int g_helpCount = 0;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_HELP) {
    g_help = *reinterpret_cast<const HELPINFO*>(lParam);
    ++g_helpCount;
    return TRUE;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeOwner() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &OwnerProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"TaskDialogTestOwner";
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  RegisterClassW(&windowClass);
  HWND owner = CreateWindowExW(0, L"TaskDialogTestOwner", L"Owner", WS_OVERLAPPEDWINDOW, 20, 20,
                               300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ShowWindow(owner, SW_SHOWNORMAL);
  return owner;
}

}  // namespace

void ProgressAndTextScenario() {
  for (const Path path : {Path::kNative, Path::kEmulated}) {
    const std::string label = std::string("progress/") + PathName(path);
    const Outcome o = RunScenario("progress", path, [path](RecordingDialog& d, Outcome& seen, Path) {
      d.ModifyFlags(0, TDF_SHOW_PROGRESS_BAR);
      d.Config().dwCommonButtons = TDCBF_OK_BUTTON | TDCBF_CANCEL_BUTTON;
      d.Config().pszContent = L"Before";
      d.Config().pszFooter = L"Foot text";
      d.SetMainInstruction(L"Progress");
      d.steps = {
          Wait(2),
          Do([&seen, path](HWND dialog) {
            SendMessageW(dialog, TDM_SET_PROGRESS_BAR_RANGE, 0, MAKELPARAM(0, 200));
            seen.seen["pos 1"] = SendMessageW(dialog, TDM_SET_PROGRESS_BAR_POS, 50, 0);
            seen.seen["pos 2"] = SendMessageW(dialog, TDM_SET_PROGRESS_BAR_POS, 120, 0);
            HWND bar = FindChildByClass(dialog, PROGRESS_CLASSW);
            seen.seen["bar pos"] = bar != nullptr ? SendMessageW(bar, PBM_GETPOS, 0, 0) : -1;
            seen.seen["set content"] =
                SendMessageW(dialog, TDM_SET_ELEMENT_TEXT, TDE_CONTENT,
                             reinterpret_cast<LPARAM>(L"Changed content"));
            SendMessageW(dialog, TDM_UPDATE_ELEMENT_TEXT, TDE_FOOTER,
                         reinterpret_cast<LPARAM>(L"New footer"));
            seen.seen["content shown"] = FindChildByText(dialog, L"Changed content") != nullptr;
            seen.seen["footer shown"] = FindChildByText(dialog, L"New footer") != nullptr;
            seen.seen["set missing"] = SendMessageW(
                dialog, TDM_SET_ELEMENT_TEXT, TDE_EXPANDED_INFORMATION,
                reinterpret_cast<LPARAM>(L"none"));
            SendMessageW(dialog, TDM_UPDATE_ICON, TDIE_ICON_MAIN,
                         reinterpret_cast<LPARAM>(TD_ERROR_ICON));
            SendMessageW(dialog, TDM_ENABLE_BUTTON, IDOK, 0);
            seen.seen["ok disabled"] = !IsWindowEnabled(GetDlgItem(dialog, IDOK));
            Screenshot(dialog, std::string("progress-") + PathName(path));
            SendMessageW(dialog, TDM_SET_MARQUEE_PROGRESS_BAR, 1, 0);
            seen.seen["marquee"] =
                bar != nullptr && (GetWindowLongW(bar, GWL_STYLE) & PBS_MARQUEE) != 0;
            SendMessageW(dialog, TDM_CLICK_BUTTON, IDCANCEL, 0);
          }),
      };
    });
    R().Check(label, "TDM_SET_PROGRESS_BAR_POS answers the previous position",
              Seen(o, "pos 1") == 0 && Seen(o, "pos 2") == 50 && Seen(o, "bar pos") == 120,
              std::to_string(Seen(o, "pos 1")) + " " + std::to_string(Seen(o, "pos 2")) + " " +
                  std::to_string(Seen(o, "bar pos")));
    R().Check(label, "element texts replaced",
              Seen(o, "content shown") == 1 && Seen(o, "footer shown") == 1);
    R().Check(label, "TDM_ENABLE_BUTTON disables", Seen(o, "ok disabled") == 1);
    R().Check(label, "TDM_SET_MARQUEE_PROGRESS_BAR sets the style", Seen(o, "marquee") == 1);
    R().Check(label, "ended by Cancel", o.button == IDCANCEL, std::to_string(o.button));
    if (path == Path::kEmulated) {
      R().Check(label, "TDM_SET_ELEMENT_TEXT: 1 for a control, 0 without",
                Seen(o, "set content") == 1 && Seen(o, "set missing") == 0);
    }
  }
}

void HyperlinkScenario() {
  static const wchar_t kUrl[] = L"https://example.org/x";
  for (const Path path : {Path::kNative, Path::kEmulated}) {
    const std::string label = std::string("hyperlink/") + PathName(path);
    std::vector<std::wstring> links;
    const Outcome o = RunScenario("hyperlink", path, [&links, path](RecordingDialog& d,
                                                                     Outcome& seen, Path) {
      d.ModifyFlags(0, TDF_ENABLE_HYPERLINKS);
      d.Config().pszContent = L"Visit <A HREF=\"https://example.org/x\">the site</A> now.";
      d.SetMainInstruction(L"A link");
      d.steps = {
          Wait(2),
          Do([&seen, path](HWND dialog) {
            Screenshot(dialog, std::string("hyperlink-") + PathName(path));
            HWND link = FindChildByClass(dialog, WC_LINK);
            seen.seen["syslink"] = link != nullptr;
            if (link == nullptr) return;
            RECT client;
            GetClientRect(link, &client);
            for (int y = 2; y < client.bottom; y += 3) {
              for (int x = 0; x < client.right; x += 3) {
                LHITTESTINFO hit{};
                hit.pt = {x, y};
                if (SendMessageW(link, LM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit))) {
                  const LPARAM at = MAKELPARAM(x, y);
                  PostMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, at);
                  PostMessageW(link, WM_LBUTTONUP, 0, at);
                  seen.seen["hit"] = 1;
                  return;
                }
              }
            }
          }),
          Wait(2),
          Do([&d, &links](HWND dialog) {
            links = d.links;
            SendMessageW(dialog, TDM_CLICK_BUTTON, IDOK, 0);
          }),
      };
    });
    R().Check(label, "the content is a SysLink with a link in it",
              Seen(o, "syslink") == 1 && Seen(o, "hit") == 1);
    R().Check(label, "TDN_HYPERLINK_CLICKED with the address",
              links.size() == 1 && links[0] == kUrl,
              links.empty() ? "none" : Narrow(links[0]));
    R().Check(label, "notifications", o.events == "constructed, created, link, button 1, destroyed",
              o.events);
  }
}

void OwnerAndHelpScenario() {
  g_owner = MakeOwner();
  win32::ApplicationFrame& frame = win32::ApplicationFrame::Current();
  std::string modeless;
  frame.SetModelessListener([&modeless](bool enabled) { modeless += enabled ? "on " : "off "; });
  for (const Path path : {Path::kNative, Path::kEmulated}) {
    const std::string label = std::string("owner/") + PathName(path);
    *frame.PromptContext() = 1234;
    g_helpCount = 0;
    modeless.clear();
    HWND shown = nullptr;
    const Outcome o = RunScenario(
        "owner", path,
        [&shown, &frame](RecordingDialog& d, Outcome& seen, Path) {
          d.SetMainInstruction(L"Owned, with help", 77);
          d.steps = {
              Wait(2),
              Do([&seen, &shown, &frame](HWND dialog) {
                shown = dialog;
                seen.seen["owner disabled"] = !IsWindowEnabled(g_owner);
                seen.seen["owned"] = GetWindow(dialog, GW_OWNER) == g_owner;
                seen.seen["prompt"] = *frame.PromptContext();
                HELPINFO help{sizeof(HELPINFO), HELPINFO_WINDOW, 0, dialog, 0, {0, 0}};
                SendMessageW(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
                RECT window;
                GetWindowRect(dialog, &window);
                MONITORINFO monitor{sizeof(MONITORINFO), {}, {}, 0};
                GetMonitorInfoW(MonitorFromWindow(g_owner, MONITOR_DEFAULTTONEAREST), &monitor);
                const RECT& work = monitor.rcWork;
                seen.seen["centre dx"] = (window.left + window.right) - (work.left + work.right);
                seen.seen["centre dy"] = (window.top + window.bottom) - (work.top + work.bottom);
                SendMessageW(dialog, TDM_CLICK_BUTTON, IDOK, 0);
              }),
          };
        },
        g_owner);
    R().Check(label, "the owner is disabled while it shows", Seen(o, "owner disabled") == 1);
    R().Check(label, "the dialog is owned by the parent", Seen(o, "owned") == 1);
    R().Check(label, "enabled again afterwards", IsWindowEnabled(g_owner) != FALSE);
    R().Check(label, "help prompt context while it shows", Seen(o, "prompt") == 0x30000 + 77,
              std::to_string(Seen(o, "prompt")));
    R().Check(label, "help prompt context restored", *frame.PromptContext() == 1234);
    R().Check(label, "modeless windows switched off and on", modeless == "off on ", modeless);
    R().Check(label, "F1 reaches the owner as WM_HELP from the dialog",
              g_helpCount == 1 && g_help.hItemHandle == shown &&
                  g_help.iContextType == HELPINFO_WINDOW && g_help.cbSize == sizeof(HELPINFO),
              std::to_string(g_helpCount));
    R().Check(label, "notifications", o.events == "constructed, created, help, button 1, destroyed",
              o.events);
    if (path == Path::kEmulated) {
      R().Check(label, "centred in the work area",
                std::abs(Seen(o, "centre dx")) <= 1 && std::abs(Seen(o, "centre dy")) <= 1,
                std::to_string(Seen(o, "centre dx")) + "," + std::to_string(Seen(o, "centre dy")));
    }
  }
  frame.SetModelessListener(nullptr);
  DestroyWindow(g_owner);
  g_owner = nullptr;
}

void CommandLinkImageScenario() {
  static const TASKDIALOG_BUTTON links[] = {{300, L"First choice\nWith a note below it"},
                                            {301, L"Second choice"}};
  for (const Path path : {Path::kNative, Path::kEmulated}) {
    const std::string label = std::string("links/") + PathName(path);
    const Outcome o = RunScenario("links", path, [path](RecordingDialog& d, Outcome& seen, Path) {
      d.ModifyFlags(0, TDF_USE_COMMAND_LINKS);
      d.Config().pszMainIcon = TD_SHIELD_ICON;
      d.SetButtons(links, 2, 0);
      d.SetMainInstruction(L"Command links");
      d.steps = {
          Wait(2),
          Do([&seen, path](HWND dialog) {
            HWND first = GetDlgItem(dialog, 300);
            HWND second = GetDlgItem(dialog, 301);
            auto image = [](HWND button) {
              return reinterpret_cast<HICON>(SendMessageW(button, BM_GETIMAGE, IMAGE_ICON, 0));
            };
            if (path == Path::kEmulated && first != nullptr && second != nullptr) {
              // Whatever the real pointer did before, the links start idle.
              SendMessageW(first, WM_MOUSELEAVE, 0, 0);
              SendMessageW(second, WM_MOUSELEAVE, 0, 0);
              const HICON arrow = image(first);
              SendMessageW(first, WM_MOUSEMOVE, 0, MAKELPARAM(20, 10));
              const HICON hot = image(first);
              Screenshot(dialog, "links-hot-emulated");
              SendMessageW(first, WM_MOUSELEAVE, 0, 0);
              seen.seen["arrow"] = arrow != nullptr;
              seen.seen["hot differs"] = hot != nullptr && hot != arrow;
              seen.seen["back to arrow"] = image(first) == arrow;
              SendMessageW(dialog, TDM_SET_BUTTON_ELEVATION_REQUIRED_STATE, 301, 1);
              const HICON shield = image(second);
              SendMessageW(second, WM_MOUSEMOVE, 0, MAKELPARAM(20, 10));
              seen.seen["shield stays"] = shield != nullptr && shield != arrow &&
                                          image(second) == shield;
              SendMessageW(second, WM_MOUSELEAVE, 0, 0);
              SendMessageW(dialog, TDM_SET_BUTTON_ELEVATION_REQUIRED_STATE, 301, 0);
              seen.seen["arrow again"] = image(second) == arrow;

              // The look, away from the frame, the focus rectangle and the
              // arrow: a title and the note below it, a lone title centred,
              // in the link colours on white.
              const Pixels idle = CapturePixels(first);
              const int right = idle.width - 12;
              const int bottom = idle.height - 5;
              const int textLeft = AtScreenDpi(36);  // right of the arrow
              const auto lines = InkRuns(idle, colour::kContent, textLeft, 5, right, bottom);
              seen.seen["link lines"] = static_cast<long long>(lines.size());
              seen.seen["title first"] = !lines.empty() && lines[0].first >= 9 &&
                                         lines[0].second < idle.height / 2;
              seen.seen["title colour"] =
                  !lines.empty() &&
                  idle.Has(colour::kLinkText, textLeft, lines[0].first, right, lines[0].second);
              seen.seen["white"] =
                  idle.width > 0 && idle.At(5, idle.height / 2) == colour::kContent;
              const Pixels lone = CapturePixels(second);
              const auto loneLines =
                  InkRuns(lone, colour::kContent, textLeft, 5, lone.width - 12, lone.height - 5);
              seen.seen["lone off centre"] =
                  loneLines.size() == 1
                      ? std::abs(loneLines[0].first + loneLines[0].second - lone.height)
                      : 99;
              SendMessageW(first, WM_MOUSEMOVE, 0, MAKELPARAM(20, 10));
              const Pixels hotLook = CapturePixels(first);
              SendMessageW(first, WM_MOUSELEAVE, 0, 0);
              seen.seen["hot colour"] =
                  hotLook.Has(colour::kLinkTextHot, textLeft, 5, right, bottom) &&
                  !hotLook.Has(colour::kLinkText, textLeft, 5, right, bottom);
              const Pixels heading = CapturePixels(FindChildByText(dialog, L"Command links"));
              seen.seen["instruction colours"] =
                  heading.width > 0 &&
                  heading.Has(colour::kMainInstruction, 0, 0, heading.width, heading.height) &&
                  heading.At(heading.width - 1, heading.height - 1) == colour::kContent;
            }
            Screenshot(dialog, std::string("links-") + PathName(path));
            if (first != nullptr) Click(first);
            else SendMessageW(dialog, TDM_CLICK_BUTTON, 300, 0);
          }),
      };
    });
    R().Check(label, "the first link ends it", o.button == 300, std::to_string(o.button));
    if (path == Path::kEmulated) {
      R().Check(label, "links start with the arrow", Seen(o, "arrow") == 1);
      R().Check(label, "the arrow turns hot under the pointer and back",
                Seen(o, "hot differs") == 1 && Seen(o, "back to arrow") == 1);
      R().Check(label, "an elevation shield stays while hovering", Seen(o, "shield stays") == 1);
      R().Check(label, "without elevation the arrow again", Seen(o, "arrow again") == 1);
      R().Check(label, "a link with a note draws two lines of text", Seen(o, "link lines") == 2,
                std::to_string(Seen(o, "link lines")));
      R().Check(label, "the title on top, in the link colour",
                Seen(o, "title first") == 1 && Seen(o, "title colour") == 1);
      R().Check(label, "a link is white", Seen(o, "white") == 1);
      R().Check(label, "a title without a note is centred", Seen(o, "lone off centre") <= 2,
                std::to_string(Seen(o, "lone off centre")));
      R().Check(label, "under the pointer the text takes the hot colour",
                Seen(o, "hot colour") == 1);
      R().Check(label, "the main instruction in its colour on white",
                Seen(o, "instruction colours") == 1);
    }
  }
}

namespace {

// A caller's handlers that throw: at the click, or as soon as the dialog is created.
class ThrowingDialog : public RecordingDialog {
 public:
  bool OnButtonClicked(int id) override {
    RecordingDialog::OnButtonClicked(id);
    throw std::runtime_error("thrown by the caller's click handler");
  }
  void OnCreated() override {
    RecordingDialog::OnCreated();
    if (outOfMemoryAtCreation) throw std::bad_alloc();
  }
  bool outOfMemoryAtCreation = false;
};

// A raw callback, as any caller of the emulation may give one.
HWND g_thrownFrom = nullptr;
::HRESULT CALLBACK ThrowingCallback(HWND window, UINT notification, WPARAM, LPARAM, LONG_PTR) {
  if (notification != TDN_CREATED) return S_OK;
  g_thrownFrom = window;
  throw std::runtime_error("thrown by a raw callback");
}

// A modal dialog of the window framework with one subclassed static (100)
// whose handler throws, and a button (101) whose click reaches the dialog
// through a typed command entry.
namespace framework = ::mirdane::win32;

class ThrowingStatic : public framework::Window<ThrowingStatic, framework::SubclassWindow> {
 public:
  static const framework::MessageMap<ThrowingStatic> kMessages;
  LRESULT OnApp(WPARAM, LPARAM) { throw std::bad_alloc(); }
};
const framework::MessageMap<ThrowingStatic> ThrowingStatic::kMessages = {
    framework::OnMessage(WM_APP, &ThrowingStatic::OnApp)};

class FrameworkDialog : public framework::Window<FrameworkDialog, framework::DialogWindow> {
 public:
  static const framework::MessageMap<FrameworkDialog> kMessages;
  LRESULT OnInitDialog(WPARAM, LPARAM) {
    attached = control.Attach(GetDlgItem(hwnd_, 100));
    // A double click is another code: only the click counts.
    PostMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(101, BN_DOUBLECLICKED), 0);
    PostMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(101, BN_CLICKED), 0);
    return TRUE;
  }
  void OnClick() {
    ++clicks;
    PostMessageW(control.hwnd(), WM_APP, 0, 0);
  }
  ThrowingStatic control;
  bool attached = false;
  int clicks = 0;
};
const framework::MessageMap<FrameworkDialog> FrameworkDialog::kMessages = {
    framework::OnMessage(WM_INITDIALOG, &FrameworkDialog::OnInitDialog),
    framework::OnCommand(101, BN_CLICKED, &FrameworkDialog::OnClick)};

std::string Hex(::HRESULT value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
  return text;
}

}  // namespace

void ThrowingHandlerScenario() {
  // A click handler that throws: the dialog ends, with nothing chosen.
  for (const Path path : {Path::kNative, Path::kEmulated}) {
    const std::string label = std::string("throwing/") + PathName(path);
    ThrowingDialog d;
    d.Config().dwCommonButtons = TDCBF_OK_BUTTON;
    d.SetMainInstruction(L"The click handler throws");
    d.steps = {Wait(2), Do([](HWND dialog) { SendMessageW(dialog, TDM_CLICK_BUTTON, IDOK, 0); })};
    const ::HRESULT result = path == Path::kNative ? d.ShowNative() : d.ShowEmulated();
    R().Check(label, "an exception in a handler is E_UNEXPECTED", result == E_UNEXPECTED, Hex(result));
    R().Check(label, "nothing is selected", d.GetSelectedButton() == 0,
              std::to_string(d.GetSelectedButton()));
    R().Check(label, "the dialog was clicked and went away",
              JoinEvents(d.events) == "constructed, created, button 1, destroyed" && !d.timedOut,
              JoinEvents(d.events));
  }
  // Out of memory in a handler through DoModal: one dialog, not a second by the emulation.
  {
    ThrowingDialog d;
    d.outOfMemoryAtCreation = true;
    d.SetMainInstruction(L"Out of memory at creation");
    const ::HRESULT result = d.DoModal();
    R().Check("throwing/DoModal", "std::bad_alloc is E_OUTOFMEMORY", result == E_OUTOFMEMORY,
              Hex(result));
    R().Check("throwing/DoModal", "shown once, and ended", JoinEvents(d.events) ==
              "constructed, created, destroyed", JoinEvents(d.events));
  }
  // The emulation's own dialog procedure, under a callback that is not the front end's.
  {
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof config;
    config.hInstance = GetModuleHandleW(nullptr);
    config.pszMainInstruction = L"A raw callback throws";
    config.dwCommonButtons = TDCBF_OK_BUTTON;
    config.pfCallback = &ThrowingCallback;
    int button = -7;
    g_thrownFrom = nullptr;
    win32::CXTaskDialog dialog;
    const ::HRESULT result = dialog.Run(&config, &button, nullptr, nullptr);
    R().Check("throwing/emulation", "the dialog procedure ends the dialog with E_UNEXPECTED",
              result == E_UNEXPECTED && g_thrownFrom != nullptr && !IsWindow(g_thrownFrom),
              Hex(result));
    R().Check("throwing/emulation", "the button is left as it was", button == -7,
              std::to_string(button));
  }
  // A control's handler that throws ends the modal dialog around it.
  {
    ui::DialogTemplate dialogTemplate;
    dialogTemplate.style = ui::style::kDialog;
    dialogTemplate.cx = 120;
    dialogTemplate.cy = 60;
    dialogTemplate.title = u"Framework";
    ui::DialogItem text;
    text.kind = ui::ControlKind::kStatic;
    text.style = ui::KindStyle(text.kind);
    text.id = 100;
    text.cx = 100;
    text.cy = 10;
    text.text = u"throws";
    ui::DialogItem click = text;
    click.kind = ui::ControlKind::kButton;
    click.style = ui::KindStyle(click.kind);
    click.id = 101;
    click.y = 20;
    click.text = u"Click";
    dialogTemplate.items = {text, click};
    const std::vector<std::uint8_t> bytes = ui::SerializeTemplate(dialogTemplate);
    FrameworkDialog dialog;
    const INT_PTR ended = dialog.RunModalIndirect(
        GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(bytes.data()), nullptr);
    R().Check("throwing/control", "the control's failure ends the dialog: E_OUTOFMEMORY, IDCANCEL",
              dialog.attached && ended == IDCANCEL && dialog.failure() == E_OUTOFMEMORY,
              std::to_string(ended) + " " + Hex(dialog.failure()));
    R().Check("throwing/control", "the typed command entry took the click and not the double click",
              dialog.clicks == 1, std::to_string(dialog.clicks));
  }
}

}  // namespace mirdane::taskdialog::wine_test
