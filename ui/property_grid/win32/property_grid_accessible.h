// What assistive technology sees of the property grid (MSAA): the grid's
// client object, whose children are the lines on screen. A group's title
// line is a row header (expanded or collapsed, its default action opens or
// closes the group); a row has its name, its value, its description (after
// "Required; " for a required column) and its group as help text.
// The grid answers WM_GETOBJECT with this object and disconnects it when it
// goes; a client holding it afterwards gets CO_E_OBJNOTCONNECTED.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include "win32/com_ptr.h"

namespace mirdane::ui {

class PropertyGrid;

class GridAccessible final : public IAccessible {
 public:
  // The object with one reference, owned by the caller.
  static GridAccessible* Create(PropertyGrid* grid);
  void Disconnect() { grid_ = nullptr; }

  // IUnknown
  ::HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDispatch: clients of MSAA call the vtable; the late-bound path is not offered.
  ::HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  ::HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  ::HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  ::HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override;
  // IAccessible
  ::HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
  ::HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
  ::HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
  ::HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
  ::HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
  ::HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
  ::HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
  ::HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
  ::HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
  ::HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
  ::HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
  ::HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
  ::HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
  ::HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
  ::HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
  ::HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                        VARIANT child) override;
  ::HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
  ::HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
  ::HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
  ::HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
  ::HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

 private:
  explicit GridAccessible(PropertyGrid* grid) : grid_(grid) {}
  ~GridAccessible() = default;

  // A member asked of `child`: `self` answers for the grid itself, `line`
  // for one of its lines; any other child id is an invalid argument.
  template <typename Self, typename Line>
  ::HRESULT ForChild(const VARIANT& child, Self&& self, Line&& line);

  // The system's client object of the grid's window, for the grid itself.
  IAccessible* Standard();

  volatile LONG references_ = 1;
  PropertyGrid* grid_;  // null once the grid is gone
  win32::ComPtr<IAccessible> standard_;
};

}  // namespace mirdane::ui
