#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// A crontab program for the tests: "-l" prints the table file (or says there is none), "-"
// replaces it with standard input, and with the fail file present every call fails with the
// text of that file.
class FakeCrontab {
public:
    FakeCrontab()
    {
        QFile script(program());
        script.open(QIODevice::WriteOnly);
        script.write("#!/bin/sh\n"
                     "dir=$(dirname \"$0\")\n"
                     "if [ -f \"$dir/fail\" ]; then cat \"$dir/fail\" >&2; exit 1; fi\n"
                     "case \"$1\" in\n"
                     "  -l) if [ -f \"$dir/table\" ]; then cat \"$dir/table\"; else echo \"no crontab for "
                     "tester\" >&2; exit 1; fi ;;\n"
                     "  -) cat > \"$dir/table.new\" && mv \"$dir/table.new\" \"$dir/table\" ;;\n"
                     "  *) echo \"usage: crontab\" >&2; exit 1 ;;\n"
                     "esac\n");
        script.close();
        script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    QString program() const { return m_dir.filePath(QStringLiteral("crontab")); }
    QString dir() const { return m_dir.path(); }

    bool exists() const { return QFile::exists(tablePath()); }
    QByteArray table() const
    {
        QFile f(tablePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void setTable(const QByteArray &text) const { write(tablePath(), text); }
    // Every call fails with `text` on standard error until cleared with an empty text.
    void setFailure(const QByteArray &text) const
    {
        if (text.isEmpty())
            QFile::remove(m_dir.filePath(QStringLiteral("fail")));
        else
            write(m_dir.filePath(QStringLiteral("fail")), text);
    }

private:
    QString tablePath() const { return m_dir.filePath(QStringLiteral("table")); }
    static void write(const QString &path, const QByteArray &text)
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(text);
    }
    QTemporaryDir m_dir;
};

// What cron does to a job line's command before the shell sees it: the first "%" not behind
// a backslash ends the command, and "\%" becomes "%". Written apart from the program's own
// reader, after cron's child process code.
inline QString CronPreparedCommand(const QString &command)
{
    QString out;
    bool escaped = false;
    for (QChar c : command) {
        if (escaped) {
            if (c == u'%')
                out.chop(1);
            escaped = false;
            out += c;
            continue;
        }
        if (c == u'\\')
            escaped = true;
        if (c == u'%')
            break;
        out += c;
    }
    return out;
}
