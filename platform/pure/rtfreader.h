#pragma once
// The program's own small RTF reader, for the licence text beside the
// program. It keeps what a reader of that text needs: paragraphs, line
// breaks, bold, italic and underline, and the characters of \'hh and \u
// escapes. Fonts, colours, pictures, headers and every other destination are
// skipped. Broken input gives whatever text could be read, or nothing; it
// never crashes and never hangs.

#include <QByteArray>
#include <QString>

#include <vector>

// Text of one character format. A line break inside a paragraph (\line) is
// QChar::LineSeparator, which QTextCursor::insertText keeps as a line break
// within the block.
struct RtfRun {
    QString text;
    bool bold = false;
    bool italic = false;
    bool underline = false;

    bool operator==(const RtfRun &) const = default;
};

// Runs are never empty; neighbouring runs differ in format.
struct RtfParagraph {
    std::vector<RtfRun> runs;

    bool operator==(const RtfParagraph &) const = default;
};

// The paragraphs of an RTF text. The empty paragraph after a final \par is
// dropped, as a document's last paragraph mark ends it rather than opening
// a new one.
std::vector<RtfParagraph> parseRtf(const QByteArray &rtf);

// The paragraphs of an RTF file; a file that cannot be read gives none.
std::vector<RtfParagraph> readRtfFile(const QString &path);

// The text alone: paragraphs joined by "\n", line breaks as "\n".
QString rtfPlainText(const std::vector<RtfParagraph> &doc);

// A span of RtfFlatText::text in one format.
struct RtfFormatRange {
    qsizetype start = 0;
    qsizetype length = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;

    bool operator==(const RtfFormatRange &) const = default;
};

// The document as one text for a text widget: paragraphs joined by "\n"
// (a new block for QTextCursor::insertText), line breaks kept as
// QChar::LineSeparator. The ranges follow each other without gaps, cover the
// whole text, and neighbouring ranges differ in format, so a widget inserts
// text.mid(start, length) of each range in order with the range's format.
struct RtfFlatText {
    QString text;
    std::vector<RtfFormatRange> ranges;
};

RtfFlatText rtfFlatText(const std::vector<RtfParagraph> &doc);
