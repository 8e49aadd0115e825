#include "view/widgets/DigitFont.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHash>
#include <QStringList>

bool HasEqualDigits(const QFont &font)
{
    const QFontMetrics metrics(font);
    const int zero = metrics.horizontalAdvance(QChar(u'0'));
    for (char16_t d = u'1'; d <= u'9'; ++d) {
        if (metrics.horizontalAdvance(QChar(d)) != zero)
            return false;
    }
    return zero > 0;
}

namespace {

// The families to try, the font's own relatives first.
QStringList candidateFamilies(const QString &family)
{
    QStringList relatives;
    QStringList others;
    const QStringList installed = QFontDatabase::families(QFontDatabase::Latin);
    for (const QString &name : installed) {
        if (name == family)
            continue;
        if (name.startsWith(family, Qt::CaseInsensitive))
            relatives << name;
        else
            others << name;
    }
    return relatives + others;
}

} // namespace

QFont EqualDigitFont(const QFont &font)
{
    if (HasEqualDigits(font))
        return font;
    // The search measures every installed family; a zoom or a new size asks again for the
    // same family, so the family found is kept.
    static QHash<QString, QString> found;
    const QString family = QFontInfo(font).family();
    const auto known = found.constFind(family);
    if (known != found.cend()) {
        QFont f(font);
        f.setFamilies({ *known });
        if (HasEqualDigits(f))
            return f;
    }
    for (const QString &name : candidateFamilies(family)) {
        QFont f(font);
        f.setFamilies({ name });
        if (QFontInfo(f).family() != name || !HasEqualDigits(f))
            continue;
        found.insert(family, name);
        return f;
    }
    return font;
}
