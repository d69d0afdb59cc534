#include <gtest/gtest.h>

#include "dialup/RasRecords.h"

namespace tarvelin {
namespace {

using Bytes = std::vector<uint8_t>;

// Every field set, to text and numbers that differ from their neighbours': a record of
// printable bytes that change with the position, read and written once so that every
// string fits its field.
RasEntryInfo FullEntry() {
    Bytes pattern(2884);
    for (size_t i = 0; i < pattern.size(); ++i) pattern[i] = static_cast<uint8_t>('!' + i % 90);
    RasEntryInfo entry;
    DecodeRasEntry(pattern, 2884, entry);
    DecodeRasEntry(EncodeRasEntry(entry, 2884), 2884, entry);
    return entry;
}

// Which groups a round trip keeps at each size: a group starting at a threshold needs a
// larger record; the old layout keeps its tail 96 bytes nearer the start.
TEST(RasRecordsTest, EntryRoundTripKeepsTheGroupsTheSizeHolds) {
    const RasEntryInfo in = FullEntry();
    ASSERT_EQ(in.szDnsSuffix.size(), 255u);
    const struct {
        uint32_t size;
        int groups;
    } cases[] = {{1672, 0}, {1768, 0}, {1772, 0}, {1796, 1}, {2088, 2}, {2352, 3}, {2884, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        const Bytes bytes = EncodeRasEntry(in, c.size);
        ASSERT_EQ(bytes.size(), c.size + 2u);
        EXPECT_EQ(ReadRasNumber(bytes, {0, 4}), c.size);
        RasEntryInfo out;
        DecodeRasEntry(bytes, c.size, out);
        EXPECT_EQ(out.szX25UserData, in.szX25UserData);
        EXPECT_EQ(out.dwChannels, in.dwChannels);
        EXPECT_EQ(out.dwSubEntries != 0, c.groups >= 1 || c.size == 1772);
        EXPECT_EQ(out.dwIdleDisconnectSeconds != 0, c.groups >= 1);
        EXPECT_EQ(out.dwType != 0 && out.dwVpnStrategy != 0, c.groups >= 2);
        EXPECT_EQ(out.dwfOptions2 != 0 && !out.szDnsSuffix.empty(), c.groups >= 3);
        EXPECT_EQ(out == in, c.groups == 3);
    }
    const Bytes old = EncodeRasEntry(in, kRasEntryOldSize);
    EXPECT_EQ(ReadRasNumber(old, {1660, 4}), in.dwChannels);
    RasEntryInfo out;
    DecodeRasEntry(old, kRasEntryOldSize, out);
    EXPECT_EQ(out.szDeviceName, in.szDeviceName.substr(0, 32));
}

// Text comes back cut to its field with the zero kept, up to the first zero or the field's
// or the buffer's end; numbers and text outside the buffer are neither read nor written.
TEST(RasRecordsTest, FieldsStayInsideTheirBytes) {
    Bytes bytes(10, 'x');
    EXPECT_EQ(ReadRasText(bytes, {2, 4}), "xxxx") << "no terminating zero";
    EXPECT_EQ(ReadRasText(bytes, {6, 100}), "xxxx");
    EXPECT_EQ(ReadRasText(bytes, {11, 4}), "");
    WriteRasText(bytes, {2, 5}, "Привет");
    EXPECT_EQ(ReadRasText(bytes, {2, 5}), "Прив");
    WriteRasText(bytes, {8, 40}, "long");
    WriteRasText(bytes, {11, 4}, "out");
    WriteRasNumber(bytes, {7, 4}, 0xFFFFFFFF);
    EXPECT_EQ(ReadRasNumber(bytes, {7, 4}), 0u);
    EXPECT_EQ(bytes, Bytes({'x', 'x', 0xCF, 0xF0, 0xE8, 0xE2, 0, 'x', 'l', 0}));
    EXPECT_EQ(ReadRasNumber(Bytes{1, 2, 3, 4, 5, 6, 7, 8}, {0, 8}), 0x0807060504030201u);
}

// The list behind the record is taken only from an offset past the fixed fields and inside.
TEST(RasRecordsTest, AlternateNumbersLieBehindTheRecord) {
    RasEntryInfo in = FullEntry();
    in.AlternateNumbers = std::string(
        "5551\0"
        "5552\0",
        10);
    Bytes bytes = EncodeRasEntry(in, 2884);
    ASSERT_EQ(bytes.size(), 2884u + 10 + 2);
    EXPECT_EQ(ReadRasNumber(bytes, {156, 4}), 2884u);
    const struct {
        uint32_t offset;
        std::string expected;
    } cases[] = {{2884, in.AlternateNumbers + std::string(2, '\0')},
                 {2896, ""},
                 {2897, "kept"},
                 {1000, "kept"}};
    for (const auto& c : cases) {
        WriteRasNumber(bytes, {156, 4}, c.offset);
        RasEntryInfo out;
        out.AlternateNumbers = "kept";
        DecodeRasEntry(bytes, 2884, out);
        EXPECT_EQ(out.AlternateNumbers, c.expected) << c.offset;
    }
}

// Records shorter than S, odd sizes and bytes without a zero anywhere: only what lies in
// both is read (the sanitizers catch a read past the buffer); a huge S allocates nothing.
TEST(RasRecordsTest, ShortAndOddRecordsAreReadOnlyInside) {
    for (uint32_t size : {0u, 3u, 4u, 159u, 160u, 1000u, 1671u, 1673u, 1769u, 2100u, 2353u}) {
        for (uint8_t fill : {0x00, 0xFF}) {
            const Bytes bytes(size, fill);
            RasEntryInfo entry;
            DecodeRasEntry(bytes, 2884, entry);
            DecodeRasEntry(bytes, size, entry);
            RasDialInfo dial;
            DecodeDialParams(bytes, 1060, dial);
        }
    }
    RasEntryInfo out = FullEntry();
    DecodeRasEntry(Bytes(1000, 0), 2884, out);
    EXPECT_EQ(out.szAutodialFunc, "");
    EXPECT_EQ(out.szDeviceName, FullEntry().szDeviceName) << "beyond the buffer: left";
    EXPECT_TRUE(EncodeRasEntry(out, 1u << 30).empty());
}

TEST(RasRecordsTest, DialParamsAtEverySizeOfBothLayouts) {
    const RasDialInfo in{std::string(300, 'e'), "+7 495 1234567", "cb",
                         "пользователь",        "секрет",         "ДОМЕН"};
    for (const RasLayout* layout : {&kRasLayoutX86, &kRasLayoutX64}) {
        for (uint32_t size : layout->dialParamsSizes) {
            SCOPED_TRACE(size);
            const Bytes bytes = EncodeDialParams(size, in);
            ASSERT_EQ(bytes.size(), size);
            EXPECT_EQ(ReadRasNumber(bytes, {0, 4}), size);
            RasDialInfo out, expected = in;
            DecodeDialParams(bytes, size, out);
            expected.EntryName.resize(size == 816 ? 20 : 256);
            EXPECT_EQ(out, expected);
            RasDialInfo query;
            DecodeDialParams(DialParamsQuery(size, "Интернет"), size, query);
            EXPECT_EQ(query.EntryName + query.PhoneNumber + query.Password, "Интернет");
        }
    }
}

}  // namespace
}  // namespace tarvelin
