#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace tessera {

// The language resource module: a resource file (quotra_ja.rcc) shipped beside the program
// that holds every numbered text as "id<TAB>text" lines. load() looks in the data folders
// (DataFolders: beside the running program, then in the installed tree); the environment variable
// QUOTRA_LANG_MODULE, when set, names the one module file to use instead (tests and relocated installs).
class LanguageModule {
public:
    // The module the program's messages use.
    static LanguageModule &instance();

    LanguageModule() = default;

    // Loads the module once; false when no candidate file is a readable module with at least
    // one text. An explicit path is the only candidate tried.
    bool load(const QString &explicitPath = {});
    bool isLoaded() const { return m_loaded; }
    QString path() const { return m_path; }
    QString text(int id) const { return m_texts.value(id); }
    bool contains(int id) const { return m_texts.contains(id); }
    const QHash<int, QString> &texts() const { return m_texts; }

    // The files load() tries, in order, when no explicit path is given.
    static QStringList candidateFiles();

    // Parses the text table. Lines: "id<TAB>text"; "#" starts a comment line; escapes
    // \n \r \t \\ in the text. A malformed line (no tab, an id that is not a positive
    // number) is skipped; of duplicate ids the first wins. Each skipped line is described
    // in `problems` when given.
    static QHash<int, QString> parseTable(const QByteArray &table, QStringList *problems = nullptr);

private:
    bool m_loaded = false;
    QString m_path;
    QHash<int, QString> m_texts;
};

} // namespace tessera
