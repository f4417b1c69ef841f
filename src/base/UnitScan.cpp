#include "base/UnitScan.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include "base/Processor.h"

namespace pagelet {

namespace {

constexpr std::size_t kUnits = 0x10000;

// Sixteen units at a time through the compiler's vector types, which every target builds; the
// scans below get a second, wider build where the processor has one.
using Lanes = std::uint16_t __attribute__((vector_size(32)));
using LaneMask = std::int16_t __attribute__((vector_size(32)));
constexpr std::size_t kLanes = 16;

// Vectors go by reference: passed by value they would take a different calling convention in
// the wider build.
inline void load(Lanes& v, const char16_t* at)
{
    std::memcpy(&v, at, sizeof v);
}

// One bit a lane, lowest lane first.
inline std::uint32_t bitsOf(const LaneMask& m)
{
#if defined(__SSE2__)
    __m128i low, high;
    std::memcpy(&low, &m, sizeof low);
    std::memcpy(&high, reinterpret_cast<const char*>(&m) + sizeof low, sizeof high);
    return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(low, high)));
#else
    std::uint32_t bits = 0;
    for (std::size_t lane = 0; lane < kLanes; ++lane)
        bits |= static_cast<std::uint32_t>(m[lane] != 0) << lane;
    return bits;
#endif
}

struct Probe {
    const char16_t* text;
    std::size_t size;
    const char16_t* word;
    std::size_t length; // at least 1, at most size
    const char16_t* table; // null: exact
};

inline bool matchesAt(const Probe& p, std::size_t i)
{
    const char16_t* t = p.text + i;
    if (!p.table)
        return std::memcmp(t, p.word, p.length * sizeof(char16_t)) == 0;
    for (std::size_t j = 0; j < p.length; ++j)
        if (p.table[t[j]] != p.word[j])
            return false;
    return true;
}

// Skims for places that start with one of firsts and end with one of lasts, and compares the
// word only there. The page is never folded as a whole: most of it is never looked at twice.
template <std::size_t K>
[[gnu::always_inline]] inline std::optional<std::size_t> skim(const Probe& p, std::size_t i, const char16_t* firsts,
                                                                const char16_t* lasts)
{
    const std::size_t starts = p.size - p.length + 1;
    Lanes f[K], l[K];
    for (std::size_t k = 0; k < K; ++k) {
        f[k] = Lanes {} + static_cast<std::uint16_t>(firsts[k]);
        l[k] = Lanes {} + static_cast<std::uint16_t>(lasts[k]);
    }
    // Four vectors a step, with one test for all of them: the test costs more than a compare.
    constexpr std::size_t kStep = 4 * kLanes;
    for (; i + kStep <= starts; i += kStep) {
        LaneMask hit[4];
#pragma GCC unroll 4
        for (std::size_t v = 0; v < 4; ++v) {
            Lanes a, b;
            load(a, p.text + i + v * kLanes);
            load(b, p.text + i + v * kLanes + p.length - 1);
            LaneMask atFirst = a == f[0], atLast = b == l[0];
            for (std::size_t k = 1; k < K; ++k) {
                atFirst |= a == f[k];
                atLast |= b == l[k];
            }
            hit[v] = atFirst & atLast;
        }
        if (bitsOf(hit[0] | hit[1] | hit[2] | hit[3]) == 0)
            continue;
        for (std::size_t v = 0; v < 4; ++v)
            for (std::uint32_t bits = bitsOf(hit[v]); bits != 0; bits &= bits - 1) {
                const std::size_t at = i + v * kLanes + static_cast<std::size_t>(__builtin_ctz(bits));
                if (matchesAt(p, at))
                    return at;
            }
    }
    for (; i < starts; ++i)
        if (matchesAt(p, i))
            return i;
    return std::nullopt;
}

#if defined(__x86_64__)
template <std::size_t K>
[[gnu::target("avx2")]] std::optional<std::size_t> skimWide(const Probe& p, std::size_t i, const char16_t* f,
                                                            const char16_t* l)
{
    return skim<K>(p, i, f, l);
}
#endif

// The wider build where the processor has it.
template <std::size_t K>
std::optional<std::size_t> skimAny(const Probe& p, std::size_t i, const char16_t* f, const char16_t* l)
{
#if defined(__x86_64__)
    if (processorHasAvx2())
        return skimWide<K>(p, i, f, l);
#endif
    return skim<K>(p, i, f, l);
}

} // namespace

FoldTable::FoldTable(std::u16string lowered) : m_lower(std::move(lowered))
{
    if (m_lower.size() != kUnits) {
        // A platform that broke its promise: exact matching rather than a read past the end.
        m_lower.resize(kUnits);
        for (std::size_t c = 0; c < kUnits; ++c)
            m_lower[c] = static_cast<char16_t>(c);
    }
    for (std::size_t c = 0; c < kUnits; ++c)
        if (m_lower[c] != c)
            m_changed.emplace_back(m_lower[c], static_cast<char16_t>(c));
    std::sort(m_changed.begin(), m_changed.end());
}

std::u16string FoldTable::foldingTo(char16_t c) const
{
    std::u16string units;
    if (m_lower[c] == c)
        units += c;
    const auto from = std::lower_bound(m_changed.begin(), m_changed.end(), std::make_pair(c, char16_t {0}));
    for (auto it = from; it != m_changed.end() && it->first == c; ++it)
        units += it->second;
    std::sort(units.begin(), units.end());
    return units;
}

UnitFinder::UnitFinder(std::u16string_view word, const FoldTable* folding)
    : m_word(word), m_table(folding ? folding->data() : nullptr)
{
    if (m_word.empty())
        return;
    if (!folding) {
        m_firsts.fill(m_word.front());
        m_lasts.fill(m_word.back());
        m_variants = 1;
        return;
    }
    for (char16_t& c : m_word)
        c = folding->lower(c);
    const std::u16string firsts = folding->foldingTo(m_word.front());
    const std::u16string lasts = folding->foldingTo(m_word.back());
    const std::size_t most = std::max(firsts.size(), lasts.size());
    if (most > kMaxVariants)
        return;
    m_variants = most <= 1 ? 1 : most <= 2 ? 2 : 4;
    // Repeats fill the spare places, so every slot is tested and none can match a stray unit.
    for (std::size_t k = 0; k < kMaxVariants; ++k) {
        m_firsts[k] = firsts[std::min(k, firsts.size() - 1)];
        m_lasts[k] = lasts[std::min(k, lasts.size() - 1)];
    }
}

std::optional<std::size_t> UnitFinder::find(std::u16string_view text, std::size_t from) const
{
    if (from > text.size() || text.size() - from < m_word.size())
        return std::nullopt;
    if (m_word.empty())
        return from;
    const Probe probe {text.data(), text.size(), m_word.data(), m_word.size(), m_table};
    switch (m_variants) {
    case 1:
        return skimAny<1>(probe, from, m_firsts.data(), m_lasts.data());
    case 2:
        return skimAny<2>(probe, from, m_firsts.data(), m_lasts.data());
    case 4:
        return skimAny<4>(probe, from, m_firsts.data(), m_lasts.data());
    default:
        break;
    }
    for (std::size_t i = from; i + m_word.size() <= text.size(); ++i)
        if (matchesAt(probe, i))
            return i;
    return std::nullopt;
}

} // namespace pagelet
