// Compile + Find with random patterns and texts on the three engine states: no module,
// regular expressions only (jre32.so) and fuzzy matching (hmjre.so). The input's first byte
// picks the state and the flags; the rest, as UTF-16, is split at the first U+0001 into the
// pattern and the texts (separated by U+0002), so that NUL characters and lone surrogates
// reach both. Catastrophic patterns must end by the engine's limits within the time limit.
//
// The modules are looked up beside the fuzzer binary; an engine folder without them
// (QUOTRA_FUZZ_NO_ENGINE) gives the plain state.

#include "corelib/CJre.h"
#include "corelib/Messages.h"
#include "corelib/engines/JreFold.h"
#include "corelib/engines/JreRegex.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <dlfcn.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// The three engine folders: none, regex only, both.
struct Folders {
    QTemporaryDir none;
    QTemporaryDir regexOnly;
    QString both;
};

Folders &folders()
{
    static Folders *f = [] {
        auto *made = new Folders;
        const QString bin
            = QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath();
        made->both = bin;
        // Switching states unloads a module; an extra reference keeps its coverage counters,
        // which the fuzzer goes on reading, mapped.
        for (const char *name : { "hmjre.so", "jre32.so" })
            dlopen(QDir(bin).filePath(QLatin1String(name)).toLocal8Bit().constData(), RTLD_NOW);
        QFile::copy(QDir(bin).filePath(QStringLiteral("jre32.so")),
            made->regexOnly.filePath(QStringLiteral("jre32.so")));
        tessera::SetMessageHandler([](const QString &, unsigned) { return int(tessera::IdOk); });
        return made;
    }();
    return *f;
}

void bind(int state)
{
    static int bound = -1;
    if (bound == state)
        return;
    tessera::CJre::Release();
    Folders &f = folders();
    const QString dir = state == 0 ? f.none.path() : state == 1 ? f.regexOnly.path() : f.both;
    qputenv("QUOTRA_ENGINE_DIR", dir.toLocal8Bit());
    tessera::CJre::Init(1);
    bound = state;
    check(tessera::CJre::s_bJre32 == (state >= 1));
    check(tessera::CJre::s_bHmJre == (state == 2));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t control = data[0];
    bind(control % 3);
    const bool matchCase = control & 0x04;
    const bool regular = control & 0x08;
    const bool fuzzy = control & 0x10;
    if (control & 0x20)
        tessera::CJre::SetFuzzyFold((control >> 5) & 7);

    QString all(qsizetype((size - 1) / 2), Qt::Uninitialized);
    std::memcpy(all.data(), data + 1, ((size - 1) / 2) * 2);
    const qsizetype cut = all.indexOf(QChar(1));
    const QString pattern = cut < 0 ? all : all.left(cut);
    const QString rest = cut < 0 ? QString() : all.mid(cut + 1);

    // The engine core itself, where the fuzzer sees its coverage.
    jre::FoldedText folded;
    const std::u16string_view raw(reinterpret_cast<const char16_t *>(all.utf16()), size_t(all.size()));
    jre::FoldText(raw, control >> 5, control & 0x04, folded);
    check(folded.origin.size() == folded.text.size() + 1);
    check(folded.origin.back() == int32_t(raw.size()));
    for (size_t i = 1; i < folded.origin.size(); ++i)
        check(folded.origin[i - 1] <= folded.origin[i]);
    const std::u16string literalFolded = jre::FoldPatternLiterals(raw, control >> 5, true);
    jre::Regex regex;
    std::u16string message;
    int32_t offset = -1;
    if (regex.compile(literalFolded, control & 0x08, message, offset)) {
        int32_t at = 0;
        int32_t length = 0;
        regex.match(folded.text, 0, at, length, message);
    } else {
        check(!message.empty());
    }

    tessera::CJre jre;
    const int compiled = jre.Compile(pattern, matchCase, regular, fuzzy);
    check(compiled == 0 || compiled == 1);
    if (!regular || tessera::CJre::s_bJre32 == false)
        check(compiled == 1 || (fuzzy && tessera::CJre::s_bHmJre));
    check(jre.Find(QStringView()) == 0);
    for (const QStringView text : QStringView(rest).split(QChar(2))) {
        const int found = jre.Find(text);
        check(found == 0 || found == 1);
        // The plain search is a substring test (upper-cased without match case).
        if (compiled && !(regular && tessera::CJre::s_bJre32) && !(fuzzy && tessera::CJre::s_bHmJre)
            && matchCase)
            check(found == (!text.isEmpty() && text.contains(pattern) ? 1 : 0));
    }
    return 0;
}
