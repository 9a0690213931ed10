#include "plan/Csv.h"

#include <QStringDecoder>

namespace Csv {

namespace {

// The line (from 1) of the first bytes that are not UTF-8, or 0 when all are.
// Lines are counted at LF here (a file with bare CR line ends and bad bytes
// is reported at its first line).
int firstBadUtf8Line(const QByteArray &data)
{
    // A multi-byte UTF-8 sequence never holds the byte LF, so each line can be
    // checked on its own.
    int line = 1;
    qsizetype start = 0;
    while (start <= data.size()) {
        qsizetype end = data.indexOf('\n', start);
        if (end < 0)
            end = data.size();
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = decoder.decode(QByteArrayView(data).sliced(start, end - start));
        if (decoder.hasError())
            return line;
        start = end + 1;
        ++line;
    }
    return 0;
}

class Parser
{
public:
    Parser(const QString &text, std::vector<Record> &records, ParseError &error)
        : m_text(text), m_records(records), m_error(error)
    {
    }

    bool run()
    {
        while (m_pos < m_text.size()) {
            if (!parseRecord())
                return false;
        }
        return true;
    }

private:
    QChar peek(qsizetype offset = 0) const
    {
        const qsizetype i = m_pos + offset;
        return i < m_text.size() ? m_text.at(i) : QChar();
    }
    bool atEnd() const { return m_pos >= m_text.size(); }
    bool atLineEnd() const { return peek() == u'\r' || peek() == u'\n'; }

    // Consumes one CR LF, LF or CR.
    void takeLineEnd()
    {
        if (peek() == u'\r' && peek(1) == u'\n')
            ++m_pos;
        ++m_pos;
        ++m_line;
    }

    bool fail(const QString &message)
    {
        m_error = {m_line, message};
        return false;
    }

    bool parseRecord()
    {
        Record record;
        record.line = m_line;
        if (atLineEnd()) { // an empty line
            takeLineEnd();
            return true;
        }
        for (;;) {
            Cell cell;
            if (!parseCell(cell))
                return false;
            record.cells.append(cell);
            if (peek() == u',') {
                ++m_pos;
                continue;
            }
            if (atLineEnd())
                takeLineEnd();
            break; // line end or end of file
        }
        m_records.push_back(std::move(record));
        return true;
    }

    bool parseCell(Cell &cell)
    {
        if (peek() != u'"') {
            const qsizetype start = m_pos;
            while (!atEnd() && peek() != u',' && !atLineEnd()) {
                if (peek() == u'"')
                    return fail(QStringLiteral("a double quote inside a cell that does not start with one "
                                               "(enclose the cell in quotes and double the quote)"));
                ++m_pos;
            }
            cell.text = m_text.mid(start, m_pos - start);
            return true;
        }
        cell.quoted = true;
        const int openedOn = m_line;
        ++m_pos;
        for (;;) {
            if (atEnd()) {
                m_line = openedOn;
                return fail(QStringLiteral("a quoted cell is never closed"));
            }
            if (peek() == u'"') {
                if (peek(1) == u'"') {
                    cell.text += u'"';
                    m_pos += 2;
                    continue;
                }
                ++m_pos;
                break;
            }
            // Up to the next quote in one piece, counting the line ends in it.
            qsizetype end = m_text.indexOf(u'"', m_pos);
            if (end < 0)
                end = m_text.size();
            const QStringView piece = QStringView(m_text).sliced(m_pos, end - m_pos);
            m_line += static_cast<int>(piece.count(u'\n') + piece.count(u'\r') - piece.count(u"\r\n"));
            cell.text += piece;
            m_pos = end;
        }
        if (!atEnd() && peek() != u',' && !atLineEnd())
            return fail(QStringLiteral("text after the closing quote of a cell"));
        return true;
    }

    const QString &m_text;
    std::vector<Record> &m_records;
    ParseError &m_error;
    qsizetype m_pos = 0;
    int m_line = 1;
};

bool needsQuotes(const QString &text)
{
    for (QChar c : text)
        if (c == u',' || c == u'"' || c == u'\r' || c == u'\n')
            return true;
    return false;
}

} // namespace

bool parse(const QByteArray &data, std::vector<Record> &records, ParseError &error)
{
    records.clear();
    if (const int line = firstBadUtf8Line(data)) {
        error = {line, QStringLiteral("the file is not UTF-8 text")};
        return false;
    }
    QString text = QString::fromUtf8(data);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return Parser(text, records, error).run();
}

QString formatRecord(const QList<Cell> &cells)
{
    QString out;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            out += u',';
        const Cell &cell = cells.at(i);
        if (cell.quoted || needsQuotes(cell.text)) {
            QString escaped = cell.text;
            escaped.replace(u'"', QStringLiteral("\"\""));
            out += u'"' + escaped + u'"';
        } else {
            out += cell.text;
        }
    }
    out += QStringLiteral("\r\n");
    return out;
}

} // namespace Csv
