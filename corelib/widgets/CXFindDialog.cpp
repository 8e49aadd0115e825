#include "corelib/widgets/CXFindDialog.h"

#include "corelib/CJre.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "corelib/widgets/FuzzyOptionsDlg.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tessera {
namespace {

// Where the last find dialog was closed, for the life of the process.
QPoint g_position;
bool g_hasPosition = false;

enum OptionBit : unsigned { OptionCase = 1, OptionRegular = 2, OptionFuzzy = 4 };

} // namespace

void CXFindDialog::forgetPosition()
{
    g_hasPosition = false;
}

CXFindDialog::CXFindDialog(CJre &jre, int templateId, QWidget *parent)
    : QDialog(parent)
    , m_jre(jre)
    , m_templateId(templateId)
{
    setObjectName(QStringLiteral("FindDialog%1").arg(templateId));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(ResourceString(Ids::CaptionFindDialog));

    m_text = new QComboBox(this);
    m_text->setObjectName(QStringLiteral("FindText1152"));
    m_text->setEditable(true);
    m_text->setInsertPolicy(QComboBox::NoInsert);
    m_text->setDuplicatesEnabled(false);
    m_text->setMinimumContentsLength(24);
    m_text->lineEdit()->setMaxLength(kMaxTextLength);
    auto *label = new QLabel(ResourceString(Ids::CaptionFindWhat), this);
    label->setBuddy(m_text);

    m_case = new QCheckBox(ResourceString(Ids::CaptionMatchCase), this);
    m_case->setObjectName(QStringLiteral("MatchCase1040"));
    m_regular = new QCheckBox(ResourceString(Ids::CaptionRegularExpression), this);
    m_regular->setObjectName(QStringLiteral("Regular1041"));
    m_fuzzy = new QCheckBox(ResourceString(Ids::CaptionFuzzy), this);
    m_fuzzy->setObjectName(QStringLiteral("Fuzzy1048"));
    m_fuzzyOptions = new QPushButton(ResourceString(Ids::CaptionFuzzyOptions), this);
    m_fuzzyOptions->setObjectName(QStringLiteral("FuzzyOptions1024"));
    m_fuzzyOptions->setAutoDefault(false);
    m_info = new QLabel(this);
    m_info->setObjectName(QStringLiteral("Info1025"));
    m_info->setEnabled(false);

    auto *direction = new QGroupBox(ResourceString(Ids::CaptionDirection), this);
    m_up = new QRadioButton(ResourceString(Ids::CaptionUp), direction);
    m_up->setObjectName(QStringLiteral("Up"));
    m_down = new QRadioButton(ResourceString(Ids::CaptionDown), direction);
    m_down->setObjectName(QStringLiteral("Down"));
    m_down->setChecked(true);
    auto *directionRow = new QHBoxLayout(direction);
    directionRow->addWidget(m_up);
    directionRow->addWidget(m_down);

    m_findNext = new QPushButton(ResourceString(Ids::CaptionFindNextButton), this);
    m_findNext->setObjectName(QStringLiteral("FindNext"));
    m_findNext->setDefault(true);
    m_close = new QPushButton(ResourceString(Ids::CaptionClose), this);
    m_close->setObjectName(QStringLiteral("Close"));
    m_close->setAutoDefault(false);

    auto *grid = new QGridLayout;
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_text, 0, 1, 1, 2);
    auto *options = new QVBoxLayout;
    options->addWidget(m_case);
    options->addWidget(m_regular);
    auto *fuzzyRow = new QHBoxLayout;
    fuzzyRow->addWidget(m_fuzzy);
    fuzzyRow->addWidget(m_fuzzyOptions);
    fuzzyRow->addStretch(1);
    options->addLayout(fuzzyRow);
    grid->addLayout(options, 1, 0, 1, 2);
    grid->addWidget(direction, 1, 2, Qt::AlignTop);
    grid->addWidget(m_info, 2, 0, 1, 3);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_findNext);
    buttons->addWidget(m_close);
    buttons->addStretch(1);
    auto *outer = new QHBoxLayout(this);
    outer->addLayout(grid, 1);
    outer->addLayout(buttons);

    connect(m_findNext, &QPushButton::clicked, this, &CXFindDialog::onFindNext);
    connect(m_close, &QPushButton::clicked, this, &CXFindDialog::close);
    connect(m_fuzzyOptions, &QPushButton::clicked, this, &CXFindDialog::onFuzzyOptions);
    connect(m_regular, &QCheckBox::toggled, this, &CXFindDialog::updateOptionState);
    connect(m_fuzzy, &QCheckBox::toggled, this, &CXFindDialog::updateOptionState);
    connect(m_text, &QComboBox::editTextChanged, this, &CXFindDialog::updateFindButton);

    m_regular->setEnabled(CJre::s_bJre32);
    m_fuzzy->setEnabled(CJre::s_bHmJre);
    updateOptionState();
    updateFindButton();
}

void CXFindDialog::setOptions(bool regular, bool fuzzy)
{
    m_regular->setChecked(regular && CJre::s_bJre32);
    m_fuzzy->setChecked(fuzzy && CJre::s_bHmJre);
    updateOptionState();
}

bool CXFindDialog::Create(const QString &text, unsigned flags, QWidget *parent)
{
    if (parent && parentWidget() != parent)
        setParent(parent, windowFlags());
    LoadHistory();
    m_text->setEditText(text.left(kMaxTextLength));
    m_case->setChecked(flags & FrMatchCase);
    (flags & FrDown ? m_down : m_up)->setChecked(true);
    m_regular->setEnabled(CJre::s_bJre32);
    m_fuzzy->setEnabled(CJre::s_bHmJre);
    updateOptionState();
    updateFindButton();
    adjustSize();
    if (g_hasPosition) {
        move(g_position);
    } else if (QWidget *owner = parentWidget()) {
        const QRect area = owner->window()->frameGeometry();
        move(area.center() - rect().center());
    }
    show();
    raise();
    activateWindow();
    m_text->setFocus();
    m_text->lineEdit()->selectAll();
    return true;
}

QString CXFindDialog::findText() const
{
    return m_text->currentText();
}

bool CXFindDialog::searchDown() const
{
    return m_down->isChecked();
}

bool CXFindDialog::matchCase() const
{
    return m_case->isChecked();
}

bool CXFindDialog::matchRegular() const
{
    return m_regular->isChecked();
}

bool CXFindDialog::matchFuzzy() const
{
    return m_fuzzy->isChecked();
}

QStringList CXFindDialog::historyEntries() const
{
    QStringList entries;
    for (int i = 0; i < m_text->count(); ++i)
        entries << m_text->itemText(i);
    return entries;
}

QString CXFindDialog::infoText() const
{
    return m_info->text();
}

void CXFindDialog::setHistory(const QStringList &entries)
{
    const QString current = m_text->currentText();
    m_text->clear();
    for (const QString &e : entries)
        m_text->addItem(e.left(kMaxTextLength));
    m_text->setEditText(current);
}

void CXFindDialog::updateOptionState()
{
    const bool anyOn = m_regular->isChecked() || m_fuzzy->isChecked();
    if (anyOn && CJre::s_bJre32) {
        const quint16 v = CJre::GetVersion();
        m_info->setText(
            QStringLiteral("%1 V%2.%3")
                .arg(CJre::GetDllName(), QString::number(v >> 8, 16), QString::number(v & 0xFF, 16)));
    } else {
        m_info->clear();
    }
    m_fuzzyOptions->setEnabled(m_fuzzy->isChecked() && CJre::s_bHmJre);
}

void CXFindDialog::updateFindButton()
{
    m_findNext->setEnabled(!m_text->currentText().isEmpty());
}

void CXFindDialog::onFindNext()
{
    const QString text = findText();
    if (text.isEmpty())
        return;
    // The system list compares without case: a text differing only in case is not added.
    if (m_text->findText(text, Qt::MatchFixedString) < 0) {
        m_text->insertItem(0, text);
        m_text->setEditText(text);
    }
    SaveOptions();
    const unsigned options = (matchCase() ? OptionCase : 0u) | (matchRegular() ? OptionRegular : 0u)
        | (matchFuzzy() ? OptionFuzzy : 0u);
    if (!m_compiled || text != m_compiledText || options != m_compiledOptions) {
        if (!m_jre.Compile(text, matchCase(), matchRegular(), matchFuzzy())) {
            m_compiled = false;
            return;
        }
        m_compiled = true;
        m_compiledText = text;
        m_compiledOptions = options;
    }
    Q_EMIT findNext(searchDown());
}

void CXFindDialog::onFuzzyOptions()
{
    if (CJre::Fuzzy_OptionDialog(&AskFuzzyOptions, this)) {
        // The reopened engine has lost the converted find string.
        m_compiled = false;
        SaveFuzzyOptions();
    }
}

void CXFindDialog::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    SaveHistory();
    g_position = pos();
    g_hasPosition = true;
    Q_EMIT closing();
}

void CXFindDialog::closeEvent(QCloseEvent *event)
{
    finish();
    QDialog::closeEvent(event);
}

void CXFindDialog::reject()
{
    finish();
    QDialog::reject(); // hides and, with delete-on-close, deletes the dialog
}

} // namespace tessera
