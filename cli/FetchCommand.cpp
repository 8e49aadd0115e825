#include "app/core/AppSettings.h"
#include "cli/Arguments.h"
#include "cli/Command.h"
#include "cli/ParallelOption.h"
#include "cli/TextTable.h"
#include "quotes/SecurityCode.h"
#include "quotes/fetch/ParallelFetch.h"

#include <QSettings>

#include <QJsonArray>
#include <QJsonDocument>

namespace {

// A JSON string literal, quotes included, escaped by Qt's own writer.
QString jsonString(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray { text }).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

// Fields of the record in number order: the quote slots and the status, not the code, the
// update time or the holding figures.
QList<int> slotFields()
{
    QList<int> fields;
    for (int f = 2; f <= 34; ++f) {
        if (f != FieldDatetime)
            fields << f;
    }
    return fields;
}

QString suffixText(const QuoteRecord &r)
{
    return r.exchange_suffix == 0 ? QString() : QString(QChar(r.exchange_suffix));
}

QString jsonObject(const QString &code, bool ok, const QString &error, const QuoteRecord &r)
{
    QString out = QStringLiteral("{\"code\":") + jsonString(code) + QStringLiteral(",\"ok\":")
        + (ok ? QLatin1String("true") : QLatin1String("false")) + QStringLiteral(",\"error\":")
        + jsonString(error) + QStringLiteral(",\"kind\":") + jsonString(r.kind)
        + QStringLiteral(",\"suffix\":") + jsonString(suffixText(r));
    for (int field : slotFields())
        out += QLatin1Char(',') + FieldKeyPrefix(field) + jsonString(r.values[SlotOfField(field)].toString());
    return out + QLatin1Char('}');
}

} // namespace

int RunFetchCommand(const QStringList &arguments)
{
    const CliCommand &self = *FindCommand(u"fetch");
    const ParsedArguments args = ParseArguments(
        arguments, { { QStringLiteral("json"), false }, { QStringLiteral("parallel"), true } });
    if (!args.ok())
        return UsageError(self, args.error);
    if (args.positional.isEmpty())
        return UsageError(self, QStringLiteral("no code given"));
    const bool json = args.isSet(QStringLiteral("json"));
    // The site is asked the way the window's updates ask it: the stored settings, or
    // --parallel for this run.
    AppSettings settings;
    settings.Load(*AppSettings::OpenStore());
    QString optionError;
    const FetchPolicy policy = PolicyWithParallelOption(args, settings.fetchPolicy(), optionError);
    if (!optionError.isEmpty())
        return UsageError(self, optionError);

    // One batch for all codes: up to policy.parallel requests in flight, results in order.
    BatchFetcher fetcher(args.positional, {}, policy, nullptr);
    bool allFetched = true;
    QStringList objects;
    TextTable table({ QStringLiteral("code"), QStringLiteral("result"), QStringLiteral("name"),
        QStringLiteral("market"), QStringLiteral("t_value"), QStringLiteral("difference"),
        QStringLiteral("ratio"), QStringLiteral("volume"), QStringLiteral("kind"), QStringLiteral("suffix"),
        QStringLiteral("error") });
    for (const QString &code : args.positional) {
        const bool ok = fetcher.fetch(code);
        allFetched = allFetched && ok;
        const QuoteRecord &r = fetcher.result();
        if (json) {
            objects << jsonObject(code, ok, fetcher.error(), r);
        } else {
            table.addRow(
                { code, ok ? QStringLiteral("ok") : QStringLiteral("failed"), r.values[SlotName].toString(),
                    r.values[SlotMarket].toString(), r.values[SlotPrice].toString(),
                    r.values[SlotDifference].toString(), r.values[SlotRatio].toString(),
                    r.values[SlotVolume].toString(), r.kind, suffixText(r), fetcher.error() });
        }
    }
    if (json)
        PrintOut(QStringLiteral("[\n  ") + objects.join(QStringLiteral(",\n  ")) + QStringLiteral("\n]\n"));
    else
        PrintOut(table.render());
    return allFetched ? kExitOk : kExitFailed;
}
