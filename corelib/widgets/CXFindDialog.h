#pragma once

#include <QDialog>
#include <QPoint>
#include <QString>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace tessera {

class CJre;

// The find dialog: a modeless dialog with the find text and its history, the options match
// case, regular expression and fuzzy, the direction, and find next. Before it tells its
// owner of a find-next request it compiles the pattern through its CJre, and only when the
// text or the options changed since its last successful compile.
//
// The owner's subclass keeps the options and the history (the three steps below); the
// dialog deletes itself when closed, after emitting closing().
class CXFindDialog : public QDialog {
    Q_OBJECT
public:
    // The flags of Create, valued as the system find dialog's.
    enum Flag : unsigned { FrDown = 0x1, FrMatchCase = 0x4 };
    static constexpr int kMaxTextLength = 80;

    CXFindDialog(CJre &jre, int templateId, QWidget *parent = nullptr);

    // The regular-expression and fuzzy boxes as the owner restores them (each only when
    // its engine is there); call before Create.
    void setOptions(bool regular, bool fuzzy);
    // Opens the dialog modeless over `parent` with `text` and the flags.
    bool Create(const QString &text, unsigned flags, QWidget *parent);

    QString findText() const;
    bool searchDown() const;
    bool matchCase() const;
    bool matchRegular() const;
    bool matchFuzzy() const;
    int templateId() const { return m_templateId; }
    // The drop-down list's entries, top to bottom.
    QStringList historyEntries() const;
    QComboBox *textBox() const { return m_text; }
    // The information line's text.
    QString infoText() const;

    // Forgets the position kept for the process (tests).
    static void forgetPosition();

Q_SIGNALS:
    // A find-next request, after a successful compile.
    void findNext(bool down);
    void closing();

protected:
    // The owner's steps: store the option flags; store the history from historyEntries();
    // fill the drop-down list (setHistory).
    virtual void SaveOptions() { }
    virtual void SaveHistory() { }
    virtual void LoadHistory() { }
    // The fuzzy options changed in their dialog (CJre::GetFuzzyFold has them).
    virtual void SaveFuzzyOptions() { }
    void setHistory(const QStringList &entries);

    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void onFindNext();
    void onFuzzyOptions();
    void updateOptionState();
    void updateFindButton();
    void finish();

    CJre &m_jre;
    int m_templateId;
    QComboBox *m_text;
    QCheckBox *m_case;
    QCheckBox *m_regular;
    QCheckBox *m_fuzzy;
    QPushButton *m_fuzzyOptions;
    QLabel *m_info;
    QRadioButton *m_up;
    QRadioButton *m_down;
    QPushButton *m_findNext;
    QPushButton *m_close;
    // What the last successful compile was given.
    bool m_compiled = false;
    QString m_compiledText;
    unsigned m_compiledOptions = 0;
    bool m_finished = false;
};

} // namespace tessera
