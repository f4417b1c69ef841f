#include "crypto/KeyFile.h"
#include "crypto/RecoveryKey.h"
#include "crypto/CryptoRig.h"

#include <gtest/gtest.h>

#include <cstring>
#include <cctype>
#include <sys/prctl.h>
#include <sys/resource.h>

namespace pagelet::testing {
namespace {

bool sameKey(const std::optional<DiaryKey>& a, const DiaryKey& b)
{
    return a && std::memcmp(a->bytes(), b.bytes(), DiaryKey::kBytes) == 0;
}

void putU64(Bytes& bytes, std::size_t at, std::uint64_t value)
{
    for (int i = 0; i < 8; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

Bytes fromHex(std::string_view hex)
{
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    return bytes;
}

// A version 1 key file written once (passphrase "password", 1 pass over 1 MiB): every later
// version must still unlock it to the same key, by passphrase and by recovery key; it has no
// diary id and no mark.
TEST(KeyFile, KnownFileUnlocks)
{
    const Bytes file = fromHex("50474c4b01000000010000000100000000000000000010000000000052f2abc0"
                               "a40845d9e5c3c2f50089779b99a0281b2d3bbe3de0b6aa477077477b43e414ee"
                               "4fe0aafd8256c9ee0a0f250f6581f7c73f6c6e64a3e3167e036f821b38b48eaa"
                               "737544ea9c6f1012ae028189b7af98b8b3557ab5020000000000000000000000"
                               "00000000000000004e197c6eb4fbc2da48380387eaff9071918107da6b68b850"
                               "e0ae6359454ab489a15f85543180be1c356d76b20a6ba5249e5e255bc36324c4"
                               "c9784003a06b18a988e20f6ddc8a95ddebcccdbc273012295268344b1a6052a4");
    const Bytes key = fromHex("a47eebd4c8c704e9bfa12852419d473e69cad0541ddcb202fb8d263820858815");
    const auto read = parseKeyFile(file, kQuickLimits);
    ASSERT_TRUE(read) << read.error();
    const auto byPassphrase = unlockWithPassphrase(*read, bytesOf("password"), kQuickLimits);
    ASSERT_TRUE(byPassphrase);
    EXPECT_EQ(Bytes(byPassphrase->bytes(), byPassphrase->bytes() + 32), key);
    const auto byRecovery = unlockWithRecoveryKey(*read, "BN74-F6VZ-1F7F-E8X9-5EVW-JY5T-8NDV-WGH5");
    ASSERT_TRUE(byRecovery);
    EXPECT_EQ(Bytes(byRecovery->bytes(), byRecovery->bytes() + 32), key);
    EXPECT_EQ(byPassphrase->diaryId(), DiaryId {});
    EXPECT_FALSE(byPassphrase->conversionEnded());
    // It stays version 1 whatever is done with it: its slots are bound to that version.
    EXPECT_EQ(encodeKeyFile(withConversionMark(*read, *byPassphrase, true)), file);
    const auto rewrapped = rewrapKeyFile(*read, *byPassphrase, bytesOf("new words"), kQuickKdf);
    ASSERT_TRUE(rewrapped);
    EXPECT_EQ(encodeKeyFile(*rewrapped).size(), file.size());
    EXPECT_TRUE(unlockWithPassphrase(*rewrapped, bytesOf("new words"), kQuickLimits));
}

TEST(KeyFile, LayoutAndUnlocking)
{
    const auto made = createKeyFile(bytesOf("correct horse"), kQuickKdf);
    ASSERT_TRUE(made);
    const Bytes bytes = encodeKeyFile(made->file);
    ASSERT_EQ(bytes.size(), 276u);
    // Read by hand: magic, version, then each slot's kdf and parameters where they belong.
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 8), (Bytes {'P', 'G', 'L', 'K', 2, 0, 0, 0}));
    EXPECT_EQ(Bytes(bytes.begin() + 224, bytes.begin() + 240), Bytes(made->file.id.begin(), made->file.id.end()));
    EXPECT_EQ(made->key.diaryId(), made->file.id);
    EXPECT_NE(made->file.id, DiaryId {});
    EXPECT_EQ(Bytes(bytes.begin() + 240, bytes.begin() + 244), (Bytes {0, 0, 0, 0})) << "no mark yet";
    EXPECT_EQ(Bytes(bytes.begin() + 8, bytes.begin() + 28), (Bytes {1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x10, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Bytes(bytes.begin() + 116, bytes.begin() + 136), (Bytes {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_NE(Bytes(bytes.begin() + 28, bytes.begin() + 44), Bytes(bytes.begin() + 136, bytes.begin() + 152)) << "salts";

    // 8 groups of 4 from the alphabet without I, L, O and U.
    ASSERT_EQ(made->recoveryKey.size(), 39u);
    for (std::size_t i = 0; i < made->recoveryKey.size(); ++i) {
        const char c = made->recoveryKey[i];
        if (i % 5 == 4)
            EXPECT_EQ(c, '-') << made->recoveryKey;
        else
            EXPECT_TRUE(std::isdigit(c) || (std::isupper(c) && !std::strchr("ILOU", c))) << made->recoveryKey;
    }

    const auto read = parseKeyFile(bytes, kQuickLimits);
    ASSERT_TRUE(read) << read.error();
    EXPECT_EQ(encodeKeyFile(*read), bytes);
    EXPECT_TRUE(sameKey(unlockWithPassphrase(*read, bytesOf("correct horse"), kQuickLimits), made->key));
    EXPECT_TRUE(sameKey(unlockWithRecoveryKey(*read, made->recoveryKey), made->key));
    // As people type it back: lower case, spaces, O for 0.
    std::string typed = made->recoveryKey;
    for (char& c : typed)
        c = c == '-' ? ' ' : c == '0' ? 'o' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_TRUE(sameKey(unlockWithRecoveryKey(*read, typed), made->key));

    // A new passphrase wraps the same key: the pages stay as they are, the old passphrase fails.
    const auto rewrapped = rewrapKeyFile(*read, made->key, bytesOf("battery staple"), kQuickKdf);
    ASSERT_TRUE(rewrapped);
    EXPECT_TRUE(sameKey(unlockWithPassphrase(*rewrapped, bytesOf("battery staple"), kQuickLimits), made->key));
    EXPECT_FALSE(unlockWithPassphrase(*rewrapped, bytesOf("correct horse"), kQuickLimits));
    EXPECT_TRUE(sameKey(unlockWithRecoveryKey(*rewrapped, made->recoveryKey), made->key));
    // The id and the mark go along.
    const KeyFile marked = withConversionMark(*read, made->key, true);
    const auto rewrappedMarked = rewrapKeyFile(marked, made->key, bytesOf("battery staple"), kQuickKdf);
    ASSERT_TRUE(rewrappedMarked);
    const Bytes before = encodeKeyFile(marked), after = encodeKeyFile(*rewrappedMarked);
    EXPECT_EQ(Bytes(after.begin() + 224, after.end()), Bytes(before.begin() + 224, before.end()));
    const auto reopened = unlockWithPassphrase(*rewrappedMarked, bytesOf("battery staple"), kQuickLimits);
    ASSERT_TRUE(reopened);
    EXPECT_EQ(reopened->diaryId(), made->file.id);
    EXPECT_TRUE(reopened->conversionEnded());
}

// The mark and the id are the key holder's: changed by hand, the tag fails, and the stricter
// reading (plain files not the diary's) holds however the mark was left.
TEST(KeyFile, MarkAndIdAreBoundByTheTag)
{
    const auto made = createKeyFile(bytesOf("pass"), kQuickKdf);
    ASSERT_TRUE(made);
    const Bytes unmarked = encodeKeyFile(made->file);
    const Bytes marked = encodeKeyFile(withConversionMark(made->file, made->key, true));
    ASSERT_NE(marked, unmarked);
    auto with = [](Bytes b, std::size_t at, std::uint8_t value) {
        b[at] = value;
        return b;
    };
    const struct {
        const char* name;
        Bytes bytes;
        bool tagHolds;
        bool ended;
    } rows[] = {
        {"as made", unmarked, true, false},
        {"marked by the key", marked, true, true},
        {"mark set by hand", with(unmarked, 240, 1), false, true},
        {"mark cleared by hand", with(marked, 240, 0), false, true},
        {"mark's high byte", with(unmarked, 243, 1), false, true},
        {"id changed", with(unmarked, 230, unmarked[230] ^ 1), false, true},
        {"tag changed", with(unmarked, 260, unmarked[260] ^ 1), false, true},
    };
    for (const auto& row : rows) {
        const auto read = parseKeyFile(row.bytes, kQuickLimits);
        ASSERT_TRUE(read) << row.name << ": " << read.error();
        EXPECT_EQ(encodeKeyFile(*read), row.bytes) << row.name;
        EXPECT_EQ(keyFileTagHolds(*read, made->key), row.tagHolds) << row.name;
        for (const auto& key : {unlockWithPassphrase(*read, bytesOf("pass"), kQuickLimits),
                                unlockWithRecoveryKey(*read, made->recoveryKey)}) {
            ASSERT_TRUE(sameKey(key, made->key)) << row.name;
            EXPECT_EQ(key->conversionEnded(), row.ended) << row.name;
        }
    }
    // Made into version 1 (the trailer cut off), the slots no longer open: no way round the mark.
    Bytes old(marked.begin(), marked.begin() + 224);
    old[4] = 1;
    const auto read = parseKeyFile(old, kQuickLimits);
    ASSERT_TRUE(read) << read.error();
    EXPECT_FALSE(unlockWithPassphrase(*read, bytesOf("pass"), kQuickLimits));
    EXPECT_FALSE(unlockWithRecoveryKey(*read, made->recoveryKey));
}

TEST(KeyFile, RecoveryTextRoundTrip)
{
    std::uint8_t bytes[kRecoveryBytes];
    for (std::uint8_t fill : {0x00, 0xFF, 0xA5}) {
        std::memset(bytes, fill, sizeof bytes);
        bytes[7] = 0x3C;
        const std::string text = recoveryText(bytes);
        ASSERT_EQ(text.size(), 39u);
        const auto back = parseRecoveryText(text);
        ASSERT_TRUE(back);
        EXPECT_EQ(std::memcmp(back->data(), bytes, sizeof bytes), 0) << text;
    }
    EXPECT_EQ(recoveryText(std::array<std::uint8_t, 20> {}.data()), "0000-0000-0000-0000-0000-0000-0000-0000");
    for (const char* bad : {"", "0000-0000-0000-0000-0000-0000-0000-000", "0000-0000-0000-0000-0000-0000-0000-00000",
                            "0000-0000-0000-0000-0000-0000-0000-000U", "0000-0000-0000-0000-0000-0000-0000-000!"})
        EXPECT_FALSE(parseRecoveryText(bad)) << bad;
}

// Every refusal is a message and no key, and none of them derives anything.
TEST(KeyFile, DamagedFilesAreRefused)
{
    const auto made = createKeyFile(bytesOf("pass"), kQuickKdf);
    ASSERT_TRUE(made);
    const Bytes good = encodeKeyFile(made->file);
    auto with = [&](auto change) {
        Bytes b = good;
        change(b);
        return b;
    };
    const struct {
        const char* name;
        Bytes bytes;
        const char* error;
    } refused[] = {
        {"empty", {}, "not a key file"},
        {"magic", with([](Bytes& b) { b[0] = 'X'; }), "not a key file"},
        {"version 3", with([](Bytes& b) { b[4] = 3; }), "version 3"},
        {"version 1's length", Bytes(good.begin(), good.begin() + 224), "cut short"},
        {"cut", Bytes(good.begin(), good.end() - 1), "cut short"},
        {"longer", with([](Bytes& b) { b.push_back(0); }), "cut short"},
        {"both slots", with([](Bytes& b) {
             b[8] = 7;
             putU64(b, 120, 3);
         }),
         "does not know; the key file's recovery slot is damaged"},
    };
    for (const auto& c : refused) {
        const auto read = parseKeyFile(c.bytes, kQuickLimits);
        EXPECT_FALSE(read) << c.name;
        EXPECT_NE(read.error().find(c.error), std::string::npos) << c.name << ": " << read.error();
    }
    // A damaged slot header leaves the other slot to open the file; only the slot asked for is refused.
    const struct {
        const char* name;
        Bytes bytes;
        bool passphraseSlot; // the damaged one
        const char* damage;
    } oneSlot[] = {
        {"unknown kdf", with([](Bytes& b) { b[8] = 7; }), true, "derivation"},
        {"no passes", with([](Bytes& b) { putU64(b, 12, 0); }), true, "outside"},
        {"absurd passes", with([](Bytes& b) { putU64(b, 12, ~0ull); }), true, "outside"},
        {"absurd memory", with([](Bytes& b) { putU64(b, 20, 1ull << 50); }), true, "outside"},
        {"tiny memory", with([](Bytes& b) { putU64(b, 20, 4096); }), true, "outside"},
        {"recovery kdf", with([](Bytes& b) { b[116] = 1; }), false, "derivation"},
        {"recovery parameters", with([](Bytes& b) { putU64(b, 120, 3); }), false, "recovery slot is damaged"},
        {"recovery memory", with([](Bytes& b) { putU64(b, 128, 1); }), false, "recovery slot is damaged"},
    };
    for (const auto& c : oneSlot) {
        const auto read = parseKeyFile(c.bytes, kQuickLimits);
        ASSERT_TRUE(read) << c.name << ": " << read.error();
        EXPECT_EQ(encodeKeyFile(*read), c.bytes) << c.name;
        const std::string damage = c.passphraseSlot ? passphraseSlotDamage(read->passphrase, kQuickLimits)
                                                    : recoverySlotDamage(read->recovery);
        EXPECT_NE(damage.find(c.damage), std::string::npos) << c.name << ": " << damage;
        EXPECT_EQ(bool(unlockWithPassphrase(*read, bytesOf("pass"), kQuickLimits)), !c.passphraseSlot) << c.name;
        EXPECT_EQ(bool(unlockWithRecoveryKey(*read, made->recoveryKey)), c.passphraseSlot) << c.name;
    }
    // Parameters quick enough for a test are below what a file on disk may ask for.
    EXPECT_NE(passphraseSlotDamage(made->file.passphrase).find("outside 2-16 passes and 64-1024 MiB"), std::string::npos);

    // Parsed, but any changed byte of a slot fails to unlock: parameters and salt are bound too.
    const struct {
        const char* name;
        std::size_t at;
    } tampered[] = {{"passes", 12}, {"memory", 21}, {"salt", 28}, {"nonce", 44}, {"wrapped key", 68}, {"tag", 115}};
    for (const auto& c : tampered) {
        const auto read = parseKeyFile(with([&](Bytes& b) { b[c.at] ^= 2; }), kQuickLimits);
        ASSERT_TRUE(read) << c.name;
        EXPECT_FALSE(unlockWithPassphrase(*read, bytesOf("pass"), kQuickLimits)) << c.name;
        EXPECT_TRUE(sameKey(unlockWithRecoveryKey(*read, made->recoveryKey), made->key)) << c.name;
    }
    const struct {
        const char* name;
        std::size_t at;
    } recoveryTampered[] = {{"recovery salt", 136}, {"recovery nonce", 152}, {"recovery key", 200}};
    for (const auto& c : recoveryTampered) {
        const auto read = parseKeyFile(with([&](Bytes& b) { b[c.at] ^= 0x40; }), kQuickLimits);
        ASSERT_TRUE(read) << c.name;
        EXPECT_FALSE(unlockWithRecoveryKey(*read, made->recoveryKey)) << c.name;
    }

    const auto read = parseKeyFile(good, kQuickLimits);
    ASSERT_TRUE(read);
    for (const char* wrong : {"", "Pass", "pass ", "pas"})
        EXPECT_FALSE(unlockWithPassphrase(*read, bytesOf(wrong), kQuickLimits)) << wrong;
    EXPECT_FALSE(unlockWithRecoveryKey(*read, "0000-0000-0000-0000-0000-0000-0000-0000"));
    // A slot made by hand past the ceiling is refused before any memory is asked for.
    KeyFile huge = *read;
    huge.passphrase.params.memlimit = 1ull << 40;
    EXPECT_FALSE(unlockWithPassphrase(huge, bytesOf("pass")));
}

// A file may ask for 2 to 16 passes and 64 MiB to 1 GiB, both ends included.
TEST(KeyFile, DerivationLimitsHoldAtTheirEnds)
{
    const auto made = createKeyFile(bytesOf("pass"), kQuickKdf);
    ASSERT_TRUE(made);
    const struct {
        std::uint64_t passes, memory;
        bool read;
    } rows[] = {
        {2, 64ull << 20, true},         {16, 1ull << 30, true},          {2, 1ull << 30, true},
        {16, 64ull << 20, true},        {1, 64ull << 20, false},         {17, 64ull << 20, false},
        {2, (64ull << 20) - 1, false},  {2, (1ull << 30) + 1, false},    {17, (1ull << 30) + 1, false},
    };
    for (const auto& row : rows) {
        Bytes bytes = encodeKeyFile(made->file);
        putU64(bytes, 12, row.passes);
        putU64(bytes, 20, row.memory);
        const auto read = parseKeyFile(bytes);
        ASSERT_TRUE(read) << read.error();
        const std::string damage = passphraseSlotDamage(read->passphrase);
        EXPECT_EQ(damage.empty(), row.read) << row.passes << " passes, " << row.memory << " bytes: " << damage;
    }
    // Unlocking holds the same ceiling: a slot right at it still opens, one past it is refused.
    const auto read = parseKeyFile(encodeKeyFile(made->file), kQuickLimits);
    ASSERT_TRUE(read);
    EXPECT_TRUE(sameKey(unlockWithPassphrase(*read, bytesOf("pass"), {kQuickKdf, kQuickKdf}), made->key));
    EXPECT_FALSE(unlockWithPassphrase(*read, bytesOf("pass"), {kQuickKdf, {kQuickKdf.opslimit - 1, kQuickKdf.memlimit}}));
    EXPECT_FALSE(unlockWithPassphrase(*read, bytesOf("pass"), {kQuickKdf, {kQuickKdf.opslimit, kQuickKdf.memlimit - 1}}));
}

// The program's own parameters: above the floor for files, and what it writes reads back.
TEST(KeyFile, DefaultParametersPassTheFloor)
{
    const auto made = createKeyFile(bytesOf("slow but sure"));
    ASSERT_TRUE(made);
    const auto read = parseKeyFile(encodeKeyFile(made->file));
    ASSERT_TRUE(read) << read.error();
    EXPECT_TRUE(sameKey(unlockWithPassphrase(*read, bytesOf("slow but sure")), made->key));
}

} // namespace
} // namespace pagelet::testing

// Once a diary key exists the process can't be dumped or read by a debugger of the same user.
TEST(KeyFile, AKeyInMemoryTurnsCoreDumpsOff)
{
    const auto key = pagelet::DiaryKey::generate();
    ASSERT_TRUE(key);
    EXPECT_EQ(::prctl(PR_GET_DUMPABLE), 0);
    rlimit core {};
    ASSERT_EQ(::getrlimit(RLIMIT_CORE, &core), 0);
    EXPECT_EQ(core.rlim_cur, 0u);
}
