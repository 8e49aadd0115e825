#include "view/table/FieldList.h"

#include "quotes/QuoteRecord.h"

#include <QList>

#include <array>

using namespace Qt::StringLiterals;

namespace {

tessera::Error fieldError(QStringView item, const QString &why)
{
    return { kFieldListError, u"invalid field list item \"%1\": %2"_s.arg(item, why) };
}

// A field number 1..39 written as plain decimal digits, else -1.
int readField(QStringView text)
{
    if (text.isEmpty() || text.size() > 2)
        return -1;
    int v = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return -1;
        v = v * 10 + (c.unicode() - u'0');
    }
    return v >= 1 && v <= kFieldCount ? v : -1;
}

} // namespace

tessera::Result<std::vector<int>> ParseFieldList(QStringView text)
{
    if (text.trimmed().isEmpty())
        return tessera::Error { kFieldListError, u"the field list is empty"_s };
    const QString range = u"expected a field number 1-39 or a range such as 1-39"_s;
    std::vector<int> fields;
    std::array<bool, kFieldCount + 1> seen {};
    for (QStringView rawItem : text.split(u',')) {
        const QStringView item = rawItem.trimmed();
        if (item.isEmpty())
            return fieldError(rawItem, u"empty item"_s);
        int first = -1, last = -1;
        const qsizetype dash = item.indexOf(u'-');
        if (dash < 0) {
            first = last = readField(item);
        } else {
            first = readField(item.left(dash).trimmed());
            last = readField(item.mid(dash + 1).trimmed());
        }
        if (first < 0 || last < 0)
            return fieldError(item, range);
        if (first > last)
            return fieldError(item, u"the range runs backwards"_s);
        for (int f = first; f <= last; ++f) {
            if (seen[static_cast<size_t>(f)])
                return fieldError(item, u"field %1 is given twice"_s.arg(f));
            seen[static_cast<size_t>(f)] = true;
            fields.push_back(f);
        }
    }
    return fields;
}
