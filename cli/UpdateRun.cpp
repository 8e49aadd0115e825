#include "cli/UpdateRun.h"

#include "document/CQuotraDoc.h"

#include <QEventLoop>

#include <map>

RunCounts RunUpdateAndWait(CQuotraDoc &doc, const std::function<quint64()> &start)
{
    std::map<QString, QuoteValues> before;
    for (const auto &[code, record] : doc.rows())
        before[code] = record->values;

    RunCounts counts;
    QEventLoop loop;
    quint64 generation = 0;
    bool finished = false;
    const QMetaObject::Connection progress = QObject::connect(
        &doc, &CQuotraDoc::updateProgress, &loop, [&](quint64 g, int, const QString &code) {
            const QuoteRecord *r = doc.record(code);
            if (g != generation || !r)
                return;
            if (r->values[SlotStatus] == QStringView(kFetchErrorText)) {
                ++counts.failed;
                counts.failures.append({ code, doc.fetchError(code) });
                return;
            }
            ++counts.fetched;
            if (before[code] != r->values)
                ++counts.changed;
        });
    const QMetaObject::Connection end
        = QObject::connect(&doc, &CQuotraDoc::updateFinished, &loop, [&](quint64 g, bool) {
              if (g != generation)
                  return;
              finished = true;
              loop.quit();
          });
    generation = start();
    if (!finished && doc.isUpdating())
        loop.exec();
    QObject::disconnect(progress);
    QObject::disconnect(end);
    return counts;
}
