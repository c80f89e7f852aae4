// Accessible names and roles for our controls.
//
// Where the system offers it, a name or role is an annotation of the control's own accessible
// object (IAccPropServices): the control keeps the object Windows gives it, with all it can
// do (an edit control's text navigation, a link's default action), and only the annotated
// property reads differently.
//
// Where the annotation service is missing or answers E_NOTIMPL (Wine 8 does), the control gets
// a comctl32 subclass whose reference data points at its AccessibleState. When an MSAA client
// (a screen reader) asks the control for its client object, we build Windows' standard
// accessible object for it and hand out a thin wrapper that answers accName and accRole from
// our state and passes everything else through.
//
// The state is shared between the window and any wrappers a client still holds: renaming a
// control reaches objects handed out earlier, and a wrapper that outlives its control stays
// valid. The window drops its share on WM_NCDESTROY, the wrapper on its last Release.
//
// Both ways go through COM, so the thread that owns the controls must have initialized COM
// (as a single-threaded apartment). Where it has not, the controls keep answering with the
// standard object: their window text and usual role.
//
// oleacc is not one of the DLLs Windows protects, so its functions are loaded from the
// system folder when first needed (see SystemLibrary.h), never imported.
#include "core/win32/Accessibility.h"

#include "core/win32/Handles.h"
#include "core/win32/SystemLibrary.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <oleacc.h>

#include <memory>
#include <new>
#include <string>
#include <utility>

// Interface ids are taken with __uuidof where the headers offer it: mingw-w64's liboleacc.a
// (which a test program may link) also defines a symbol IID_IAccessible, as an import thunk,
// and whether the linker picks it or the real GUID from libuuid depends on the order of the
// libraries.

#ifdef _MSC_VER
#pragma comment(lib, "ole32.lib")
#pragma comment(lib, "oleaut32.lib")
#pragma comment(lib, "uuid.lib")
#pragma comment(lib, "comctl32.lib")
#endif

namespace hexalune::win32 {
namespace {

// The service an AnnotationBatch holds, and how many batches are open; the UI thread's only.
IAccPropServices* g_batchService = nullptr;
int g_batchDepth = 0;

// The annotation service, or null where the system has none (or COM is not ready).
ComPtr<IAccPropServices> AnnotationService() {
    if (g_batchService) {
        g_batchService->AddRef();
        return ComPtr<IAccPropServices>(g_batchService);
    }
    ComPtr<IAccPropServices> service;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                service.ReceiveVoid())))
        service.Reset();
    return service;
}

// Annotates the control's own object through the system's service: S_OK once it is;
// E_NOTIMPL where the system cannot (no service, or one that does not implement it), and
// our wrapper must describe the control instead; any other failure leaves the control as
// it is.
template <typename Annotate>
HRESULT AnnotateOwnObject(Annotate annotate) {
    const ComPtr<IAccPropServices> service = AnnotationService();
    return service ? annotate(*service.Get()) : E_NOTIMPL;
}

// The oleacc functions the wrapper needs, loaded when a client first asks for one.
struct Oleacc {
    Library library = LoadSystemLibrary(L"oleacc.dll");
    decltype(&CreateStdAccessibleObject) createStandardObject =
        ModuleFunction<decltype(&CreateStdAccessibleObject)>(library.Get(), "CreateStdAccessibleObject");
    decltype(&LresultFromObject) resultFromObject =
        ModuleFunction<decltype(&LresultFromObject)>(library.Get(), "LresultFromObject");
};

const Oleacc& OleaccFunctions() {
    static const Oleacc functions;
    return functions;
}

// What we tell screen readers about one control. Written on the control's thread, read by
// wrappers on whichever thread COM delivers a client's call on, hence the lock.
class AccessibleState {
public:
    AccessibleState() { InitializeSRWLock(&lock_); }
    AccessibleState(const AccessibleState&) = delete;
    AccessibleState& operator=(const AccessibleState&) = delete;

    void SetName(const std::wstring& name) {
        std::wstring copy = name;  // allocate before taking the lock
        AcquireSRWLockExclusive(&lock_);
        name_.swap(copy);
        hasName_ = true;
        ReleaseSRWLockExclusive(&lock_);
    }

    // S_OK with a copy of our name, S_FALSE when the control has none of ours.
    HRESULT CopyName(BSTR* out) const {
        *out = nullptr;
        HRESULT result = S_FALSE;
        AcquireSRWLockShared(&lock_);
        if (hasName_) {
            *out = SysAllocStringLen(name_.data(), static_cast<UINT>(name_.size()));
            result = *out ? S_OK : E_OUTOFMEMORY;
        }
        ReleaseSRWLockShared(&lock_);
        return result;
    }

    bool HasName() const {
        AcquireSRWLockShared(&lock_);
        const bool hasName = hasName_;
        ReleaseSRWLockShared(&lock_);
        return hasName;
    }

    void MarkAsLink() {
        AcquireSRWLockExclusive(&lock_);
        isLink_ = true;
        ReleaseSRWLockExclusive(&lock_);
    }

    bool IsLink() const {
        AcquireSRWLockShared(&lock_);
        const bool isLink = isLink_;
        ReleaseSRWLockShared(&lock_);
        return isLink;
    }

private:
    mutable SRWLOCK lock_;
    std::wstring name_;
    bool hasName_ = false;
    bool isLink_ = false;
};

using SharedState = std::shared_ptr<AccessibleState>;

// Child ids as clients send them: VT_I4 mostly, sometimes VT_I2 or by reference, and an
// empty or missing argument means the object itself (as the standard objects read them).
bool IsSelf(const VARIANT& child) {
    const VARIANT* value = &child;
    if (value->vt == (VT_VARIANT | VT_BYREF)) {
        if (!value->pvarVal) return false;
        value = value->pvarVal;
    }
    switch (value->vt) {
    case VT_I4: return value->lVal == CHILDID_SELF;
    case VT_I2: return value->iVal == CHILDID_SELF;
    case VT_EMPTY: return true;
    case VT_ERROR: return value->scode == DISP_E_PARAMNOTFOUND;
    default: return false;
    }
}

VARIANT SelfId() {
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return self;
}

// The standard client object of a control with our name and role put in front of it.
class DescribedAccessible final : public IAccessible {
public:
    // Takes over the reference to `inner`; starts with one reference owned by the caller.
    DescribedAccessible(ComPtr<IAccessible> inner, SharedState state) noexcept
        : inner_(std::move(inner)), state_(std::move(state)) {
    }
    DescribedAccessible(const DescribedAccessible&) = delete;
    DescribedAccessible& operator=(const DescribedAccessible&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(iid, __uuidof(IUnknown)) || IsEqualIID(iid, __uuidof(IDispatch)) ||
            IsEqualIID(iid, __uuidof(IAccessible))) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch. Late-bound reads of accName and accRole must agree with the early-bound
    // ones, so those two are answered here; all else goes to the standard object.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return inner_->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return inner_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return inner_->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* badArgument) override {
        const bool readsOwnProperty = (flags & DISPATCH_PROPERTYGET) && result && params &&
                                      params->cNamedArgs == 0 && params->cArgs <= 1 &&
                                      (params->cArgs == 0 || IsSelf(params->rgvarg[0]));
        if (readsOwnProperty && member == DISPID_ACC_NAME && state_->HasName()) {
            BSTR name = nullptr;
            const HRESULT hr = get_accName(SelfId(), &name);
            if (SUCCEEDED(hr)) {
                result->vt = VT_BSTR;
                result->bstrVal = name;
            }
            return hr;
        }
        if (readsOwnProperty && member == DISPID_ACC_ROLE && state_->IsLink()) return get_accRole(SelfId(), result);
        return inner_->Invoke(member, iid, locale, flags, params, result, exception, badArgument);
    }

    // IAccessible: the two we describe ourselves.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!name) return E_POINTER;
        if (IsSelf(child)) {
            const HRESULT hr = state_->CopyName(name);
            if (hr != S_FALSE) return hr;
        }
        return inner_->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!role) return E_POINTER;
        if (IsSelf(child) && state_->IsLink()) {
            VariantInit(role);
            role->vt = VT_I4;
            role->lVal = ROLE_SYSTEM_LINK;
            return S_OK;
        }
        return inner_->get_accRole(child, role);
    }

    // IAccessible: everything else as the standard object has it.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return inner_->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override { return inner_->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return inner_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return inner_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return inner_->get_accDescription(child, description);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return inner_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override { return inner_->get_accHelp(child, help); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* helpFile, VARIANT child, LONG* topic) override {
        return inner_->get_accHelpTopic(helpFile, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return inner_->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return inner_->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return inner_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return inner_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override { return inner_->accSelect(flags, child); }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
        return inner_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return inner_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
        return inner_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return inner_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override { return inner_->put_accName(child, name); }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return inner_->put_accValue(child, value);
    }

private:
    ~DescribedAccessible() = default;

    LONG references_ = 1;
    ComPtr<IAccessible> inner_;
    SharedState state_;
};

constexpr UINT_PTR kSubclassId = 0x4C41;  // one subclass per control, whatever we describe

// The window's share of its state, kept in the subclass reference data.
using StateHolder = SharedState;

// Our client object for a WM_GETOBJECT, or 0 to let the control answer as it would have.
LRESULT AnswerClientObject(HWND control, WPARAM wParam, const SharedState& state) {
    const Oleacc& oleacc = OleaccFunctions();
    if (!oleacc.createStandardObject || !oleacc.resultFromObject) return 0;
    ComPtr<IAccessible> standard;
    const HRESULT created =
        oleacc.createStandardObject(control, OBJID_CLIENT, __uuidof(IAccessible), standard.ReceiveVoid());
    if (FAILED(created) || !standard) return 0;
    const ComPtr<DescribedAccessible> described(new (std::nothrow) DescribedAccessible(std::move(standard), state));
    if (!described) return 0;
    // LresultFromObject takes the references it needs; a failure leaves nothing behind.
    const LRESULT answer =
        oleacc.resultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(described.Get()));
    return answer > 0 ? answer : 0;
}

// Asks a control for its state: answered by our subclass, 0 from a control without one. The
// answer is an address in this process, of no use to anyone else who might send it.
// (GetWindowSubclass would do, but mingw-w64's comctl32 import library lacks it.)
UINT StateQueryMessage() {
    static const UINT message = RegisterWindowMessageW(L"Hexalune.AccessibleState");
    return message;
}

LRESULT CALLBACK DescribedControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR data) {
    StateHolder* holder = reinterpret_cast<StateHolder*>(data);
    switch (message) {
    case WM_GETOBJECT:
        // The object id arrives as a 32-bit value, sign-extended or not depending on the sender.
        if (static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
            if (const LRESULT answer = AnswerClientObject(control, wParam, *holder)) return answer;
        }
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(control, DescribedControlProc, kSubclassId);
        delete holder;
        break;
    default:
        if (message != 0 && message == StateQueryMessage()) {
            return reinterpret_cast<LRESULT>(holder->get());
        }
        break;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

// The control's state, subclassing it the first time. Null if the control cannot be
// subclassed (not a window, or one of another thread).
AccessibleState* StateOf(HWND control) {
    if (!IsWindow(control) || GetWindowThreadProcessId(control, nullptr) != GetCurrentThreadId()) return nullptr;
    const UINT query = StateQueryMessage();
    if (query == 0) return nullptr;
    if (LRESULT known = SendMessageW(control, query, 0, 0)) return reinterpret_cast<AccessibleState*>(known);
    auto holder = std::make_unique<StateHolder>(std::make_shared<AccessibleState>());
    if (!SetWindowSubclass(control, DescribedControlProc, kSubclassId, reinterpret_cast<DWORD_PTR>(holder.get()))) {
        return nullptr;
    }
    return holder.release()->get();
}

// The properties we annotate. The service keeps them until told to clear them, so a
// control that was annotated clears them when it goes, before its handle can be used again.
const MSAAPROPID kAnnotatedProperties[] = {PROPID_ACC_NAME, PROPID_ACC_ROLE};
constexpr UINT_PTR kAnnotatedSubclassId = 2;

LRESULT CALLBACK AnnotatedControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_NCDESTROY) {
        AnnotateOwnObject([&](IAccPropServices& service) {
            return service.ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                          kAnnotatedProperties, ARRAYSIZE(kAnnotatedProperties));
        });
        RemoveWindowSubclass(control, AnnotatedControlProc, kAnnotatedSubclassId);
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

void ClearAnnotationsWhenDestroyed(HWND control) {
    SetWindowSubclass(control, AnnotatedControlProc, kAnnotatedSubclassId, 0);
}

}  // namespace

void SetAccessibleName(HWND control, const std::wstring& name) {
    const HRESULT annotated = AnnotateOwnObject([&](IAccPropServices& service) {
        return service.SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME,
                                      name.c_str());
    });
    if (annotated == E_NOTIMPL) {
        AccessibleState* state = StateOf(control);
        if (!state) return;
        state->SetName(name);
    } else if (FAILED(annotated)) {
        return;
    } else {
        ClearAnnotationsWhenDestroyed(control);
    }
    // Screen readers re-read a name they have already announced when told it changed.
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
}

void MarkAsLink(HWND control) {
    VARIANT link;
    VariantInit(&link);
    link.vt = VT_I4;
    link.lVal = ROLE_SYSTEM_LINK;
    const HRESULT annotated = AnnotateOwnObject([&](IAccPropServices& service) {
        return service.SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_ROLE, link);
    });
    if (SUCCEEDED(annotated)) ClearAnnotationsWhenDestroyed(control);
    if (annotated != E_NOTIMPL) return;
    if (AccessibleState* state = StateOf(control)) state->MarkAsLink();
}

AnnotationBatch::AnnotationBatch(IAccPropServices* service) {
    if (g_batchDepth++ > 0) return;
    const ComPtr<IAccPropServices> system = service ? ComPtr<IAccPropServices>() : AnnotationService();
    g_batchService = service ? service : system.Get();
    if (g_batchService) g_batchService->AddRef();
}

AnnotationBatch::~AnnotationBatch() {
    if (--g_batchDepth > 0 || !g_batchService) return;
    std::exchange(g_batchService, nullptr)->Release();
}

}  // namespace hexalune::win32
