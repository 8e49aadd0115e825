#include "corelib/LocalTimeZone.h"

#include <QByteArray>
#include <QDateTime>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <optional>

namespace {

// Puts TZ back as the test found it.
class TzGuard {
public:
    TzGuard()
    {
        if (qEnvironmentVariableIsSet("TZ"))
            m_saved = qgetenv("TZ");
    }
    ~TzGuard()
    {
        if (m_saved)
            qputenv("TZ", *m_saved);
        else
            qunsetenv("TZ");
    }
    TzGuard(const TzGuard &) = delete;
    TzGuard &operator=(const TzGuard &) = delete;

private:
    std::optional<QByteArray> m_saved;
};

TEST(LocalTimeZone, UnsetTzNamesTheSystemZoneFile)
{
    if (!QFileInfo::exists(QStringLiteral("/etc/localtime")))
        GTEST_SKIP() << "this machine has no /etc/localtime";
    TzGuard guard;
    qunsetenv("TZ");
    const QString before = QDateTime::fromSecsSinceEpoch(1700000000).toString(Qt::ISODate);
    tessera::PinLocalTimeZone();
    EXPECT_EQ(qgetenv("TZ"), QByteArray(":/etc/localtime"));
    // The zone itself does not change, only how often glibc reads it.
    EXPECT_EQ(QDateTime::fromSecsSinceEpoch(1700000000).toString(Qt::ISODate), before);
}

TEST(LocalTimeZone, ASetTzIsLeftAlone)
{
    TzGuard guard;
    qputenv("TZ", QByteArray("Asia/Tokyo"));
    tessera::PinLocalTimeZone();
    EXPECT_EQ(qgetenv("TZ"), QByteArray("Asia/Tokyo"));
    // glibc reads an empty TZ as UTC: that is the user's choice as well.
    qputenv("TZ", QByteArray());
    tessera::PinLocalTimeZone();
    EXPECT_TRUE(qEnvironmentVariableIsSet("TZ"));
    EXPECT_EQ(qgetenv("TZ"), QByteArray());
}

} // namespace
