#pragma once
// The modems page (page 6) and the connections page (page 7): the list of the system's
// dial-up devices or phone-book entries, filled after the page is shown, with the chosen
// item's details and its actions (create a connection on a modem, delete a modem with its
// connections; dial, edit, show the system's properties of, or delete a connection).
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/PassKey.h"
#include "ui/controls/PCControl.h"
#include "ui/controls/PCListEx.h"
#include "ui/forms/frmMain.h"

namespace tarvelin::ui {

// The rows of both pages' controls, on picFormOptionsModems and picFormOptionsConns.
std::span<const WidgetLayout> OptionsListsLayout();

// Opens the connection editor on an entry; the editor calls closed with the entry's name
// once it is closed (another name when the user renamed it).
using ConnectionEditorOpener = std::function<void(
    const std::string& entryName, std::function<void(const std::string& finalName)> closed)>;

// The information about a modem's connections: the first two names and the count of all.
std::string DeviceEntriesText(const std::vector<std::string>& entries);

class OptionsLists final : public IPagePresenter,
                           public std::enable_shared_from_this<OptionsLists> {
  public:
    static std::shared_ptr<IPagePresenter> Make(frmMain& window);
    OptionsLists(PassKey<OptionsLists>, frmMain& window) : window_(window) {}
    ~OptionsLists() override;
    OptionsLists(const OptionsLists&) = delete;
    OptionsLists& operator=(const OptionsLists&) = delete;

    void PageShown(int32_t page) override;
    void PageHidden(int32_t page) override;
    void WindowUnloading() override { ReleaseControls(); }

    void SetConnectionEditorOpener(ConnectionEditorOpener opener) { opener_ = std::move(opener); }
    // The list of the page shown, or null.
    PCListEx* List() const { return list_.get(); }
    // Starts filling the shown page's list anew, unless the window is busy.
    void FillList();
    // The deferred part of the filling, run from the message loop.
    void RunnableStart();

    // Per page: its number and the names of its controls.
    struct PageControls;

  private:
    template <typename T = Widget>
    std::shared_ptr<T> Get(const char* name) const {
        return window_.Get<T>(name);
    }
    void Connect();
    void CreateControls();
    void ReleaseControls();
    void SetControlsEnabled(bool enabled);
    void AddModems(bool all);
    void AddConnections(bool all);
    // What ChangeSelection runs: nothing while the window is busy.
    void OnSelection();
    void ShowSelection();
    void ShowModem(const ListItem* item);
    void ShowConnection(const ListItem* item);
    void SetInfo(const std::string& text);
    // The selected item when there is one (and, when asked, it is flagged).
    bool Selected(ListItem& item, bool flagged = false) const;
    int32_t FindItem(const std::string& key) const;
    void RemoveItem(const std::string& key);
    // False, and the list is filled again, when the entry left the phone book since.
    bool EntryStillListed(const std::string& entry);

    void CreateConnection();
    void DeleteModem();
    void DeleteConnection();
    void Dial();
    void Edit();
    void EntryEdited(const std::string& oldName, const std::string& finalName);
    void ShowProperties();
    bool Ask(const std::string& text, const std::string& title);
    void Message(const std::string& text, uint32_t style, const std::string& title);

    frmMain& window_;
    const PageControls* shown_ = nullptr;
    std::shared_ptr<PCListEx> list_;
    std::shared_ptr<PCControl> link_;
    ConnectionEditorOpener opener_;
    std::vector<Connection> connections_, pageConnections_;
};

}  // namespace tarvelin::ui
