#pragma once

#include <QHash>
#include <QString>

namespace tessera {

// The language resource module: a file shipped beside the program that holds every
// numbered text. load() looks beside the running program and in the install location.
class LanguageModule {
public:
    static LanguageModule &instance();

    // Loads the module; false when it is missing or unreadable.
    bool load(const QString &explicitPath = {});
    bool isLoaded() const { return m_loaded; }
    QString text(int id) const { return m_texts.value(id); }
    bool contains(int id) const { return m_texts.contains(id); }
    const QHash<int, QString> &texts() const { return m_texts; }

private:
    bool m_loaded = false;
    QHash<int, QString> m_texts;
};

} // namespace tessera
