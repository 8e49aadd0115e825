#include "app/ui/CCustomiseDlg.h"

#include "app/ui/ControlIds.h"
#include "app/ui/PromptTexts.h"
#include "corelib/StringIds.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kIdRole = Qt::UserRole;

// A caption without its mnemonic ("(&D)" or "&"), its trailing colon and dots, as lists
// and headers show commands.
QString plainCaption(QString text)
{
    static const QRegularExpression mnemonic(QStringLiteral("\\(&.\\)"));
    text.remove(mnemonic);
    text.remove(u'&');
    while (text.endsWith(u'.') || text.endsWith(u'…') || text.endsWith(u':'))
        text.chop(1);
    return text.trimmed();
}

int idOf(const QAction *a)
{
    return a ? a->data().toInt() : 0;
}

} // namespace

CCustomiseDlg::CCustomiseDlg(const QList<CommandCategory> &categories, const ShortcutMap &current,
    const ShortcutMap &defaults, const QList<int> &quickAccess, int page, QWidget *parent, Prompts &prompts)
    : QDialog(parent)
    , m_prompts(prompts)
    , m_categories(categories)
    , m_keys(current)
    , m_defaults(defaults)
    , m_quickAccess(quickAccess)
    , m_pages(new QTabWidget(this))
{
    setObjectName(QStringLiteral("CustomiseSheet4025"));
    SetControlId(this, 4025);
    setWindowTitle(tessera::ResourceString(Ids::CaptionCustomiseTitle));
    m_pages->addTab(makeCommandsPage(categories), tessera::ResourceString(Ids::CaptionCommandsPage));
    m_pages->addTab(makeKeyboardPage(categories), tessera::ResourceString(Ids::CaptionKeyboardPage));
    // A stored page the sheet does not have opens the first.
    m_pages->setCurrentIndex(page >= 0 && page < PageCount ? page : CommandsPage);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages, 1);
    layout->addWidget(buttons);
    resize(560, 420);
}

bool CCustomiseDlg::eventFilter(QObject *watched, QEvent *event)
{
    // Escape in the key box cancels the key being typed: it neither becomes a key nor
    // closes the sheet, which Escape closes from any other place.
    if (watched == m_keyEdit && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            m_keyEdit->clear();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

int CCustomiseDlg::currentPage() const
{
    return m_pages->currentIndex();
}

QString CCustomiseDlg::captionOf(int commandId) const
{
    for (const CommandCategory &c : m_categories) {
        for (const QAction *a : c.actions) {
            if (idOf(a) == commandId)
                return plainCaption(a->text());
        }
    }
    return QString::number(commandId);
}

// ---- The commands page

QWidget *CCustomiseDlg::makeCommandsPage(const QList<CommandCategory> &categories)
{
    auto *page = new QWidget(this);
    m_commandCategories = new QListWidget(page);
    m_commandCategories->setObjectName(QStringLiteral("CommandCategories"));
    for (const CommandCategory &c : categories)
        m_commandCategories->addItem(plainCaption(c.caption));
    m_commandTree = new QTreeWidget(page);
    m_commandTree->setObjectName(QStringLiteral("CommandList"));
    m_commandTree->setColumnCount(2);
    m_commandTree->setHeaderLabels({ plainCaption(tessera::ResourceString(Ids::CaptionCommandList)),
        plainCaption(tessera::ResourceString(Ids::CaptionCurrentKeys)) });
    m_commandTree->setRootIsDecorated(false);
    m_commandTree->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    auto *categoriesLabel = new QLabel(tessera::ResourceString(Ids::CaptionCategories), page);
    categoriesLabel->setBuddy(m_commandCategories);
    auto *commandsLabel = new QLabel(tessera::ResourceString(Ids::CaptionCommandList), page);
    commandsLabel->setBuddy(m_commandTree);

    m_addQuick = new QPushButton(tessera::ResourceString(Ids::CaptionQuickAccessAdd), page);
    m_removeQuick = new QPushButton(tessera::ResourceString(Ids::CaptionQuickAccessRemove), page);
    auto *quick = new QHBoxLayout;
    quick->addStretch(1);
    quick->addWidget(m_addQuick);
    quick->addWidget(m_removeQuick);

    auto *grid = new QGridLayout(page);
    grid->addWidget(categoriesLabel, 0, 0);
    grid->addWidget(commandsLabel, 0, 1);
    grid->addWidget(m_commandCategories, 1, 0);
    grid->addWidget(m_commandTree, 1, 1);
    grid->addLayout(quick, 2, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 2);
    connect(m_commandTree, &QTreeWidget::currentItemChanged, this, &CCustomiseDlg::showQuickAccessState);
    connect(m_addQuick, &QPushButton::clicked, this, [this] { addToQuickAccess(listedCommand()); });
    connect(m_removeQuick, &QPushButton::clicked, this, [this] { removeFromQuickAccess(listedCommand()); });

    connect(m_commandCategories, &QListWidget::currentRowChanged, this, &CCustomiseDlg::fillCommandTree);
    // A command chosen here is the one the keyboard page edits.
    connect(m_commandTree, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) {
        if (!item)
            return;
        selectCommand(item->data(0, kIdRole).toInt());
        m_pages->setCurrentIndex(KeyboardPage);
        m_keyEdit->setFocus();
    });
    m_commandCategories->setCurrentRow(0);
    return page;
}

void CCustomiseDlg::fillCommandTree(int category)
{
    m_commandTree->clear();
    showQuickAccessState();
    if (category < 0 || category >= m_categories.size())
        return;
    for (const QAction *a : std::as_const(m_categories[category].actions)) {
        auto *item = new QTreeWidgetItem(m_commandTree);
        item->setIcon(0, a->icon());
        item->setText(0, plainCaption(a->text()));
        item->setText(1, ShortcutText(m_keys.value(idOf(a))));
        item->setData(0, kIdRole, idOf(a));
    }
}

void CCustomiseDlg::showQuickAccessState()
{
    if (!m_addQuick)
        return;
    const int id = listedCommand();
    m_addQuick->setEnabled(id != 0 && !m_quickAccess.contains(id));
    m_removeQuick->setEnabled(id != 0 && m_quickAccess.contains(id));
}

void CCustomiseDlg::selectListedCommand(int commandId)
{
    for (int c = 0; c < m_categories.size(); ++c) {
        for (int k = 0; k < m_categories[c].actions.size(); ++k) {
            if (idOf(m_categories[c].actions[k]) == commandId) {
                m_commandCategories->setCurrentRow(c);
                m_commandTree->setCurrentItem(m_commandTree->topLevelItem(k));
                return;
            }
        }
    }
}

int CCustomiseDlg::listedCommand() const
{
    const QTreeWidgetItem *item = m_commandTree ? m_commandTree->currentItem() : nullptr;
    return item ? item->data(0, kIdRole).toInt() : 0;
}

bool CCustomiseDlg::addToQuickAccess(int commandId)
{
    if (commandId == 0 || m_quickAccess.contains(commandId))
        return false;
    m_quickAccess << commandId;
    showQuickAccessState();
    return true;
}

bool CCustomiseDlg::removeFromQuickAccess(int commandId)
{
    if (!m_quickAccess.removeOne(commandId))
        return false;
    showQuickAccessState();
    return true;
}

// ---- The keyboard page

QWidget *CCustomiseDlg::makeKeyboardPage(const QList<CommandCategory> &categories)
{
    auto *page = new QWidget(this);
    m_keyCategory = new QComboBox(page);
    m_keyCategory->setObjectName(QStringLiteral("KeyCategories"));
    for (const CommandCategory &c : categories)
        m_keyCategory->addItem(plainCaption(c.caption));
    m_keyCommands = new QListWidget(page);
    m_keyCommands->setObjectName(QStringLiteral("KeyCommands"));
    m_currentKeys = new QListWidget(page);
    m_currentKeys->setObjectName(QStringLiteral("CurrentKeys"));
    m_keyEdit = new QKeySequenceEdit(page);
    m_keyEdit->setObjectName(QStringLiteral("NewKey"));
    m_keyEdit->installEventFilter(this);
    m_assign = new QPushButton(tessera::ResourceString(Ids::CaptionAssignKey), page);
    m_remove = new QPushButton(tessera::ResourceString(Ids::CaptionRemoveKey), page);
    auto *reset = new QPushButton(tessera::ResourceString(Ids::CaptionResetKeys), page);

    const auto label = [page](int id, QWidget *buddy) {
        auto *l = new QLabel(tessera::ResourceString(id), page);
        l->setBuddy(buddy);
        return l;
    };
    auto *left = new QVBoxLayout;
    left->addWidget(label(Ids::CaptionCategories, m_keyCategory));
    left->addWidget(m_keyCategory);
    left->addWidget(label(Ids::CaptionCommandList, m_keyCommands));
    left->addWidget(m_keyCommands, 1);
    auto *grid = new QGridLayout;
    grid->addWidget(label(Ids::CaptionCurrentKeys, m_currentKeys), 0, 0);
    grid->addWidget(m_currentKeys, 1, 0);
    grid->addWidget(m_remove, 1, 1, Qt::AlignTop);
    grid->addWidget(label(Ids::CaptionNewKey, m_keyEdit), 2, 0);
    grid->addWidget(m_keyEdit, 3, 0);
    grid->addWidget(m_assign, 3, 1);
    grid->setRowStretch(4, 1);
    grid->addWidget(reset, 5, 1);
    auto *columns = new QHBoxLayout(page);
    columns->addLayout(left, 1);
    columns->addLayout(grid, 1);

    connect(m_keyCategory, &QComboBox::currentIndexChanged, this, &CCustomiseDlg::fillKeyboardCommands);
    connect(m_keyCommands, &QListWidget::currentRowChanged, this, &CCustomiseDlg::showCurrentKeys);
    connect(m_currentKeys, &QListWidget::currentRowChanged, this,
        [this](int row) { m_remove->setEnabled(row >= 0); });
    connect(m_keyEdit, &QKeySequenceEdit::keySequenceChanged, this,
        [this](const QKeySequence &key) { m_assign->setEnabled(!key.isEmpty() && selectedCommand() != 0); });
    connect(m_assign, &QPushButton::clicked, this, [this] {
        // A command's key is one key combination; a longer sequence gives its first.
        const QKeySequence typed = m_keyEdit->keySequence();
        if (!typed.isEmpty() && assignKey(QKeySequence(typed[0])))
            m_keyEdit->clear();
    });
    connect(m_remove, &QPushButton::clicked, this, [this] {
        if (QListWidgetItem *item = m_currentKeys->currentItem())
            removeKey(QKeySequence::fromString(item->data(kIdRole).toString(), QKeySequence::PortableText));
    });
    connect(reset, &QPushButton::clicked, this, &CCustomiseDlg::resetAll);
    fillKeyboardCommands(0);
    return page;
}

void CCustomiseDlg::fillKeyboardCommands(int category)
{
    m_keyCommands->clear();
    if (category >= 0 && category < m_categories.size()) {
        for (const QAction *a : std::as_const(m_categories[category].actions)) {
            auto *item = new QListWidgetItem(a->icon(), plainCaption(a->text()), m_keyCommands);
            item->setData(kIdRole, idOf(a));
        }
    }
    m_keyCommands->setCurrentRow(m_keyCommands->count() > 0 ? 0 : -1);
    showCurrentKeys();
}

void CCustomiseDlg::showCurrentKeys()
{
    m_currentKeys->clear();
    const int id = selectedCommand();
    for (const QKeySequence &k : m_keys.value(id)) {
        auto *item = new QListWidgetItem(k.toString(QKeySequence::NativeText), m_currentKeys);
        item->setData(kIdRole, k.toString(QKeySequence::PortableText));
    }
    m_remove->setEnabled(false);
    m_assign->setEnabled(id != 0 && !m_keyEdit->keySequence().isEmpty());
}

void CCustomiseDlg::refreshKeyTexts()
{
    showCurrentKeys();
    fillCommandTree(m_commandCategories->currentRow());
}

void CCustomiseDlg::selectCommand(int commandId)
{
    // The command's first category on the keyboard page; "all commands" holds every one.
    for (int c = 0; c < m_categories.size(); ++c) {
        for (int k = 0; k < m_categories[c].actions.size(); ++k) {
            if (idOf(m_categories[c].actions[k]) == commandId) {
                m_keyCategory->setCurrentIndex(c);
                m_keyCommands->setCurrentRow(k);
                return;
            }
        }
    }
}

int CCustomiseDlg::selectedCommand() const
{
    const QListWidgetItem *item = m_keyCommands->currentItem();
    return item ? item->data(kIdRole).toInt() : 0;
}

int CCustomiseDlg::commandOfKey(const QKeySequence &key) const
{
    for (auto it = m_keys.cbegin(); it != m_keys.cend(); ++it) {
        if (it.value().contains(key))
            return it.key();
    }
    return 0;
}

bool CCustomiseDlg::assignKey(const QKeySequence &key)
{
    const int id = selectedCommand();
    if (id == 0 || key.isEmpty())
        return false;
    const int owner = commandOfKey(key);
    if (owner == id)
        return false;
    if (owner != 0) {
        TellNumbered(
            m_prompts, Ids::MsgKeyInUse, { captionOf(owner) }, tessera::MbOk | tessera::MbIconWarning);
        return false;
    }
    m_keys[id] << key;
    refreshKeyTexts();
    return true;
}

bool CCustomiseDlg::removeKey(const QKeySequence &key)
{
    const int id = selectedCommand();
    if (id == 0 || !m_keys.value(id).contains(key))
        return false;
    m_keys[id].removeAll(key);
    refreshKeyTexts();
    return true;
}

void CCustomiseDlg::resetAll()
{
    for (auto it = m_keys.begin(); it != m_keys.end(); ++it)
        it.value() = m_defaults.value(it.key());
    refreshKeyTexts();
}
