#pragma once
#include <QByteArray>
#include <QString>

class QTextDocument;

// Reads the rich text of our own hints document into a QTextDocument.
//
// Understood: groups; \par, \pard (resets the paragraph's alignment, spacing
// and indents: \ql \qc \qr \qj \sb \sa \li \ri \fi), \line, \tab; \plain, \b,
// \i, \ul / \ulnone, \strike, \fsN (half-points), \cfN over {\colortbl ...};
// the escapes \\ \{ \}, \~, \'hh (Windows-1252) and \uN with \ucN; a few
// named characters (\endash, \emdash, \bullet, quotes). The font table is
// read past: text takes the document's default font. {\* ...} groups and
// destinations that hold no body text (info, stylesheet, pict, headers...)
// are skipped.
//
// Input is trusted in nothing: unbalanced braces, truncated words and huge
// numbers are read as far as they make sense; groups nested deeper than a
// fixed limit are skipped whole. Only input that does not begin with "{\rtf"
// is refused: read() then returns false, sets *error and leaves the document
// alone. Otherwise the document is replaced by what could be read.
class RtfReader
{
public:
    static bool read(const QByteArray &rtf, QTextDocument *document, QString *error = nullptr);

    // Groups nested deeper than this are skipped.
    static constexpr int maxDepth = 100;
};
