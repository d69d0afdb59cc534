// Header, index, frame and extraction rules of the container, on containers made here.
#include <gtest/gtest.h>

#include "ContainerBuilder.h"
#include "driverdb/DriverBaseFormat.h"
#include "driverdb/PCExtract.h"
#include "platform/LittleEndian.h"

namespace tarvelin {
namespace {

using test::Bytes;
using test::ContainerOf;
using test::ContainerOfPlain;

size_t RecordField(int32_t entry, int field) {
    return kDriverBaseHeaderSize + kDriverBaseIndexRecordSize * (entry - 1) + 4 * field;
}

class ContainerTest : public ::testing::Test {
  protected:
    std::vector<uint8_t> container = ContainerOfPlain({Bytes("first"), Bytes("second entry")});
};

TEST_F(ContainerTest, HeaderRules) {
    DriverBaseHeader h;
    ASSERT_TRUE(ParseDriverBaseHeader(container, h));
    EXPECT_EQ(h.entryCount, 2);

    auto changed = [&](size_t at, std::vector<uint8_t> bytes) {
        std::vector<uint8_t> c = container;
        std::copy(bytes.begin(), bytes.end(), c.begin() + static_cast<ptrdiff_t>(at));
        DriverBaseHeader out;
        return ParseDriverBaseHeader(c, out);
    };
    EXPECT_FALSE(changed(0, Bytes("vexrDB")));
    EXPECT_FALSE(changed(0, Bytes("VEXRDB")));
    EXPECT_TRUE(changed(8, {3, 0}));             // minor version 3
    EXPECT_FALSE(changed(6, {2, 0}));            // major version 2
    EXPECT_FALSE(changed(6, {0, 0}));            // major version 0
    EXPECT_FALSE(changed(10, {0, 0, 0, 0}));     // date 0
    EXPECT_FALSE(changed(10, {0, 0, 0, 0x80}));  // date negative
    EXPECT_FALSE(changed(14, {0, 0, 0, 0}));     // no entries
    EXPECT_FALSE(changed(14, {0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_FALSE(ParseDriverBaseHeader(std::span(container).first(17), h));
}

TEST_F(ContainerTest, IndexMustFitTheContainer) {
    DriverBaseHeader h;
    ASSERT_TRUE(ParseDriverBaseHeader(container, h));
    std::vector<DriverBaseIndexRecord> records;
    ASSERT_TRUE(ParseDriverBaseIndex(std::span(container).first(18 + 40), h, records));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].unpackedSize, 12u);
    EXPECT_FALSE(ParseDriverBaseIndex(std::span(container).first(18 + 39), h, records));
    h.entryCount = 0x7FFFFFFF;  // claims far more than any container holds
    EXPECT_FALSE(ParseDriverBaseIndex(container, h, records));
}

TEST_F(ContainerTest, EntriesOneToNOnly) {
    std::vector<uint8_t> data = Bytes("untouched");
    for (int32_t n : {0, 3, -1}) EXPECT_FALSE(ExtractEntry(container, n, data)) << n;
    EXPECT_EQ(data, Bytes("untouched"));
    ASSERT_TRUE(ExtractEntry(container, 2, data));
    EXPECT_EQ(data, Bytes("second entry"));
    ASSERT_TRUE(ExtractEntry(container, 1, data));
    EXPECT_EQ(data, Bytes("first"));
}

TEST_F(ContainerTest, StoredRangeOutsideTheContainerFails) {
    std::vector<uint8_t> data;
    const size_t e = RecordField(2, 4), c = RecordField(2, 3);
    auto with = [&](size_t at, uint32_t v) {
        std::vector<uint8_t> copy = container;
        StoreLe32(&copy[at], v);
        return copy;
    };
    const uint32_t size = static_cast<uint32_t>(container.size());
    const uint32_t offset = LoadLe32(&container[e]);
    ASSERT_EQ(offset - 1 + LoadLe32(&container[c]), size);  // the last entry ends the container
    for (uint32_t bad : {offset + 1, 0u, 0xFFFFFFFFu}) {
        EXPECT_FALSE(ExtractEntry(with(e, bad), 2, data)) << bad;
    }
    EXPECT_FALSE(ExtractEntry(with(c, 0xFFFFFFF8), 2, data));
    EXPECT_FALSE(ExtractEntry(std::span(container).first(size - 1), 2, data));
    EXPECT_TRUE(data.empty());
}

// The frame around one payload: C - L must be 12..19 and L at least 1.
class FrameTest : public ::testing::Test {
  protected:
    // A stored stream of "hello" followed by ignored bytes, `length` bytes in all.
    static std::vector<uint8_t> Payload(size_t length) {
        std::vector<uint8_t> p = test::StoredStream(Bytes("hello"));
        p.resize(length, 0xAB);
        return p;
    }
    bool Accepts(size_t length, size_t padding, int32_t unpacked = 5) {
        std::vector<uint8_t> frame = BuildFrame(Payload(length), padding, random_);
        EncipherBlocks(frame);
        const PCExtract extract;
        return extract.GetArray(frame, unpacked) && frame == Bytes("hello");
    }
    std::mt19937_64 random_{9};
};

// C - L of 12..19 only; output of B + 1 bytes accepted, B + 2 refused; an absurd B costs no
// absurd buffer.
TEST_F(FrameTest, SlackAndOutputSizeRules) {
    const struct {
        size_t length, padding;
        int32_t unpacked;
        bool accepted;
    } cases[] = {
        {12, 0, 5, true}, {13, 7, 5, true},  {12, 8, 5, false},  {20, 0, 5, true},
        {12, 0, 4, true}, {12, 0, 3, false}, {12, 0, -1, false}, {12, 0, 0x7FFFFFFF, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Accepts(c.length, c.padding, c.unpacked), c.accepted)
            << c.length << " " << c.padding << " " << c.unpacked;
    }
}

// A length field beyond the frame, an empty payload, sizes too small or not whole blocks.
TEST_F(FrameTest, MalformedFramesFail) {
    std::vector<std::vector<uint8_t>> frames = {BuildFrame(Payload(12), 0, random_),
                                                BuildFrame({}, 4, random_)};  // L = 0
    StoreLe32(&frames[0][8], 0xFFFFFFF8);  // size - L wraps in 32 bits to 32
    for (auto& frame : frames) EncipherBlocks(frame);
    for (size_t size : {0, 7, 8, 12, 17, 23}) frames.emplace_back(size, 0x5A);
    for (auto& frame : frames) EXPECT_FALSE(PCExtract().GetArray(frame, 5)) << frame.size();
}

// A wrong NLEN fails the entry and leaves the output alone; an empty entry is empty.
TEST(ExtractTest, WrongNlenFailsTheEntryEmptyEntryInflatesToNothing) {
    std::mt19937_64 random(2);
    const std::vector<uint8_t> c =
        ContainerOf({StoreEntry(test::StoredStream(Bytes("stored bytes"), true), 12, 0, random),
                     test::StoredEntryOf({}, random)});
    std::vector<uint8_t> data = Bytes("keep");
    EXPECT_FALSE(ExtractEntry(c, 1, data));
    EXPECT_EQ(data, Bytes("keep"));
    ASSERT_TRUE(ExtractEntry(c, 2, data));
    EXPECT_TRUE(data.empty());
}

// An entry far more compressed than most still extracts whole at its exact size.
TEST(ExtractTest, HighlyCompressedEntryExtractsAtItsExactSize) {
    // A fixed block: 'z', then 4001 matches (258, 1) of 13 bits each, repeating every 13 bytes,
    // then the end of block.
    const std::vector<uint8_t> period = {0x05, 0xA3, 0x60, 0x14, 0x8C, 0x82, 0x51,
                                         0x30, 0x0A, 0x46, 0xC1, 0x28, 0x18};
    std::vector<uint8_t> stream = {0xAB, 0x1A};
    for (int i = 0; i < 500; ++i) stream.insert(stream.end(), period.begin(), period.end());
    stream.insert(stream.end(), {0x05, 0x00});
    const size_t size = 1 + 258 * 4001;
    std::mt19937_64 random(4);
    const std::vector<uint8_t> c =
        ContainerOf({StoreEntry(stream, static_cast<uint32_t>(size), 0, random)});
    std::vector<uint8_t> data;
    ASSERT_TRUE(ExtractEntry(c, 1, data));
    EXPECT_EQ(data, std::vector<uint8_t>(size, 'z'));
}

}  // namespace
}  // namespace tarvelin
