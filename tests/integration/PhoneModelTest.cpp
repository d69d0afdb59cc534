// The simulated phone's calls: dialling, the data it carries at each traffic profile, the
// escape with its guard times, and hanging up.
#include <gtest/gtest.h>

#include "PhoneModel.h"

namespace {

using phonesim::PhoneModel;
using phonesim::PhoneOptions;
using phonesim::Traffic;

PhoneModel Phone(Traffic traffic = Traffic::Steady, bool refuse = false) {
    PhoneOptions options;
    options.traffic = traffic;
    options.rate = 1000;
    options.refuseDial = refuse;
    return PhoneModel(options);
}

// Bytes sent from the call's start over SECONDS, ticked every 50 ms.
uint64_t SentOver(PhoneModel& phone, double from, double seconds) {
    uint64_t sent = 0;
    for (double t = from + 0.05; t <= from + seconds + 1e-9; t += 0.05)
        sent += phone.Tick(t).size();
    return sent;
}

TEST(PhoneModel, ProfilesCarryTheirRates) {
    struct Case {
        Traffic traffic;
        double seconds;
        uint64_t expected;
    };
    // Give or take a tick's worth: the ticks' times are sums of binary fractions.
    for (const Case& c : {Case{Traffic::Steady, 4, 4000}, Case{Traffic::Bursts, 1, 2000},
                          Case{Traffic::Bursts, 2, 2000}, Case{Traffic::Pause, 10, 7000}}) {
        PhoneModel phone = Phone(c.traffic);
        ASSERT_EQ(phone.Receive("ATD*99#\r", 0), "\r\nCONNECT 460800\r\n");
        const uint64_t sent = SentOver(phone, 0, c.seconds);
        EXPECT_NEAR(static_cast<double>(sent), static_cast<double>(c.expected), 101)
            << static_cast<int>(c.traffic) << " " << c.seconds;
        EXPECT_EQ(phone.Totals().sent, sent);
    }
}

TEST(PhoneModel, EscapeNeedsSilenceOnBothSidesAndAthEndsTheCall) {
    PhoneModel phone = Phone();
    phone.Receive("ATDT123\r", 0);
    // Pluses inside the data are data: the phone stays on line.
    EXPECT_EQ(phone.Receive("ab+++cd", 0.5), "");
    EXPECT_EQ(phone.Tick(2.0).find("OK"), std::string::npos);
    EXPECT_TRUE(phone.OnLine());
    // After a second of silence "+++" and another second of silence return to commands;
    // the data stays counted and the call goes on until ATH.
    phone.Receive("+++", 3.0);
    phone.Tick(3.5);
    EXPECT_TRUE(phone.OnLine());
    EXPECT_EQ(phone.Tick(4.1), "\r\nOK\r\n");
    EXPECT_FALSE(phone.OnLine());
    EXPECT_TRUE(phone.InCall());
    EXPECT_EQ(phone.Totals().received, 10u);
    EXPECT_EQ(phone.Tick(5), "");  // no data while commands are read
    EXPECT_EQ(phone.Receive("ATO\r", 5), "\r\nCONNECT 460800\r\n");
    phone.Receive("+++", 6.5);
    phone.Tick(7.6);
    EXPECT_EQ(phone.Receive("ATH\r", 8), "\r\nOK\r\n");
    EXPECT_FALSE(phone.InCall());
    EXPECT_EQ(phone.Calls(), 1);
    EXPECT_DOUBLE_EQ(phone.Totals().seconds, 8);
    // The host letting go of the line ends a call with its figures; a half line is dropped.
    phone.Receive("ATD*99#\r", 10);
    phone.Receive("ab", 10.5);
    phone.LineDropped(12);
    EXPECT_FALSE(phone.InCall());
    EXPECT_EQ(phone.Totals().received, 2u);
    EXPECT_DOUBLE_EQ(phone.Totals().seconds, 2);
    phone.Receive("AT", 13);
    phone.LineDropped(13);
    EXPECT_EQ(phone.Receive("I\r", 14), "");
}

TEST(PhoneModel, RefusedDialAndCommandsOutOfPlace) {
    PhoneModel refusing = Phone(Traffic::Steady, true);
    EXPECT_EQ(refusing.Receive("ATD*99#\r"), "\r\nNO CARRIER\r\n");
    EXPECT_FALSE(refusing.InCall());
    PhoneModel phone = Phone();
    EXPECT_EQ(phone.Receive("ATO\r"), "\r\nNO CARRIER\r\n");
    EXPECT_EQ(phone.Receive("ATH\r"), "\r\nOK\r\n");
    phone.Receive("ATD1\r", 0);
    phone.Receive("+++", 1.5);
    phone.Tick(2.6);
    EXPECT_EQ(phone.Receive("ATD2\r", 3), "\r\nERROR\r\n");  // one call at a time
    // A host that stops reading gets no more than about a second's worth at once.
    phone.Receive("ATO\r", 3);
    EXPECT_LE(phone.Tick(60).size(), 2001u);
}

}  // namespace
