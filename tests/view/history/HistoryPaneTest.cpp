#include "view/history/HistoryPane.h"
#include "corelib/LanguageModule.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "history/HistoryCsv.h"
#include "history/HistoryStore.h"
#include "view/history/HistoryChart.h"
#include "view/history/HistoryPointsModel.h"

#include "tests/support/FakePrompts.h"
#include "tests/support/Screenshot.h"

#include <QChart>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kNow = 1'800'000'000; // a fixed "now" for every range

// Ten days of hourly points for each code, the price rising by 1 an hour from 1,000 times its place in
// `codes` plus one.
void fill(HistoryStore &store, const QStringList &codes)
{
    std::vector<HistoryPoint> points;
    for (int c = 0; c < codes.size(); ++c) {
        for (int h = 0; h < 240; ++h) {
            HistoryPoint &p = points.emplace_back();
            p.code = codes[c];
            p.time = kNow - (239 - h) * 3600;
            p.values[HistoryPrice] = 1000.0 * (c + 1) + h;
            p.values[HistoryVolume] = 100.0 * h;
        }
    }
    QVERIFY(store.store(points).ok());
}

} // namespace

class HistoryPaneTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_file;
    FakePrompts m_prompts;
    std::unique_ptr<HistoryPane> m_pane;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(tessera::LanguageModule::instance().load());
        m_file = m_dir.filePath(u"history.sqlite"_s);
        auto store = HistoryStore::Open(m_file, HistoryStore::OpenMode::Create);
        QVERIFY(store.ok());
        QStringList codes { u"7203"_s, u"6758"_s };
        for (int i = 0; i < 8; ++i)
            codes << QString::number(1301 + i);
        fill(**store, codes);
    }
    void init()
    {
        m_prompts = FakePrompts();
        m_pane = std::make_unique<HistoryPane>(m_prompts);
        m_pane->setClock([] { return kNow; });
        m_pane->resize(800, 500);
    }
    void cleanup() { m_pane.reset(); }

    void saysWhatIsMissing()
    {
        m_pane->show();
        QCOMPARE(m_pane->emptyText(), tessera::ResourceString(Ids::TipHistoryNoSelection));
        m_pane->setHistoryFile(m_dir.filePath(u"none.sqlite"_s));
        m_pane->setCodes({ u"7203"_s });
        QCOMPARE(m_pane->emptyText(), tessera::ResourceString(Ids::TipHistoryNoFile));
        QVERIFY2(!QFile::exists(m_dir.filePath(u"none.sqlite"_s)), "the pane never creates the file");
        m_pane->setHistoryFile(m_file);
        m_pane->setCodes({ u"9999"_s });
        QCOMPARE(m_pane->emptyText(), tessera::ResourceString(Ids::TipHistoryNoPoints));
        QCOMPARE(m_pane->pointsModel().rowCount(), 0);
    }

    void drawsTheRangeAndSeveralCodesInPercent()
    {
        m_pane->setHistoryFile(m_file);
        m_pane->show();
        m_pane->setCodes({ u"7203"_s });
        QVERIFY(m_pane->emptyText().isEmpty());
        QCOMPARE(m_pane->chart().series().size(), size_t(1));
        QCOMPARE(m_pane->pointsModel().rowCount(), 240); // a month holds all ten days
        QCOMPARE(m_pane->pointsModel().data(m_pane->pointsModel().index(0, 2)).toString(),
            u"1,239"_s); // newest first, grouped
        QCOMPARE(m_pane->chart().chart()->series().size(), 1);

        m_pane->setRange(ChartRange::Day);
        QCOMPARE(m_pane->pointsModel().rowCount(), 25); // 24 hours back, both ends included
        QCOMPARE(m_pane->chart().series().front().samples.back().value, 1239.0);

        m_pane->setRange(ChartRange::Week);
        m_pane->setCodes({ u"7203"_s, u"6758"_s });
        QCOMPARE(m_pane->chart().series().size(), size_t(2));
        QCOMPARE(m_pane->chart().series()[0].samples.front().value, 0.0); // change from the range's start
        QVERIFY(m_pane->chart().series()[1].samples.back().value > 0);
        QCOMPARE(m_pane->noteText(), tessera::ResourceString(Ids::CaptionHistoryChange));
        QVERIFY(SaveShotIfAsked(*m_pane, u"history-two-codes.png"_s));

        QStringList ten { u"7203"_s, u"6758"_s };
        for (int i = 0; i < 8; ++i)
            ten << QString::number(1301 + i);
        m_pane->setCodes(ten);
        QCOMPARE(m_pane->chart().series().size(), size_t(kMaxChartCodes));
        QCOMPARE(m_pane->pointsModel().rowCount(), 8 * 169);
        QVERIFY(m_pane->noteText().endsWith(
            tessera::FormatResourceString(Ids::TipHistoryTooManyCodes, { QString::number(kMaxChartCodes) })));
    }

    void readsOnlyWhenShownAndAfterNewPoints()
    {
        m_pane->setHistoryFile(m_file);
        m_pane->setCodes({ u"6758"_s });
        QCOMPARE(m_pane->pointsModel().rowCount(), 0); // a hidden pane reads nothing
        m_pane->show();
        QCOMPARE(m_pane->pointsModel().rowCount(), 240);

        QTemporaryDir dir;
        const QString file = dir.filePath(u"h.sqlite"_s);
        auto writer = HistoryStore::Open(file, HistoryStore::OpenMode::Create);
        QVERIFY(writer.ok());
        fill(**writer, { u"6758"_s });
        m_pane->setHistoryFile(file);
        QCOMPARE(m_pane->pointsModel().rowCount(), 240);
        HistoryPoint next;
        next.code = u"6758"_s;
        next.time = kNow;
        next.values[HistoryPrice] = 1;
        HistoryPoint later = next;
        later.time = kNow - 1800;
        QVERIFY((*writer)->store(std::vector { later }).ok());
        m_pane->refreshIfShown({ u"7203"_s });
        QCOMPARE(m_pane->pointsModel().rowCount(), 240); // another code's points change nothing
        m_pane->refreshIfShown({ u"6758"_s });
        QCOMPARE(m_pane->pointsModel().rowCount(), 241); // the writer's commit is seen
    }

    void exportsTheShownPoints()
    {
        m_pane->setHistoryFile(m_file);
        m_pane->show();
        m_pane->setRange(ChartRange::Day);
        m_pane->setCodes({ u"7203"_s, u"6758"_s });
        QVERIFY(!m_pane->exportPoints()); // cancelled

        const QString out = m_dir.filePath(u"out.csv"_s);
        m_prompts.onSaveFile = [&](const FileQuestion &) { return out; };
        QVERIFY(m_pane->exportPoints());
        QCOMPARE(m_prompts.lastFileQuestion.suggested, u"7203-6758.csv"_s);
        QFile file(out);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QCOMPARE(text, HistoryPointsCsv(m_pane->pointsModel().points()));
        QCOMPARE(text.count(u'\n'), 1 + 2 * 25);

        m_prompts.onSaveFile
            = [&](const FileQuestion &) { return m_dir.filePath(u"no/such/folder/x.csv"_s); };
        QVERIFY(!m_pane->exportPoints());
        QCOMPARE(m_prompts.messages.size(), 1);
        QVERIFY(m_prompts.messages.front().startsWith(
            tessera::FormatResourceString(Ids::MsgHistoryExportFailed, { QString() })));
    }

    void tooltipNamesThePointAndThePaletteReachesTheChart()
    {
        m_pane->setHistoryFile(m_file);
        m_pane->show();
        m_pane->setRange(ChartRange::Everything); // ten days across the plot: an hour is a few pixels
        m_pane->setCodes({ u"7203"_s });
        QVERIFY(QTest::qWaitForWindowExposed(m_pane.get()));
        HistoryChart &chart = m_pane->chart();
        const QRectF plot = chart.chart()->plotArea();
        const QPoint right = chart.mapFromScene(QPointF(plot.right() - 1, plot.center().y()));
        const QString tip = chart.pointText(right);
        QVERIFY2(tip.startsWith(u"7203"_s), qPrintable(tip));
        QVERIFY2(tip.contains(u"1,239"_s), qPrintable(tip));
        QVERIFY(chart.pointText(QPoint(1, 1)).isEmpty()); // outside the plot

        QPalette dark = m_pane->palette();
        dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
        dark.setColor(QPalette::Text, Qt::white);
        m_pane->setPalette(dark);
        QCOMPARE(chart.chart()->backgroundBrush().color(), QColor(0x20, 0x20, 0x20));
        QCOMPARE(chart.chart()->theme(), QChart::ChartThemeDark);
        QVERIFY(SaveShotIfAsked(*m_pane, u"history-dark.png"_s));
    }
};

QTEST_MAIN(HistoryPaneTest)
#include "HistoryPaneTest.moc"
