// The catalogue queries and the INF selection rule over a small container made here.
#include <gtest/gtest.h>

#include "ContainerBuilder.h"
#include "core/modSystemWinVer.h"
#include "driverdb/modAppDriverBase.h"
#include "platform/AnsiText.h"
#include "platform/MemoryResourceSource.h"
#include "sim/SimPlatform.h"

namespace tarvelin {
namespace {

using test::Bytes;

const char* const kModels =
    "10\tAcme\tA1\t$CHICAGO$\tCAB\tHW10\n"
    "11\tAcme\tA1\t$WINDOWS NT$\tCAB\tHW11\n"
    "12\tAcme\tA1\t$chicago$\tCAB\tHW12\n"
    "10\tAcme\tA2\t$CHICAGO$\t CAB \tHW10\n"
    "12\tAcme\tA2\t$CHICAGO$\tCAB\tHW12\n"
    "13\tAcme\tOld95\t$WINDOWS 95$\tCAB\tHW13\n"
    "4\tACME\tB1\t$CHICAGO$\tBT\tHWbt\n"
    "5\tAcme\tB1\t$CHICAGO$\tMSBT\tHWmsbt\n"
    "6\tacme\tb1\t$WINDOWS NT$\tIRDA\tHWir\n"
    "2\tAcme\tLow\t$CHICAGO$\tCAB\tHW2\n"
    "x\tAcme\tBadNum\t$CHICAGO$\tCAB\tHWx\n"
    "9\tAcme\tMixed\t$CHICAGO$\tCAB\tHW9\n"
    "y\tAcme\tMixed\t$CHICAGO$\tCAB\tHWy\n"
    "7\tSeven\tS\t$CHICAGO$\tCAB\tHW\tmore\n"
    " \tBlank\tX\t$CHICAGO$\tCAB\tHW\n"
    "7\tFive\tF\t$CHICAGO$\tCAB\n"
    "8\tКиров\tк1\t$CHICAGO$\tCAB\tHWk\n";
const char* const kTacs =
    "Acme\tA1\t*99#\t3512345678 35123457\n"
    "\n"
    " Ac me \tA2\t*99***1#\t35123456\n"
    "Five\tfields\tx\t35000000\textra\n"
    "Bad\tcode\t#777\tabc 12x\n";

class CatalogTest : public ::testing::Test {
  protected:
    CatalogTest() {
        std::vector<std::vector<uint8_t>> entries = {
            Bytes(TextEntryFromUtf8(kModels)), Bytes(TextEntryFromUtf8(kTacs)), Bytes("ircomm")};
        for (int n = 4; n <= 13; ++n) entries.push_back(Bytes("inf" + std::to_string(n)));
        source_ = std::make_unique<platform::MemoryResourceSource>("DB", 101,
                                                                   test::ContainerOfPlain(entries));
        sim_.platform.resources = source_.get();
        ResetDriverCatalog();
    }
    ~CatalogTest() override { ResetDriverCatalog(); }

    void Use9x() {
        sim_.osVersion.info = {4, 10, 2222, 1, ""};
        ResetWindowsVersionFlags();
    }
    std::string Driver(const char* maker, const char* model, const char* name) {
        EXPECT_TRUE(EnsureDriverCatalog());
        std::vector<uint8_t> inf;
        hardwareId_.clear();
        if (!FindDriverFile(maker, model, name, inf, hardwareId_)) return "none";
        return std::string(inf.begin(), inf.end());
    }
    std::vector<ConnectionKind> Kinds(const char* maker, const char* model) {
        std::vector<ConnectionKind> kinds;
        GetConnectionTypeList(maker, model, kinds);
        return kinds;
    }

    sim::SimPlatform sim_;
    std::unique_ptr<platform::MemoryResourceSource> source_;
    std::string hardwareId_;
};

// On NT the first NT row wins at once, else the last common one. Rows below entry 3 select
// nothing; a row whose entry number does not read is skipped whole, so its hardware id never
// joins another row's driver.
TEST_F(CatalogTest, DriverSelectionOnTheNtFamily) {
    const struct {
        const char* model;
        const char* inf;
        const char* hardwareId;  // null: not checked
    } cases[] = {
        {"a1", "inf11", "HW11"},  {"A2", "inf12", "HW12"}, {"Old95", "none", ""},
        {"Low", "none", nullptr}, {"BadNum", "none", ""},  {"Mixed", "inf9", "HW9"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Driver("acme", c.model, "cab"), c.inf) << c.model;
        EXPECT_EQ(c.hardwareId ? hardwareId_ : "", c.hardwareId ? c.hardwareId : "") << c.model;
    }
    EXPECT_TRUE(Kinds("Acme", "Old95").empty());
}

TEST_F(CatalogTest, NinetyFiveFamilySkipsNtRows) {
    Use9x();
    EXPECT_EQ(Driver("Acme", "A1", "CAB"), "inf12");
    EXPECT_EQ(Driver("Acme", "Old95", "CAB"), "inf13");
    EXPECT_EQ(Kinds("Acme", "Old95"), std::vector<ConnectionKind>{ConnectionKindCable});
    EXPECT_EQ(Kinds("Acme", "B1"),
              (std::vector<ConnectionKind>{ConnectionKindBluetooth, ConnectionKindBluetooth}));
}

TEST_F(CatalogTest, BluetoothKindsAndThePreferMsbtFlag) {
    EXPECT_EQ(Kinds("acme", "B1"),
              (std::vector<ConnectionKind>{ConnectionKindBluetooth, ConnectionKindBluetooth,
                                           ConnectionKindInfrared}));
    std::vector<uint8_t> inf;
    std::string hw;
    ASSERT_TRUE(FindDriver("Acme", "B1", ConnectionKindBluetooth, true, inf, hw));
    EXPECT_EQ(inf, Bytes("inf5"));
    EXPECT_EQ(hw, "HWmsbt");
    ASSERT_TRUE(FindDriver("Acme", "B1", ConnectionKindBluetooth, false, inf, hw));
    EXPECT_EQ(inf, Bytes("inf4"));
    ASSERT_TRUE(FindDriver("Acme", "B1", ConnectionKindInfrared, false, inf, hw));
    EXPECT_EQ(inf, Bytes("inf6"));
    EXPECT_FALSE(FindDriver("Acme", "B1", ConnectionKindCable, false, inf, hw));
    ASSERT_TRUE(FindDriver("Acme", "A1", ConnectionKindNone, false, inf, hw));
    EXPECT_EQ(inf, Bytes("inf11"));
}

TEST_F(CatalogTest, ModelTableLinesOfSevenFieldsKeepTheRestFiveAreSkipped) {
    EXPECT_EQ(Driver("Seven", "S", "CAB"), "inf7");
    EXPECT_EQ(hardwareId_, "HW\tmore");
    std::vector<std::string> models;
    EXPECT_FALSE(GetModelList("Five", models));
    EXPECT_FALSE(GetModelList("Blank", models));
}

TEST_F(CatalogTest, VendorsUpperCasedOnceModelsAsStoredOnce) {
    std::vector<std::string> vendors, models;
    ASSERT_TRUE(GetVendorList(vendors));
    EXPECT_EQ(vendors, (std::vector<std::string>{"ACME", "SEVEN", "КИРОВ"}));
    ASSERT_TRUE(GetModelList("ACME", models));
    EXPECT_EQ(models,
              (std::vector<std::string>{"A1", "A2", "Old95", "B1", "Low", "BadNum", "Mixed"}));
    ASSERT_TRUE(GetModelList("киров", models));
    EXPECT_EQ(Driver("КИРОВ", "К1", "CAB"), "inf8");
}

// Rows keep their order (blank lines skipped) and drop spaces from the maker.
TEST_F(CatalogTest, TacCodesIndexTheirFirstEightDigitsPerRow) {
    std::string names, rows;
    ASSERT_TRUE(FindModelsByTac("351234567890", names, rows));
    EXPECT_EQ(rows, "1\t2");
    EXPECT_EQ(names, "Acme A1 / Acme A2");
    ASSERT_TRUE(FindModelsByTac("35123457", names, rows));
    EXPECT_EQ(rows, "1");
    EXPECT_FALSE(FindModelsByTac("35000000", names, rows));  // its line had five fields
    EXPECT_FALSE(FindModelsByTac("12x", names, rows));
    std::string maker, model, dial;
    ASSERT_TRUE(GetTacRow(2, maker, model, dial));
    EXPECT_EQ(maker, "Acme");
    EXPECT_EQ(model, "A2");
    EXPECT_EQ(dial, "*99***1#");
    EXPECT_TRUE(GetTacRow(3, maker, model, dial));
    EXPECT_FALSE(GetTacRow(4, maker, model, dial) || GetTacRow(0, maker, model, dial));
}

TEST_F(CatalogTest, FailedLoadStaysFailedUntilReset) {
    sim_.platform.resources = nullptr;
    std::vector<std::string> vendors;
    EXPECT_FALSE(GetVendorList(vendors));
    sim_.platform.resources = source_.get();
    EXPECT_FALSE(GetVendorList(vendors));
    EXPECT_EQ(source_->loads, 0);
    ResetDriverCatalog();
    EXPECT_TRUE(GetVendorList(vendors));
    EXPECT_TRUE(GetVendorList(vendors));
    EXPECT_EQ(source_->loads, 1);  // the container bytes are kept
    ResetDriverCatalog();
    std::string maker, model, dial;
    EXPECT_FALSE(GetTacRow(1, maker, model, dial));  // the tables went with the reset
    EXPECT_TRUE(GetVendorList(vendors));
    EXPECT_EQ(source_->loads, 2);
}

TEST_F(CatalogTest, MissingCatalogTablesFailTheLoad) {
    source_ = std::make_unique<platform::MemoryResourceSource>(
        "DB", 101,
        test::ContainerOfPlain({Bytes("no\ttabs\r\n"), Bytes(TextEntryFromUtf8(kTacs))}));
    sim_.platform.resources = source_.get();
    EXPECT_FALSE(EnsureDriverCatalog());
}

}  // namespace
}  // namespace tarvelin
