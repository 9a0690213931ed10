#include "widgets/RtfReader.h"

#include <QColor>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

namespace {

// Numbers in control words are 16- or 32-bit in practice; anything longer is
// held at this bound rather than overflowing.
constexpr qint64 kNumberLimit = 1000000000;
constexpr int kMaxColours = 1024;
constexpr int kMaxWordLength = 32;

// The code points of Windows-1252's bytes 0x80..0x9F; the rest is Latin-1.
// The five unassigned bytes map to themselves, as Windows does.
constexpr std::array<char16_t, 32> kCp1252High = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QChar fromCp1252(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0)
        return QChar(kCp1252High[byte - 0x80]);
    return QChar(byte);
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

enum class Destination { Text, ColourTable, Skip };

struct CharState
{
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int halfPoints = 0; // 0: the document's default size
    int colour = -1; // index into the colour table; -1: default colour

    bool operator==(const CharState &) const = default;
};

struct ParaState
{
    Qt::Alignment alignment = Qt::AlignLeft;
    int spaceBefore = 0; // twips
    int spaceAfter = 0;
    int leftIndent = 0;
    int rightIndent = 0;
    int firstIndent = 0;
};

struct GroupState
{
    CharState chars;
    ParaState para;
    Destination destination = Destination::Text;
    int unicodeSkip = 1;
};

class Parser
{
public:
    Parser(const QByteArray &rtf, QTextDocument *document)
        : m_data(rtf.constData()), m_size(rtf.size()), m_cursor(document)
    {
    }

    void run();

private:
    bool atEnd() const { return m_pos >= m_size; }
    GroupState &state() { return m_stack.back(); }
    bool skipping() const { return m_overflow > 0 || m_stack.back().destination == Destination::Skip; }

    void openGroup();
    void closeGroup();
    void readControl();
    void controlWord(const QByteArray &word, bool hasParam, int param);
    void text(QChar c);
    void colourTableChar(char c);
    void paragraph();
    void flush();
    QTextCharFormat charFormat(const CharState &chars) const;
    static QTextBlockFormat blockFormat(const ParaState &para);

    const char *m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    QTextCursor m_cursor;

    std::vector<GroupState> m_stack;
    int m_overflow = 0; // groups opened beyond maxDepth, skipped
    bool m_finished = false; // the outermost group has closed
    int m_pendingSkip = 0; // fallback characters still to drop after \uN

    std::vector<QColor> m_colours; // invalid QColor: the default colour
    QColor m_colour; // the colour table entry being read
    bool m_colourSet = false;

    QString m_run; // text not yet inserted, all in m_runChars
    CharState m_runChars;
    ParaState m_blockPara; // the paragraph properties of the block being filled
};

void Parser::run()
{
    m_stack.reserve(RtfReader::maxDepth + 2);
    m_stack.emplace_back(); // the state outside every group
    while (!atEnd() && !m_finished) {
        const char c = m_data[m_pos];
        if (c == '{') {
            ++m_pos;
            m_pendingSkip = 0;
            openGroup();
        } else if (c == '}') {
            ++m_pos;
            m_pendingSkip = 0;
            closeGroup();
        } else if (c == '\\') {
            readControl();
        } else {
            ++m_pos;
            if (c == '\r' || c == '\n')
                continue;
            if (m_pendingSkip > 0) {
                --m_pendingSkip;
                continue;
            }
            if (state().destination == Destination::ColourTable && m_overflow == 0)
                colourTableChar(c);
            else if (static_cast<unsigned char>(c) >= 0x20 || c == '\t')
                text(fromCp1252(static_cast<unsigned char>(c)));
        }
    }
    flush();
    m_cursor.setBlockFormat(blockFormat(m_blockPara));
}

void Parser::openGroup()
{
    if (m_overflow > 0 || int(m_stack.size()) > RtfReader::maxDepth) {
        ++m_overflow;
        return;
    }
    GroupState inner = state();
    m_stack.push_back(inner);
}

void Parser::closeGroup()
{
    if (m_overflow > 0) {
        --m_overflow;
        return;
    }
    if (m_stack.size() <= 1)
        return; // a stray brace before the document began
    if (state().destination == Destination::ColourTable && m_colourSet)
        colourTableChar(';'); // an entry left without its semicolon
    m_stack.pop_back();
    if (m_stack.size() == 1)
        m_finished = true; // text after the outermost group is not part of it
}

void Parser::readControl()
{
    ++m_pos; // the backslash
    if (atEnd())
        return;
    const char c = m_data[m_pos];
    if (!std::isalpha(static_cast<unsigned char>(c))) {
        ++m_pos;
        if (c == '\'') {
            const int high = m_pos < m_size ? hexValue(m_data[m_pos]) : -1;
            const int low = m_pos + 1 < m_size ? hexValue(m_data[m_pos + 1]) : -1;
            if (high < 0 || low < 0) {
                m_pos += high < 0 ? 0 : 1; // a broken escape shows nothing
                return;
            }
            m_pos += 2;
            if (m_pendingSkip > 0) {
                --m_pendingSkip;
                return;
            }
            if (state().destination == Destination::ColourTable)
                return;
            text(fromCp1252(static_cast<unsigned char>(high * 16 + low)));
            return;
        }
        if (m_pendingSkip > 0) {
            --m_pendingSkip;
            return;
        }
        switch (c) {
        case '\\':
        case '{':
        case '}': text(QLatin1Char(c)); break;
        case '~': text(QChar(0x00A0)); break;
        case '_': text(QChar(0x2011)); break;
        case '*':
            if (m_overflow == 0)
                state().destination = Destination::Skip;
            break;
        case '\r':
        case '\n':
            if (!skipping())
                paragraph();
            break;
        default: // \- optional hyphen, \| \: and the unknown: nothing to show
            break;
        }
        return;
    }

    const qsizetype start = m_pos;
    while (!atEnd() && std::isalpha(static_cast<unsigned char>(m_data[m_pos])))
        ++m_pos;
    const QByteArray word(m_data + start, std::min<qsizetype>(m_pos - start, kMaxWordLength));
    bool negative = false;
    if (!atEnd() && m_data[m_pos] == '-' && m_pos + 1 < m_size
        && std::isdigit(static_cast<unsigned char>(m_data[m_pos + 1]))) {
        negative = true;
        ++m_pos;
    }
    bool hasParam = false;
    qint64 value = 0;
    while (!atEnd() && std::isdigit(static_cast<unsigned char>(m_data[m_pos]))) {
        hasParam = true;
        value = std::min(value * 10 + (m_data[m_pos] - '0'), kNumberLimit);
        ++m_pos;
    }
    if (!atEnd() && m_data[m_pos] == ' ')
        ++m_pos; // the delimiter belongs to the word
    if (m_pendingSkip > 0) {
        --m_pendingSkip;
        return;
    }
    controlWord(word, hasParam, int(negative ? -value : value));
}

void Parser::controlWord(const QByteArray &word, bool hasParam, int param)
{
    // Words that hold no body text: their whole group is passed over.
    static const char *const skipped[] = {"fonttbl",      "stylesheet",
                                          "info",         "pict",
                                          "header",       "headerl",
                                          "headerr",      "headerf",
                                          "footer",       "footerl",
                                          "footerr",      "footerf",
                                          "footnote",     "object",
                                          "listtable",    "listoverridetable",
                                          "revtbl",       "rsidtbl",
                                          "filetbl",      "xmlnstbl",
                                          "themedata",    "colorschememapping",
                                          "latentstyles", "datastore",
                                          "generator",    "fldinst",
                                          "nonshppict",   "bkmkstart",
                                          "bkmkend",      "xe",
                                          "tc",           "txe",
                                          "author",       "operator",
                                          "title",        "subject",
                                          "comment",      "keywords",
                                          "doccomm"};

    if (word == "bin") {
        // Raw bytes follow; they are never read as words or text.
        m_pos += std::clamp<qsizetype>(param, 0, m_size - m_pos);
        return;
    }
    if (m_overflow > 0)
        return;
    GroupState &s = state();
    if (std::any_of(std::begin(skipped), std::end(skipped), [&](const char *w) { return word == w; })) {
        s.destination = Destination::Skip;
        return;
    }
    if (word == "colortbl") {
        if (s.destination != Destination::Skip)
            s.destination = Destination::ColourTable;
        return;
    }
    if (s.destination == Destination::ColourTable) {
        const int component = std::clamp(param, 0, 255);
        if (word == "red" || word == "green" || word == "blue") {
            if (!m_colourSet)
                m_colour = QColor(0, 0, 0);
            m_colourSet = true;
            if (word == "red")
                m_colour.setRed(component);
            else if (word == "green")
                m_colour.setGreen(component);
            else
                m_colour.setBlue(component);
        }
        return;
    }
    if (word == "uc") {
        s.unicodeSkip = std::clamp(param, 0, 16);
        return;
    }
    if (word == "u") {
        int code = param < 0 ? param + 65536 : param;
        if (code < 0 || code > 0xFFFF)
            code = 0xFFFD;
        text(QChar(char16_t(code)));
        m_pendingSkip = s.unicodeSkip;
        return;
    }
    if (skipping())
        return;

    const bool on = !hasParam || param != 0;
    CharState &ch = s.chars;
    ParaState &pa = s.para;
    if (word == "par")
        paragraph();
    else if (word == "line")
        text(QChar::LineSeparator);
    else if (word == "tab")
        text(QLatin1Char('\t'));
    else if (word == "pard")
        pa = ParaState();
    else if (word == "plain")
        ch = CharState();
    else if (word == "b")
        ch.bold = on;
    else if (word == "i")
        ch.italic = on;
    else if (word == "ul")
        ch.underline = on;
    else if (word == "ulnone")
        ch.underline = false;
    else if (word == "strike")
        ch.strike = on;
    else if (word == "fs")
        ch.halfPoints = hasParam ? std::clamp(param, 0, 3276) : 0;
    else if (word == "cf")
        ch.colour = hasParam ? std::clamp(param, -1, kMaxColours) : -1;
    else if (word == "ql")
        pa.alignment = Qt::AlignLeft;
    else if (word == "qc")
        pa.alignment = Qt::AlignHCenter;
    else if (word == "qr")
        pa.alignment = Qt::AlignRight;
    else if (word == "qj")
        pa.alignment = Qt::AlignJustify;
    else if (word == "sb")
        pa.spaceBefore = std::clamp(param, 0, 32000);
    else if (word == "sa")
        pa.spaceAfter = std::clamp(param, 0, 32000);
    else if (word == "li")
        pa.leftIndent = std::clamp(param, -32000, 32000);
    else if (word == "ri")
        pa.rightIndent = std::clamp(param, -32000, 32000);
    else if (word == "fi")
        pa.firstIndent = std::clamp(param, -32000, 32000);
    else if (word == "endash")
        text(QChar(0x2013));
    else if (word == "emdash")
        text(QChar(0x2014));
    else if (word == "bullet")
        text(QChar(0x2022));
    else if (word == "lquote")
        text(QChar(0x2018));
    else if (word == "rquote")
        text(QChar(0x2019));
    else if (word == "ldblquote")
        text(QChar(0x201C));
    else if (word == "rdblquote")
        text(QChar(0x201D));
    // Every other word (\rtf, \ansi, \deff, \f, \lang...) changes nothing we show.
}

void Parser::colourTableChar(char c)
{
    if (c != ';')
        return;
    if (int(m_colours.size()) < kMaxColours)
        m_colours.push_back(m_colourSet ? m_colour : QColor());
    m_colour = QColor();
    m_colourSet = false;
}

void Parser::text(QChar c)
{
    if (skipping() || state().destination != Destination::Text)
        return;
    const GroupState &s = state();
    if (!m_run.isEmpty() && !(m_runChars == s.chars))
        flush();
    m_runChars = s.chars;
    m_blockPara = s.para;
    m_run += c;
}

void Parser::paragraph()
{
    flush();
    m_blockPara = state().para;
    m_cursor.setBlockFormat(blockFormat(m_blockPara));
    m_cursor.insertBlock(blockFormat(m_blockPara), charFormat(state().chars));
}

void Parser::flush()
{
    if (m_run.isEmpty())
        return;
    m_cursor.insertText(m_run, charFormat(m_runChars));
    m_run.clear();
}

QTextCharFormat Parser::charFormat(const CharState &chars) const
{
    QTextCharFormat format;
    format.setFontWeight(chars.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(chars.italic);
    format.setFontUnderline(chars.underline);
    format.setFontStrikeOut(chars.strike);
    if (chars.halfPoints > 0)
        format.setFontPointSize(chars.halfPoints / 2.0);
    if (chars.colour >= 0 && chars.colour < int(m_colours.size()) && m_colours[chars.colour].isValid())
        format.setForeground(m_colours[chars.colour]);
    return format;
}

QTextBlockFormat Parser::blockFormat(const ParaState &para)
{
    // Twips to points: the document measures margins in points on screen.
    QTextBlockFormat format;
    format.setAlignment(para.alignment);
    format.setTopMargin(para.spaceBefore / 20.0);
    format.setBottomMargin(para.spaceAfter / 20.0);
    format.setLeftMargin(para.leftIndent / 20.0);
    format.setRightMargin(para.rightIndent / 20.0);
    format.setTextIndent(para.firstIndent / 20.0);
    return format;
}

} // namespace

bool RtfReader::read(const QByteArray &rtf, QTextDocument *document, QString *error)
{
    const auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    if (!document)
        return fail(QStringLiteral("No document to read into"));
    if (!rtf.startsWith("{\\rtf"))
        return fail(QStringLiteral("Not a rich text (RTF) document: it does not begin with {\\rtf"));
    document->clear();
    Parser(rtf, document).run();
    if (error)
        error->clear();
    return true;
}
