#include "platform/win32/Win32InternetOptions.h"

#include <windows.h>

#include <wininet.h>

#include "platform/win32/SystemLibrary.h"
#include "platform/win32/WideText.h"

namespace tarvelin::platform {

struct Win32InternetOptions::Api {
    SystemLibrary library{"wininet.dll"};
    decltype(&InternetSetOptionW) setOption = nullptr;
    decltype(&InternetQueryOptionW) queryOption = nullptr;

    Api() {
        library.Bind("InternetSetOptionW", setOption);
        library.Bind("InternetQueryOptionW", queryOption);
    }
};

namespace {

// The options whose value is a text (proxy server, bypass list, configuration URLs); the
// others carry a number.
bool IsText(uint32_t option) {
    return option == INTERNET_PER_CONN_PROXY_SERVER || option == INTERNET_PER_CONN_PROXY_BYPASS ||
           option == INTERNET_PER_CONN_AUTOCONFIG_URL ||
           option == INTERNET_PER_CONN_AUTOCONFIG_SECONDARY_URL ||
           option == INTERNET_PER_CONN_AUTOCONFIG_LAST_DETECT_URL;
}

// The option list the system reads (values from the options) or fills (values empty). The
// texts a query receives are the system's copies, released with the list.
class OptionList {
  public:
    OptionList(const std::string* connection, const std::vector<PerConnOption>& options,
               uint32_t listSize, bool filled)
        : connection_(connection ? Widen(*connection) : std::wstring()),
          records_(options.size()),
          filled_(filled) {
        texts_.reserve(options.size());
        for (size_t i = 0; i < options.size(); ++i) {
            records_[i].dwOption = options[i].option;
            if (!filled) continue;
            if (!IsText(options[i].option))
                records_[i].Value.dwValue = options[i].number;
            else if (options[i].text)
                records_[i].Value.pszValue = texts_.emplace_back(Widen(*options[i].text)).data();
        }
        list_.dwSize = listSize;
        list_.pszConnection = connection ? connection_.data() : nullptr;
        list_.dwOptionCount = static_cast<DWORD>(records_.size());
        list_.pOptions = records_.data();
    }
    ~OptionList() {
        for (const INTERNET_PER_CONN_OPTIONW& record : records_)
            if (!filled_ && IsText(record.dwOption) && record.Value.pszValue)
                GlobalFree(record.Value.pszValue);
    }
    OptionList(const OptionList&) = delete;
    OptionList& operator=(const OptionList&) = delete;

    INTERNET_PER_CONN_OPTION_LISTW* List() { return &list_; }

    void ReadInto(std::vector<PerConnOption>& options) const {
        for (size_t i = 0; i < options.size(); ++i) {
            const auto& value = records_[i].Value;
            const bool text = IsText(options[i].option);
            options[i].number = text ? 0 : value.dwValue;
            options[i].text.reset();
            if (text && value.pszValue) options[i].text = Narrow(value.pszValue);
        }
    }

  private:
    std::wstring connection_;
    std::vector<std::wstring> texts_;  // reserved up front: records point into them
    std::vector<INTERNET_PER_CONN_OPTIONW> records_;
    INTERNET_PER_CONN_OPTION_LISTW list_{};
    bool filled_;
};

// A list size the system could read beyond the list record is refused.
bool ListSizeFits(uint32_t listSize) {
    if (listSize <= sizeof(INTERNET_PER_CONN_OPTION_LISTW)) return true;
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
}

template <class Function, class... Args>
bool Call(Function function, Args... args) {
    if (function) return function(args...) != FALSE;
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return false;
}

}  // namespace

Win32InternetOptions::Win32InternetOptions() = default;
Win32InternetOptions::~Win32InternetOptions() = default;

const Win32InternetOptions::Api& Win32InternetOptions::Load() {
    if (!api_) api_ = std::make_unique<Api>();
    return *api_;
}

bool Win32InternetOptions::SetPerConnection(const std::string* connection,
                                            const std::vector<PerConnOption>& options,
                                            uint32_t listSize) {
    if (!ListSizeFits(listSize)) return false;
    OptionList list(connection, options, listSize, true);
    return Call(Load().setOption, nullptr, DWORD{INTERNET_OPTION_PER_CONNECTION_OPTION},
                static_cast<void*>(list.List()), DWORD{listSize});
}

bool Win32InternetOptions::QueryPerConnection(const std::string* connection,
                                              std::vector<PerConnOption>& options,
                                              uint32_t listSize) {
    if (!ListSizeFits(listSize)) return false;
    OptionList list(connection, options, listSize, false);
    DWORD size = listSize;
    if (!Call(Load().queryOption, nullptr, DWORD{INTERNET_OPTION_PER_CONNECTION_OPTION},
              static_cast<void*>(list.List()), &size))
        return false;
    list.ReadInto(options);
    return true;
}

bool Win32InternetOptions::Notify(uint32_t option) {
    return Call(Load().setOption, nullptr, DWORD{option}, nullptr, DWORD{0});
}

}  // namespace tarvelin::platform
