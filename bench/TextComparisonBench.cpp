// Speed of the case-insensitive tests and the flattening operations, each
// beside a baseline measured in the same run:
//  - comparison and search: the plain ICU way, folding and NFD-normalizing
//    both whole strings, then comparing or searching the results;
//  - flattening: the working-copy way, one replace pass per character, then
//    a trim that asks ICU for the character class of each end character.
// Inputs: short ASCII names, 4096 code units of ASCII text, and 4096 code
// units of mixed-script text with combining marks.
#include "strings/CharacterClasses.h"
#include "strings/TextCleaning.h"
#include "strings/TextComparison.h"

#include <QString>
#include <QStringList>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <functional>
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

namespace
{

icu::UnicodeString baselineKey(QStringView s)
{
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString text(s.utf16(), int32_t(s.size()));
    text.foldCase(U_FOLD_CASE_DEFAULT);
    return icu::Normalizer2::getNFDInstance(status)->normalize(text, status);
}

bool baselineEqual(QStringView a, QStringView b)
{
    return baselineKey(a) == baselineKey(b);
}

bool baselineContains(QStringView text, QStringView needle)
{
    return !needle.isEmpty() && baselineKey(text).indexOf(baselineKey(needle)) >= 0;
}

bool baselineStartsWith(QStringView text, QStringView prefix)
{
    return text.size() >= prefix.size() && baselineEqual(text.first(prefix.size()), prefix);
}

QString baselineFlatten(const QString &text, bool tabs)
{
    QString copy = text; // shared until a replacement changes it
    copy.replace(u'\n', u' ');
    copy.replace(u'\r', u' ');
    if (tabs)
        copy.replace(u'\t', u' ');
    qsizetype begin = 0;
    qsizetype end = copy.size();
    while (begin < end && bf::isWhiteSpace(copy[begin]))
        ++begin;
    while (end > begin && bf::isWhiteSpace(copy[end - 1]))
        --end;
    return begin == 0 && end == copy.size() ? copy : copy.sliced(begin, end - begin);
}

// Repeats `words`, separated by spaces and every eighth time by a line break
// or a tab, up to `length` code units, without splitting a word.
QString makeText(const QStringList &words, qsizetype length)
{
    QString text;
    for (qsizetype i = 0;; ++i) {
        const QString &word = words[i % words.size()];
        if (text.size() + word.size() + 1 > length)
            break;
        text += word;
        text += (i % 8 == 7) ? ((i % 16 == 15) ? u'\t' : u'\n') : u' ';
    }
    return text.leftJustified(length, u'.');
}

struct Input {
    const char *name;
    QString text;   // searched, flattened, the receiver of startsWith
    QString other;  // caselessly equal to text, spelled differently
    QString needle; // occurs once, near the end of text
};

std::vector<Input> inputs()
{
    const QStringList ascii = {u"The"_qs,  u"library"_qs,     u"file"_qs, u"has"_qs,
                               u"been"_qs, u"fixed"_qs,       u"Quit"_qs, u"Main"_qs,
                               u"(Old"_qs, u"Version).ext"_qs};
    const QStringList mixed = {u"caf\u00E9"_qs,
                               u"nai\u0308ve"_qs,
                               u"\u0391\u03B8\u03AE\u03BD\u03B1"_qs,
                               u"\u041C\u043E\u0441\u043A\u0432\u0430"_qs,
                               u"Stra\u00DFe"_qs,
                               u"e\u0301te\u0301"_qs,
                               u"Vi\u1EC7t"_qs,
                               u"\u6771\u4EAC"_qs,
                               u"\uD55C\uAD6D\uC5B4"_qs,
                               u"\U0001F600ok"_qs,
                               u"A\u030A\u0323"_qs,
                               u"\u0915\u094D\u0937"_qs};
    const QString asciiText = makeText(ascii, 4096);
    const QString mixedText = makeText(mixed, 4096);
    const auto withNeedle = [](QString text, const QString &needle) {
        text.replace(text.size() - needle.size() - 2, needle.size(), needle);
        return text;
    };
    std::vector<Input> result = {{"shortAscii", u"Report.PDF"_qs, u"rEPORT.pdf"_qs, u"PDF"_qs},
                                 {"ascii4k", withNeedle(asciiText, u"needle"_qs), {}, u"NEEDLE"_qs},
                                 {"mixed4k",
                                  withNeedle(mixedText, u"\u1F00\u03B9 \u00C9t\u00E9"_qs),
                                  {},
                                  u"\u1F00\u0399 E\u0301TE\u0301"_qs}};
    for (Input &in : result) {
        if (in.other.isEmpty())
            in.other = in.text.normalized(QString::NormalizationForm_D).toUpper();
        // Both implementations must agree before their speed means anything.
        if (!bf::isCaseInsensitiveEqualToString(in.text, in.other) ||
            !baselineEqual(in.text, in.other) || !bf::containsString(in.text, in.needle) ||
            !baselineContains(in.text, in.needle))
            std::abort();
    }
    return result;
}

void registerAll()
{
    static const std::vector<Input> all = inputs();
    using Test = std::function<bool(const Input &)>;
    const std::vector<std::tuple<const char *, Test, Test>> tests = {
        {"isCaseInsensitiveEqualToString",
         [](const Input &in) { return bf::isCaseInsensitiveEqualToString(in.text, in.other); },
         [](const Input &in) {
             return baselineEqual(in.text, in.other);
         }},
        {"containsStringMissing",
         [](const Input &in) { return bf::containsString(in.text, u"zzzq"); },
         [](const Input &in) {
             return baselineContains(in.text, u"zzzq");
         }},
        {"containsString", [](const Input &in) { return bf::containsString(in.text, in.needle); },
         [](const Input &in) {
             return baselineContains(in.text, in.needle);
         }},
        {"startsWith",
         [](const Input &in) {
             return bf::startsWith(in.text, QStringView(in.other).first(in.other.size() / 2));
         },
         [](const Input &in) {
             return baselineStartsWith(in.text, QStringView(in.other).first(in.other.size() / 2));
         }},
        {"stringByRemovingNewlinesAndTabs",
         [](const Input &in) { return !bf::stringByRemovingNewlinesAndTabs(in.text).isNull(); },
         [](const Input &in) {
             return !baselineFlatten(in.text, true).isNull();
         }},
        {"stringByRemovingNewlines",
         [](const Input &in) { return !bf::stringByRemovingNewlines(in.text).isNull(); },
         [](const Input &in) {
             return !baselineFlatten(in.text, false).isNull();
         }},
    };
    for (const auto &[name, ours, baseline] : tests) {
        for (const Input &in : all) {
            for (const auto &[kind, run] :
                 {std::pair{"ours", ours}, std::pair{"baseline", baseline}}) {
                const std::string label = std::string(name) + "/" + in.name + "/" + kind;
                benchmark::RegisterBenchmark(label.c_str(), [run, &in](benchmark::State &state) {
                    for (auto _ : state)
                        benchmark::DoNotOptimize(run(in));
                });
            }
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    registerAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
