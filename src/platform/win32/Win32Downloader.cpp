#include "platform/win32/Win32Downloader.h"

#include <windows.h>

#include <urlmon.h>

#include "platform/win32/WideText.h"

namespace tarvelin::platform {
namespace {

// Newest version, no cache copy, no dialogs. Certificate problems are not ignored: what is
// fetched over https may be a program that is then started.
constexpr DWORD kBindFlags = BINDF_GETNEWESTVERSION | BINDF_NOWRITECACHE | BINDF_SILENTOPERATION;

// The first HTTP status that is no success: the server answered with an error page, whose
// body must not be taken for the file (Wine's urlmon delivers it as a successful download).
constexpr DWORD kHttpFirstError = 400;
constexpr DWORD kHttpNotFound = 404;
constexpr DWORD kHttpGone = 410;

// Lives on the stack of one synchronous download, so its reference count only counts. It
// also hears the server's HTTP status, which the download itself does not judge.
class BindStatus final : public IBindStatusCallback, public IHttpNegotiate {
  public:
    BindStatus(IEventLoop& loop, const IDownloader::ProgressProc& progress)
        : loop_(loop), progress_(progress) {}
    BindStatus(const BindStatus&) = delete;
    BindStatus& operator=(const BindStatus&) = delete;
    ~BindStatus() { ReleaseBinding(); }

    bool Cancelled() const { return cancelled_; }
    HRESULT StopResult() const { return stopResult_; }
    bool HttpRefused() const { return httpStatus_ >= kHttpFirstError; }
    bool HttpNotFound() const { return httpStatus_ == kHttpNotFound || httpStatus_ == kHttpGone; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IBindStatusCallback)) {
            *object = static_cast<IBindStatusCallback*>(this);
            AddRef();
            return S_OK;
        }
        if (IsEqualIID(iid, IID_IHttpNegotiate)) {
            *object = static_cast<IHttpNegotiate*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }

    HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD, IBinding* binding) override {
        ReleaseBinding();
        binding_ = binding;
        if (binding_) binding_->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPriority(LONG* priority) override {
        if (priority) *priority = THREAD_PRIORITY_NORMAL;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnLowResource(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnProgress(ULONG progress, ULONG maximum, ULONG, LPCWSTR) override {
        loop_.PumpOnce();
        if (HttpRefused()) return AbortBinding();
        if (!progress_ || progress_(DownloadProgress{progress, maximum})) return S_OK;
        cancelled_ = true;
        return AbortBinding();
    }
    HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT result, LPCWSTR) override {
        stopResult_ = result;
        ReleaseBinding();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD* flags, BINDINFO*) override {
        if (flags) *flags = kBindFlags;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

    HRESULT STDMETHODCALLTYPE BeginningTransaction(LPCWSTR, LPCWSTR, DWORD,
                                                   LPWSTR* additionalHeaders) override {
        if (additionalHeaders) *additionalHeaders = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnResponse(DWORD status, LPCWSTR, LPCWSTR,
                                         LPWSTR* additionalHeaders) override {
        if (additionalHeaders) *additionalHeaders = nullptr;
        httpStatus_ = status;
        return S_OK;
    }

  private:
    HRESULT AbortBinding() {
        if (binding_) binding_->Abort();
        return E_ABORT;
    }

    void ReleaseBinding() {
        if (binding_) binding_->Release();
        binding_ = nullptr;
    }

    IEventLoop& loop_;
    const IDownloader::ProgressProc& progress_;
    IBinding* binding_ = nullptr;
    ULONG references_ = 1;
    HRESULT stopResult_ = S_OK;
    DWORD httpStatus_ = 0;
    bool cancelled_ = false;
};

}  // namespace

int32_t Win32Downloader::Download(const std::string& address, const std::string& path,
                                  const ProgressProc& progress) {
    BindStatus callback(loop_, progress);
    const HRESULT result =
        URLDownloadToFileW(nullptr, Widen(address).c_str(), Widen(path).c_str(), 0, &callback);
    if (callback.Cancelled()) return kDownloadAborted;
    if (callback.HttpNotFound()) return kDownloadNotFound;
    if (callback.HttpRefused()) return kDownloadFailed;
    // The stop notification names the cause more exactly than the call's own answer; a
    // positive stop code (S_FALSE) is no failure.
    if (FAILED(callback.StopResult())) return static_cast<int32_t>(callback.StopResult());
    return FAILED(result) ? static_cast<int32_t>(result) : kDownloadOk;
}

}  // namespace tarvelin::platform
