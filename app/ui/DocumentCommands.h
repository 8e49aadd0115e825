#pragma once

#include "app/ui/ListOpener.h"
#include "document/SaveHost.h"

#include <QObject>
#include <QStringList>

#include <optional>

class CQuotraDoc;
class CQuotraView;
class Prompts;
class QWidget;
class RecentFiles;
class StatusBarPanes;
class UpdateScheduler;
struct AppSettings;

// The document's commands: new, open, save and save as, the default list, the paste of
// codes and the codes other programs send, and the question about unsaved changes before a
// list is replaced. It asks its file names and questions through `prompts`, is the
// document's save host (the layout and table of the view, the Save As question) and keeps
// the recent files up to date. After a list is opened or made the update period starts again.
class DocumentCommands : public QObject, public ListOpener, public SaveHost {
    Q_OBJECT
public:
    struct Parts {
        CQuotraDoc &document;
        CQuotraView &view;
        AppSettings &settings;
        StatusBarPanes &panes;
        RecentFiles &recent;
        UpdateScheduler &scheduler;
        Prompts &prompts;
        QWidget &window; // the dialogs' parent
        bool unattended = false; // nobody answers a question
    };
    explicit DocumentCommands(const Parts &parts, QObject *parent = nullptr);

    // Opens the new, empty list (57600 after asking about unsaved changes).
    void newDocument();
    // 57601: asks about unsaved changes, then for the file to open.
    void open();
    // Opens `path` as the document; a failure shows its message and keeps the open list.
    bool openDocument(const QString &path);
    bool save(); // 57603
    bool saveAs(); // 57604
    void openDefaultList(); // 5011
    void pasteCodes(); // 57637
    // Codes another program sent: never a box; what is refused is said on the status bar.
    void addSentCodes(const QStringList &codes);

    // ListOpener
    // How the window reads a list: the settings' update period and the layout shown now.
    ListLoadOptions listOpenOptions() const override;
    // Asks whether to save unsaved changes: Yes saves the list as a list (a list file, or a
    // workbook chosen in the dialog; for a CSV file the user is asked for a list file's name),
    // false when that fails or is cancelled; No discards; Cancel keeps everything: false.
    bool SaveModified() override;
    // Opens a list already read from `path` (a dropped file) as the document.
    bool openReadList(const QString &path, LoadedList list) override;

    // SaveHost
    ColumnLayout layoutToStore() const override;
    const TableSource *tableToExport() const override;
    QString askSavePath(const QString &suggested) override;
    bool canAskSavePath() const override;

Q_SIGNALS:
    // The list, its rows or its file changed in a way the commands' states follow.
    void commandStatesChanged();

private:
    bool openList(const QString &path, std::optional<LoadedList> read);
    QString askOpenPath();
    QString askSaveName(const QString &suggested, bool inItsFolder);
    // Shows a save's failure and notices and records a saved file among the recent ones.
    SaveOutcome::Kind reportSave(const SaveOutcome &outcome);
    bool saveAsList();

    Parts m_parts;
};
