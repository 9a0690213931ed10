#pragma once
#include <QString>
#include <QStringList>

// An initialisation file (section lines "[name]" and "key=value" lines), read
// as raw text: values come back exactly as written ("True" stays "True"),
// section and key names match without regard to case, and writing one key
// leaves every other line of the file as it was. Any line end is read; lines
// are written with CR LF. Written through QSaveFile.
class IniFile
{
public:
    explicit IniFile(const QString &path);

    // Reads the file. A missing file is an empty one; false when the file
    // exists but cannot be read.
    bool load();

    QString readString(const QString &section, const QString &key, const QString &defaultValue) const;
    void writeString(const QString &section, const QString &key, const QString &value);

    // Writes the file; throws FileWriteError naming it on failure.
    void save() const;

    QString path() const { return m_path; }

    // One read with the default, one read-modify-write.
    static QString read(const QString &path, const QString &section, const QString &key,
                        const QString &defaultValue);
    static void write(const QString &path, const QString &section, const QString &key,
                      const QString &value);

private:
    int findSection(const QString &section) const;
    int sectionEnd(int sectionLine) const;

    QString m_path;
    QStringList m_lines;
};
