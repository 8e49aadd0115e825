#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <initializer_list>

// An option a subcommand accepts: "--json" (a flag) or "--columns FIELDS" (takes a value,
// also written "--columns=FIELDS").
struct OptionDef {
    QString name; // without the dashes
    bool takesValue = false;
};

// Options may stand before, between or after the other arguments; "--" ends the options,
// so that everything after it is an argument even when it starts with "-".
struct ParsedArguments {
    QHash<QString, QStringList> options; // every value of each option given (flags: one empty)
    QStringList positional;
    QString error; // empty when the arguments were understood

    bool ok() const { return error.isEmpty(); }
    bool isSet(const QString &name) const { return options.contains(name); }
    QString value(const QString &name) const { return options.value(name).value(0); }
};

ParsedArguments ParseArguments(const QStringList &arguments, std::initializer_list<OptionDef> options);
