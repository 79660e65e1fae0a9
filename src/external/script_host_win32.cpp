#include "external/script_host_win32.h"

#include <oleauto.h>

#include "platform/text_win32.h"

namespace {

const CLSID kScriptControlClass = {0x0E59F1D5, 0x1FBE, 0x11D0, {0x8F, 0xF2, 0x00, 0xA0, 0xD1, 0x00, 0x38, 0xBC}};
const IID kScriptControlInterface = {0x0E59F1D3, 0x1FBE, 0x11D0, {0x8F, 0xF2, 0x00, 0xA0, 0xD1, 0x00, 0x38, 0xBC}};

// Empties a value, freeing what it held.
void Clear(VARIANT& value) {
  if (const auto clear = Late<decltype(&VariantClear)>("oleaut32.dll", "VariantClear")) clear(&value);
}

// A wide string of the automation kind, from 8-bit text.
Bstr AutomationText(const std::string& text) {
  const std::wstring wide = WideText(text);
  const auto allocate = Late<decltype(&SysAllocStringLen)>("oleaut32.dll", "SysAllocStringLen");
  return Bstr(allocate != nullptr ? allocate(wide.data(), static_cast<UINT>(wide.size())) : nullptr);
}

// Calls the control by its published names through its dispatch interface.
class ScriptControl {
 public:
  explicit ScriptControl(IDispatch* control) : control_(control) {}

  bool Valid() const { return control_.Valid(); }
  void Put(const wchar_t* name, VARIANT value) { Invoke(name, DISPATCH_PROPERTYPUT, &value, nullptr); }
  // False when the call failed, as a script that does not compile or run makes it.
  bool Call(const wchar_t* name, VARIANT* argument = nullptr) {
    return SUCCEEDED(Invoke(name, DISPATCH_METHOD, argument, nullptr));
  }
  // A property's value, which the caller clears.
  VARIANT Get(const wchar_t* name) {
    VARIANT result{};
    Invoke(name, DISPATCH_PROPERTYGET, nullptr, &result);
    return result;
  }

 private:
  HRESULT Invoke(const wchar_t* name, WORD kind, VARIANT* argument, VARIANT* kept) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = 0;
    HRESULT done = control_.Get()->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(done)) return done;
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS parameters{argument, kind == DISPATCH_PROPERTYPUT ? &put : nullptr, argument != nullptr ? 1u : 0u,
                          kind == DISPATCH_PROPERTYPUT ? 1u : 0u};
    VARIANT result{};
    EXCEPINFO error{};
    done = control_.Get()->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &parameters, &result, &error, nullptr);
    if (kept != nullptr) {
      *kept = result;
    } else {
      Clear(result);
    }
    // The error's texts are the caller's to free.
    const Bstr source(error.bstrSource), description(error.bstrDescription), help(error.bstrHelpFile);
    return done;
  }

  ComReference<IDispatch> control_;
};

VARIANT TextValue(const Bstr& text) {
  VARIANT value{};
  value.vt = VT_BSTR;
  value.bstrVal = text.Get();
  return value;
}

VARIANT NumberValue(LONG number, VARTYPE type = VT_I4) {
  VARIANT value{};
  value.vt = type;
  value.lVal = number;
  return value;
}

// Where the control's Error object says a script failed.
void ReadError(ScriptControl& control, ScriptOutcome& outcome) {
  outcome.failed = true;
  VARIANT error = control.Get(L"Error");
  if (error.vt == VT_DISPATCH && error.pdispVal != nullptr) {
    error.pdispVal->AddRef();
    ScriptControl details(error.pdispVal);
    VARIANT line = details.Get(L"Line");
    if (line.vt == VT_I4) outcome.line = line.lVal;
    Clear(line);
  }
  Clear(error);
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
    // it is the thread's from now on, to free once the script returns.
    shared_->orphaned = true;
    shared_->quit = true;
    SetEvent(shared_->wake.Get());
    shared_.release();
    return;
  }
  if (!thread_.Valid()) return;
  shared_->quit = true;
  SetEvent(shared_->wake.Get());
  WaitForSingleObject(thread_.Get(), INFINITE);
}

ScriptOutcome ScriptHost::Run(const std::string& language, const std::string& text, bool allow_ui, DWORD timeout_ms) {
  if (!Available() || abandoned_) return ScriptOutcome();
  shared_->language = language;
  shared_->text = text;
  shared_->allow_ui = allow_ui;
  shared_->outcome = ScriptOutcome();
  SetEvent(shared_->wake.Get());
  const DWORD wait = timeout_ms != 0 && timeout_ms < wait_ms_ ? timeout_ms : wait_ms_;
  abandoned_ = WaitForSingleObject(shared_->done.Get(), wait) != WAIT_OBJECT_0;
  if (abandoned_) {
    ScriptOutcome outlived;
    outlived.outlived = true;
    return outlived;
  }
  shared_->outcome.ran = true;
  return shared_->outcome;
}

DWORD WINAPI ScriptHost::Serve(void* data) {
  Shared& shared = *static_cast<Shared*>(data);
  const auto enter = Late<decltype(&CoInitialize)>("ole32.dll", "CoInitialize");
  const auto create = Late<decltype(&CoCreateInstance)>("ole32.dll", "CoCreateInstance");
  const ComApartment com(enter != nullptr && SUCCEEDED(enter(nullptr)));
  {
    IDispatch* created = nullptr;
    if (create != nullptr) {
      create(kScriptControlClass, nullptr, CLSCTX_INPROC_SERVER, kScriptControlInterface,
             reinterpret_cast<void**>(&created));
    }
    ScriptControl control(created);
    if (control.Valid()) {
      control.Call(L"Reset");
      const Bstr vbscript = AutomationText("VBScript");
      control.Put(L"Language", TextValue(vbscript));
    }
    shared.available = control.Valid();
    SetEvent(shared.done.Get());

    for (;;) {
      WaitForSingleObject(shared.wake.Get(), INFINITE);
      if (shared.quit) break;
      const Bstr language = AutomationText(shared.language);
      const Bstr code = AutomationText(shared.text);
      control.Put(L"Language", TextValue(language));
      control.Put(L"AllowUI", NumberValue(shared.allow_ui ? VARIANT_TRUE : VARIANT_FALSE, VT_BOOL));
      control.Put(L"Timeout", NumberValue(static_cast<LONG>(kScriptControlTimeoutMs)));
      VARIANT argument = TextValue(code);
      if (!control.Call(L"AddCode", &argument)) ReadError(control, shared.outcome);
      SetEvent(shared.done.Get());
    }
  }
  // Read after the wake that the host set last: nothing else touches it now.
  if (shared.orphaned) delete &shared;
  return 0;
}
