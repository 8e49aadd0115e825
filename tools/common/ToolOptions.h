#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdio>

// The command line of a tool program. Options that take a value ("--runs 5" or "--runs=5")
// and flags ("--dark") are named by the tool; every word that does not start with "-" is a
// plain argument (a folder, a count). Any other word starting with "-" ("--help" among them)
// is a usage error, so that no option is ever taken for the name of a folder to write into.
struct ToolOptions {
    QHash<QString, QString> values; // the last value of each value option given
    QStringList flags; // the flags given
    QStringList plain;
    QString error; // empty when every word was understood

    bool ok() const { return error.isEmpty(); }
    bool isSet(const QString &flag) const { return flags.contains(flag); }
    QString value(const QString &option, const QString &fallback = {}) const
    {
        return values.value(option, fallback);
    }
};

inline ToolOptions ParseToolOptions(
    const QStringList &arguments, const QStringList &valueOptions, const QStringList &flagOptions = {})
{
    ToolOptions parsed;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &word = arguments.at(i);
        if (!word.startsWith(QLatin1Char('-'))) {
            parsed.plain << word;
            continue;
        }
        const qsizetype eq = word.indexOf(QLatin1Char('='));
        const QString name = eq < 0 ? word : word.left(eq);
        if (flagOptions.contains(name) && eq < 0) {
            parsed.flags << name;
        } else if (valueOptions.contains(name)) {
            if (eq >= 0) {
                parsed.values.insert(name, word.mid(eq + 1));
            } else if (i + 1 < arguments.size()) {
                parsed.values.insert(name, arguments.at(++i));
            } else {
                parsed.error = QStringLiteral("option ") + name + QStringLiteral(" needs a value");
                return parsed;
            }
        } else {
            parsed.error = QStringLiteral("unknown option ") + word;
            return parsed;
        }
    }
    return parsed;
}

// Prints "<program>: <problem>" (when there is one) and the usage line on standard error;
// returns the usage error status 2.
inline int ToolUsageError(const char *program, const char *usage, const QString &problem)
{
    if (!problem.isEmpty())
        std::fprintf(stderr, "%s: %s\n", program, problem.toLocal8Bit().constData());
    std::fprintf(stderr, "usage: %s %s\n", program, usage);
    return 2;
}
