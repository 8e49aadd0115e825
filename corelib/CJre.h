#pragma once

#include "corelib/engines/JreInterface.h"

#include <QString>
#include <QStringList>
#include <QStringView>

namespace tessera {

// The text matcher of the find function: plain substring search, regular expressions, or
// fuzzy matching. The last two come from an engine module bound at run time ("hmjre.so"
// with fuzzy matching, else "jre32.so" with regular expressions only); without one, every
// search is the plain one and the regular and fuzzy options are unavailable.
//
// The bound engine, with its one compiled pattern and its one fuzzy state, is shared by the
// whole process; every call comes from one thread (the user-interface thread).
class CJre {
public:
    // The engine is open: regular expressions are available.
    static bool s_bJre32;
    // Fuzzy matching is available.
    static bool s_bHmJre;
    static bool isEnableJre32() { return s_bJre32; }
    static bool isEnableHmJre() { return s_bHmJre; }

    // Binds an engine once per process: 1 when one is bound (now or before), 0 when none
    // could be; no message either way. `mode` 0 only asks whether one is bound.
    static int Init(int mode);
    // Closes and unloads the bound engine, so that a later Init binds again (tests, exit).
    static void Release();
    // The folders Init looks in, in order: $QUOTRA_ENGINE_DIR alone when it is set, else
    // the program's folder and then the installed library folder.
    static QStringList EngineFolders();

    // The bound module's file name in upper case ("HMJRE.SO"); empty when none is bound.
    static QString GetDllName();
    // The module's version, major in the high byte; 0 when none is bound.
    static quint16 GetVersion();
    // The engine's last error text.
    static QString GetJreMessage();

    // What the fuzzy conversions fold (JRE_FOLD_* bits), JRE_FOLD_ALL until set. Setting
    // another value reopens the fuzzy engine so that it takes effect.
    static quint32 GetFuzzyFold();
    static void SetFuzzyFold(quint32 fold);
    // Pass-through of the fuzzy engine: open with the current fold options (true on
    // success), close, and the options question (1 when the options were changed; the
    // engine has then been reopened with them).
    static bool Fuzzy_Open();
    static void Fuzzy_Close();
    static int Fuzzy_OptionDialog(JreOptionAsk ask, void *context);

    // Stores the pattern and flags and prepares the search: 1 on success, 0 when the
    // engine refused the pattern (its message, when it has one, has been shown). With match
    // case off, a regular expression is compiled as written with the engine's caseless
    // matching (\d stays a digit), a fuzzy pattern is folded by the fuzzy conversion, and
    // the plain search compares upper-cased pattern and text.
    int Compile(const QString &pattern, bool matchCase, bool regular, bool fuzzy);
    // 1 when `text` matches the compiled pattern under the flags. An empty text never
    // matches. A search the engine's limits stopped returns 0 and sets limitHit(): the
    // caller stops there and says so, since every further text is likely to end the same
    // way.
    int Find(QStringView text);
    // The last Find ended at the engine's limits (match, depth or heap), not by its answer.
    bool limitHit() const { return m_limitHit; }

    bool isMatchCase() const { return m_matchCase; }
    bool isMatchRegular() const { return m_regular; }
    bool isMatchFuzzy() const { return m_fuzzy; }
    const QString &pattern() const { return m_pattern; }

private:
    QString m_pattern;
    QString m_working; // the pattern of the plain search: upper-cased without match case
    bool m_matchCase = false;
    bool m_regular = false;
    bool m_fuzzy = false;
    bool m_limitHit = false;
};

} // namespace tessera
