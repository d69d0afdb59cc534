#include "driverdb/TypeAllocationCode.h"

#include <gtest/gtest.h>

namespace tarvelin {
namespace {

TEST(TypeAllocationCodeTest, TakenFromTheFirstSerialNumberInTheAnswer) {
    const std::pair<const char*, const char*> cases[] = {
        {"358368001234563", "35836800"},
        {"AT+CGSN\r358368001234563", "35836800"},  // a phone that keeps echoing
        {"+CGSN: 35836800123456", "35836800"},     // without the check digit
        {"3583680012345601", "35836800"},          // IMEISV
        {"12\r\n358368001234563", "35836800"},     // short runs before it are passed over
        {"35836800123456012", ""},                 // 17 digits are no IMEI
        {"3583680012345", ""},
        {"OK", ""},
        {"", ""},
    };
    for (const auto& [reply, code] : cases) EXPECT_EQ(TypeAllocationCode(reply), code) << reply;
}

}  // namespace
}  // namespace tarvelin
