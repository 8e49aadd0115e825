#include "cli/Arguments.h"

ParsedArguments ParseArguments(const QStringList &arguments, std::initializer_list<OptionDef> options)
{
    ParsedArguments parsed;
    const auto optionOf = [&options](const QString &name) -> const OptionDef * {
        for (const OptionDef &s : options) {
            if (s.name == name)
                return &s;
        }
        return nullptr;
    };
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (optionsEnded || arg.size() < 2 || !arg.startsWith(QLatin1Char('-'))) {
            parsed.positional << arg;
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (!arg.startsWith(QLatin1String("--"))) {
            parsed.error = QStringLiteral("unknown option ") + arg;
            return parsed;
        }
        const qsizetype eq = arg.indexOf(QLatin1Char('='));
        const QString name = arg.mid(2, eq < 0 ? -1 : eq - 2);
        const OptionDef *option = optionOf(name);
        if (!option) {
            parsed.error = QStringLiteral("unknown option --") + name;
            return parsed;
        }
        if (!option->takesValue) {
            if (eq >= 0) {
                parsed.error = QStringLiteral("option --") + name + QStringLiteral(" takes no value");
                return parsed;
            }
            parsed.options[name] << QString();
            continue;
        }
        if (eq >= 0) {
            parsed.options[name] << arg.mid(eq + 1);
        } else if (i + 1 < arguments.size()) {
            parsed.options[name] << arguments.at(++i);
        } else {
            parsed.error = QStringLiteral("option --") + name + QStringLiteral(" needs a value");
            return parsed;
        }
    }
    return parsed;
}
