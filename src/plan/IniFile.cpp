#include "IniFile.h"
#include "FileWriter.h"
#include "PlanFileError.h"
#include "RegularFile.h"

#include <QRegularExpression>

namespace {

bool isSectionLine(const QString &line, QString *name = nullptr)
{
    const QString t = line.trimmed();
    if (t.size() < 2 || !t.startsWith(QLatin1Char('[')))
        return false;
    const int close = t.indexOf(QLatin1Char(']'));
    if (close < 0)
        return false;
    if (name)
        *name = t.mid(1, close - 1).trimmed();
    return true;
}

// The key of a "key=value" line, or an empty string for other lines.
QString keyOf(const QString &line)
{
    const QString t = line.trimmed();
    if (t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#')))
        return QString();
    const int eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : line.left(eq).trimmed();
}

} // namespace

IniFile::IniFile(const QString &path) : m_path(path)
{
}

bool IniFile::load()
{
    m_lines.clear();
    // A named pipe or a device in the file's place cannot be read, like a
    // file without permission: never waited on or read without end.
    const RegularFile::Contents file = RegularFile::read(m_path, kMaxFileSize);
    if (file.status == RegularFile::Status::Missing)
        return true;
    if (!file.ok())
        return false;
    parse(file.bytes);
    return true;
}

void IniFile::parse(const QByteArray &bytes)
{
    m_lines.clear();
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    m_lines = text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    if (!m_lines.isEmpty() && m_lines.last().isEmpty())
        m_lines.removeLast();
}

int IniFile::findSection(const QString &section) const
{
    QString name;
    for (int i = 0; i < m_lines.size(); ++i)
        if (isSectionLine(m_lines.at(i), &name) && name.compare(section, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int IniFile::sectionEnd(int sectionLine) const
{
    int i = sectionLine + 1;
    while (i < m_lines.size() && !isSectionLine(m_lines.at(i)))
        ++i;
    return i;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const int s = findSection(section);
    if (s < 0)
        return defaultValue;
    const int end = sectionEnd(s);
    for (int i = s + 1; i < end; ++i) {
        const QString &line = m_lines.at(i);
        if (keyOf(line).compare(key, Qt::CaseInsensitive) == 0 && !keyOf(line).isEmpty())
            return line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
    }
    return defaultValue;
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    const QString newLine = key + QLatin1Char('=') + value;
    int s = findSection(section);
    if (s < 0) {
        m_lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        m_lines.append(newLine);
        return;
    }
    int end = sectionEnd(s);
    for (int i = s + 1; i < end; ++i) {
        if (!keyOf(m_lines.at(i)).isEmpty() && keyOf(m_lines.at(i)).compare(key, Qt::CaseInsensitive) == 0) {
            m_lines[i] = newLine;
            return;
        }
    }
    // After the section's last non-blank line.
    while (end > s + 1 && m_lines.at(end - 1).trimmed().isEmpty())
        --end;
    m_lines.insert(end, newLine);
}

QByteArray IniFile::bytes() const
{
    QByteArray bytes;
    for (const QString &line : m_lines)
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}

void IniFile::save() const
{
    FileWriter::writeFile(m_path, bytes());
}

QString IniFile::read(const QString &path, const QString &section, const QString &key, const QString &defaultValue)
{
    IniFile ini(path);
    if (!ini.load())
        return defaultValue;
    return ini.readString(section, key, defaultValue);
}

QByteArray IniFile::withValue(const QString &path, const QString &section, const QString &key, const QString &value)
{
    IniFile ini(path);
    if (!ini.load())
        throw FileWriteError(path, QStringLiteral("\"%1\" cannot be read to update it").arg(path));
    ini.writeString(section, key, value);
    return ini.bytes();
}

void IniFile::write(const QString &path, const QString &section, const QString &key, const QString &value)
{
    FileWriter::writeFile(path, withValue(path, section, key, value));
}
