#include "crypto/SealedFile.h"
#include "store/PageFormat.h"
#include "crypto/CryptoRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace pagelet::testing {
namespace {

const LocalDate kDay {2001, 6, 7};

SealedNonce fixedNonce()
{
    SealedNonce nonce;
    for (std::size_t i = 0; i < nonce.size(); ++i)
        nonce[i] = static_cast<std::uint8_t>(0xA0 + i);
    return nonce;
}

std::string hex(const Bytes& bytes)
{
    std::string out;
    char two[3];
    for (auto b : bytes) {
        std::snprintf(two, sizeof two, "%02x", b);
        out += two;
    }
    return out;
}

// A page "ab" with weather 2, sealed under the counting key and a fixed nonce: the bytes must
// stay these for every later version, or diaries written today stop opening. They were checked
// once against another implementation (HChaCha20 by hand, then IETF ChaCha20-Poly1305 with
// the header and "20010607" as associated data).
TEST(SealedFile, KnownAnswer)
{
    const Bytes plain = encodePage({2, u"ab"});
    const SealedNonce nonce = fixedNonce();
    const Bytes sealed = sealFileWithNonce(countingKey(), kDay, SealedKind::Page, plain, nonce);

    ASSERT_EQ(sealed.size(), 4u + 1 + 1 + 24 + plain.size() + 16);
    EXPECT_EQ(Bytes(sealed.begin(), sealed.begin() + 6), (Bytes {'P', 'G', 'S', 'L', 1, 1}));
    EXPECT_EQ(Bytes(sealed.begin() + 6, sealed.begin() + 30), Bytes(nonce.begin(), nonce.end()));
    EXPECT_EQ(hex(sealed), "5047534c0101a0a1a2a3a4a5a6a7a8a9aaabacadaeafb0b1b2b3b4b5b6b7"
                           "47ec0a1db55da4ac006f4f89c84752dca3dbe198f3d1089b99a49a47");
    EXPECT_EQ(openSealed(countingKey(), kDay, SealedKind::Page, sealed), plain);
}

TEST(SealedFile, RoundTrips)
{
    Bytes tenMegabytes;
    {
        Page big {3, std::u16string(5u << 20, u'가')};
        for (std::size_t i = 0; i < big.text.size(); i += 97)
            big.text[i] = u'\n';
        tenMegabytes = encodePage(big);
    }
    Bytes wave = {'R', 'I', 'F', 'F', 36, 0, 0, 0, 'W', 'A', 'V', 'E'};
    const struct {
        const char* name;
        SealedKind kind;
        Bytes plain;
    } cases[] = {
        {"empty page", SealedKind::Page, encodePage({0, u""})},
        {"weather 0", SealedKind::Page, encodePage({0, u"맑음"})},
        {"weather 1", SealedKind::Page, encodePage({1, u"구름"})},
        {"weather 2", SealedKind::Page, encodePage({2, u"비"})},
        {"weather 3", SealedKind::Page, encodePage({3, u"눈"})},
        {"weather 4", SealedKind::Page, encodePage({4, u"바람\r\n둘째 줄"})},
        {"10 MB page", SealedKind::Page, tenMegabytes},
        {"memo", SealedKind::Memo, wave},
        {"empty memo", SealedKind::Memo, {}},
    };
    const DiaryKey key = countingKey();
    for (const auto& c : cases) {
        const Bytes sealed = sealFile(key, kDay, c.kind, c.plain);
        EXPECT_TRUE(looksSealed(sealed)) << c.name;
        EXPECT_EQ(sealed.size(), kSealedHeaderBytes + c.plain.size() + kSealedTagBytes) << c.name;
        EXPECT_EQ(openSealed(key, kDay, c.kind, sealed), c.plain) << c.name;
        // A new nonce each time: the same page never gives the same bytes twice.
        EXPECT_NE(sealFile(key, kDay, c.kind, c.plain), sealed) << c.name;
    }
}

TEST(SealedFile, AnyDamageOpensToNothing)
{
    const DiaryKey key = countingKey();
    const Bytes plain = encodePage({1, u"오늘은 비가 왔다"});
    const Bytes sealed = sealFile(key, kDay, SealedKind::Page, plain);
    auto flipped = [&](std::size_t at, std::uint8_t bit = 1) {
        Bytes b = sealed;
        b[at] ^= bit;
        return b;
    };
    const struct {
        const char* name;
        Bytes bytes;
        LocalDate day = kDay;
        SealedKind kind = SealedKind::Page;
        std::uint8_t keyStart = 0;
    } cases[] = {
        {"magic", flipped(0)},
        {"version", flipped(4)},
        {"version 2", [&] { Bytes b = sealed; b[4] = 2; return b; }()},
        {"kind", flipped(5, 3)},
        {"nonce first byte", flipped(6)},
        {"nonce last byte", flipped(29, 0x80)},
        {"ciphertext bit", flipped(kSealedHeaderBytes + 3, 0x10)},
        {"tag bit", flipped(sealed.size() - 1)},
        {"cut by one", Bytes(sealed.begin(), sealed.end() - 1)},
        {"header only", Bytes(sealed.begin(), sealed.begin() + kSealedHeaderBytes)},
        {"shorter than a header", Bytes(sealed.begin(), sealed.begin() + 5)},
        {"nothing", {}},
        {"a byte added", [&] { Bytes b = sealed; b.push_back(0); return b; }()},
        {"another day", sealed, {2001, 6, 8}},
        {"another year", sealed, {2002, 6, 7}},
        {"read as a memo", sealed, kDay, SealedKind::Memo},
        {"another key", sealed, kDay, SealedKind::Page, 1},
        {"a plain page", plain},
    };
    // The text as it would lie in the buffer had a damaged file been deciphered and left there.
    const Bytes words(plain.begin() + 8, plain.end());
    for (const auto& c : cases) {
        EXPECT_EQ(openSealed(countingKey(c.keyStart), c.day, c.kind, c.bytes), std::nullopt) << c.name;
        Bytes inPlace = c.bytes;
        EXPECT_EQ(openSealedInPlace(countingKey(c.keyStart), c.day, c.kind, inPlace), std::nullopt) << c.name;
        if (c.bytes != plain)
            EXPECT_EQ(std::search(inPlace.begin(), inPlace.end(), words.begin(), words.end()), inPlace.end()) << c.name;
    }
    EXPECT_EQ(openSealed(key, kDay, SealedKind::Page, sealed), plain);
}

} // namespace
} // namespace pagelet::testing
