#pragma once
// The operator's settings for the connections the program creates. Set at build time: an
// operator that hands the program to its subscribers puts its own values here.
namespace tarvelin {

inline constexpr char kEntryNamePrefix[] = "QVT (";
inline constexpr char kOperatorUserName[] = "qvt";
inline constexpr char kOperatorPassword[] = "dfk";
// The operator's access point name. A placeholder: the operator's real one goes here.
inline constexpr char OperatorApn[] = "internet.qvt";
// The modem initialisation string that selects the access point: this, the APN, a quote.
inline constexpr char ModemInitTemplate[] = "AT+CGDCONT=1,\"IP\",\"";

}  // namespace tarvelin
