#pragma once
// The operator's addresses shown by the about page and the wizard's problem-report page. Set at
// build time, like the operator's connection settings: an operator handing the program to its
// subscribers puts its own addresses here.
namespace tarvelin::ui {

// The operator's page on its data services.
inline constexpr char kOperatorServicesPage[] = "http://www.qvt.example/internet";
// Where users write about problems (opened as a "mailto:" address).
inline constexpr char kOperatorFeedbackAddress[] = "support@qvt.example";
// The operator's page on setting up a phone and a computer for the Internet.
inline constexpr char kOperatorPhoneSetupPage[] = "http://www.qvt.example/internet/phones";

}  // namespace tarvelin::ui
