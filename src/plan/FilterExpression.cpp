#include "FilterExpression.h"
#include "TableError.h"

namespace {

class Parser
{
public:
    Parser(const QString &text, const QList<FieldDef> &fields) : m_text(text), m_fields(fields) { }

    QList<FilterExpression::Comparison> parse()
    {
        QList<FilterExpression::Comparison> result;
        skipBlanks();
        if (atEnd())
            return result;
        for (;;) {
            result.append(comparison());
            skipBlanks();
            if (atEnd())
                break;
            const int before = m_pos;
            const QString word = identifier();
            if (word.compare(QLatin1String("and"), Qt::CaseInsensitive) != 0 || before == 0
                || !m_text.at(before - 1).isSpace() || atEnd() || !m_text.at(m_pos).isSpace()) {
                m_pos = before;
                fail(QStringLiteral("\"and\" expected"));
            }
            skipBlanks();
        }
        return result;
    }

private:
    FilterExpression::Comparison comparison()
    {
        const int fieldPos = m_pos;
        const QString name = identifier();
        if (name.isEmpty())
            fail(QStringLiteral("field name expected"));
        int field = -1;
        for (int i = 0; i < m_fields.size(); ++i)
            if (m_fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
                field = i;
        if (field < 0) {
            m_pos = fieldPos;
            fail(QStringLiteral("unknown field '%1'").arg(name));
        }
        skipBlanks();
        if (atEnd() || m_text.at(m_pos) != QLatin1Char('='))
            fail(QStringLiteral("'=' expected"));
        ++m_pos;
        skipBlanks();
        const int constPos = m_pos;
        QVariant constant = this->constant();
        try {
            return {field, convert(m_fields.at(field), constant)};
        } catch (const TableError &) {
            m_pos = constPos;
            fail(QStringLiteral("'%1' cannot be compared with field '%2'")
                     .arg(constant.toString(), m_fields.at(field).name));
        }
    }

    static QVariant convert(const FieldDef &field, const QVariant &constant)
    {
        switch (field.type) {
        case FieldType::Text:
        case FieldType::Memo: return constant.toString(); // compared in full, never cut
        case FieldType::Integer:
        case FieldType::Money:
        case FieldType::Real: {
            QVariant v = normaliseFieldValue(field, constant.toString().trimmed());
            if (v.isNull())
                throw TableError(QString());
            return v;
        }
        case FieldType::DateTime: throw TableError(QString());
        }
        return constant;
    }

    QVariant constant()
    {
        if (atEnd())
            fail(QStringLiteral("value expected"));
        if (m_text.at(m_pos) == QLatin1Char('\'')) {
            ++m_pos;
            QString s;
            for (;;) {
                if (atEnd())
                    fail(QStringLiteral("unterminated string"));
                const QChar c = m_text.at(m_pos++);
                if (c == QLatin1Char('\'')) {
                    if (!atEnd() && m_text.at(m_pos) == QLatin1Char('\'')) {
                        s += c;
                        ++m_pos;
                        continue;
                    }
                    break;
                }
                s += c;
            }
            return s;
        }
        const int start = m_pos;
        if (m_text.at(m_pos) == QLatin1Char('-') || m_text.at(m_pos) == QLatin1Char('+'))
            ++m_pos;
        while (!atEnd() && m_text.at(m_pos).isDigit())
            ++m_pos;
        const QString digits = m_text.mid(start, m_pos - start);
        bool ok = false;
        const int value = digits.toInt(&ok);
        if (!ok) {
            m_pos = start;
            fail(QStringLiteral("quoted string or integer expected"));
        }
        return value;
    }

    QString identifier()
    {
        const int start = m_pos;
        while (!atEnd() && (m_text.at(m_pos).isLetterOrNumber() || m_text.at(m_pos) == QLatin1Char('_')))
            ++m_pos;
        return m_text.mid(start, m_pos - start);
    }

    void skipBlanks()
    {
        while (!atEnd() && m_text.at(m_pos).isSpace())
            ++m_pos;
    }

    bool atEnd() const { return m_pos >= m_text.size(); }

    [[noreturn]] void fail(const QString &what) const
    {
        throw TableError(QStringLiteral("Filter expression \"%1\" is not valid: %2 at position %3")
                             .arg(m_text, what)
                             .arg(m_pos + 1));
    }

    const QString &m_text;
    const QList<FieldDef> &m_fields;
    int m_pos = 0;
};

} // namespace

FilterExpression FilterExpression::parse(const QString &text, const QList<FieldDef> &fields)
{
    FilterExpression expr;
    expr.m_comparisons = Parser(text, fields).parse();
    return expr;
}
