// The pages of the main window whose owners live outside frmMain: their controls, added to
// the window's layout after the panels, and their presenters, made when the window loads.
// A page's owner adds its rows and its maker here.
#include <array>

#include "ui/forms/MainPage.h"
#include "ui/forms/OptionsApp.h"
#include "ui/forms/OptionsLists.h"
#include "ui/forms/UpdatePage.h"
#include "ui/forms/Wizard.h"
#include "ui/forms/frmMain.h"

namespace tarvelin::ui {

std::span<const std::span<const WidgetLayout>> PageLayouts() {
    static const std::array<std::span<const WidgetLayout>, 5> kPages{
        MainPageLayout(), WizardLayout(), OptionsAppLayout(), OptionsListsLayout(),
        UpdatePageLayout()};
    return kPages;
}

std::span<const PagePresenterMaker> PagePresenterMakers() {
    static constexpr std::array<PagePresenterMaker, 5> kMakers{
        &MainPage::Make, &Wizard::Make, &OptionsApp::Make, &OptionsLists::Make, &UpdatePage::Make};
    return kMakers;
}

}  // namespace tarvelin::ui
