#pragma once

#include <QObject>
#include <QVariant>

#include <optional>

class QDBusVariant;

// The desktop's colour-scheme preference: the XDG desktop portal's
// org.freedesktop.appearance "color-scheme" over the session bus, followed live through
// the portal's SettingChanged signal. Without a portal answer, the GTK_THEME variable, GTK's
// settings.ini (GTK 4, then 3) and KDE's kdeglobals are asked in that order; none saying
// anything means light.
class DesktopColorScheme : public QObject {
    Q_OBJECT
public:
    explicit DesktopColorScheme(QObject *parent = nullptr);

    // Reads the preference once and starts following the portal's changes.
    void start();
    bool isDark() const { return m_dark; }

    // The portal's answer to a Read or ReadOne call, however deeply it is wrapped in
    // variants; nothing when it holds no usable number.
    static std::optional<bool> DarkFromPortalReply(const QVariant &reply);
    // The portal, asked once; nothing without a portal or an answer.
    static std::optional<bool> ReadPortal();
    // The files and variables of the desktops; nothing when none says.
    static std::optional<bool> ReadFallbacks();

Q_SIGNALS:
    void darkChanged(bool dark);

private Q_SLOTS:
    void onSettingChanged(const QString &ns, const QString &key, const QDBusVariant &value);

private:
    bool m_dark = false;
    bool m_started = false;
};
