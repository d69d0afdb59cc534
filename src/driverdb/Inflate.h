#pragma once
// Raw DEFLATE decoding (no zlib or gzip wrapper) into a caller-sized output buffer. The
// decoder never reads or writes outside the two spans, whatever the input holds.
#include <cstddef>
#include <cstdint>
#include <span>

namespace tarvelin {

enum InflateResult : int32_t {
    kInflateOk = 0,
    // Block type 3, input ending inside a block, an invalid code or distance, or output
    // that would not fit the buffer.
    kInflateDataError = -1,
    // A stored block's NLEN is not the complement of LEN; decoding still ran to the end.
    kInflateStoredLength = -2,
    kInflateFixedTables = -10,    // the fixed Huffman code tables could not be built
    kInflateDynamicTables = -11,  // a block's dynamic Huffman code tables could not be built
};

// Decodes the stream at the start of `in` up to its final block into `out`; `produced`
// receives the number of bytes decoded. Bytes of `out` past them may have been overwritten
// (matches are copied in whole words). Distance codes 30 and 31 are accepted (bases 32769
// and 49153, 14 extra bits), so distances up to 65536 reach back into the output.
int32_t Inflate(std::span<const uint8_t> in, std::span<uint8_t> out, size_t& produced);

}  // namespace tarvelin
