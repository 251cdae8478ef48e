#include "strings/TextCleaning.h"

#include "strings/CharacterClasses.h"

#include <algorithm>

namespace bf
{

namespace
{

// isWhiteSpace() asks ICU for the general category; ASCII is answered here,
// which keeps the common case free of library calls.
bool isWhiteSpaceFast(char16_t u)
{
    if (u < 0x80)
        return u == u' ' || u == u'\t';
    return isWhiteSpace(QChar(u));
}

bool isFlattened(char16_t u, bool tabs)
{
    return u == u'\n' || u == u'\r' || (tabs && u == u'\t');
}

// Flattening and trimming in one pass. A flattened character turns into a
// space, which is white space, so the trim can be decided on the original
// text: cut every leading and trailing unit that is white space or flattened.
QString flatten(const QString &text, bool tabs)
{
    const auto cut = [tabs](char16_t u) {
        return isFlattened(u, tabs) || isWhiteSpaceFast(u);
    };
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && cut(text[begin].unicode()))
        ++begin;
    while (end > begin && cut(text[end - 1].unicode()))
        --end;
    const auto inner = QStringView(text).sliced(begin, end - begin);
    const auto flattened = [tabs](QChar c) {
        return isFlattened(c.unicode(), tabs);
    };
    if (end - begin == text.size() && std::none_of(inner.begin(), inner.end(), flattened))
        return text;
    QString result(end - begin, Qt::Uninitialized);
    auto *out = reinterpret_cast<char16_t *>(result.data());
    for (const QChar c : inner)
        *out++ = isFlattened(c.unicode(), tabs) ? u' ' : c.unicode();
    return result;
}

} // namespace

QString stringByRemovingNewlinesAndTabs(const QString &text)
{
    return flatten(text, true);
}

QString stringByRemovingNewlines(const QString &text)
{
    return flatten(text, false);
}

QString stringByEscapingBackslashes(const QString &text)
{
    const qsizetype count = text.count(u'\\');
    if (count == 0)
        return text;
    QString result(text.size() + count, Qt::Uninitialized);
    auto *out = reinterpret_cast<char16_t *>(result.data());
    for (const QChar c : text) {
        if (c == u'\\')
            *out++ = u'\\';
        *out++ = c.unicode();
    }
    return result;
}

QString stringByTrimmingWhitespace(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isWhiteSpaceOrLineBreak(text[begin]))
        ++begin;
    while (end > begin && isWhiteSpaceOrLineBreak(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

} // namespace bf
