#ifndef HORATAB_TESTS_APP_TEMPFOLDER_H
#define HORATAB_TESTS_APP_TEMPFOLDER_H

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

// A fresh folder under the test's temporary directory, removed with its
// contents at the end of the test.
class TempFolder
{
public:
    TempFolder()
    {
        std::string pattern = testing::TempDir() + "horatab-app-XXXXXX";
        if (char* made = mkdtemp(pattern.data()))
            _path = QString::fromLocal8Bit(made);
    }
    ~TempFolder()
    {
        if (!_path.isEmpty())
            QDir(_path).removeRecursively();
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    bool valid() const { return !_path.isEmpty(); }
    const QString& path() const { return _path; }
    QString file(const QString& name) const { return _path + QLatin1Char('/') + name; }

    // Writes `bytes` to the named file and returns its path.
    QString write(const QString& name, const QByteArray& bytes) const
    {
        QFile out(file(name));
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            ADD_FAILURE() << "cannot write fixture " << qPrintable(file(name));
        return file(name);
    }

private:
    QString _path;
};

#endif
