#pragma once

#include <QString>
#include <QTest>
#include <QWidget>

// Saves a picture of `w` as `name` in $QUOTRA_SHOTS_DIR when that is set (to look at what a
// test built); does nothing otherwise. The widget is shown and given a moment to lay out.
inline bool SaveShotIfAsked(QWidget &w, const QString &name)
{
    const QString dir = qEnvironmentVariable("QUOTRA_SHOTS_DIR");
    if (dir.isEmpty())
        return true;
    w.show();
    QTest::qWait(50);
    return w.grab().save(dir + u'/' + name);
}
