#include "corelib/CJre.h"

#include "corelib/Messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include <memory>

namespace tessera {

bool CJre::s_bJre32 = false;
bool CJre::s_bHmJre = false;

namespace {

constexpr const char *kEngineDirVariable = "QUOTRA_ENGINE_DIR";
// In order of preference: fuzzy matching first.
constexpr const char *kModuleNames[] = { "hmjre.so", "jre32.so" };

// The bound module: its entry points and the structures the engine works in.
struct Engine {
    std::unique_ptr<QLibrary> library;
    JreGetVersionFn getVersion = nullptr;
    Jre2OpenFn open = nullptr;
    Jre2CompileFn compile = nullptr;
    Jre2GetMatchInfoFn match = nullptr;
    Jre2CloseFn close = nullptr;
    GetJreMessageFn message = nullptr;
    Fuzzy_OpenFn fuzzyOpen = nullptr;
    Fuzzy_CloseFn fuzzyClose = nullptr;
    Fuzzy_ConvertTargetFn convertTarget = nullptr;
    Fuzzy_ConvertFindStringFn convertFindString = nullptr;
    Fuzzy_FindPos2RealPosFn findPos2RealPos = nullptr;
    Fuzzy_FindArea2RealAreaFn findArea2RealArea = nullptr;
    Fuzzy_RealPos2FindPosFn realPos2FindPos = nullptr;
    Fuzzy_OptionDialogFn optionDialog = nullptr;
    FindRegularFn findRegular = nullptr;
    FindRegularFn findRegularNoCaseSense = nullptr;
    JRE2 jre {};
    JREFUZZYDATA fuzzy {};
    bool fuzzyOpened = false;
    quint32 fold = JRE_FOLD_ALL;
    QString fileName;

    bool hasFuzzySet() const
    {
        return fuzzyOpen && fuzzyClose && convertTarget && convertFindString && findPos2RealPos
            && findArea2RealArea && realPos2FindPos && optionDialog && findRegular && findRegularNoCaseSense;
    }
};

Engine &engine()
{
    static Engine e;
    return e;
}

template<typename Fn> void resolve(QLibrary &library, const char *name, Fn &out)
{
    out = reinterpret_cast<Fn>(library.resolve(name));
}

const char16_t *units(QStringView s)
{
    return s.utf16();
}

int32_t length(QStringView s)
{
    return static_cast<int32_t>(s.size());
}

// The upper-case form of `text`: the text itself when nothing changes (most cell texts are
// digits, signs and Japanese), else the converted copy in `scratch`.
QStringView upper(QStringView text, QString &scratch)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= u'a' && u <= u'z') || u >= 0x80) {
            scratch = text.toString().toUpper();
            return scratch;
        }
    }
    return text;
}

void showEngineMessage()
{
    const QString message = CJre::GetJreMessage();
    if (!message.isEmpty())
        ShowMessage(message, MbOk | MbIconWarning);
}

// Loads the first loadable file of `name` from the engine folders; null when none is.
std::unique_ptr<QLibrary> loadModule(const char *name)
{
    for (const QString &folder : CJre::EngineFolders()) {
        const QString path = QDir(folder).filePath(QLatin1String(name));
        if (!QFileInfo::exists(path))
            continue;
        auto library = std::make_unique<QLibrary>(path);
        if (library->load())
            return library;
    }
    return nullptr;
}

// Binds the loaded module: false, unloading it, when a required entry point is missing or
// the engine does not open.
bool bind(std::unique_ptr<QLibrary> library)
{
    Engine &e = engine();
    QLibrary &lib = *library;
    resolve(lib, "JreGetVersion", e.getVersion);
    resolve(lib, "Jre2Open", e.open);
    resolve(lib, "Jre2Compile", e.compile);
    resolve(lib, "Jre2GetMatchInfo", e.match);
    resolve(lib, "Jre2Close", e.close);
    resolve(lib, "GetJreMessage", e.message);
    if (!e.getVersion || !e.open || !e.compile || !e.match || !e.close || !e.message) {
        lib.unload();
        e = Engine {};
        return false;
    }
    resolve(lib, "Fuzzy_Open", e.fuzzyOpen);
    resolve(lib, "Fuzzy_Close", e.fuzzyClose);
    resolve(lib, "Fuzzy_ConvertTarget", e.convertTarget);
    resolve(lib, "Fuzzy_ConvertFindString", e.convertFindString);
    resolve(lib, "Fuzzy_FindPos2RealPos", e.findPos2RealPos);
    resolve(lib, "Fuzzy_FindArea2RealArea", e.findArea2RealArea);
    resolve(lib, "Fuzzy_RealPos2FindPos", e.realPos2FindPos);
    resolve(lib, "Fuzzy_OptionDialog", e.optionDialog);
    resolve(lib, "FindRegular", e.findRegular);
    resolve(lib, "FindRegularNoCaseSense", e.findRegularNoCaseSense);

    e.jre = JRE2 {};
    e.jre.size = sizeof(JRE2);
    if (!e.open(&e.jre)) {
        lib.unload();
        e = Engine {};
        return false;
    }
    e.fileName = QFileInfo(lib.fileName()).fileName().toUpper();
    e.library = std::move(library);
    CJre::s_bJre32 = true;
    return true;
}

} // namespace

QStringList CJre::EngineFolders()
{
    const QString forced = qEnvironmentVariable(kEngineDirVariable);
    if (!forced.isEmpty())
        return { forced };
    QStringList folders;
    if (QCoreApplication::instance())
        folders << QCoreApplication::applicationDirPath();
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    if (self.exists()) {
        const QString dir = QFileInfo(self.canonicalFilePath()).absolutePath();
        if (!folders.contains(dir))
            folders << dir;
    }
    folders << QStringLiteral(QUOTRA_INSTALL_ENGINEDIR);
    return folders;
}

int CJre::Init(int mode)
{
    Engine &e = engine();
    if (e.library)
        return 1;
    if (mode == 0)
        return 0;
    std::unique_ptr<QLibrary> library;
    for (const char *name : kModuleNames) {
        library = loadModule(name);
        if (library)
            break;
    }
    if (!library || !bind(std::move(library)))
        return 0;
    if (!e.hasFuzzySet())
        return 1; // regular expressions only
    return Fuzzy_Open() ? 1 : 0;
}

void CJre::Release()
{
    Engine &e = engine();
    if (!e.library)
        return;
    Fuzzy_Close();
    e.close(&e.jre);
    e.library->unload();
    const quint32 fold = e.fold;
    e = Engine {};
    e.fold = fold;
    s_bJre32 = false;
    s_bHmJre = false;
}

QString CJre::GetDllName()
{
    return engine().fileName;
}

quint16 CJre::GetVersion()
{
    const Engine &e = engine();
    return e.library ? e.getVersion() : 0;
}

QString CJre::GetJreMessage()
{
    const Engine &e = engine();
    if (!e.library)
        return {};
    const int32_t size = e.message(nullptr, 0);
    if (size <= 0)
        return {};
    QString text(size, Qt::Uninitialized);
    const int32_t written = e.message(reinterpret_cast<JreChar *>(text.data()), size);
    text.truncate(qBound(0, written, size));
    return text;
}

quint32 CJre::GetFuzzyFold()
{
    return engine().fold;
}

void CJre::SetFuzzyFold(quint32 fold)
{
    Engine &e = engine();
    fold &= JRE_FOLD_ALL;
    if (fold == e.fold)
        return;
    e.fold = fold;
    if (e.fuzzyOpened) {
        Fuzzy_Close();
        Fuzzy_Open();
    }
}

bool CJre::Fuzzy_Open()
{
    Engine &e = engine();
    if (!e.library || !e.hasFuzzySet())
        return false;
    if (e.fuzzyOpened)
        Fuzzy_Close();
    e.fuzzy = JREFUZZYDATA {};
    e.fuzzy.size = sizeof(JREFUZZYDATA);
    e.fuzzyOpened = e.fuzzyOpen(&e.fuzzy, e.fold) != 0;
    s_bHmJre = e.fuzzyOpened;
    return e.fuzzyOpened;
}

void CJre::Fuzzy_Close()
{
    Engine &e = engine();
    if (e.fuzzyOpened)
        e.fuzzyClose(&e.fuzzy);
    e.fuzzyOpened = false;
    s_bHmJre = false;
}

int CJre::Fuzzy_OptionDialog(JreOptionAsk ask, void *context)
{
    Engine &e = engine();
    if (!e.fuzzyOpened || !e.optionDialog(&e.fuzzy, ask, context))
        return 0;
    e.fold = e.fuzzy.fold & JRE_FOLD_ALL;
    // The new options take effect when the engine opens again.
    Fuzzy_Close();
    Fuzzy_Open();
    return 1;
}

int CJre::Compile(const QString &pattern, bool matchCase, bool regular, bool fuzzy)
{
    m_pattern = pattern;
    m_matchCase = matchCase;
    m_regular = regular;
    m_fuzzy = fuzzy;
    m_limitHit = false;
    // Only the plain search folds case itself; the engine gets the pattern as written.
    m_working = matchCase ? pattern : pattern.toUpper();
    if (!s_bJre32 && !s_bHmJre)
        return 1;
    Engine &e = engine();
    if (regular && !fuzzy) {
        e.jre.options = matchCase ? 0u : quint32(JRE_OPTION_IGNORE_CASE);
        if (!e.compile(&e.jre, units(m_pattern), length(m_pattern))) {
            showEngineMessage();
            return 0;
        }
    }
    if (fuzzy && s_bHmJre) {
        if (matchCase)
            e.fuzzy.options &= ~quint32(JRE_FUZZY_IGNORE_CASE);
        else
            e.fuzzy.options |= JRE_FUZZY_IGNORE_CASE;
        const int32_t mode = regular ? JRE_CONVERT_REGULAR : JRE_CONVERT_PLAIN;
        if (!e.convertFindString(&e.fuzzy, units(m_pattern), length(m_pattern), mode)) {
            showEngineMessage();
            return 0;
        }
    }
    return 1;
}

int CJre::Find(QStringView text)
{
    m_limitHit = false;
    if (text.isEmpty())
        return 0;
    Engine &e = engine();
    if (s_bJre32 || s_bHmJre) {
        if (m_regular && !m_fuzzy) {
            const int found = e.match(&e.jre, units(text), length(text), 0);
            m_limitHit = found == JRE_LIMIT;
            return found == JRE_MATCH ? 1 : 0;
        }
        if (m_fuzzy && s_bHmJre) {
            if (!e.convertTarget(&e.fuzzy, units(text), length(text)))
                return 0;
            const int32_t at
                = m_matchCase ? e.findRegular(&e.fuzzy, 0) : e.findRegularNoCaseSense(&e.fuzzy, 0);
            m_limitHit = at == JRE_FIND_LIMIT;
            return at >= 0 ? 1 : 0;
        }
    }
    if (m_matchCase)
        return text.contains(m_working) ? 1 : 0;
    QString scratch;
    return upper(text, scratch).contains(m_working) ? 1 : 0;
}

} // namespace tessera
