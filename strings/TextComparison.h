#pragma once

#include <QStringView>

// Case-insensitive comparison and search, and the text attachment test.
// Lengths and positions count UTF-16 code units.
//
// Two strings a and b are case-insensitively equal when
//     NFD(fold(NFD(a))) == NFD(fold(NFD(b)))
// with fold = Unicode default full case folding (U+00DF folds to "ss", U+212A
// KELVIN SIGN to "k"; no Turkic rules, no locale) and NFD = canonical
// decomposition. This is Unicode's canonical caseless match: letters match
// regardless of case and canonically equivalent sequences match (U+00E9,
// U+00C9 and U+0065 U+0301 are all equal). The inner NFD matters only for
// U+0345 COMBINING GREEK YPOGEGRAMMENI, which folds to a base letter. A lone
// surrogate is a code point of its own: it equals only itself.
namespace bf
{

// Whether `a` and `b` are case-insensitively equal as a whole. Two empty
// strings are equal; an empty string equals no other.
[[nodiscard]] bool isCaseInsensitiveEqualToString(QStringView a, QStringView b);

// Whether the first prefix.size() code units of `text` are case-insensitively
// equal to `prefix`; false when `text` is shorter. The cut counts code units,
// so "e" U+0301 "x" does not start with U+00E9, and a cut through a surrogate
// pair leaves a lone surrogate. An empty prefix gives true.
[[nodiscard]] bool startsWith(QStringView text, QStringView prefix);

// As startsWith(), for the last suffix.size() code units of `text`.
[[nodiscard]] bool endsWith(QStringView text, QStringView suffix);

// Whether `needle` occurs case-insensitively in `text`: some part of `text`
// that begins and ends on character boundaries (before a code point that
// starts a combining sequence, or at either end) is equal to `needle`. So
// "e" is not found inside U+0065 U+0301, nor "s" inside U+00DF, while "ss"
// is. An empty needle gives false.
[[nodiscard]] bool containsString(QStringView text, QStringView needle);

// Whether `text` holds U+FFFC OBJECT REPLACEMENT CHARACTER, the mark of a
// text attachment. Empty gives false.
[[nodiscard]] bool containsTextAttachmentCharacter(QStringView text);

} // namespace bf
