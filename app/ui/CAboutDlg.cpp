#include "app/ui/CAboutDlg.h"

#include "app/core/Startup.h"
#include "app/ui/ControlIds.h"
#include "app/ui/PromptTexts.h"
#include "corelib/StringIds.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QUrl>
#include <QVBoxLayout>

namespace {
constexpr int kReadTimeoutMs = 10000;
} // namespace

CAboutDlg::CAboutDlg(
    const QString &checkAddress, const QString &contactAddress, QWidget *parent, Prompts &prompts)
    : QDialog(parent)
    , m_address(checkAddress)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("AboutDialog100"));
    SetControlId(this, 100);
    setWindowTitle(tessera::ResourceString(Ids::CommandAbout));
    m_reader
        = [this](const QString &address, Done done) { ReadPublishedVersion(this, address, std::move(done)); };

    auto *icon = new QLabel(this);
    icon->setPixmap(windowIcon().pixmap(48, 48));
    if (parent)
        icon->setPixmap(parent->windowIcon().pixmap(48, 48));
    m_version = new QLabel(kVersionCaption.toString(), this);
    m_version->setObjectName(QStringLiteral("Version1101"));
    SetControlId(m_version, 1101);
    QFont big = m_version->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    big.setBold(true);
    m_version->setFont(big);
    auto *maker = new QLabel(QStringLiteral("Kestrel"), this);

    auto *text = new QVBoxLayout;
    text->addWidget(m_version);
    text->addWidget(maker);
    if (!contactAddress.isEmpty()) {
        auto *mail = new QLabel(this);
        mail->setObjectName(QStringLiteral("MailLink1100"));
        SetControlId(mail, 1100);
        const QUrl target(QStringLiteral("mailto:") + contactAddress);
        mail->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                          .arg(target.toString(QUrl::FullyEncoded).toHtmlEscaped(),
                              tessera::ResourceString(Ids::CaptionContactMaker).toHtmlEscaped()));
        mail->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
        connect(mail, &QLabel::linkActivated, this, [this](const QString &link) {
            m_prompts.openUrl(QUrl(link));
            accept();
        });
        text->addWidget(mail);
    }
    auto *top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(text, 1);

    m_check = new QPushButton(this);
    m_check->setObjectName(QStringLiteral("VersionCheck1102"));
    SetControlId(m_check, 1102);
    if (m_address.isEmpty()) {
        m_check->setText(tessera::ResourceString(Ids::CaptionVersionCheckUnavailable));
        m_check->setEnabled(false);
    } else {
        m_check->setText(tessera::ResourceString(Ids::CaptionVersionCheck));
        connect(m_check, &QPushButton::clicked, this, &CAboutDlg::checkVersion);
    }
    m_check->setAccessibleName(m_check->text());
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->addButton(m_check, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(12);
    layout->addWidget(buttons);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
}

void CAboutDlg::checkVersion()
{
    if (m_address.isEmpty() || m_checking)
        return;
    m_checking = true;
    m_check->setEnabled(false);
    QPointer<CAboutDlg> self(this);
    m_reader(m_address, [self](const std::optional<PublishedVersion> &published) {
        if (self)
            self->finishCheck(published);
    });
}

void CAboutDlg::finishCheck(const std::optional<PublishedVersion> &published)
{
    m_checking = false;
    // The box closes first, so that the answer stands over the window.
    accept();
    if (!published)
        return;
    if (!IsNewerVersion(published->version)) {
        TellNumbered(m_prompts, Ids::MsgVersionIsCurrent, { published->version },
            tessera::MbOk | tessera::MbIconInformation);
        return;
    }
    const int answer = TellNumbered(m_prompts, Ids::MsgNewVersionPublished, { published->version },
        tessera::MbYesNo | tessera::MbIconQuestion);
    if (answer == tessera::IdYes)
        m_prompts.openUrl(QUrl(published->downloadPage));
}

void CAboutDlg::ReadPublishedVersion(QObject *context, const QString &address, Done done)
{
    const QUrl url = QUrl::fromUserInput(address, QString(), QUrl::AssumeLocalFile);
    if (!url.isValid() || (url.scheme() != u"http" && url.scheme() != u"https" && url.scheme() != u"file")) {
        done(std::nullopt);
        return;
    }
    auto *network = new QNetworkAccessManager(context);
    QNetworkRequest request(url);
    request.setTransferTimeout(kReadTimeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply *reply = network->get(request);
    // A file that grows past the limit is cut off rather than read whole.
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received > kMaxPublishedBytes)
            reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::finished, context, [reply, network, done = std::move(done)] {
        std::optional<PublishedVersion> published;
        if (reply->error() == QNetworkReply::NoError)
            published = ParsePublishedVersion(reply->read(kMaxPublishedBytes + 1));
        reply->deleteLater();
        network->deleteLater();
        done(published);
    });
}

void RunAboutBox(QWidget *parent, Prompts &prompts)
{
    const QSettings store;
    const bool packaged = IsPackagedEdition(QCoreApplication::applicationFilePath());
    CAboutDlg box(VersionCheckAddress(store, packaged), MakerContactAddress(store), parent, prompts);
    prompts.exec(box);
}
