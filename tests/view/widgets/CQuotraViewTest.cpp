#include "view/widgets/CQuotraView.h"
#include "corelib/LanguageModule.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "document/CQuotraDoc.h"
#include "view/table/ColumnTable.h"
#include "view/table/ListTableModel.h"
#include "view/table/RowMarks.h"
#include "view/widgets/CellDelegate.h"
#include "view/widgets/DigitFont.h"
#include "view/widgets/MyHeaderCtrl.h"
#include "view/widgets/PaletteColors.h"

#include "tests/support/RowBuilders.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {

// The codes in display order.
QStringList displayedCodes(const CQuotraView &view)
{
    QStringList codes;
    for (int row = 0; row < view.rowCount(); ++row)
        codes << view.listModel().record(row)->code;
    return codes;
}

QStringList selectedCodes(const CQuotraView &view)
{
    return view.selectedCodes();
}

// The captions of the columns sub-menu, checked ones marked with "+".
QStringList columnItems(QMenu *menu)
{
    QStringList items;
    for (QAction *a : menu->actions()) {
        if (!a->menu())
            continue;
        for (QAction *item : a->menu()->actions())
            items << (item->isChecked() ? u"+"_s : u"-"_s) + QString::number(item->data().toInt() - 1000);
    }
    return items;
}

QAction *columnItem(QMenu *menu, int field)
{
    for (QAction *a : menu->actions()) {
        if (!a->menu())
            continue;
        for (QAction *item : a->menu()->actions()) {
            if (item->data().toInt() == 1000 + field)
                return item;
        }
    }
    return nullptr;
}

} // namespace

class CQuotraViewTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CQuotraDoc> doc;
    std::unique_ptr<CQuotraView> view;
    QStringList messages;
    int answer = tessera::IdYes;
    unsigned askedStyle = 0;

    // Code, name and price, in a layout showing code, name, price (list columns 1, 2, 3).
    void makeList(std::initializer_list<RowSpec> rows)
    {
        doc = std::make_unique<CQuotraDoc>();
        view = std::make_unique<CQuotraView>(*doc);
        view->resize(800, 400);
        view->applyStartLayout(MakeLayout({ { 1, 1, 50 }, { 2, 0, 120 }, { 4, 1, 80 } }, 1, true));
        doc->replaceRows(MakeRows(rows));
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(tessera::LanguageModule::instance().load());
        tessera::SetMessageHandler([this](const QString &text, unsigned style) {
            messages << text;
            askedStyle = style;
            return answer;
        });
    }
    void cleanupTestCase() { tessera::SetMessageHandler({}); }
    void init()
    {
        messages.clear();
        answer = tessera::IdYes;
    }
    void cleanup()
    {
        view.reset();
        doc.reset();
    }

    void headerMenuListsShownFieldsThenHiddenOnes()
    {
        makeList({ { u"7203"_s, u"2,500"_s } });
        std::unique_ptr<QMenu> menu(view->buildHeaderMenu(2, nullptr));
        const QStringList items = columnItems(menu.get());
        QCOMPARE(items.mid(0, 4), QStringList({ u"+1"_s, u"+2"_s, u"+4"_s, u"-3"_s }));
        QCOMPARE(items.size(), 39);
    }

    void lastFieldCannotBeHiddenAndTheAnchorIsNeverOffered()
    {
        makeList({ { u"7203"_s, u"2,500"_s } });
        for (const int field : { 1, 2 }) {
            std::unique_ptr<QMenu> menu(view->buildHeaderMenu(1, nullptr));
            columnItem(menu.get(), field)->trigger();
        }
        QCOMPARE(view->listModel().columnCount(), 2);
        std::unique_ptr<QMenu> menu(view->buildHeaderMenu(1, nullptr));
        QVERIFY(!columnItem(menu.get(), 0));
        columnItem(menu.get(), 4)->trigger();
        QCOMPARE(view->listModel().columnCount(), 2);
        QCOMPARE(view->listModel().table().header().visibleFields(), std::vector<int>({ 4 }));
    }

    void columnAddedAfterARightClickGoesRightOfThatColumn()
    {
        makeList({ { u"7203"_s, u"2,500"_s } });
        // A right-click on the header section of the name column (list column 2).
        MyHeaderCtrl &header = view->headerCtrl();
        const int x = header.sectionViewportPosition(2) + header.sectionSize(2) / 2;
        QSignalSpy spy(&header, &MyHeaderCtrl::sectionMenuRequested);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(x, 5), header.mapToGlobal(QPoint(x, 5)));
        QApplication::sendEvent(header.viewport(), &event);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(view->rightClickedColumn(), 2);
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *m = qobject_cast<QMenu *>(w))
                m->close();
        }
        QVERIFY(view->toggleField(13));
        QCOMPARE(view->listModel().table().header().visibleFields(), std::vector<int>({ 1, 2, 13, 4 }));
        // The widget follows the header model: the new section shows right of the name.
        const int newColumn = view->listModel().table().header().columnOfField(13);
        QCOMPARE(header.visualIndex(newColumn), 3);
    }

    void headerClickSortsAndShiftSortsByTextColour()
    {
        makeList({ { u"7203"_s, u"2,500"_s }, { u"6758"_s, u"900"_s }, { u"1301"_s, u"10,000"_s } });
        doc->record(u"6758"_s)->text_color = 0x0000FF;
        view->sortByHeaderClick(3, Qt::NoModifier);
        QCOMPARE(displayedCodes(*view), QStringList({ u"6758"_s, u"7203"_s, u"1301"_s }));
        QCOMPARE(view->headerCtrl().sortIndicatorSection(), 3);
        QCOMPARE(view->headerCtrl().sortIndicatorOrder(), Qt::AscendingOrder);
        view->sortByHeaderClick(3, Qt::NoModifier);
        QCOMPARE(displayedCodes(*view), QStringList({ u"1301"_s, u"7203"_s, u"6758"_s }));
        QCOMPARE(view->headerCtrl().sortIndicatorOrder(), Qt::DescendingOrder);
        // Shift: by text colour, the default colour standing in as the palette's text colour
        // (black, 0) so red (0xFF) comes last ascending.
        view->sortByHeaderClick(2, Qt::ShiftModifier);
        QCOMPARE(displayedCodes(*view).last(), u"6758"_s);
        // A real click goes through the header's signal.
        MyHeaderCtrl &header = view->headerCtrl();
        const int x = header.sectionViewportPosition(1) + header.sectionSize(1) / 2;
        QTest::mouseClick(header.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x, 5));
        QCOMPARE(displayedCodes(*view), QStringList({ u"1301"_s, u"6758"_s, u"7203"_s }));
    }

    void selectionSurvivesASortAndItsFirstRowIsVisible()
    {
        RecordMap rows;
        for (int k = 0; k < 300; ++k) {
            auto r = std::make_unique<QuoteRecord>(QString::number(1000 + k));
            r->values.set(SlotPrice, QString::number(300 - k));
            rows.emplace(r->code, std::move(r));
        }
        makeList({});
        doc->replaceRows(std::move(rows));
        view->selectRows({ 0, 1, 150 });
        const QStringList before = selectedCodes(*view);
        view->sortByHeaderClick(3, Qt::NoModifier); // by price: the order turns round
        QStringList after = selectedCodes(*view);
        QCOMPARE(after.size(), 3);
        std::sort(after.begin(), after.end());
        QStringList expected = before;
        std::sort(expected.begin(), expected.end());
        QCOMPARE(after, expected);
        const int first = view->selectedRows().front();
        const QRect rect = view->visualRect(view->listModel().index(first, 1));
        QVERIFY(rect.bottom() >= 0 && rect.top() < view->viewport()->height());
    }

    void deletingSelectsTheRowAtTheLastSelectedPosition()
    {
        makeList({ { u"1"_s, u""_s }, { u"2"_s, u""_s }, { u"3"_s, u""_s }, { u"4"_s, u""_s },
            { u"5"_s, u""_s } });
        view->selectRows({ 1, 2 });
        view->deleteSelectedRows();
        QCOMPARE(displayedCodes(*view), QStringList({ u"1"_s, u"4"_s, u"5"_s }));
        QCOMPARE(view->selectedRows(), std::vector<int>({ 2 }));
        QVERIFY(doc->IsModified());
        // The last rows: the new last row is selected; all rows: nothing.
        view->selectRows({ 2 });
        view->deleteSelectedRows();
        QCOMPARE(view->selectedRows(), std::vector<int>({ 1 }));
        view->selectAll();
        view->deleteSelectedRows();
        QCOMPARE(view->rowCount(), 0);
        QVERIFY(view->selectedRows().empty());
    }

    void copyWritesListColumnOrderEvenAfterAHeaderDrag()
    {
        makeList({ { u"7203"_s, u"2,500"_s, u"Alpha, Motors"_s }, { u"6758"_s, u"1,234.50"_s, u"Beta"_s } });
        // Drag the price section in front of the code.
        view->headerCtrl().moveSection(view->headerCtrl().visualIndex(3), 1);
        QCOMPARE(view->listModel().table().header().visibleFields(), std::vector<int>({ 4, 1, 2 }));
        view->selectAll();
        QVERIFY(view->copySelection());
        const QString text = QGuiApplication::clipboard()->text();
        const QString caption = ColumnCaption(1) + u',' + ColumnCaption(2) + u',' + ColumnCaption(4) + u',';
        QCOMPARE(text, caption + u"\r\n6758,Beta,1234.5,\r\n7203,Alpha Motors,2500,\r\n"_s);
    }

    void anchorSectionCannotBeMoved()
    {
        makeList({ { u"7203"_s, u"2,500"_s } });
        view->headerCtrl().moveSection(0, 2);
        QCoreApplication::processEvents();
        QCOMPARE(view->headerCtrl().visualIndex(0), 0);
        QCOMPARE(view->listModel().table().header().order().front(), 0);
    }

    void rowsOfThisListAreNotDroppedOntoIt()
    {
        makeList({ { u"7203"_s, u"2,500"_s } });
        ListTableModel &model = view->listModel();
        std::unique_ptr<QMimeData> own(model.mimeData({ model.index(0, 1) }));
        QVERIFY(own);
        QCOMPARE(own->text(), u"7203,,2500,\r\n"_s);
        QVERIFY(!model.canDropMimeData(own.get(), Qt::MoveAction, -1, -1, {}));
        // The same text from elsewhere adds its codes.
        QMimeData other;
        other.setText(u"6758\n7203\n"_s);
        QVERIFY(model.canDropMimeData(&other, Qt::CopyAction, -1, -1, {}));
        QVERIFY(model.dropMimeData(&other, Qt::CopyAction, -1, -1, {}));
        QCOMPARE(displayedCodes(*view), QStringList({ u"6758"_s, u"7203"_s }));
        doc->StopUpdate();
        // Text without a new code tells why nothing was added.
        QVERIFY(!model.dropMimeData(&other, Qt::CopyAction, -1, -1, {}));
        QCOMPARE(messages, QStringList({ tessera::ResourceString(Ids::MsgAlreadyListed) }));
        // Rows of another list of this program are text like any other.
        CQuotraDoc otherDoc;
        CQuotraView otherView(otherDoc);
        otherDoc.replaceRows(MakeRows({ { u"9984"_s, u""_s } }));
        std::unique_ptr<QMimeData> foreign(
            otherView.listModel().mimeData({ otherView.listModel().index(0, 1) }));
        QVERIFY(model.canDropMimeData(foreign.get(), Qt::CopyAction, -1, -1, {}));
    }

    void sortedColumnIsTintedAndSelectedRowsShowTheSelection()
    {
        makeList({ { u"7203"_s, u"2,500"_s }, { u"6758"_s, u"900"_s } });
        view->setSort(3, true, false);
        view->selectRows({ 0 });
        const QImage image = view->viewport()->grab().toImage();
        const CellPalette palette = CellPaletteFrom(view->palette());
        const auto pixelOf = [&](int row, int column) {
            const QRect r = view->visualRect(view->listModel().index(row, column));
            return image.pixelColor(r.right() - 2, r.center().y());
        };
        QCOMPARE(pixelOf(1, 3), ToQColor(BlendColor(palette.window, palette.sortBack, kSortTintWeight)));
        QCOMPARE(pixelOf(1, 2), ToQColor(palette.window));
        QCOMPARE(pixelOf(0, 2), ToQColor(palette.selectionBack));
        QCOMPARE(pixelOf(0, 3), ToQColor(palette.sortBack));
    }

    void aFailedRowsStatusCellSaysWhy()
    {
        // Nothing listens on port 1: the fetch is refused at once.
        qputenv("QUOTRA_SITE_ROOT", "http://127.0.0.1:1/");
        makeList({ { u"7203"_s, u"2,500"_s } });
        QVERIFY(view->toggleField(FieldStatus));
        QSignalSpy finished(doc.get(), &CQuotraDoc::updateFinished);
        doc->StartUpdate({ u"7203"_s });
        QVERIFY(finished.wait(20000));
        const ListTableModel &model = view->listModel();
        const int statusColumn = model.table().header().columnOfField(FieldStatus);
        const QString tip = model.index(0, statusColumn).data(Qt::ToolTipRole).toString();
        QVERIFY2(tip.contains(u"refused"_s) || tip.contains(u"connect"_s), qPrintable(tip));
        // The code cell, which carries the row's mark, explains it the same way.
        QCOMPARE(model.index(0, 1).data(Qt::ToolTipRole).toString(), tip);
        QVERIFY2(model.index(0, 2).data(Qt::ToolTipRole).isNull(), "only the status and code cells explain");
    }

    void sortIndicatorFollowsClicksAndCommands()
    {
        makeList({ { u"7203"_s, u"2,500"_s }, { u"6758"_s, u"900"_s } });
        const MyHeaderCtrl &header = view->headerCtrl();
        QVERIFY(header.isSortIndicatorShown());
        view->setSort(3, false, false);
        QCOMPARE(header.sortIndicatorSection(), 3);
        QCOMPARE(header.sortIndicatorOrder(), Qt::DescendingOrder);
        view->sortByHeaderClick(2, Qt::NoModifier);
        QCOMPARE(header.sortIndicatorSection(), 2);
        QCOMPARE(header.sortIndicatorOrder(), Qt::AscendingOrder);
        // A layout from the column dialog brings its own sort.
        QVERIFY(view->applyColumnLayout(MakeLayout({ { 4, 1, 80 }, { 1, 1, 50 } }, 2, false)));
        QCOMPARE(header.sortIndicatorSection(), 2);
        QCOMPARE(header.sortIndicatorOrder(), Qt::DescendingOrder);
    }

    void widthsFollowTheFontWhileTheStoredOnesStay()
    {
        makeList({ { u"7203"_s, u"1,480.50"_s }, { u"6758"_s, u"12,345"_s } });
        view->headerCtrl().setStretchLastSection(false);
        const QList<int> stored = view->columnWidths();
        const QString storedList = view->saveLayout().widthList;
        QFont font = view->font();
        const int px = QFontInfo(font).pixelSize();
        for (const int factor : { 2, 1 }) {
            font.setPixelSize(px * factor);
            view->setFont(font);
            QCOMPARE(view->widthScale(), double(factor));
            QCOMPARE(view->headerCtrl().sectionSize(2), view->shownWidth(stored[2]));
            QCOMPARE(view->headerCtrl().sectionSize(3), stored[3] * factor);
            QCOMPARE(view->columnWidths(), stored);
            QCOMPARE(view->saveLayout().widthList, storedList);
            // No number is cut at any zoom: each shows whole in its section.
            const QFontMetrics metrics(view->numberFont());
            const int room
                = view->headerCtrl().sectionSize(3) - CellDelegate::horizontalPadding(view->fontMetrics());
            for (int row = 0; row < view->rowCount(); ++row) {
                const QString text = view->listModel().table().cellTextAt(row, 3);
                QCOMPARE(CellDelegate::shownText(text, FieldPrice, metrics, room), text);
            }
        }
        // Zoomed out, a section the user then drags is stored at the unzoomed width.
        font.setPixelSize(px / 2);
        view->setFont(font);
        view->headerCtrl().resizeSection(2, 100);
        QCOMPARE(view->columnWidths()[2], view->storedWidth(100));
        QVERIFY(view->columnWidths()[2] > 150);
        // A number too wide for its cell shows "###" (its tooltip the value); a name is cut.
        const QFontMetrics metrics(view->numberFont());
        QCOMPARE(CellDelegate::shownText(u"1,480.5 "_s, FieldPrice, metrics, 10), u"###"_s);
        QCOMPARE(CellDelegate::shownText(u"Toyota Motor"_s, FieldName, metrics, 30).back(), QChar(u'\u2026'));
    }

    void codeColumnFitsTheLongestCodeOnlyWithDefaultWidths()
    {
        const QStringList codes = { u"03311187"_s, u"998407"_s, u"^N225"_s, u"7203"_s };
        doc = std::make_unique<CQuotraDoc>();
        view = std::make_unique<CQuotraView>(*doc);
        view->applyStartLayout(DefaultColumnLayout());
        doc->replaceRows(
            MakeRows({ { codes[0], {} }, { codes[1], {} }, { codes[2], {} }, { codes[3], {} } }));
        const QFontMetrics metrics(view->font());
        int widest = 0;
        for (const QString &code : codes)
            widest = std::max(widest, metrics.horizontalAdvance(code));
        const int room = view->headerCtrl().sectionSize(1) - CellDelegate::horizontalPadding(metrics)
            - CellDelegate::rowMarksWidth(metrics, static_cast<int>(RowMarkTable().size()));
        QVERIFY2(room >= widest, qPrintable(QString::number(room) + u" < "_s + QString::number(widest)));
        QVERIFY(view->columnWidths()[1] > ColumnDefOf(FieldCode).width);
        // A stored layout keeps its width.
        view.reset();
        doc.reset();
        makeList({ { codes[0], {} } });
        QCOMPARE(view->columnWidths()[1], 50);
    }

    void aRowShowsItsMarksAndWhy()
    {
        makeList({ { u"7203"_s, u"2,500"_s }, { u"6758"_s, u"900"_s } });
        QuoteRecord *failed = doc->record(u"6758"_s);
        failed->values.set(SlotStatus, QString::fromUtf16(kFetchErrorText));
        QCOMPARE(RowMarksOf(*failed), std::vector<RowMark>({ RowMark::Failed }));
        QVERIFY(RowMarksOf(*doc->record(u"7203"_s)).empty());
        view->listModel().allRowsUpdated();
        const ListTableModel &model = view->listModel();
        const int row = model.rowOfCode(u"6758"_s);
        QCOMPARE(model.index(row, 1).data(Qt::ToolTipRole).toString(), QString::fromUtf16(kFetchErrorText));
        QVERIFY(model.index(1 - row, 1).data(Qt::ToolTipRole).isNull());
        // The mark is drawn at the left of the code cell in the error colour.
        QImage image = view->viewport()->grab().toImage();
        const auto markIn = [&](int r, RowMark mark) {
            const QColor colour = ToQColor(RowMarkColor(mark, CellPaletteFrom(view->palette()).window));
            const QRect cell = view->visualRect(model.index(r, 1));
            for (int x = cell.left(); x < cell.left() + cell.width() / 2; ++x) {
                for (int y = cell.top(); y <= cell.bottom(); ++y) {
                    if (image.pixelColor(x, y) == colour)
                        return true;
                }
            }
            return false;
        };
        QVERIFY(markIn(row, RowMark::Failed));
        QVERIFY(!markIn(1 - row, RowMark::Failed));

        // A fired alert adds its bell beside the failed mark, and its conditions to the tooltip.
        view->listModel().setFiredAlerts({ { u"6758"_s, u"A"_s }, { u"7203"_s, u"B"_s } });
        QCOMPARE(RowMarksOf(*failed, model.markContextOf(*failed)),
            std::vector<RowMark>({ RowMark::Failed, RowMark::Alert }));
        QCOMPARE(model.index(row, 1).data(Qt::ToolTipRole).toString(),
            QString::fromUtf16(kFetchErrorText) + u'\n'
                + tessera::FormatResourceString(Ids::TipAlertFired, { u"A"_s }));
        QCOMPARE(model.index(1 - row, 1).data(Qt::ToolTipRole).toString(),
            tessera::FormatResourceString(Ids::TipAlertFired, { u"B"_s }));
        image = view->viewport()->grab().toImage();
        QVERIFY(markIn(row, RowMark::Failed) && markIn(row, RowMark::Alert));
        QVERIFY(markIn(1 - row, RowMark::Alert));
        view->listModel().setFiredAlerts({});
        QVERIFY(model.index(1 - row, 1).data(Qt::ToolTipRole).isNull());
    }

    void numericCellsUseAFontWithEqualDigits()
    {
        makeList({ { u"7203"_s, u"2,500"_s } });
        QVERIFY(HasEqualDigits(view->numberFont()));
        // A list font with proportional digits gets a stand-in of its size for numbers.
        for (const QString &family : QFontDatabase::families(QFontDatabase::Latin)) {
            QFont font(family);
            font.setPixelSize(15);
            if (QFontInfo(font).family() != family || HasEqualDigits(font))
                continue;
            view->setFont(font);
            QVERIFY2(HasEqualDigits(view->numberFont()), qPrintable(family));
            QCOMPARE(QFontInfo(view->numberFont()).pixelSize(), 15);
            QCOMPARE(view->fontInfo().family(), family);
            break;
        }
    }

    void pricesLineUpOnThePoint()
    {
        // The same whole part starts at the same place with or without a fraction, although a
        // space is narrower than a digit in the list font.
        makeList({ { u"1001"_s, u"2,500"_s }, { u"1002"_s, u"2,500.5"_s }, { u"1003"_s, u"2,500.25"_s } });
        const QImage image = view->viewport()->grab().toImage();
        const QColor base = ToQColor(CellPaletteFrom(view->palette()).window);
        const auto firstInk = [&](int row) {
            const QRect cell = view->visualRect(view->listModel().index(row, 3)).adjusted(1, 1, -1, -1);
            for (int x = cell.left(); x <= cell.right(); ++x) {
                for (int y = cell.top(); y <= cell.bottom(); ++y) {
                    if (image.pixelColor(x, y) != base)
                        return x;
                }
            }
            return -1;
        };
        const int first = firstInk(0);
        QVERIFY(first > 0);
        QCOMPARE(firstInk(1), first);
        QCOMPARE(firstInk(2), first);
    }

    void anEmptyListSaysHowToBegin()
    {
        makeList({});
        QVERIFY(!CQuotraView::emptyListHint().isEmpty());
        const QColor base = view->palette().color(QPalette::Base);
        const auto inkInMiddle = [&] {
            const QImage image = view->viewport()->grab().toImage();
            const int y0 = image.height() / 2 - view->fontMetrics().height();
            for (int y = std::max(0, y0); y < image.height() / 2 + view->fontMetrics().height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    if (image.pixelColor(x, y) != base)
                        return true;
                }
            }
            return false;
        };
        QVERIFY(inkInMiddle());
        doc->replaceRows(MakeRows({ { u"7203"_s, u"2,500"_s } }));
        QVERIFY(!inkInMiddle());
    }

    void addingACodeKeepsTheSelection()
    {
        makeList({ { u"7203"_s, u"2,500"_s }, { u"6758"_s, u"900"_s } });
        view->selectRows({ 1 });
        QCOMPARE(doc->AddCode(u"1301"_s).result, CQuotraDoc::AddCodeResult::Added);
        doc->StopUpdate();
        QCOMPARE(displayedCodes(*view), QStringList({ u"1301"_s, u"6758"_s, u"7203"_s }));
        QCOMPARE(selectedCodes(*view), QStringList({ u"7203"_s }));
    }

    void updatingDuringARunAsksWhetherToStopIt()
    {
        makeList({ { u"7203"_s, u"2,500"_s } });
        // Each fetch waits for the run's stop.
        doc->setFetchFactory([](const FetchRun &run) -> FetchFunction {
            return [stop = run.stop](const QString &, QuoteRecord &) -> FetchStatus {
                while (!stop->load())
                    QThread::usleep(200);
                return false;
            };
        });
        doc->StartUpdate({ u"7203"_s });
        answer = tessera::IdNo;
        QVERIFY(!view->updateSelectedRows());
        QCOMPARE(messages, QStringList({ tessera::ResourceString(Ids::MsgStopRunningUpdate) }));
        QCOMPARE(askedStyle, unsigned(tessera::MbYesNo | tessera::MbIconQuestion | tessera::MbDefButton2));
        QVERIFY2(doc->isUpdating(), "No lets the run go on");
        answer = tessera::IdYes;
        QVERIFY(!view->updateSelectedRows());
        QVERIFY(!doc->isUpdating());
    }
};

QTEST_MAIN(CQuotraViewTest)
#include "CQuotraViewTest.moc"
