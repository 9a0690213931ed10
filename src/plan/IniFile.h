#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

// An initialisation file (section lines "[name]" and "key=value" lines), read
// as raw text: values come back exactly as written ("True" stays "True"),
// section and key names match without regard to case, and writing one key
// leaves every other line of the file as it was. Any line end is read; lines
// are written with CR LF, through FileWriter.
class IniFile
{
public:
    explicit IniFile(const QString &path);

    // Reads the file. A missing file is an empty one; false when the file
    // exists but cannot be read.
    bool load();
    // Takes the lines of a file's bytes, as load() does. Bytes that are not
    // UTF-8 read as replacement characters.
    void parse(const QByteArray &bytes);

    // A larger file is not read (load() gives false): no real one comes near.
    static constexpr qint64 kMaxFileSize = qint64(16) << 20;

    QString readString(const QString &section, const QString &key, const QString &defaultValue) const;
    void writeString(const QString &section, const QString &key, const QString &value);

    // The file's lines as written, each ended by CR LF.
    QByteArray bytes() const;

    // Writes the file; throws FileWriteError naming it on failure.
    void save() const;

    QString path() const { return m_path; }

    // One read with the default, one read-modify-write.
    static QString read(const QString &path, const QString &section, const QString &key, const QString &defaultValue);
    static void write(const QString &path, const QString &section, const QString &key, const QString &value);
    // The new content of the file with one key written, for a caller that
    // writes it together with other files. Throws FileWriteError when the
    // file exists but cannot be read.
    static QByteArray withValue(const QString &path, const QString &section, const QString &key, const QString &value);

private:
    int findSection(const QString &section) const;
    int sectionEnd(int sectionLine) const;

    QString m_path;
    QStringList m_lines;
};
