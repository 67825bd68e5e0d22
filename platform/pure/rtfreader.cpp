#include "platform/pure/rtfreader.h"

#include <QFile>
#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <optional>

namespace {

// Real documents nest a few dozen groups at most. Deeper groups are dropped
// with their content, so a hostile file cannot grow the group stack.
constexpr std::size_t kMaxDepth = 256;
// Control words are at most 32 letters and every known word is shorter, so a
// longer one, read to its end and kept in part, matches nothing.
constexpr int kMaxWordLength = 32;
// Parameters are clamped, so a run of digits cannot overflow.
constexpr qint64 kMaxParameter = 1'000'000'000;
// A licence text is a few kilobytes; this bounds what a wrong file can cost.
constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; its five unassigned
// codes there read as the replacement character.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

QString decodeCp1252(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text += (b >= 0x80 && b < 0xA0) ? QChar(kCp1252High[b - 0x80]) : QChar(b);
    }
    return text;
}

// A decoder for a Windows code page number; none for 1252, which has its own
// table, and none for a page Qt cannot decode, which then reads as 1252.
std::optional<QStringDecoder> decoderForCodePage(int codePage)
{
    if (codePage == 1252)
        return std::nullopt;
    QByteArray name;
    if (codePage == 65001)
        name = "UTF-8";
    else if (codePage == 10000)
        name = "macintosh";
    else if (codePage == 874 || (codePage >= 1250 && codePage <= 1258))
        name = "windows-" + QByteArray::number(codePage);
    else
        name = "cp" + QByteArray::number(codePage);
    QStringDecoder decoder(name.constData());
    if (!decoder.isValid())
        return std::nullopt;
    return decoder;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

enum class WordKind {
    Paragraph,
    Line,
    Character,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Hidden,
    Plain,
    Unicode,
    UnicodeSkip,
    CodePage,
    Binary,
    Destination,
};

struct WordInfo {
    WordKind kind;
    char16_t character = 0;
};

// The control words the reader acts on; every other word is ignored.
const QHash<QByteArray, WordInfo> &knownWords()
{
    static const QHash<QByteArray, WordInfo> words = [] {
        QHash<QByteArray, WordInfo> w;
        for (const char *name : {"par", "sect", "page", "row"})
            w.insert(name, {WordKind::Paragraph});
        w.insert("line", {WordKind::Line});
        const std::pair<const char *, char16_t> characters[] = {
            {"tab", u'\t'},      {"cell", u'\t'},     {"emdash", 0x2014},    {"endash", 0x2013},
            {"emspace", 0x2003}, {"enspace", 0x2002}, {"qmspace", 0x2005},   {"bullet", 0x2022},
            {"lquote", 0x2018},  {"rquote", 0x2019},  {"ldblquote", 0x201C}, {"rdblquote", 0x201D},
            {"zwj", 0x200D},     {"zwnj", 0x200C},    {"ltrmark", 0x200E},   {"rtlmark", 0x200F}};
        for (const auto &[name, character] : characters)
            w.insert(name, {WordKind::Character, character});
        w.insert("b", {WordKind::Bold});
        w.insert("i", {WordKind::Italic});
        // Every underline style reads as underline; \ulc only sets its colour.
        for (const char *name : {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave",
                                 "ulldash", "ulth", "ulthd", "ulthdash", "ulthdashd", "ulthdashdd",
                                 "ulthldash", "ululdbwave", "ulw", "ulwave"})
            w.insert(name, {WordKind::Underline});
        w.insert("ulnone", {WordKind::UnderlineNone});
        w.insert("v", {WordKind::Hidden});
        w.insert("plain", {WordKind::Plain});
        w.insert("u", {WordKind::Unicode});
        w.insert("uc", {WordKind::UnicodeSkip});
        w.insert("ansicpg", {WordKind::CodePage});
        w.insert("bin", {WordKind::Binary});
        // Groups whose content is not text of the document.
        for (const char *name : {"fonttbl",
                                 "colortbl",
                                 "stylesheet",
                                 "info",
                                 "pict",
                                 "header",
                                 "headerl",
                                 "headerr",
                                 "headerf",
                                 "footer",
                                 "footerl",
                                 "footerr",
                                 "footerf",
                                 "fldinst",
                                 "object",
                                 "objdata",
                                 "footnote",
                                 "xe",
                                 "tc",
                                 "txe",
                                 "rxe",
                                 "listtable",
                                 "listoverridetable",
                                 "revtbl",
                                 "filetbl",
                                 "rsidtbl"})
            w.insert(name, {WordKind::Destination});
        return w;
    }();
    return words;
}

// The state a group saves on '{' and restores on '}'.
struct GroupState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool hidden = false;
    bool skip = false; // inside a destination that is not document text
    int unicodeSkip = 1;
};

class Parser {
public:
    explicit Parser(const QByteArray &rtf) : m_in(rtf) {}
    std::vector<RtfParagraph> parse();

private:
    bool atEnd() const { return m_pos >= m_in.size(); }
    char peek() const { return m_in.at(m_pos); }
    bool consumeSkipped();
    bool textSuppressed() const { return m_state.skip || m_state.hidden || m_overflow > 0; }
    bool wordsIgnored() const { return m_state.skip || m_overflow > 0; }

    void openGroup();
    void closeGroup();
    void readControl();
    void readControlWord();
    void readHexEscape();
    void controlSymbol(char c);
    void applyWord(const QByteArray &word, bool hasParameter, int parameter);
    void applyFormat(WordKind kind, bool on);
    void textByte(char c);

    void flushBytes();
    void appendText(const QString &text);
    void appendChar(char16_t c)
    {
        flushBytes();
        appendText(QString(QChar(c)));
    }
    void newParagraph();

    const QByteArray &m_in;
    qsizetype m_pos = 0;
    GroupState m_state;
    std::vector<GroupState> m_stack;
    qsizetype m_overflow = 0;                // open groups beyond kMaxDepth
    int m_pendingSkip = 0;                   // fallback characters still to skip after \u
    QByteArray m_bytes;                      // text bytes not yet decoded by the code page
    std::optional<QStringDecoder> m_decoder; // none: Windows-1252
    std::vector<RtfParagraph> m_doc{1};
};

std::vector<RtfParagraph> Parser::parse()
{
    while (!atEnd()) {
        const char c = m_in.at(m_pos++);
        if (c == '{') {
            openGroup();
        } else if (c == '}') {
            closeGroup();
        } else if (c == '\\') {
            readControl();
        } else if (c != '\r' && c != '\n') {
            textByte(c);
        }
    }
    flushBytes();
    if (m_doc.back().runs.empty())
        m_doc.pop_back();
    return std::move(m_doc);
}

// After \u the next characters are the fallback for readers without Unicode;
// a brace ends the fallback early.
bool Parser::consumeSkipped()
{
    if (m_pendingSkip <= 0)
        return false;
    --m_pendingSkip;
    return true;
}

void Parser::openGroup()
{
    flushBytes();
    m_pendingSkip = 0;
    if (m_overflow > 0 || m_stack.size() >= kMaxDepth) {
        ++m_overflow;
        return;
    }
    m_stack.push_back(m_state);
}

void Parser::closeGroup()
{
    flushBytes();
    m_pendingSkip = 0;
    if (m_overflow > 0) {
        --m_overflow;
    } else if (!m_stack.empty()) {
        m_state = m_stack.back();
        m_stack.pop_back();
    }
    // A '}' without its '{' is ignored.
}

void Parser::readControl()
{
    if (atEnd())
        return;
    const char c = peek();
    if (isLetter(c)) {
        readControlWord();
    } else if (c == '\'') {
        ++m_pos;
        readHexEscape();
    } else {
        ++m_pos;
        if (!consumeSkipped())
            controlSymbol(c);
    }
}

void Parser::readControlWord()
{
    QByteArray word;
    for (; !atEnd() && isLetter(peek()); ++m_pos) {
        if (word.size() < kMaxWordLength)
            word += peek();
    }

    bool negative = false;
    if (m_pos + 1 < m_in.size() && peek() == '-' && isDigit(m_in.at(m_pos + 1))) {
        negative = true;
        ++m_pos;
    }
    const bool hasParameter = !atEnd() && isDigit(peek());
    qint64 value = 0;
    for (; !atEnd() && isDigit(peek()); ++m_pos)
        value = std::min(value * 10 + (peek() - '0'), kMaxParameter);
    const int parameter = int(negative ? -value : value);

    // One space ends the word and belongs to it.
    if (!atEnd() && peek() == ' ')
        ++m_pos;

    if (consumeSkipped()) {
        // \bin and its data make one fallback character.
        if (word == "bin")
            applyWord(word, hasParameter, parameter);
        return;
    }
    applyWord(word, hasParameter, parameter);
}

void Parser::readHexEscape()
{
    if (m_pos + 1 >= m_in.size()) {
        m_pos = m_in.size(); // truncated escape at the end of the text
        return;
    }
    const int high = hexValue(m_in.at(m_pos));
    const int low = hexValue(m_in.at(m_pos + 1));
    if (high < 0 || low < 0)
        return; // not an escape; what follows reads as text
    m_pos += 2;
    if (consumeSkipped() || textSuppressed())
        return;
    m_bytes += char(high * 16 + low);
}

void Parser::controlSymbol(char c)
{
    switch (c) {
    case '\\':
    case '{':
    case '}':
        textByte(c);
        return;
    case '*':
        // Every \* group is an optional destination this reader does not know.
        // Inside dropped deep groups the state belongs to an outer group and
        // stays untouched.
        flushBytes();
        if (m_overflow == 0)
            m_state.skip = true;
        return;
    case '\r':
    case '\n':
        // A backslash before a line end is a paragraph mark.
        applyWord("par", false, 0);
        return;
    }
    if (wordsIgnored())
        return;
    switch (c) {
    case '~':
        appendChar(0x00A0);
        break;
    case '-':
        appendChar(0x00AD);
        break;
    case '_':
        appendChar(0x2011);
        break;
    }
}

void Parser::applyWord(const QByteArray &word, bool hasParameter, int parameter)
{
    const auto found = knownWords().constFind(word);
    if (found == knownWords().constEnd())
        return;
    const WordInfo info = found.value();
    if (info.kind == WordKind::Binary) {
        // Binary data may hold any byte, braces included; it is never text.
        const qsizetype count = hasParameter ? std::max(parameter, 0) : 0;
        m_pos = std::min(m_in.size(), m_pos + count);
        return;
    }
    if (wordsIgnored())
        return;
    flushBytes();
    const bool on = !hasParameter || parameter != 0;
    switch (info.kind) {
    case WordKind::Paragraph:
        if (!textSuppressed())
            newParagraph();
        break;
    case WordKind::Line:
        appendChar(QChar::LineSeparator);
        break;
    case WordKind::Character:
        appendChar(info.character);
        break;
    case WordKind::Unicode:
        if (hasParameter) {
            // Values above 32767 are written as negative numbers.
            const int code = parameter < 0 ? parameter + 65536 : parameter;
            if (code > 0 && code <= 0xFFFF)
                appendChar(char16_t(code));
            m_pendingSkip = m_state.unicodeSkip;
        }
        break;
    case WordKind::UnicodeSkip:
        if (hasParameter && parameter >= 0)
            m_state.unicodeSkip = parameter;
        break;
    case WordKind::CodePage:
        if (hasParameter)
            m_decoder = decoderForCodePage(parameter);
        break;
    case WordKind::Destination:
        m_state.skip = true;
        break;
    default:
        applyFormat(info.kind, on);
        break;
    }
}

void Parser::applyFormat(WordKind kind, bool on)
{
    switch (kind) {
    case WordKind::Bold:
        m_state.bold = on;
        break;
    case WordKind::Italic:
        m_state.italic = on;
        break;
    case WordKind::Underline:
        m_state.underline = on;
        break;
    case WordKind::UnderlineNone:
        m_state.underline = false;
        break;
    case WordKind::Hidden:
        m_state.hidden = on;
        break;
    case WordKind::Plain:
        m_state.bold = m_state.italic = m_state.underline = m_state.hidden = false;
        break;
    default:
        break;
    }
}

void Parser::textByte(char c)
{
    // Control characters other than tab are not text; binary junk stays out.
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
        return;
    if (consumeSkipped() || textSuppressed())
        return;
    m_bytes += c;
}

// Bytes are decoded together, so that a double-byte code page sees both
// halves of a character.
void Parser::flushBytes()
{
    if (m_bytes.isEmpty())
        return;
    const QString text = m_decoder ? QString(m_decoder->decode(m_bytes)) : decodeCp1252(m_bytes);
    m_bytes.clear();
    appendText(text);
}

void Parser::appendText(const QString &text)
{
    if (text.isEmpty() || textSuppressed())
        return;
    auto &runs = m_doc.back().runs;
    if (!runs.empty()) {
        RtfRun &last = runs.back();
        if (last.bold == m_state.bold && last.italic == m_state.italic &&
            last.underline == m_state.underline) {
            last.text += text;
            return;
        }
    }
    runs.push_back({text, m_state.bold, m_state.italic, m_state.underline});
}

void Parser::newParagraph()
{
    m_doc.emplace_back();
}

void appendRange(RtfFlatText &flat, const QString &text, bool bold, bool italic, bool underline)
{
    if (text.isEmpty())
        return;
    if (!flat.ranges.empty()) {
        RtfFormatRange &last = flat.ranges.back();
        if (last.bold == bold && last.italic == italic && last.underline == underline) {
            last.length += text.size();
            flat.text += text;
            return;
        }
    }
    flat.ranges.push_back({flat.text.size(), text.size(), bold, italic, underline});
    flat.text += text;
}

} // namespace

std::vector<RtfParagraph> parseRtf(const QByteArray &rtf)
{
    return Parser(rtf).parse();
}

std::vector<RtfParagraph> readRtfFile(const QString &path)
{
    if (path.isEmpty())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parseRtf(file.read(kMaxFileSize));
}

QString rtfPlainText(const std::vector<RtfParagraph> &doc)
{
    QString text;
    for (std::size_t i = 0; i < doc.size(); ++i) {
        if (i > 0)
            text += u'\n';
        for (const RtfRun &run : doc[i].runs)
            text += run.text;
    }
    return text.replace(QChar::LineSeparator, u'\n');
}

RtfFlatText rtfFlatText(const std::vector<RtfParagraph> &doc)
{
    RtfFlatText flat;
    for (std::size_t i = 0; i < doc.size(); ++i) {
        if (i > 0)
            appendRange(flat, QStringLiteral("\n"), false, false, false);
        for (const RtfRun &run : doc[i].runs)
            appendRange(flat, run.text, run.bold, run.italic, run.underline);
    }
    return flat;
}
