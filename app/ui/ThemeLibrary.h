#pragma once

#include <QPalette>
#include <QString>

#include <optional>

// The files of the four looks: each a style sheet and a palette (see ThemeChoice.h), found
// in one folder, by default the program's resources. A look applies to the whole
// application over the Fusion style: its palette first (dialogs, menus, the list's base and
// selection), then the common shape sheet with the look's own sheet after it.
class ThemeLibrary {
public:
    explicit ThemeLibrary(QString folder = QStringLiteral(":/themes"));

    struct Look {
        QPalette palette;
        QString styleSheet; // the common sheet followed by the look's
    };

    QString folder() const { return m_folder; }
    // The look of theme command `command`; nothing when a file is missing or unusable.
    std::optional<Look> load(int command) const;
    // True when load() would succeed: the test-load of a look before it is chosen.
    bool loadable(int command) const { return load(command).has_value(); }
    // Applies the look to the application, its popups and tooltips included; false,
    // changing nothing, when it cannot load.
    bool apply(int command) const;
    // Gives the popup windows that hold a palette of their own (a combo box's list, a
    // tooltip) and the tooltips to come `palette`.
    static void applyToPopups(const QPalette &palette);

private:
    QString m_folder;
};
