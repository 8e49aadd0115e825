#include "tests/support/CommaDecimalLocale.h"

#include <QtGlobal>

#include <clocale>
#include <locale>

namespace {

bool trySet(const char *name)
{
    if (!std::setlocale(LC_ALL, name))
        return false;
    const lconv *conv = std::localeconv();
    return conv && conv->decimal_point && conv->decimal_point[0] == ',';
}

} // namespace

CommaDecimalLocale::CommaDecimalLocale()
{
    if (const char *current = std::setlocale(LC_ALL, nullptr))
        m_previous = current;
    static const char *const kNames[] = { "de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8" };
    for (const char *name : kNames) {
        if (trySet(name)) {
            m_name = name;
            m_active = true;
            return;
        }
    }
#ifdef QUOTRA_TEST_LOCALES
    // glibc looks in LOCPATH first at every setlocale call.
    qputenv("LOCPATH", QUOTRA_TEST_LOCALES);
    if (trySet("de_DE.UTF-8")) {
        m_name = "de_DE.UTF-8 from " QUOTRA_TEST_LOCALES;
        m_active = true;
        return;
    }
    m_name = "de_DE.UTF-8 (not in " QUOTRA_TEST_LOCALES "; is the package locales installed?)";
#else
    m_name = "de_DE.UTF-8 (not installed, and localedef or the package locales is missing)";
#endif
    std::setlocale(LC_ALL, m_previous.isEmpty() ? "C" : m_previous.constData());
}

CommaDecimalLocale::~CommaDecimalLocale()
{
    std::setlocale(LC_ALL, m_previous.isEmpty() ? "C" : m_previous.constData());
}
