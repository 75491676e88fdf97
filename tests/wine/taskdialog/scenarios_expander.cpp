// Scenarios: the expander in the content area and in the footer, and the
// callback timer.
#include "tests/wine/taskdialog/scenarios.h"

namespace mirdane::taskdialog::wine_test {
namespace {

Report& R() { return Report::Get(); }

// Waits until the window's height stops changing and differs from `from`
// (or equals it when `back` is set).
Step WaitForHeight(const long long* from, bool back) {
  auto last = std::make_shared<int>(-1);
  return [from, back, last](HWND dialog) {
    const int height = WindowHeight(dialog);
    const bool moved = back ? height == *from : height != *from;
    const bool settled = height == *last && moved;
    *last = height;
    return settled;
  };
}

// The top or bottom of the child showing `text`, in client coordinates; -1 when none does.
long long Edge(HWND dialog, HWND child, bool bottom) {
  if (child == nullptr) return -1;
  RECT rect;
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return bottom ? rect.bottom : rect.top;
}

int BottomFrame(HWND dialog) {
  RECT window;
  RECT client;
  GetWindowRect(dialog, &window);
  GetClientRect(dialog, &client);
  POINT bottom{window.right, window.bottom};
  ScreenToClient(dialog, &bottom);
  return bottom.y - client.bottom;
}

void RunExpander(const std::string& name, bool inFooter) {
  static const wchar_t kExpanded[] = L"Line one\nLine two\nLine three";
  std::string events[2];
  for (const Path path : {Path::kNative, Path::kEmulated}) {
    const std::string label = name + "/" + PathName(path);
    const Outcome o = RunScenario(name, path, [&](RecordingDialog& d, Outcome& seen, Path) {
      TASKDIALOGCONFIG& c = d.Config();
      if (inFooter) {
        d.ModifyFlags(0, TDF_EXPAND_FOOTER_AREA);
        c.pszFooter = L"The footer stays above the details";
      }
      c.dwCommonButtons = TDCBF_OK_BUTTON;
      c.pszContent = L"Body text";
      c.pszExpandedInformation = kExpanded;
      c.pszCollapsedControlText = L"More details";
      c.pszExpandedControlText = L"Fewer details";
      d.SetMainInstruction(L"An expander");
      long long* before = &seen.seen["height before"];
      d.steps = {
          Wait(2),
          Do([&seen, before, label, name, path](HWND dialog) {
            *before = WindowHeight(dialog);
            seen.seen["instruction top"] =
                Edge(dialog, FindChildByText(dialog, L"An expander"), false);
            seen.seen["bottom frame"] = BottomFrame(dialog);
            Screenshot(dialog, name + "-collapsed-" + PathName(path));
            HWND expando = FindChildByText(dialog, L"More details");
            seen.seen["expando found"] = expando != nullptr;
            if (expando != nullptr) Click(expando);
          }),
          WaitForHeight(before, false),
          Do([&seen, name, path](HWND dialog) {
            seen.seen["height expanded"] = WindowHeight(dialog);
            HWND details = FindChildByText(dialog, kExpanded);
            RECT rect{};
            if (details != nullptr) GetWindowRect(details, &rect);
            seen.seen["details height"] = rect.bottom - rect.top;
            seen.seen["details visible"] = details != nullptr && IsWindowVisible(details);
            seen.seen["details top"] = Edge(dialog, details, false);
            seen.seen["details bottom"] = Edge(dialog, details, true);
            seen.seen["body bottom"] = Edge(dialog, FindChildByText(dialog, L"Body text"), true);
            seen.seen["ok top"] = Edge(dialog, GetDlgItem(dialog, IDOK), false);
            seen.seen["ok bottom"] = Edge(dialog, GetDlgItem(dialog, IDOK), true);
            seen.seen["instruction top expanded"] =
                Edge(dialog, FindChildByText(dialog, L"An expander"), false);
            Screenshot(dialog, name + "-expanded-" + PathName(path));
            HWND expando = FindChildByText(dialog, L"Fewer details");
            seen.seen["text switched"] = expando != nullptr;
            if (expando != nullptr) Click(expando);
          }),
          WaitForHeight(before, true),
          Do([&seen](HWND dialog) {
            seen.seen["height after"] = WindowHeight(dialog);
            SendMessageW(dialog, TDM_CLICK_BUTTON, IDOK, 0);
          }),
      };
    });
    events[path == Path::kNative ? 0 : 1] = o.events;
    const long long grown = Seen(o, "height expanded") - Seen(o, "height before");
    R().Check(label, "the expando button shows the expanded text", Seen(o, "text switched") == 1);
    R().Check(label, "the details show when expanded", Seen(o, "details visible") == 1);
    R().Check(label, "the main instruction stays where it was",
              Seen(o, "instruction top") == Seen(o, "instruction top expanded"));
    if (inFooter) {
      R().Check(label, "the details stand below the buttons",
                Seen(o, "details top") >= Seen(o, "ok bottom"));
    } else {
      R().Check(label, "the details stand between the content and the buttons",
                Seen(o, "details top") >= Seen(o, "body bottom") &&
                    Seen(o, "details bottom") <= Seen(o, "ok top"),
                std::to_string(Seen(o, "body bottom")) + " " +
                    std::to_string(Seen(o, "details top")) + "-" +
                    std::to_string(Seen(o, "details bottom")) + " " +
                    std::to_string(Seen(o, "ok top")));
    }
    R().Check(label, "collapsing gives the height back",
              Seen(o, "height after") == Seen(o, "height before"),
              std::to_string(Seen(o, "height after")) + " vs " +
                  std::to_string(Seen(o, "height before")));
    R().Check(label, "notifications",
              o.events == "constructed, created, expando 1, expando 0, button 1, destroyed",
              o.events);
    if (path == Path::kEmulated) {
      // The layout's gaps above and below the text: 15 and 5, or 5 and 5, at 96 DPI.
      const long long expected =
          inFooter ? Seen(o, "details height") + AtScreenDpi(15) + AtScreenDpi(5) -
                         Seen(o, "bottom frame")
                   : Seen(o, "details height") + 2 * AtScreenDpi(5);
      R().Check(label, "the window grows by the expanded text's height and its margin",
                grown == expected,
                "grew " + std::to_string(grown) + ", expected " + std::to_string(expected));
    } else {
      R().Check(label, "the window grows", grown > 0, std::to_string(grown));
    }
  }
  R().Check(name, "same notifications on both", events[0] == events[1],
            events[0] + " / " + events[1]);
}

}  // namespace

void ExpanderScenarios() {
  RunExpander("expander", false);
  RunExpander("footerexpander", true);
}

void TimerScenario() {
  for (const Path path : {Path::kNative, Path::kEmulated}) {
    const std::string label = std::string("timer/") + PathName(path);
    std::vector<DWORD> ticks;
    const Outcome o = RunScenario("timer", path, [&ticks](RecordingDialog& d, Outcome&, Path) {
      d.ModifyFlags(0, TDF_CALLBACK_TIMER);
      d.SetMainInstruction(L"Ticking");
      d.resetAtTick = 3;
      d.onTick = [&d, &ticks](HWND dialog) {
        ticks = d.ticks;
        if (d.ticks.size() == 6) SendMessageW(dialog, TDM_CLICK_BUTTON, IDOK, 0);
      };
    });
    std::string list;
    for (const DWORD tick : ticks) list += std::to_string(tick) + " ";
    R().Line("ticks " + label + ": " + list);
    R().Check(label, "six ticks", ticks.size() >= 6, list);
    if (ticks.size() >= 6) {
      R().Check(label, "about every 200 ms from the start",
                ticks[0] >= 150 && ticks[0] < 2000 && ticks[1] > ticks[0] && ticks[2] > ticks[1],
                list);
      R().Check(label, "an answer of 1 resets the time base", ticks[3] < ticks[2], list);
    }
    R().Check(label, "closed by the click from the tick", o.button == IDOK,
              std::to_string(o.button));
  }
}

}  // namespace mirdane::taskdialog::wine_test
