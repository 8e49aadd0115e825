#include "app/ui/StatusBarPanes.h"

#include "app/ui/ControlIds.h"
#include "corelib/EditString.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "corelib/TaskbarList.h"

#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

namespace {

QToolButton *zoomButton(QWidget *parent, const QString &glyph, int tipId, const char *name)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QStringLiteral("ZoomButton"));
    button->setProperty("pane", QString::fromLatin1(name));
    button->setText(glyph);
    button->setToolTip(tessera::ResourceString(tipId));
    button->setAccessibleName(tessera::ResourceString(tipId));
    button->setAutoRaise(true);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

constexpr int kProgressPaneWidth = 200;
constexpr int kZoomSliderWidth = 130;
constexpr int kZoomSliderRange = 1000;
constexpr int kZoomSliderCentre = 500;

} // namespace

StatusBarPanes::StatusBarPanes(QMainWindow &frame, tessera::TaskbarList *taskbar)
    : QObject(&frame)
    , m_frame(frame)
    , m_taskbar(taskbar)
    , m_bar(new QStatusBar(&frame))
    , m_message(new QLabel(m_bar))
    , m_progress(new QProgressBar(m_bar))
    , m_selected(new QLabel(m_bar))
    , m_rows(new QLabel(m_bar))
    , m_zoomText(new QLabel(QStringLiteral("100%"), m_bar))
    , m_zoomSlider(new QSlider(Qt::Horizontal, m_bar))
    , m_zoomOut(zoomButton(m_bar, QStringLiteral("\u2212"), Ids::TipZoomOut, "ZoomOut"))
    , m_zoomIn(zoomButton(m_bar, QStringLiteral("+"), Ids::TipZoomIn, "ZoomIn"))
{
    m_bar->setObjectName(QStringLiteral("StatusBar59393"));
    SetControlId(m_bar, 59393);
    m_bar->setAccessibleName(tessera::ResourceString(Ids::CommandStatusBar));
    m_message->setObjectName(QStringLiteral("Pane0"));
    SetControlId(m_message, 0);
    m_progress->setObjectName(QStringLiteral("Pane5005"));
    SetControlId(m_progress, 5005);
    m_selected->setObjectName(QStringLiteral("Pane5007"));
    SetControlId(m_selected, 5007);
    m_rows->setObjectName(QStringLiteral("Pane5008"));
    SetControlId(m_rows, 5008);
    m_zoomText->setObjectName(QStringLiteral("Pane5009"));
    SetControlId(m_zoomText, 5009);
    m_zoomSlider->setObjectName(QStringLiteral("Pane5010"));
    SetControlId(m_zoomSlider, 5010);

    m_message->setText(tessera::ResourceString(Ids::PaneIdle));
    m_bar->addWidget(m_message, 0);
    m_progress->setRange(0, 100);
    m_progress->setFixedWidth(kProgressPaneWidth);
    m_progress->setTextVisible(false);
    m_progress->hide();
    m_bar->addWidget(m_progress, 0);
    m_bar->addPermanentWidget(m_selected);
    m_bar->addPermanentWidget(m_rows);
    m_zoomText->setAlignment(Qt::AlignCenter);
    m_zoomText->setContentsMargins(8, 0, 8, 0);
    m_zoomText->setAccessibleName(tessera::ResourceString(Ids::TipZoom));
    m_bar->addPermanentWidget(m_zoomText);
    m_zoomSlider->setRange(0, kZoomSliderRange);
    m_zoomSlider->setValue(kZoomSliderCentre);
    m_zoomSlider->setFixedWidth(kZoomSliderWidth);
    m_zoomSlider->setToolTip(tessera::ResourceString(Ids::TipZoom));
    m_zoomSlider->setAccessibleName(tessera::ResourceString(Ids::TipZoom));
    m_zoomSlider->setFocusPolicy(Qt::NoFocus);
    m_bar->addPermanentWidget(m_zoomOut);
    m_bar->addPermanentWidget(m_zoomSlider);
    m_bar->addPermanentWidget(m_zoomIn);
    frame.setStatusBar(m_bar);
    setRowCounts(0, 0);
}

void StatusBarPanes::setRowCounts(int selected, int rows)
{
    m_selected->setText(
        tessera::FormatResourceString(Ids::PaneSelectedRows, { tessera::EditString(selected) }));
    m_rows->setText(tessera::FormatResourceString(Ids::PaneRows, { tessera::EditString(rows) }));
}

void StatusBarPanes::showMessage(const QString &text)
{
    m_message->setText(text.isEmpty() ? tessera::ResourceString(Ids::PaneIdle) : text);
}

void StatusBarPanes::setIndicatorsVisible(bool visible)
{
    m_selected->setVisible(visible);
    m_rows->setVisible(visible);
    m_zoomText->setVisible(visible);
    m_zoomSlider->setVisible(visible);
    m_zoomOut->setVisible(visible);
    m_zoomIn->setVisible(visible);
}

void StatusBarPanes::beginRun(int textId)
{
    if (m_depth++ > 0)
        return;
    m_wasHidden = m_bar->isHidden();
    if (m_wasHidden)
        m_bar->show();
    m_message->setText(tessera::ResourceString(textId));
    setIndicatorsVisible(false);
    m_progress->setValue(0);
    m_progress->show();
    if (m_taskbar)
        m_taskbar->Start(0, 100, tessera::TaskbarList::Normal);
}

void StatusBarPanes::setRunPercent(int percent)
{
    if (m_depth == 0)
        return;
    m_progress->setValue(percent);
    // Long operations on this thread give the event loop no chance to paint: the pane
    // paints itself at once.
    m_progress->repaint();
    if (m_taskbar)
        m_taskbar->Grow(percent, tessera::TaskbarList::Normal);
}

void StatusBarPanes::endRun()
{
    if (m_depth == 0 || --m_depth > 0)
        return;
    m_progress->setValue(100);
    // The full bar stays a moment, as the run's last sight; nothing waits for it.
    QTimer::singleShot(100, m_progress, [this] {
        if (m_depth == 0)
            m_progress->hide();
    });
    setIndicatorsVisible(true);
    m_message->setText(tessera::ResourceString(Ids::PaneIdle));
    if (m_wasHidden)
        m_bar->hide();
    if (m_taskbar)
        m_taskbar->End();
}
