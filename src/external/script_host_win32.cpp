#include "external/script_host_win32.h"

#include <oleauto.h>

namespace {

const CLSID kScriptControlClass = {0x0E59F1D5, 0x1FBE, 0x11D0, {0x8F, 0xF2, 0x00, 0xA0, 0xD1, 0x00, 0x38, 0xBC}};
const IID kScriptControlInterface = {0x0E59F1D3, 0x1FBE, 0x11D0, {0x8F, 0xF2, 0x00, 0xA0, 0xD1, 0x00, 0x38, 0xBC}};

// A wide string of the automation kind, from 8-bit text.
Bstr WideText(const std::string& text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  Bstr wide(SysAllocStringLen(nullptr, static_cast<UINT>(length)));
  if (wide.Valid() && length > 0) {
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.Get(), length);
  }
  return wide;
}

// Calls the control by its published names through its dispatch interface.
class ScriptControl {
 public:
  explicit ScriptControl(IDispatch* control) : control_(control) {}

  bool Valid() const { return control_.Valid(); }
  void Put(const wchar_t* name, VARIANT value) { Invoke(name, DISPATCH_PROPERTYPUT, &value); }
  void Call(const wchar_t* name, VARIANT* argument = nullptr) { Invoke(name, DISPATCH_METHOD, argument); }

 private:
  void Invoke(const wchar_t* name, WORD kind, VARIANT* argument) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = 0;
    if (FAILED(control_.Get()->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return;
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS parameters{argument, kind == DISPATCH_PROPERTYPUT ? &put : nullptr, argument != nullptr ? 1u : 0u,
                          kind == DISPATCH_PROPERTYPUT ? 1u : 0u};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO error{};
    control_.Get()->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &parameters, &result, &error, nullptr);
    VariantClear(&result);
    // The error's texts are the caller's to free.
    const Bstr source(error.bstrSource), description(error.bstrDescription), help(error.bstrHelpFile);
  }

  ComReference<IDispatch> control_;
};

VARIANT TextValue(const Bstr& text) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_BSTR;
  value.bstrVal = text.Get();
  return value;
}

VARIANT NumberValue(LONG number) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_I4;
  value.lVal = number;
  return value;
}

}  // namespace

ScriptHost::ScriptHost(DWORD wait_ms) : wait_ms_(wait_ms), shared_(new Shared) {
  shared_->wake.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  shared_->done.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  if (!shared_->wake.Valid() || !shared_->done.Valid()) return;
  thread_.Reset(CreateThread(nullptr, 0, Serve, shared_.get(), 0, nullptr));
  if (thread_.Valid()) WaitForSingleObject(shared_->done.Get(), INFINITE);
}

ScriptHost::~ScriptHost() {
  if (abandoned_) {
    // The thread may still return from the script and use what it shares:
    // that stays until the process ends, which ends the thread too.
    shared_.release();
    return;
  }
  if (!thread_.Valid()) return;
  shared_->quit = true;
  SetEvent(shared_->wake.Get());
  WaitForSingleObject(thread_.Get(), INFINITE);
}

bool ScriptHost::Run(const std::string& language, const std::string& text) {
  if (!Available() || abandoned_) return false;
  shared_->language = language;
  shared_->text = text;
  SetEvent(shared_->wake.Get());
  abandoned_ = WaitForSingleObject(shared_->done.Get(), wait_ms_) != WAIT_OBJECT_0;
  return !abandoned_;
}

DWORD WINAPI ScriptHost::Serve(void* data) {
  Shared& shared = *static_cast<Shared*>(data);
  const ComApartment com(SUCCEEDED(CoInitialize(nullptr)));
  {
    IDispatch* created = nullptr;
    CoCreateInstance(kScriptControlClass, nullptr, CLSCTX_INPROC_SERVER, kScriptControlInterface,
                     reinterpret_cast<void**>(&created));
    ScriptControl control(created);
    if (control.Valid()) {
      control.Call(L"Reset");
      const Bstr vbscript = WideText("VBScript");
      control.Put(L"Language", TextValue(vbscript));
    }
    shared.available = control.Valid();
    SetEvent(shared.done.Get());

    for (;;) {
      WaitForSingleObject(shared.wake.Get(), INFINITE);
      if (shared.quit) break;
      const Bstr language = WideText(shared.language);
      const Bstr code = WideText(shared.text);
      control.Put(L"Language", TextValue(language));
      control.Put(L"Timeout", NumberValue(static_cast<LONG>(kTimeoutMs)));
      VARIANT argument = TextValue(code);
      control.Call(L"AddCode", &argument);
      SetEvent(shared.done.Get());
    }
  }
  return 0;
}
