#include "view/widgets/CColumnDlg.h"

#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "document/ColumnLayoutFile.h"
#include "view/table/ColumnTable.h"
#include "view/widgets/CQuotraView.h"
#include "view/widgets/PaletteColors.h"

#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

// Item data: the field's title id (as the dialog's items carry it), its width and alignment.
constexpr int kTitleIdRole = Qt::UserRole;
constexpr int kWidthRole = Qt::UserRole + 1;
constexpr int kAlignRole = Qt::UserRole + 2;

bool isLayoutFile(const QUrl &url)
{
    return url.isLocalFile() && url.toLocalFile().endsWith(QStringLiteral(".colm"), Qt::CaseInsensitive);
}

} // namespace

CColumnDlg::CColumnDlg(ColumnLayout &layout, QWidget *parent, Prompts &prompts)
    : QDialog(parent)
    , m_layout(layout)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("CColumnDlg"));
    setWindowTitle(tessera::ResourceString(Ids::CommandColumnSettings));
    setAcceptDrops(true);

    auto *caption = new QLabel(tessera::ResourceString(Ids::CaptionEditColumns), this);
    m_toolBar = new QToolBar(this);
    m_toolBar->setIconSize(QSize(16, 16));
    m_up = m_toolBar->addAction(
        style()->standardIcon(QStyle::SP_ArrowUp), tessera::ResourceString(Ids::TipMoveUp));
    m_down = m_toolBar->addAction(
        style()->standardIcon(QStyle::SP_ArrowDown), tessera::ResourceString(Ids::TipMoveDown));
    m_up->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Up));
    m_down->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Down));
    for (QAction *a : { m_up, m_down }) {
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }
    connect(m_up, &QAction::triggered, this, [this] { moveSelection(true); });
    connect(m_down, &QAction::triggered, this, [this] { moveSelection(false); });
    auto *bar = new QHBoxLayout;
    bar->addWidget(caption);
    bar->addStretch();
    bar->addWidget(m_toolBar);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("ColumnList"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setUniformItemSizes(true);
    m_list->setAcceptDrops(false); // files dropped on the list reach the dialog
    connect(m_list, &QListWidget::itemChanged, this, &CColumnDlg::onItemChanged);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CColumnDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CColumnDlg::reject);

    auto *top = new QVBoxLayout(this);
    top->addLayout(bar);
    top->addWidget(m_list, 1);
    top->addWidget(buttons);
    resize(fontMetrics().averageCharWidth() * 40, fontMetrics().lineSpacing() * 26);

    if (const std::optional<ColumnChoice> items = ColumnChoiceFromLayout(m_layout))
        fill(*items);
    else if (const std::optional<ColumnChoice> defaults = ColumnChoiceFromLayout(DefaultColumnLayout()))
        fill(*defaults);
    if (m_list->count() > 0)
        m_list->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    m_list->setFocus();
    applyListColours();
}

void CColumnDlg::fill(const ColumnChoice &items)
{
    const QSignalBlocker block(m_list);
    m_list->clear();
    for (const ColumnChoiceItem &c : items) {
        auto *item = new QListWidgetItem(ColumnCaption(c.field), m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(c.checked ? Qt::Checked : Qt::Unchecked);
        item->setData(kTitleIdRole, ColumnDefOf(c.field).titleId);
        item->setData(kWidthRole, c.width);
        item->setData(kAlignRole, c.align);
    }
}

ColumnChoice CColumnDlg::choice() const
{
    ColumnChoice items;
    for (int i = 0; i < m_list->count(); ++i) {
        const QListWidgetItem *item = m_list->item(i);
        const int field = item->data(kTitleIdRole).toInt() - Ids::kColumnCaptionBase;
        items.push_back({ field, item->checkState() == Qt::Checked, item->data(kWidthRole).toInt(),
            item->data(kAlignRole).toInt() });
    }
    return items;
}

void CColumnDlg::onItemChanged(QListWidgetItem *item)
{
    if (m_propagating || !item->isSelected())
        return;
    const QList<QListWidgetItem *> selected = m_list->selectedItems();
    if (selected.size() < 2)
        return;
    m_propagating = true;
    for (QListWidgetItem *other : selected)
        other->setCheckState(item->checkState());
    m_propagating = false;
}

void CColumnDlg::moveSelection(bool up)
{
    std::vector<int> selected;
    for (int i = 0; i < m_list->count(); ++i) {
        if (m_list->item(i)->isSelected())
            selected.push_back(i);
    }
    if (selected.empty())
        return;
    ColumnChoice items = choice();
    const std::vector<int> moved = MoveColumnChoice(items, selected, up);
    if (moved == selected)
        return;
    fill(items);
    m_list->clearSelection();
    for (int i : moved)
        m_list->item(i)->setSelected(true);
    const int edge = up ? moved.front() : moved.back();
    m_list->setCurrentRow(edge, QItemSelectionModel::NoUpdate);
    m_list->scrollToItem(m_list->item(edge));
    m_list->setFocus();
}

void CColumnDlg::accept()
{
    const std::optional<ColumnLayout> built = LayoutFromColumnChoice(choice(), m_layout);
    if (!built) {
        showMessage(Ids::MsgNoColumnShown, tessera::MbOk | tessera::MbIconWarning);
        return;
    }
    if (!m_prompts.shiftHeld()) {
        m_layout = *built;
        QDialog::accept();
        return;
    }
    // Shift+OK: the layout goes to a file; the dialog and its layout stay as they were.
    const QString path = askSavePath();
    if (path.isEmpty())
        return;
    if (!SaveColumnLayoutFile(path, *built).ok())
        showMessage(Ids::MsgColumnLayoutWriteFailed, tessera::MbOk | tessera::MbIconError);
}

QString CColumnDlg::askSavePath()
{
    FileQuestion question;
    question.caption = tessera::ResourceString(Ids::CaptionSaveColumnLayout);
    // The filter text is "caption (*.colm)|*.colm||"; the dialog wants the caption part.
    question.filters = QStringList { tessera::ResourceString(Ids::FilterColumnLayout).section(u'|', 0, 0) };
    question.suffix = QStringLiteral("colm");
    return m_prompts.saveFile(this, question);
}

int CColumnDlg::showMessage(int id, unsigned style)
{
    return m_prompts.message(tessera::ResourceString(id), style);
}

bool CColumnDlg::loadLayoutFile(const QString &path)
{
    const int answer = showMessage(Ids::MsgLoadColumnLayout, tessera::MbYesNo | tessera::MbIconQuestion);
    if (answer == tessera::IdNo)
        return false;
    const tessera::Result<ColumnLayout> loaded = LoadColumnLayoutFile(path);
    if (!loaded && loaded.error().code == ColumnLayoutErrorNotRegularFile) {
        m_prompts.message(loaded.error().message, tessera::MbOk | tessera::MbIconError);
        return false;
    }
    if (!loaded) {
        const int message = loaded.error().code == ColumnLayoutErrorBadMagic ? Ids::MsgNotColumnLayout
            : loaded.error().code == ColumnLayoutErrorUnequalLists           ? Ids::MsgColumnLayoutMalformed
                                                                             : Ids::MsgColumnLayoutUnreadable;
        showMessage(message, tessera::MbOk | tessera::MbIconError);
        return false;
    }
    // A layout of more than 40 columns cannot come from this program: refused like unequal
    // lists, the dialog left as it was.
    const std::optional<ColumnChoice> items = ColumnChoiceFromLayout(*loaded);
    if (!items) {
        showMessage(Ids::MsgColumnLayoutMalformed, tessera::MbOk | tessera::MbIconError);
        return false;
    }
    fill(*items);
    m_layout = *loaded;
    return true;
}

void CColumnDlg::dragEnterEvent(QDragEnterEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && isLayoutFile(urls.front()))
        event->acceptProposedAction();
}

void CColumnDlg::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile())
        return;
    event->acceptProposedAction();
    loadLayoutFile(urls.front().toLocalFile());
}

void CColumnDlg::applyListColours()
{
    QPalette p = m_list->palette();
    const bool dark = IsDarkPalette(palette());
    p.setColor(QPalette::Base, dark ? QColor(Qt::black) : QColor(Qt::white));
    p.setColor(QPalette::Text, dark ? QColor(Qt::white) : QColor(Qt::black));
    m_list->setPalette(p);
}

void CColumnDlg::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
        applyListColours();
}

bool RunColumnDialog(CQuotraView &view, QWidget *parent, Prompts &prompts)
{
    ColumnLayout layout = view.saveLayout();
    CColumnDlg dlg(layout, parent ? parent : view.window(), prompts);
    if (prompts.exec(dlg) != QDialog::Accepted)
        return false;
    return view.applyColumnLayout(layout);
}
