#pragma once

#include <QByteArray>

// Switches the C library's locale (strtod, printf, localeconv) to one whose decimal point is
// ",", as QCoreApplication does when the environment says LC_ALL=de_DE.UTF-8, and restores
// the previous locale on destruction. Uses an installed locale when there is one and
// otherwise the de_DE.UTF-8 that the build generates beside the tests with localedef.
class CommaDecimalLocale {
public:
    CommaDecimalLocale();
    ~CommaDecimalLocale();
    CommaDecimalLocale(const CommaDecimalLocale &) = delete;
    CommaDecimalLocale &operator=(const CommaDecimalLocale &) = delete;

    // True when the locale in force now writes "," as its decimal point.
    bool active() const { return m_active; }
    // The locale's name, or what was tried when none could be set.
    QByteArray name() const { return m_name; }

private:
    QByteArray m_previous;
    QByteArray m_name;
    bool m_active = false;
};
