#include "app/ui/CRankingDlg.h"

#include "app/ui/ControlIds.h"
#include "view/widgets/OpenAddress.h"

#include "app/core/AppSettings.h"
#include "app/core/RankingApply.h"
#include "app/core/RankingEntry.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "document/CQuotraDoc.h"
#include "quotes/fetch/HttpRequest.h"
#include "view/widgets/BackgroundWork.h"
#include "view/widgets/CQuotraView.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

bool ApplyRankingToView(CQuotraView &view, int index, QString *error)
{
    const RankingEntry &entry = RankingEntryAt(index);
    std::optional<RankingRows> rows;
    QString why;
    const bool finished = RunInBackground([&entry, &rows, &why](const std::atomic<bool> &stop) {
        HttpRequest request;
        request.setStopFlag(&stop);
        rows = ReadRanking(entry, request, &why);
    });
    if (!finished || !rows) {
        if (error)
            *error = why.isEmpty() ? QStringLiteral("stopped") : why;
        return false;
    }
    ApplyRanking(view.document(), entry, std::move(*rows), [&view](int field, bool ascending) {
        view.listModel().setSortByField(field, ascending);
        view.refresh();
    });
    return true;
}

CRankingDlg::CRankingDlg(CQuotraView &view, AppSettings &settings, QWidget *parent)
    : QDialog(parent)
    , m_view(view)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("CRankingDlg"));
    setWindowTitle(tessera::ResourceString(Ids::CaptionRankingDialog));

    m_box = new QComboBox(this);
    m_box->setObjectName(QStringLiteral("Ranking1103"));
    SetControlId(m_box, 1103);
    for (const RankingEntry &entry : RankingEntries())
        m_box->addItem(QString::fromUtf16(entry.title));
    m_box->setCurrentIndex(IsRankingIndex(settings.rankingNo) ? settings.rankingNo : -1);

    m_web = new QPushButton(tessera::ResourceString(Ids::CommandOpenWebPage), this);
    m_web->setObjectName(QStringLiteral("WebPage1117"));
    SetControlId(m_web, 1117);
    m_web->setToolTip(tessera::ResourceString(Ids::TipOpenRankingPage));
    m_web->setCursor(Qt::PointingHandCursor);
    m_web->setAutoDefault(false);
    connect(m_web, &QPushButton::clicked, this, &CRankingDlg::openPage);

    auto *label = new QLabel(tessera::ResourceString(Ids::CaptionRanking), this);
    label->setBuddy(m_box);
    auto *form = new QFormLayout;
    form->addRow(label, m_box);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->addButton(m_web, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CRankingDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CRankingDlg::reject);

    auto *top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addWidget(buttons);
    setMinimumWidth(fontMetrics().averageCharWidth() * 44);
}

int CRankingDlg::chosenIndex() const
{
    const int index = m_box->currentIndex();
    return IsRankingIndex(index) ? index : 0;
}

void CRankingDlg::openPage()
{
    OpenAddress(QUrl(RankingPageAddress(RankingEntryAt(chosenIndex()))));
}

void CRankingDlg::accept()
{
    const int index = chosenIndex();
    m_readError.clear();
    ApplyRankingToView(m_view, index, &m_readError);
    m_settings.rankingNo = index;
    // The dialog closes whether or not the page could be read.
    QDialog::accept();
}
