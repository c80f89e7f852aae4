// Accessible names and roles, read back the way a screen reader reads them (MSAA).
#include <windows.h>
#include <ole2.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/win32/Accessibility.h"
#include "win32/ProcessObjects.h"

namespace hexalune::win32 {
namespace {

struct ReleaseInterface {
    void operator()(IUnknown* object) const { object->Release(); }
};
template <typename Interface>
using ComRef = std::unique_ptr<Interface, ReleaseInterface>;

VARIANT Self() {
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return self;
}

// The client object a screen reader gets for the control.
ComRef<IAccessible> ClientObject(HWND control) {
    IAccessible* object = nullptr;
    const HRESULT hr =
        AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&object));
    EXPECT_EQ(hr, S_OK);
    return ComRef<IAccessible>(SUCCEEDED(hr) ? object : nullptr);
}

std::wstring NameOf(IAccessible* object) {
    BSTR name = nullptr;
    EXPECT_EQ(object->get_accName(Self(), &name), S_OK);
    std::wstring result = name ? std::wstring(name, SysStringLen(name)) : L"<no name>";
    SysFreeString(name);
    return result;
}

std::wstring NameOf(HWND control) {
    ComRef<IAccessible> object = ClientObject(control);
    return object ? NameOf(object.get()) : L"<no object>";
}

LONG RoleOf(IAccessible* object) {
    VARIANT role;
    VariantInit(&role);
    EXPECT_EQ(object->get_accRole(Self(), &role), S_OK);
    EXPECT_EQ(role.vt, VT_I4);
    const LONG result = role.vt == VT_I4 ? role.lVal : -1;
    VariantClear(&role);
    return result;
}

LONG RoleOf(HWND control) {
    ComRef<IAccessible> object = ClientObject(control);
    return object ? RoleOf(object.get()) : -1;
}

// The role the control has without our help.
LONG StandardRoleOf(HWND control) {
    IAccessible* object = nullptr;
    EXPECT_EQ(CreateStdAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&object)),
              S_OK);
    if (!object) return -1;
    ComRef<IAccessible> owned(object);
    return RoleOf(object);
}

// A property read late-bound, as script-driven clients read it.
HRESULT InvokeGet(IAccessible* object, DISPID property, VARIANT* result) {
    VARIANT child = Self();
    DISPPARAMS params = {&child, nullptr, 1, 0};
    return object->Invoke(property, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &params, result, nullptr,
                          nullptr);
}

// Messages for this thread's windows, including queued win events.
void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

class AccessibilityTest : public ::testing::Test {
protected:
    static constexpr wchar_t kHostClass[] = L"HexaluneAccessibilityTestHost";

    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        comReady_ = true;
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kHostClass;
        if (!RegisterClassExW(&windowClass)) {
            ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
        }
        // Never shown: what a screen reader reads does not depend on the window being on screen.
        host_ = CreateWindowExW(0, kHostClass, L"Hexalune", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(host_, nullptr) << "CreateWindowExW failed (" << GetLastError()
                                  << "); under Wine, windows need a display or the null graphics driver";
        lines_ = AddStatic(L"4,1,6", 0);
        link_ = AddStatic(L"Visit the website", SS_NOTIFY);
    }

    void TearDown() override {
        if (host_) DestroyWindow(host_);
        PumpMessages();
        if (comReady_) CoUninitialize();
    }

    HWND AddStatic(const wchar_t* text, DWORD style) {
        HWND control = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | style, 10, 10, 200, 20, host_,
                                       nullptr, GetModuleHandleW(nullptr), nullptr);
        EXPECT_NE(control, nullptr) << "CreateWindowExW(STATIC) failed: " << GetLastError();
        return control;
    }

    static std::wstring TextOf(HWND control) {
        wchar_t text[128] = {};
        GetWindowTextW(control, text, 128);
        return text;
    }

    bool comReady_ = false;
    HWND host_ = nullptr;
    HWND lines_ = nullptr;
    HWND link_ = nullptr;
};

TEST_F(AccessibilityTest, ControlWithoutANameReportsItsWindowText) {
    EXPECT_EQ(NameOf(lines_), L"4,1,6");
    EXPECT_EQ(NameOf(link_), L"Visit the website");
}

TEST_F(AccessibilityTest, NameIsAnnouncedInsteadOfTheWindowText) {
    SetAccessibleName(lines_, L"Changing lines 4, 1, 6");
    EXPECT_EQ(NameOf(lines_), L"Changing lines 4, 1, 6");
    // The control itself still shows its short text, and keeps its own role.
    EXPECT_EQ(TextOf(lines_), L"4,1,6");
    EXPECT_EQ(RoleOf(lines_), StandardRoleOf(lines_));
    // Another control is not touched.
    EXPECT_EQ(NameOf(link_), L"Visit the website");
}

TEST_F(AccessibilityTest, RenamingChangesWhatIsAnnounced) {
    SetAccessibleName(lines_, L"Changing lines 4, 1, 6");
    ComRef<IAccessible> heldBefore = ClientObject(lines_);
    ASSERT_TRUE(heldBefore);
    SetAccessibleName(lines_, L"Changing line 2");
    EXPECT_EQ(NameOf(lines_), L"Changing line 2");
    // A screen reader keeping the object it had reads the new name too.
    EXPECT_EQ(NameOf(heldBefore.get()), L"Changing line 2");
    SetAccessibleName(lines_, L"No changing lines");
    EXPECT_EQ(NameOf(lines_), L"No changing lines");
}

TEST_F(AccessibilityTest, NameMayContainAnything) {
    const std::wstring name = L"Hexagram 61 \u4E2D\u5B5A, \"Inner Truth\" & more";
    SetAccessibleName(lines_, name);
    EXPECT_EQ(NameOf(lines_), name);
    SetAccessibleName(lines_, L"");
    EXPECT_EQ(NameOf(lines_), L"");
}

TEST_F(AccessibilityTest, LinkIsAnnouncedAsALink) {
    ASSERT_NE(StandardRoleOf(link_), ROLE_SYSTEM_LINK);
    MarkAsLink(link_);
    EXPECT_EQ(RoleOf(link_), ROLE_SYSTEM_LINK);
    // Its name is still its text until it is given one.
    EXPECT_EQ(NameOf(link_), L"Visit the website");
    SetAccessibleName(link_, L"Hexalune website");
    EXPECT_EQ(NameOf(link_), L"Hexalune website");
    EXPECT_EQ(RoleOf(link_), ROLE_SYSTEM_LINK);
    // Marking twice changes nothing.
    MarkAsLink(link_);
    EXPECT_EQ(RoleOf(link_), ROLE_SYSTEM_LINK);
    EXPECT_NE(RoleOf(lines_), ROLE_SYSTEM_LINK);
}

TEST_F(AccessibilityTest, OnlyTheControlItselfIsDescribed) {
    SetAccessibleName(link_, L"Hexalune website");
    MarkAsLink(link_);
    ComRef<IAccessible> object = ClientObject(link_);
    ASSERT_TRUE(object);
    // A child id other than the control's own is passed on, not answered with our name or role.
    VARIANT other;
    VariantInit(&other);
    other.vt = VT_I4;
    other.lVal = 1;
    BSTR name = nullptr;
    const HRESULT nameResult = object->get_accName(other, &name);
    EXPECT_TRUE(FAILED(nameResult) || !name || std::wstring(name) != L"Hexalune website");
    SysFreeString(name);
    VARIANT role;
    VariantInit(&role);
    const HRESULT roleResult = object->get_accRole(other, &role);
    EXPECT_TRUE(FAILED(roleResult) || role.vt != VT_I4 || role.lVal != ROLE_SYSTEM_LINK);
    VariantClear(&role);
    // Null out-parameters are refused.
    EXPECT_EQ(object->get_accName(Self(), nullptr), E_POINTER);
    EXPECT_EQ(object->get_accRole(Self(), nullptr), E_POINTER);
}

TEST_F(AccessibilityTest, LateBoundReadsAgreeWithEarlyBoundOnes) {
    SetAccessibleName(link_, L"Hexalune website");
    MarkAsLink(link_);
    ComRef<IAccessible> object = ClientObject(link_);
    ASSERT_TRUE(object);

    VARIANT name;
    VariantInit(&name);
    ASSERT_EQ(InvokeGet(object.get(), DISPID_ACC_NAME, &name), S_OK);
    ASSERT_EQ(name.vt, VT_BSTR);
    EXPECT_STREQ(name.bstrVal, L"Hexalune website");
    VariantClear(&name);

    VARIANT role;
    VariantInit(&role);
    ASSERT_EQ(InvokeGet(object.get(), DISPID_ACC_ROLE, &role), S_OK);
    ASSERT_EQ(role.vt, VT_I4);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_LINK);
}

TEST_F(AccessibilityTest, ObjectAnswersForItsInterfacesAndCountsReferences) {
    SetAccessibleName(lines_, L"Changing lines 4, 1, 6");
    ComRef<IAccessible> object = ClientObject(lines_);
    ASSERT_TRUE(object);

    IUnknown* unknown = nullptr;
    ASSERT_EQ(object->QueryInterface(__uuidof(IUnknown), reinterpret_cast<void**>(&unknown)), S_OK);
    IDispatch* dispatch = nullptr;
    ASSERT_EQ(object->QueryInterface(__uuidof(IDispatch), reinterpret_cast<void**>(&dispatch)), S_OK);
    IAccessible* again = nullptr;
    ASSERT_EQ(dispatch->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&again)), S_OK);
    // One identity: IUnknown from any of its interfaces is the same pointer.
    IUnknown* unknownAgain = nullptr;
    ASSERT_EQ(again->QueryInterface(__uuidof(IUnknown), reinterpret_cast<void**>(&unknownAgain)), S_OK);
    EXPECT_EQ(unknown, unknownAgain);
    EXPECT_EQ(NameOf(again), L"Changing lines 4, 1, 6");

    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(object->QueryInterface(__uuidof(IClassFactory), &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);

    unknownAgain->Release();
    again->Release();
    dispatch->Release();
    unknown->Release();
    // The object stays usable through the reference we still hold.
    EXPECT_EQ(NameOf(object.get()), L"Changing lines 4, 1, 6");
}

// Win events sent to this thread, for the name-change test.
std::vector<HWND>* g_nameChanges = nullptr;

void CALLBACK RecordNameChange(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (g_nameChanges && event == EVENT_OBJECT_NAMECHANGE && object == OBJID_CLIENT && child == CHILDID_SELF) {
        g_nameChanges->push_back(window);
    }
}

TEST_F(AccessibilityTest, RenamingTellsScreenReadersTheNameChanged) {
    std::vector<HWND> changes;
    g_nameChanges = &changes;
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, RecordNameChange,
                                         GetCurrentProcessId(), GetCurrentThreadId(), WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    SetAccessibleName(lines_, L"Changing lines 4, 1, 6");
    SetAccessibleName(lines_, L"Changing line 2");
    PumpMessages();
    UnhookWinEvent(hook);
    g_nameChanges = nullptr;
    EXPECT_EQ(changes, (std::vector<HWND>{lines_, lines_}));
}

TEST_F(AccessibilityTest, DestroyedControlLeavesAHeldObjectSafe) {
    SetAccessibleName(link_, L"Hexalune website");
    MarkAsLink(link_);
    ComRef<IAccessible> object = ClientObject(link_);
    ASSERT_TRUE(object);
    DestroyWindow(link_);
    link_ = nullptr;
    // What it answers for a window that is gone is up to the standard object; it must not crash,
    // and what it says of itself still comes from us.
    EXPECT_EQ(NameOf(object.get()), L"Hexalune website");
    EXPECT_EQ(RoleOf(object.get()), ROLE_SYSTEM_LINK);
}

// The system's annotation service as a test sees it: every annotation is answered with
// `answer`, and those it accepts are kept (the control's own object does not change).
class FakeAnnotations final : public IAccPropServices {
public:
    struct Annotation {
        HWND control;
        DWORD object;
        DWORD child;
        GUID property;
        std::wstring text;  // for a string
        LONG number;        // for a VT_I4
    };

    explicit FakeAnnotations(HRESULT answer) : answer_(answer) {}
    std::vector<Annotation> kept;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives on the test's stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE SetHwndProp(HWND control, DWORD object, DWORD child, MSAAPROPID property,
                                          VARIANT value) override {
        if (SUCCEEDED(answer_))
            kept.push_back({control, object, child, property, L"", value.vt == VT_I4 ? value.lVal : -1});
        return answer_;
    }
    HRESULT STDMETHODCALLTYPE SetHwndPropStr(HWND control, DWORD object, DWORD child, MSAAPROPID property,
                                             LPCWSTR text) override {
        if (SUCCEEDED(answer_)) kept.push_back({control, object, child, property, text, -1});
        return answer_;
    }
    // Nothing else is ours to call.
    HRESULT STDMETHODCALLTYPE SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                            AnnoScope) override {
        return E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                                AnnoScope) override {
        return E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ClearHwndProps(HWND, DWORD, DWORD, const MSAAPROPID*, int) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**, DWORD*) override {
        return E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE DecomposeHwndIdentityString(const BYTE*, DWORD, HWND*, DWORD*, DWORD*) override {
        return E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                                 AnnoScope) override {
        return E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*) override {
        return E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*, DWORD*) override {
        return E_FAIL;
    }

private:
    HRESULT answer_;
    AnnotationBatch inUse_{this};  // the names and roles given while the fake lives go to it
};

TEST_F(AccessibilityTest, WhereTheSystemAnnotatesTheControlKeepsItsOwnObject) {
    FakeAnnotations annotations(S_OK);
    SetAccessibleName(lines_, L"Changing lines 4, 1, 6");
    MarkAsLink(link_);
    ASSERT_EQ(annotations.kept.size(), 2u);
    const auto& name = annotations.kept[0];
    EXPECT_EQ(name.control, lines_);
    EXPECT_EQ(name.object, static_cast<DWORD>(OBJID_CLIENT));
    EXPECT_EQ(name.child, static_cast<DWORD>(CHILDID_SELF));
    EXPECT_TRUE(IsEqualGUID(name.property, PROPID_ACC_NAME));
    EXPECT_EQ(name.text, L"Changing lines 4, 1, 6");
    const auto& role = annotations.kept[1];
    EXPECT_EQ(role.control, link_);
    EXPECT_EQ(role.object, static_cast<DWORD>(OBJID_CLIENT));
    EXPECT_TRUE(IsEqualGUID(role.property, PROPID_ACC_ROLE));
    EXPECT_EQ(role.number, ROLE_SYSTEM_LINK);
    // No object of ours stands in front of the system's: the controls read as without a name
    // or role of ours, since the fake changes nothing.
    EXPECT_EQ(NameOf(lines_), L"4,1,6");
    EXPECT_EQ(RoleOf(link_), StandardRoleOf(link_));
}

// Heap bytes in use in all of the process's heaps, or 0 if the heaps cannot be walked.
SIZE_T HeapBytesInUse() {
    std::vector<HANDLE> heaps(64);
    DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    if (count > heaps.size()) {
        heaps.resize(count);
        count = GetProcessHeaps(count, heaps.data());
    }
    SIZE_T total = 0;
    for (DWORD i = 0; i < count && i < heaps.size(); ++i) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heaps[i], &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += entry.cbData;
        }
        HeapUnlock(heaps[i]);
    }
    return total;
}

class AccessibilityLeakTest : public AccessibilityTest {
protected:
    static constexpr int kControls = 1000;

    // One described control, read as a screen reader reads it, then destroyed.
    void DescribedCycle() {
        HWND control = AddStatic(L"4,1,6", SS_NOTIFY);
        ASSERT_NE(control, nullptr);
        SetAccessibleName(control, L"Changing lines 4, 1, 6");
        MarkAsLink(control);
        SetAccessibleName(control, L"Changing line 1");
        {
            ComRef<IAccessible> object = ClientObject(control);
            ASSERT_TRUE(object);
            EXPECT_EQ(NameOf(object.get()), L"Changing line 1");
            EXPECT_EQ(RoleOf(object.get()), ROLE_SYSTEM_LINK);
        }
        ASSERT_TRUE(DestroyWindow(control));
        PumpMessages();
    }

    // The same without this module: the standard object handed through COM the same way.
    void PlainCycle() {
        HWND control = AddStatic(L"4,1,6", SS_NOTIFY);
        ASSERT_NE(control, nullptr);
        IAccessible* standard = nullptr;
        ASSERT_EQ(CreateStdAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible),
                                            reinterpret_cast<void**>(&standard)),
                  S_OK);
        const LRESULT marshalled = LresultFromObject(__uuidof(IAccessible), 0, standard);
        standard->Release();
        ASSERT_GT(marshalled, 0);
        IAccessible* object = nullptr;
        ASSERT_EQ(ObjectFromLresult(marshalled, __uuidof(IAccessible), 0, reinterpret_cast<void**>(&object)), S_OK);
        EXPECT_EQ(NameOf(object), L"4,1,6");
        object->Release();
        ASSERT_TRUE(DestroyWindow(control));
        PumpMessages();
    }

    template <typename Cycle>
    void Repeat(int times, Cycle cycle) {
        for (int i = 0; i < times && !HasFailure(); ++i) cycle();
    }
};

TEST_F(AccessibilityLeakTest, AThousandDescribedControlsLeaveNoGdiOrUserObjects) {
    using process_objects::GdiObjectCount;
    using process_objects::UserObjectCount;
    Repeat(20, [this] { DescribedCycle(); });  // whatever oleacc sets up once is not a leak
    ASSERT_FALSE(HasFailure());
    const long gdiBefore = GdiObjectCount(GetCurrentProcess());
    const long userBefore = UserObjectCount(GetCurrentProcess());
    ASSERT_GT(gdiBefore, 0);
    ASSERT_GT(userBefore, 0);  // a window of our own exists
    Repeat(kControls, [this] { DescribedCycle(); });
    ASSERT_FALSE(HasFailure());
    const long gdiAfter = GdiObjectCount(GetCurrentProcess());
    const long userAfter = UserObjectCount(GetCurrentProcess());
    EXPECT_LE(gdiAfter, gdiBefore + 5) << "GDI objects before " << gdiBefore << ", after " << gdiAfter;
    EXPECT_LE(userAfter, userBefore + 5) << "USER objects before " << userBefore << ", after " << userAfter;
}

TEST_F(AccessibilityLeakTest, AThousandDescribedControlsLeaveNoMemory) {
    // COM's marshalling may itself keep memory per hand-over (Wine's keeps about 2 KB), so the
    // growth is compared with that of plain controls read through the same hand-over.
    constexpr int kPlainControls = 200;
    Repeat(50, [this] { PlainCycle(); });  // COM, oleacc and the heaps set themselves up first
    Repeat(50, [this] { DescribedCycle(); });
    ASSERT_FALSE(HasFailure());
    const SIZE_T start = HeapBytesInUse();
    if (start == 0) GTEST_SKIP() << "HeapWalk does not work here, so heap use cannot be measured";
    Repeat(kPlainControls, [this] { PlainCycle(); });
    const SIZE_T afterPlain = HeapBytesInUse();
    Repeat(kControls, [this] { DescribedCycle(); });
    const SIZE_T afterDescribed = HeapBytesInUse();
    ASSERT_FALSE(HasFailure());

    const double plainPerControl =
        afterPlain > start ? static_cast<double>(afterPlain - start) / kPlainControls : 0.0;
    const double describedPerControl =
        afterDescribed > afterPlain ? static_cast<double>(afterDescribed - afterPlain) / kControls : 0.0;
    std::printf("[   INFO   ] heap growth per control: plain %.1f bytes, described %.1f bytes\n", plainPerControl,
                describedPerControl);
    // Anything kept per described control (its state, our object or the standard one inside
    // it, each tens of bytes or more) would show as more than this.
    constexpr double kToleranceBytes = 16.0;
    EXPECT_LE(describedPerControl, plainPerControl + kToleranceBytes);
}

}  // namespace
}  // namespace hexalune::win32
