#include "cli/ParallelOption.h"

#include "cli/Arguments.h"

FetchPolicy PolicyWithParallelOption(const ParsedArguments &args, FetchPolicy stored, QString &error)
{
    error.clear();
    const QString name = QStringLiteral("parallel");
    if (!args.isSet(name))
        return stored;
    bool ok = false;
    const int n = args.value(name).toInt(&ok);
    if (!ok || n < FetchPolicy::kMinParallel || n > FetchPolicy::kMaxParallel) {
        error = QStringLiteral("--parallel needs a number from %1 to %2")
                    .arg(FetchPolicy::kMinParallel)
                    .arg(FetchPolicy::kMaxParallel);
        return stored;
    }
    stored.parallel = n;
    return stored;
}
