#include "store/PageStamp.h"

#include <gtest/gtest.h>

#include <vector>

using namespace pagelet;

// A sync tool's edit of the same size must show in the hash whichever byte it changed, in the
// lanes, in the eight-byte tail or in the last bytes; a trailing zero must too.
TEST(PageStamp, EveryByteAndTheLengthCount)
{
    for (std::size_t size : {0u, 1u, 7u, 8u, 31u, 32u, 33u, 64u, 71u, 1001u}) {
        std::vector<unsigned char> bytes(size + 1, 0);
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<unsigned char>(i * 37 + 11);
        const std::uint64_t whole = hashBytes(bytes.data(), size);
        for (std::size_t i = 0; i < size; ++i)
            for (unsigned char bit : {0x01, 0x80}) {
                std::vector<unsigned char> changed = bytes;
                changed[i] ^= bit;
                EXPECT_NE(hashBytes(changed.data(), size), whole) << size << " byte " << i;
            }
        EXPECT_NE(hashBytes(bytes.data(), size + 1), whole) << size;
        // Where the two numbers end and the text starts is part of what is hashed.
        if (size >= 9) {
            EXPECT_NE(pageHash(bytes.data(), 8, bytes.data() + 8, size - 8), pageHash(bytes.data(), 9, bytes.data() + 9, size - 9));
        }
    }
}
