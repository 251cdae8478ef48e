#include "strings/TextComparison.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <unicode/unorm2.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

namespace bf
{

namespace
{

// ICU counts in int32_t; longer strings are outside what this library takes.
int32_t icuLength(qsizetype n)
{
    Q_ASSERT(n <= INT32_MAX);
    return static_cast<int32_t>(n);
}

const UNormalizer2 *nfd()
{
    static const UNormalizer2 *const instance = [] {
        UErrorCode status = U_ZERO_ERROR;
        return unorm2_getNFDInstance(&status);
    }();
    return instance;
}

bool isAscii(std::u16string_view s)
{
    unsigned all = 0; // no early exit, so that the loop vectorizes
    for (const char16_t u : s)
        all |= u;
    return all < 0x80;
}

std::u16string_view units(QStringView s)
{
    return {s.utf16(), static_cast<size_t>(s.size())};
}

constexpr std::array<char16_t, 128> kAsciiLower = [] {
    std::array<char16_t, 128> table{};
    for (char16_t u = 0; u < 128; ++u)
        table[u] = (u >= u'A' && u <= u'Z') ? char16_t(u + 32) : u;
    return table;
}();

// Whether the ASCII `needle` occurs in the ASCII `text`, ignoring case. On
// ASCII, folding is lowercasing, NFD changes nothing and every position is a
// character boundary, so this is the full rule.
bool asciiContains(std::u16string_view text, std::u16string_view needle)
{
    if (needle.size() > text.size())
        return false;
    const char16_t first = kAsciiLower[needle[0]];
    const size_t last = text.size() - needle.size();
    for (size_t i = 0; i <= last; ++i) {
        if (kAsciiLower[text[i]] != first)
            continue;
        size_t j = 1;
        while (j < needle.size() && kAsciiLower[text[i + j]] == kAsciiLower[needle[j]])
            ++j;
        if (j == needle.size())
            return true;
    }
    return false;
}

// Appends the output of an ICU "write into a buffer" call to `out`, growing
// the buffer once if the first guess was short.
template<typename Call> void appendIcuOutput(std::u16string &out, size_t guess, Call call)
{
    const size_t base = out.size();
    UErrorCode status = U_ZERO_ERROR;
    out.resize(base + guess);
    int32_t length = call(out.data() + base, icuLength(qsizetype(guess)), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        status = U_ZERO_ERROR;
        out.resize(base + size_t(length));
        length = call(out.data() + base, length, &status);
    }
    out.resize(U_SUCCESS(status) ? base + size_t(length) : base);
}

void appendNfd(std::u16string_view s, std::u16string &out)
{
    appendIcuOutput(
        out, s.size() + s.size() / 2 + 8, [s](UChar *dest, int32_t cap, UErrorCode *st) {
            return unorm2_normalize(nfd(), s.data(), icuLength(qsizetype(s.size())), dest, cap, st);
        });
}

void appendFolded(std::u16string_view s, std::u16string &out)
{
    appendIcuOutput(out, s.size() + 8, [s](UChar *dest, int32_t cap, UErrorCode *st) {
        return u_strFoldCase(dest, cap, s.data(), icuLength(qsizetype(s.size())),
                             U_FOLD_CASE_DEFAULT, st);
    });
}

// The decomposition before folding changes the result only around U+0345
// COMBINING GREEK YPOGEGRAMMENI (a combining mark that folds to the letter
// U+03B9), which stands alone or inside the canonical decompositions of
// U+1F80..U+1FFC. Text without them skips that pass; a test checks the
// claim against the whole of ICU's data.
bool needsDecompositionBeforeFolding(std::u16string_view s)
{
    unsigned hits = 0; // unsigned arithmetic and no early exit: it vectorizes
    for (const unsigned u : s)
        hits |= unsigned(u == 0x0345) | unsigned(u - 0x1F80U < 0x80U);
    return hits != 0;
}

// Appends NFD(fold(NFD(s))), the key under which caseless matching is plain
// code-unit equality. The intermediate buffers are kept per thread, as the
// search calls this once per chunk.
void appendCaselessKey(std::u16string_view s, std::u16string &out)
{
    thread_local std::u16string decomposed;
    thread_local std::u16string folded;
    if (needsDecompositionBeforeFolding(s)) {
        decomposed.clear();
        appendNfd(s, decomposed);
        s = decomposed;
    }
    folded.clear();
    appendFolded(s, folded);
    appendNfd(folded, out);
}

// Whether a combining sequence starts at `i`: a code point with an NFD
// boundary before it (a starter that never reorders with what precedes it),
// not the second half of a surrogate pair. The key of a text split at such
// positions is the concatenation of the keys of its parts: NFD reorders marks
// only between starters, folding works code point by code point, and folding
// a starter yields a starter (checked by a test over all code points).
bool startsSegment(std::u16string_view s, size_t i)
{
    const char16_t u = s[i];
    if (u < 0x80)
        return true;
    if (U16_IS_TRAIL(u) && i > 0 && U16_IS_LEAD(s[i - 1]))
        return false;
    UChar32 c = u;
    if (U16_IS_LEAD(u) && i + 1 < s.size() && U16_IS_TRAIL(s[i + 1]))
        c = U16_GET_SUPPLEMENTARY(u, s[i + 1]);
    return unorm2_hasBoundaryBefore(nfd(), c) != 0;
}

// The caseless key of a text, with enough of a map back to the text to tell
// whether a key position lies on a character boundary. The text is keyed in
// chunks of about kChunk code units cut at segment starts, so the key costs
// a few ICU calls per chunk, like keying it whole; positions inside a chunk
// are looked up only for a candidate match.
class KeyedText
{
  public:
    explicit KeyedText(std::u16string_view text) : text_(text)
    {
        key_.reserve(text.size() + text.size() / 4);
        size_t start = 0;
        while (start < text.size()) {
            size_t end = std::min(text.size(), start + kChunk);
            while (end < text.size() && !startsSegment(text, end))
                ++end;
            chunks_.push_back({start, key_.size()});
            appendCaselessKey(text.substr(start, end - start), key_);
            start = end;
        }
        chunks_.push_back({text.size(), key_.size()});
    }

    bool contains(std::u16string_view needleKey)
    {
        const QStringView key(key_.data(), qsizetype(key_.size()));
        const QStringView needle(needleKey.data(), qsizetype(needleKey.size()));
        for (qsizetype pos = key.indexOf(needle); pos >= 0; pos = key.indexOf(needle, pos + 1)) {
            if (isBoundary(size_t(pos)) && isBoundary(size_t(pos) + needleKey.size()))
                return true;
        }
        return false;
    }

  private:
    static constexpr size_t kChunk = 256;
    struct Chunk {
        size_t text; // where the chunk starts in the text
        size_t key;  // where its key starts in the key
    };

    bool isBoundary(size_t keyPos)
    {
        if (keyPos == 0 || keyPos == key_.size())
            return true;
        const auto next = std::upper_bound(chunks_.begin(), chunks_.end(), keyPos,
                                           [](size_t k, const Chunk &c) { return k < c.key; });
        const auto chunk = size_t(next - chunks_.begin()) - 1;
        return chunks_[chunk].key == keyPos ||
               hasSegmentStartAt(chunk, keyPos - chunks_[chunk].key);
    }

    // Whether a segment starts inside the chunk where the chunk's key has
    // reached `offset` units. As segment keys are never empty, the key length
    // of the chunk's text up to a segment start grows strictly from one start
    // to the next, so a binary search over text positions decides it: a probe
    // moves on to the next segment start and keys the text up to there. Keys
    // add up across segment starts, so each probe keys only the text after
    // the last start known to lie below the answer.
    bool hasSegmentStartAt(size_t chunk, size_t offset)
    {
        const size_t end = chunks_[chunk + 1].text;
        size_t below = chunks_[chunk].text; // a start whose key length is belowLength
        size_t belowLength = 0;
        size_t low = below + 1; // a matching start, if any, lies in [low, high)
        size_t high = end;
        // Keys grow about evenly over a chunk, so the first probe is at the
        // same fraction of the chunk's text as `offset` is of its key.
        size_t guess =
            below + offset * (end - below) / (chunks_[chunk + 1].key - chunks_[chunk].key);
        std::u16string part;
        while (low < high) {
            const size_t probe = guess >= low && guess < high ? guess : low + (high - low) / 2;
            guess = 0;
            size_t start = probe;
            while (start < high && !startsSegment(text_, start))
                ++start;
            if (start == high) {
                high = probe;
                continue;
            }
            part.clear();
            appendCaselessKey(text_.substr(below, start - below), part);
            const size_t length = belowLength + part.size();
            if (length == offset)
                return true;
            if (length < offset) {
                below = start;
                belowLength = length;
                low = start + 1;
            } else {
                high = probe;
            }
        }
        return false;
    }

    std::u16string_view text_;
    std::u16string key_;
    std::vector<Chunk> chunks_;
};

} // namespace

bool isCaseInsensitiveEqualToString(QStringView a, QStringView b)
{
    // Compare the ASCII prefix directly. An ASCII character is a starter that
    // folds to an ASCII starter, so the key of a text splits after it: the
    // keys are equal exactly when the rests' keys are, and two different
    // ASCII letters settle the matter whatever follows.
    const qsizetype common = std::min(a.size(), b.size());
    qsizetype i = 0;
    for (; i < common; ++i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        if ((x | y) >= 0x80)
            break;
        if (kAsciiLower[x] != kAsciiLower[y])
            return false;
    }
    if (i == a.size() || i == b.size())
        return a.size() == b.size(); // a non-empty rest has a non-empty key
    // unorm_compare() computes exactly NFD(fold(NFD(x))) == NFD(fold(NFD(y))),
    // incrementally and without allocating for the usual (FCD) text.
    UErrorCode status = U_ZERO_ERROR;
    const int32_t order = unorm_compare(a.utf16() + i, icuLength(a.size() - i), b.utf16() + i,
                                        icuLength(b.size() - i),
                                        U_COMPARE_IGNORE_CASE | U_FOLD_CASE_DEFAULT, &status);
    return U_SUCCESS(status) && order == 0;
}

bool startsWith(QStringView text, QStringView prefix)
{
    if (text.size() < prefix.size())
        return false;
    return isCaseInsensitiveEqualToString(text.first(prefix.size()), prefix);
}

bool endsWith(QStringView text, QStringView suffix)
{
    if (text.size() < suffix.size())
        return false;
    return isCaseInsensitiveEqualToString(text.last(suffix.size()), suffix);
}

bool containsString(QStringView text, QStringView needle)
{
    if (needle.isEmpty())
        return false;
    const std::u16string_view hay = units(text);
    const bool asciiNeedle = isAscii(units(needle));
    if (isAscii(hay)) {
        if (asciiNeedle)
            return asciiContains(hay, units(needle));
        // The key of ASCII text is its lowercase form, on boundaries
        // everywhere; a needle can only match if its key is ASCII too
        // (U+212A KELVIN SIGN is "k").
        std::u16string needleKey;
        appendCaselessKey(units(needle), needleKey);
        return isAscii(needleKey) && asciiContains(hay, needleKey);
    }
    // Search the needle's key in the text's key, and accept an occurrence only
    // if both of its ends map to character boundaries of the text. The key
    // alone is not enough: "e" occurs in the key of U+00E9 ("e" U+0301), and
    // "s" in that of U+00DF ("ss"), without being characters of the text.
    std::u16string needleKey;
    appendCaselessKey(units(needle), needleKey);
    if (needleKey.empty())
        return false;
    return KeyedText(hay).contains(needleKey);
}

bool containsTextAttachmentCharacter(QStringView text)
{
    return text.contains(QChar(0xFFFC));
}

} // namespace bf
