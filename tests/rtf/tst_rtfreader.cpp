// The RTF reader: what it reads from well-formed snippets, that broken input
// gives text or nothing, the file reader, and the licence text shipped with
// the program.

#include "platform/pure/rtfreader.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// A compact picture of a document: paragraphs on lines of their own, a
// formatted run as [flags:text] with b, i, u for bold, italic, underline.
QString describe(const std::vector<RtfParagraph> &doc)
{
    QStringList paragraphs;
    for (const RtfParagraph &paragraph : doc) {
        QString line;
        for (const RtfRun &run : paragraph.runs) {
            QString flags;
            if (run.bold)
                flags += u'b';
            if (run.italic)
                flags += u'i';
            if (run.underline)
                flags += u'u';
            line += flags.isEmpty() ? run.text : u'[' + flags + u':' + run.text + u']';
        }
        paragraphs << line;
    }
    return paragraphs.join(u'\n');
}

// The promises of the header: no empty runs, neighbouring runs differ in
// format, and the flat text's ranges cover it without gaps.
QString structureFault(const std::vector<RtfParagraph> &doc)
{
    for (const RtfParagraph &paragraph : doc) {
        for (std::size_t i = 0; i < paragraph.runs.size(); ++i) {
            const RtfRun &run = paragraph.runs[i];
            if (run.text.isEmpty())
                return u"empty run"_s;
            if (i > 0) {
                const RtfRun &before = paragraph.runs[i - 1];
                if (before.bold == run.bold && before.italic == run.italic &&
                    before.underline == run.underline)
                    return u"neighbouring runs of one format"_s;
            }
        }
    }
    const RtfFlatText flat = rtfFlatText(doc);
    qsizetype next = 0;
    for (const RtfFormatRange &range : flat.ranges) {
        if (range.start != next || range.length <= 0)
            return u"flat ranges leave a gap or overlap"_s;
        next += range.length;
    }
    if (next != flat.text.size())
        return u"flat ranges do not cover the text"_s;
    return {};
}

QByteArray randomBytes(quint32 seed, qsizetype size, QByteArrayView alphabet = {})
{
    QRandomGenerator generator(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &c : bytes) {
        c = alphabet.isEmpty() ? char(generator.bounded(256))
                               : alphabet[generator.bounded(int(alphabet.size()))];
    }
    return bytes;
}

QByteArray nested(int depth, const QByteArray &inner)
{
    return QByteArray(depth, '{') + inner + QByteArray(depth, '}');
}

} // namespace

class TestRtfReader : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void parse_data();
    void parse();
    void brokenInput_data();
    void brokenInput();
    void plainAndFlatText();
    void readFile();
    void shippedLicence_data();
    void shippedLicence();
};

void TestRtfReader::parse_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    // Paragraphs and line breaks.
    QTest::newRow("empty input") << QByteArray() << QString();
    QTest::newRow("empty document") << QByteArray(R"({\rtf1\ansi })") << QString();
    QTest::newRow("one paragraph") << QByteArray(R"({\rtf1 Hello world})") << u"Hello world"_s;
    QTest::newRow("two paragraphs") << QByteArray(R"({\rtf1 One\par Two})") << u"One\nTwo"_s;
    QTest::newRow("final par ends the paragraph")
        << QByteArray(R"({\rtf1 One\par Two\par })") << u"One\nTwo"_s;
    QTest::newRow("empty paragraph between")
        << QByteArray(R"({\rtf1 A\par\par B\par})") << u"A\n\nB"_s;
    QTest::newRow("line break inside paragraph")
        << QByteArray(R"({\rtf1 A\line B})") << u"A\u2028B"_s;
    QTest::newRow("line ends of the source are no text")
        << QByteArray("{\\rtf1 A\r\nB\nC}") << u"ABC"_s;
    QTest::newRow("backslash before line end is a paragraph")
        << QByteArray("{\\rtf1 A\\\nB}") << u"A\nB"_s;
    QTest::newRow("text outside any group") << QByteArray("plain text") << u"plain text"_s;

    // Control words: one space ends them, parameters, unknown words.
    QTest::newRow("one space belongs to the word")
        << QByteArray(R"({\rtf1 \b bold\b0  plain})") << u"[b:bold] plain"_s;
    QTest::newRow("unknown words are dropped")
        << QByteArray(R"({\rtf1 \foo12 a\bar-3 b\qc\fs24 c})") << u"abc"_s;
    QTest::newRow("overlong parameter is clamped")
        << QByteArray(R"({\rtf1 \b99999999999999999999 x})") << u"[b:x]"_s;

    // Character formats and their scope.
    QTest::newRow("bold on and off") << QByteArray(R"({\rtf1 a\b b\b0 c})") << u"a[b:b]c"_s;
    QTest::newRow("bold with parameter") << QByteArray(R"({\rtf1 \b1 x\b0 y})") << u"[b:x]y"_s;
    QTest::newRow("italic and underline styles")
        << QByteArray(R"({\rtf1 \i i\i0 \ul u\ulnone n\uldb d\ul0 e\ulw w\ulc2 c})")
        << u"[i:i][u:u]n[u:d]e[u:wc]"_s;
    QTest::newRow("groups restore the format")
        << QByteArray(R"({\rtf1 a{\b b{\i c}d}e})") << u"a[b:b][bi:c][b:d]e"_s;
    QTest::newRow("plain clears all formats")
        << QByteArray(R"({\rtf1 \b\i\ul x\plain y})") << u"[biu:x]y"_s;
    QTest::newRow("format lasts across paragraphs")
        << QByteArray(R"({\rtf1 \b a\par b})") << u"[b:a]\n[b:b]"_s;
    QTest::newRow("runs of one format merge")
        << QByteArray(R"({\rtf1 {\b a}{\b b}\b c})") << u"[b:abc]"_s;
    QTest::newRow("hidden text") << QByteArray(R"({\rtf1 a{\v hidden}b\v c\v0 d})") << u"abd"_s;

    // Escapes and code pages.
    QTest::newRow("hex escape as Windows-1252")
        << QByteArray(R"({\rtf1 M\'e4rz \'80 \'93q\'94 \'df})") << u"März € “q” ß"_s;
    QTest::newRow("ansicpg 1252 explicit")
        << QByteArray(R"({\rtf1\ansi\ansicpg1252 \'c4\'d6\'dc})") << u"ÄÖÜ"_s;
    QTest::newRow("ansicpg 1250") << QByteArray(R"({\rtf1\ansi\ansicpg1250 \'9a\'e8})") << u"šč"_s;
    QTest::newRow("ansicpg 1251") << QByteArray(R"({\rtf1\ansi\ansicpg1251 \'c4\'e0})") << u"Да"_s;
    QTest::newRow("ansicpg 932 double byte")
        << QByteArray(R"({\rtf1\ansi\ansicpg932 \'93\'fa\'96\'7b})") << u"日本"_s;
    QTest::newRow("unknown code page reads as 1252")
        << QByteArray(R"({\rtf1\ansi\ansicpg99999 \'e4})") << u"ä"_s;
    QTest::newRow("malformed hex escape reads as text")
        << QByteArray(R"({\rtf1 a\'zzb\'4g})") << u"azzb4g"_s;
    QTest::newRow("escaped braces and backslash")
        << QByteArray(R"({\rtf1 \{a\}\\b})") << u"{a}\\b"_s;
    QTest::newRow("special symbols")
        << QByteArray(R"({\rtf1 a\~b\-c\_d})") << u"a\u00A0b\u00ADc\u2011d"_s;
    QTest::newRow("named characters")
        << QByteArray(R"({\rtf1 \emdash\endash\bullet\lquote\rquote\ldblquote\rdblquote\tab.})")
        << u"—–•‘’“”\t."_s;

    // Unicode escapes and their fallback.
    QTest::newRow("unicode skips one fallback by default")
        << QByteArray(R"({\rtf1 \u8364?x})") << u"€x"_s;
    QTest::newRow("negative unicode value") << QByteArray(R"({\rtf1 \u-223?})") << u"\uFF21"_s;
    QTest::newRow("surrogate pair")
        << QByteArray(R"({\rtf1 \u-10179?\u-8704?})") << u"\U0001F600"_s;
    QTest::newRow("uc2 skips two hex escapes")
        << QByteArray(R"({\rtf1\uc2 \u228\'61\'62c})") << u"äc"_s;
    QTest::newRow("uc0 skips nothing") << QByteArray(R"({\rtf1\uc0 \u228 x})") << u"äx"_s;
    QTest::newRow("a control word is one fallback character")
        << QByteArray(R"({\rtf1 \u228\emdash x})") << u"äx"_s;
    QTest::newRow("uc is scoped by groups")
        << QByteArray(R"({\rtf1 {\uc2 \u228 ab}\u228 cd})") << u"ääd"_s;
    QTest::newRow("fallback ends at an opening brace")
        << QByteArray(R"({\rtf1\uc2 \u228{b}c})") << u"äbc"_s;
    QTest::newRow("fallback ends at a closing brace")
        << QByteArray(R"({\rtf1\uc3 {\u228 a}b})") << u"äb"_s;

    // Destinations that are not document text.
    QTest::newRow("font table")
        << QByteArray(R"({\rtf1{\fonttbl{\f0\fswiss Arial;}{\f1 Times;}}\f0 Text})") << u"Text"_s;
    QTest::newRow("colour table") << QByteArray(
                                         R"({\rtf1{\colortbl;\red255\green0\blue0;}\cf1 Text})")
                                  << u"Text"_s;
    QTest::newRow("stylesheet and info")
        << QByteArray(R"({\rtf1{\stylesheet{\s0 Normal;}}{\info{\title T}{\author A}}Text})")
        << u"Text"_s;
    QTest::newRow("header and footer")
        << QByteArray(R"({\rtf1{\header H}{\footerl F}Body})") << u"Body"_s;
    QTest::newRow("picture as hex")
        << QByteArray(R"({\rtf1 a{\pict\wmetafile8 0102ff}b})") << u"ab"_s;
    QTest::newRow("binary data holding braces")
        << QByteArray(R"({\rtf1 a{\pict\pngblip\bin4 }xy{}b})") << u"ab"_s;
    QTest::newRow("star groups") << QByteArray(
                                        R"({\rtf1 a{\*\generator W;}b{\*\unknown {nested}x}c})")
                                 << u"abc"_s;
    QTest::newRow("field keeps its result")
        << QByteArray(R"({\rtf1{\field{\*\fldinst HYPERLINK "x"}{\fldrslt link}}})") << u"link"_s;
    QTest::newRow("destination later in a group keeps the text before")
        << QByteArray(R"({\rtf1 a{b\fonttbl c}d})") << u"abd"_s;
}

void TestRtfReader::parse()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);

    const std::vector<RtfParagraph> doc = parseRtf(rtf);
    QCOMPARE(describe(doc), expected);
    QCOMPARE(structureFault(doc), QString());
}

void TestRtfReader::brokenInput_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QStringList>("mustContain");

    QTest::newRow("unclosed groups") << QByteArray(R"({\rtf1 {\b abc)") << QStringList{u"abc"_s};
    QTest::newRow("closing braces without opening")
        << QByteArray(R"(}}}{\rtf1 abc}}}} def)") << QStringList{u"abc"_s, u"def"_s};
    QTest::newRow("truncated in a control word")
        << QByteArray(R"({\rtf1 abc\ans)") << QStringList{u"abc"_s};
    QTest::newRow("truncated after a backslash")
        << QByteArray("{\\rtf1 abc\\") << QStringList{u"abc"_s};
    QTest::newRow("truncated hex escape")
        << QByteArray(R"({\rtf1 abc\'e)") << QStringList{u"abc"_s};
    QTest::newRow("truncated unicode fallback")
        << QByteArray(R"({\rtf1 abc\u228)") << QStringList{u"abcä"_s};
    QTest::newRow("binary longer than the file")
        << QByteArray(R"({\rtf1 abc{\pict\bin1000000000 xy)") << QStringList{u"abc"_s};
    QTest::newRow("negative binary length")
        << QByteArray(R"({\rtf1 \bin-5 abc})") << QStringList{u"abc"_s};
    QTest::newRow("huge fallback count")
        << QByteArray(R"({\rtf1\uc2147483647 \u228 abcdef} ghi)") << QStringList{u"ä"_s, u"ghi"_s};
    QTest::newRow("lone surrogate") << QByteArray(R"({\rtf1 \u-10179?x})") << QStringList{u"x"_s};
    QTest::newRow("unicode value out of range")
        << QByteArray(R"({\rtf1 \u70000?x\u-70000?y})") << QStringList{u"x"_s, u"y"_s};
    QTest::newRow("NUL bytes") << QByteArray("{\\rtf1 a\0b}", 11) << QStringList{u"ab"_s};
    QTest::newRow("overlong control word")
        << QByteArray("{\\rtf1 \\" + QByteArray(100000, 'b') + " ok}") << QStringList{u"ok"_s};
    QTest::newRow("overlong parameter")
        << QByteArray("{\\rtf1 \\b" + QByteArray(100000, '9') + " ok}") << QStringList{u"ok"_s};

    // Deep nesting: the text around the nest survives; the deep text may go.
    QTest::newRow("nesting 100000 levels")
        << QByteArray("{\\rtf1 before" + nested(100000, "deep") + "after}")
        << QStringList{u"before"_s, u"after"_s};
    QTest::newRow("nesting 100000 levels never closed")
        << QByteArray("{\\rtf1 before" + QByteArray(100000, '{') + "deep")
        << QStringList{u"before"_s};
    QTest::newRow("star group deep inside the nest")
        << QByteArray("{\\rtf1 a" + nested(100000, "{\\*\\x y}") + "b}")
        << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("nest inside a skipped group")
        << QByteArray("{\\rtf1{\\*" + nested(100000, "x") + "}after}") << QStringList{u"after"_s};
    QTest::newRow("100000 closing braces")
        << QByteArray(QByteArray(100000, '}') + "ok") << QStringList{u"ok"_s};

    // Junk: no promise about the text, only that reading ends well.
    for (quint32 seed : {1u, 2u, 3u}) {
        QTest::addRow("random bytes %u", seed) << randomBytes(seed, 64 * 1024) << QStringList();
        QTest::addRow("random bytes in a document %u", seed)
            << QByteArray("{\\rtf1 " + randomBytes(seed, 64 * 1024) + "}") << QStringList();
        QTest::addRow("random RTF tokens %u", seed)
            << randomBytes(seed, 64 * 1024, "{}{}\\\\\\'*ubcinpar0123456789- \r\nx")
            << QStringList();
    }
}

void TestRtfReader::brokenInput()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QStringList, mustContain);

    const std::vector<RtfParagraph> doc = parseRtf(rtf);
    QCOMPARE(structureFault(doc), QString());
    const QString text = rtfPlainText(doc);
    for (const QString &part : mustContain)
        QVERIFY2(text.contains(part), qPrintable(part + u" missing from: "_s + text.left(200)));
}

void TestRtfReader::plainAndFlatText()
{
    const std::vector<RtfParagraph> doc = parseRtf(R"({\rtf1 a\b b\par c\line d\b0\par\par e})");

    QCOMPARE(rtfPlainText(doc), u"ab\nc\nd\n\ne"_s);

    const RtfFlatText flat = rtfFlatText(doc);
    QCOMPARE(flat.text, u"ab\nc\u2028d\n\ne"_s);
    const std::vector<RtfFormatRange> ranges{
        {0, 1, false, false, false}, {1, 1, true, false, false},  {2, 1, false, false, false},
        {3, 3, true, false, false},  {6, 3, false, false, false},
    };
    QCOMPARE(flat.ranges.size(), ranges.size());
    for (std::size_t i = 0; i < ranges.size(); ++i)
        QVERIFY2(flat.ranges[i] == ranges[i], qPrintable(u"range %1"_s.arg(i)));

    QCOMPARE(rtfPlainText({}), QString());
    QVERIFY(rtfFlatText({}).ranges.empty());
}

void TestRtfReader::readFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());

    QVERIFY(readRtfFile(dir.filePath(u"missing.rtf"_s)).empty());
    QVERIFY(readRtfFile(dir.path()).empty());
    QVERIFY(readRtfFile(QString()).empty());

    QFile file(dir.filePath(u"text.rtf"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({\rtf1\ansi\ansicpg1252 {\b Titel}\par Gr\'fc\'dfe\par})");
    file.close();
    QCOMPARE(describe(readRtfFile(file.fileName())), u"[b:Titel]\nGrüße"_s);
}

void TestRtfReader::shippedLicence_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("source") << QStringLiteral(QFTP_TEST_SOURCE_DIR "/../app/files/la.rtf");
    QTest::newRow("program folder") << QStringLiteral(QFTP_BUILD_PROGRAM_DIR "/Dateien/la.rtf");
}

void TestRtfReader::shippedLicence()
{
    QFETCH(QString, path);

    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("{\\rtf1"));
    // RTF is 7-bit: umlauts typed as raw bytes would show up garbled.
    QVERIFY(std::all_of(bytes.begin(), bytes.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x80; }));

    const std::vector<RtfParagraph> doc = parseRtf(bytes);
    QCOMPARE(structureFault(doc), QString());
    const QString text = rtfPlainText(doc);
    QVERIFY(text.contains(u"FTP Client"_s));
    // German first, then English.
    const qsizetype german = text.indexOf(u"Lizenzvereinbarung"_s);
    const qsizetype english = text.indexOf(u"Licence Agreement"_s);
    QVERIFY(german >= 0);
    QVERIFY(english > german);
    QVERIFY(text.contains(u"Gewährleistung"_s));
    QVERIFY(text.contains(u"as is"_s));
    // No font names, colours or other table content in the text.
    QVERIFY(!text.contains(u"Arial"_s));

    const bool hasBoldHeading = std::any_of(doc.begin(), doc.end(), [](const RtfParagraph &p) {
        return p.runs.size() == 1 && p.runs.front().bold;
    });
    QVERIFY(hasBoldHeading);
}

QTEST_GUILESS_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
