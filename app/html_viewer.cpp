#include "app/html_viewer.h"

#include "support/win32/wide_text.h"

#include <exdisp.h>
#include <exdispid.h>
#include <ole2.h>

namespace {

// The middle of the browser's five text sizes (中等).
constexpr LONG kMiddleTextSize = 2;

// One object is the browser's whole container: client site, in-place site,
// frame, and the sink of its DWebBrowserEvents2. It lives as long as the
// program, so reference counting never frees it.
class BrowserHost final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame, public IDispatch {
public:
    bool Embed(HWND panel);
    void Unembed();
    void Navigate(const Text& address);
    void Resize();
    bool embedded() const { return browser_ != nullptr; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP GetContainer(IOleContainer** container) override {
        *container = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow, shared by the in-place site and the frame
    STDMETHODIMP GetWindow(HWND* window) override {
        *window = panel_;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                  LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return S_OK; }
    STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
    STDMETHODIMP OnPosRectChange(LPCRECT position) override;

    // IOleInPlaceUIWindow and IOleInPlaceFrame: no menus, toolbars or status bar
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IDispatch, for DWebBrowserEvents2
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;

private:
    void SetTextSize();

    HWND panel_ = nullptr;
    IOleObject* object_ = nullptr;
    IWebBrowser2* browser_ = nullptr;
    IConnectionPoint* events_ = nullptr;
    DWORD eventsCookie_ = 0;
};

BrowserHost g_host;
Text g_address;
bool g_embedFailed = false;

RECT PanelRect(HWND panel) {
    RECT rect = {};
    GetClientRect(panel, &rect);
    return rect;
}

STDMETHODIMP BrowserHost::QueryInterface(REFIID iid, void** object) {
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
        *object = static_cast<IOleClientSite*>(this);
    } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
        *object = static_cast<IOleInPlaceSite*>(this);
    } else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
        *object = static_cast<IOleInPlaceFrame*>(this);
    } else if (iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
        *object = static_cast<IDispatch*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    return S_OK;
}

STDMETHODIMP BrowserHost::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                           LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo) {
    *frame = this;
    *document = nullptr;
    *position = PanelRect(panel_);
    *clip = *position;
    frameInfo->fMDIApp = FALSE;
    frameInfo->hwndFrame = GetAncestor(panel_, GA_ROOT);
    frameInfo->haccel = nullptr;
    frameInfo->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP BrowserHost::OnPosRectChange(LPCRECT position) {
    IOleInPlaceObject* inPlace = nullptr;
    if (object_ && SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
        inPlace->SetObjectRects(position, position);
        inPlace->Release();
    }
    return S_OK;
}

STDMETHODIMP BrowserHost::Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
    if (member == DISPID_DOCUMENTCOMPLETE) SetTextSize();
    return S_OK;
}

void BrowserHost::SetTextSize() {
    if (!browser_) return;
    VARIANT size;
    VariantInit(&size);
    size.vt = VT_I4;
    size.lVal = kMiddleTextSize;
    browser_->ExecWB(OLECMDID_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, &size, nullptr);
}

bool BrowserHost::Embed(HWND panel) {
    panel_ = panel;
    if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                reinterpret_cast<void**>(&object_)))) {
        object_ = nullptr;
        return false;
    }
    object_->SetClientSite(this);
    OleSetContainedObject(object_, TRUE);
    RECT rect = PanelRect(panel_);
    if (FAILED(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, panel_, &rect)) ||
        FAILED(object_->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser_)))) {
        browser_ = nullptr;
        Unembed();
        return false;
    }
    browser_->put_Offline(VARIANT_FALSE);
    browser_->put_Silent(VARIANT_FALSE);
    IConnectionPointContainer* points = nullptr;
    if (SUCCEEDED(browser_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points)))) {
        if (SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, &events_)) &&
            FAILED(events_->Advise(static_cast<IDispatch*>(this), &eventsCookie_))) {
            events_->Release();
            events_ = nullptr;
        }
        points->Release();
    }
    return true;
}

void BrowserHost::Unembed() {
    if (events_) {
        events_->Unadvise(eventsCookie_);
        events_->Release();
        events_ = nullptr;
    }
    if (browser_) {
        browser_->Release();
        browser_ = nullptr;
    }
    if (object_) {
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
        object_->Release();
        object_ = nullptr;
    }
    panel_ = nullptr;
}

void BrowserHost::Navigate(const Text& address) {
    if (!browser_) return;
    BSTR url = SysAllocString(WideFromGbk(address).c_str());
    VARIANT empty;
    VariantInit(&empty);
    browser_->Navigate(url, &empty, &empty, &empty, &empty);
    SysFreeString(url);
}

void BrowserHost::Resize() {
    RECT rect = PanelRect(panel_);
    OnPosRectChange(&rect);
}

LRESULT CALLBACK HtmlViewerProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            if (g_host.embedded()) g_host.Resize();
            return 0;
        case WM_DESTROY:
            g_host.Unembed();
            g_address.clear();
            g_embedFailed = false;
            return 0;
        default:
            return DefWindowProcW(panel, message, wParam, lParam);
    }
}

}  // namespace

const wchar_t* HtmlViewerClass() {
    static const wchar_t* const name = [] {
        WNDCLASSW panelClass = {};
        panelClass.lpfnWndProc = HtmlViewerProc;
        panelClass.hInstance = GetModuleHandleW(nullptr);
        panelClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        panelClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        panelClass.lpszClassName = L"StarfoldHtmlViewer";
        RegisterClassW(&panelClass);
        return panelClass.lpszClassName;
    }();
    return name;
}

void NavigateHtmlViewer(HWND panel, const Text& address) {
    g_address = address;
    if (!panel) return;
    if (!g_host.embedded() && !g_embedFailed) g_embedFailed = !g_host.Embed(panel);
    g_host.Navigate(address);
}

Text HtmlViewerAddress() { return g_address; }

bool HtmlViewerHasBrowser() { return g_host.embedded(); }
