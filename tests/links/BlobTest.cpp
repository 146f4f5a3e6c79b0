// The layout blob, cut into chunk records and joined again.
#include <gtest/gtest.h>

#include <vector>

#include "control/ChartMembers.h"
#include "support/AdapterFixture.h"

namespace {

using namespace testing_support;
using Bytes = std::string;

std::string Chunk(int number, int length, std::string_view data) { return ChunkRecord(number, length, data, '\x5A'); }

Bytes Pattern(std::size_t size) {
    Bytes bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

using BlobTest = AttachedFixture;

TEST_F(BlobTest, BytesRoundTripThroughChunkRecords) {
    const std::vector<std::size_t> sizes = {0u, 1u, 1020u, 1021u, 1022u, 2042u, 257u * 1021u};
    // Below 30 the getter asks chart method 70 for the blob, from 30 on property 11.
    for (SHORT version : {310, 309, 30, 29}) {
        ASSERT_TRUE(SetVersion(version).Ok());
        for (std::size_t size : version == 310 ? sizes : std::vector<std::size_t>{1022u}) {
            SCOPED_TRACE(testing::Message() << "version " << version << ", " << size << " bytes");
            const Bytes blob = Pattern(size);
            chart_->SetProperty(chart::kBlob, ByteArray(blob));
            auto table = Lend("Blob");
            chart_->ClearCalls();
            Outcome out = Get("Blob");
            ASSERT_TRUE(out.Ok()) << out.description;
            const char* asked = version < 30 ? "call BlobOfVersion(I4:2)" : "get Blob()";
            EXPECT_EQ(Shown(chart_->Calls()), Row{asked});

            ASSERT_EQ(table->RowCount(), (size + 1020) / 1021);
            for (std::size_t r = 1, at = 0; at < size; ++r, at += 1021) {  // a short last chunk ends in NULs
                const int length = static_cast<int>(std::min<std::size_t>(1021, size - at));
                EXPECT_EQ(table->Row(r), ChunkRecord(static_cast<int>(r), length, blob.substr(at, 1021))) << r;
            }

            chart_->SetProperty(chart::kBlob, COleVariant());
            chart_->ClearCalls();
            table->SetDataFlag(1);
            ASSERT_TRUE(Put("Blob", table.Get()).Ok());
            EXPECT_EQ(chart_->Calls().size(), size == 0 ? 0u : 1u) << "an empty blob table sends nothing";
            if (size > 0) {
                EXPECT_EQ(BytesOf(chart_->PropertyValue(chart::kBlob)), blob);
            }
        }
    }
}

TEST_F(BlobTest, ChunkNumbersAreNotReadAndInconsistentLengthsAreRejected) {
    const std::string full = Pattern(1021), next = Pattern(2042).substr(1021);
    struct Case {
        const char* what;
        std::vector<std::string> rows;
        Bytes blob;  // "<no bytes>": rejected, nothing sent
    } cases[] = {
        {"numbers wrong and repeated", {Chunk(9, 1021, full), Chunk(9, 2, "xy")}, full + "xy"},
        {"a last chunk of no bytes", {Chunk(1, 1021, full), Chunk(2, 0, "")}, full},
        {"a single chunk of no bytes", {Chunk(1, 0, "")}, ""},
        {"first chunk short", {Chunk(1, 1000, full), Chunk(2, 2, "xy")}, "<no bytes>"},
        {"first chunk long", {Chunk(1, 1022, full), Chunk(2, 2, "xy")}, "<no bytes>"},
        {"last chunk long", {Chunk(1, 1022, full)}, "<no bytes>"},
        {"last chunk negative", {Chunk(1, -1, full)}, "<no bytes>"},
        {"last chunk of the largest length", {Chunk(1, 0x7FFF, full)}, "<no bytes>"},
        {"a row too short to hold a length", {Chunk(1, 1021, full), "\x02"}, "<no bytes>"},
        {"rows of text", {"one", "two"}, "<no bytes>"},
        // Middle chunks are read where their bytes go: their headers and reserved bytes must leave no trace.
        {"three chunks, the last of one byte", {Chunk(1, 1021, full), Chunk(2, 1021, next), Chunk(3, 1, "z")},
         full + next + "z"},
        {"three chunks, the last of no bytes", {Chunk(1, 1021, full), Chunk(2, 1021, next), Chunk(3, 0, "")},
         full + next},
        {"a middle chunk short", {Chunk(1, 1021, full), Chunk(2, 1000, next), Chunk(3, 2, "xy")}, "<no bytes>"},
        {"a middle chunk long", {Chunk(1, 1021, full), Chunk(2, 1022, next), Chunk(3, 2, "xy")}, "<no bytes>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        chart_->SetProperty(chart::kBlob, COleVariant());
        chart_->ClearCalls();
        Outcome out = PutRecords("Blob", c.rows);
        ASSERT_TRUE(out.Ok()) << out.description;
        EXPECT_EQ(BytesOf(chart_->PropertyValue(chart::kBlob)), c.blob);
        EXPECT_EQ(chart_->Calls().size(), c.blob == "<no bytes>" ? 0u : 1u);
    }
}

}  // namespace
