#include "app/ui/FontBoxes.h"

#include "app/core/ZoomRules.h"
#include "app/ui/ControlIds.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"

#include <QAbstractItemView>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QStyle>

#include <algorithm>

namespace {

constexpr int kFaceRole = Qt::UserRole + 1; // the face a row stands for; none on captions
constexpr int kGalleryPadding = 8; // room between the longest name and the scroll bar

QStandardItem *captionItem(const QString &text, const QFont &font)
{
    auto *item = new QStandardItem(text);
    QFont bold = font;
    bold.setBold(true);
    item->setFont(bold);
    item->setFlags(Qt::NoItemFlags);
    return item;
}

} // namespace

FontFaceBox::FontFaceBox(QWidget *parent)
    : QComboBox(parent)
    , m_model(new QStandardItemModel(this))
{
    setObjectName(QStringLiteral("FontFace4035"));
    SetControlId(this, 4035);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(20);
    setModel(m_model);
    m_families = QFontDatabase::families();
    m_families.removeIf([](const QString &f) { return QFontDatabase::isPrivateFamily(f); });
    for (const QString &face : std::as_const(m_families)) {
        // A face shows its name in itself only when it has the letters of Japanese names
        // as well as Latin ones; a symbol or a Latin-only face would show boxes or glyphs.
        const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(face);
        if (systems.contains(QFontDatabase::Latin) && systems.contains(QFontDatabase::Japanese))
            m_ownFontFaces.insert(face);
    }
    rebuild();
    connect(lineEdit(), &QLineEdit::returnPressed, this, [this] { commit(lineEdit()->text()); });
    connect(this, &QComboBox::activated, this, [this](int row) {
        const QString face = m_model->item(row) ? m_model->item(row)->data(kFaceRole).toString() : QString();
        if (!face.isEmpty())
            commit(face);
    });
}

void FontFaceBox::rebuild()
{
    const QString shown = lineEdit()->text();
    m_model->clear();
    int widest = 0;
    const auto addFace = [&](const QString &face) {
        auto *item = new QStandardItem(face);
        item->setData(face, kFaceRole);
        QFont f = m_ownFontFaces.contains(face) ? QFont(face) : font();
        f.setPointSizeF(font().pointSizeF() > 0 ? font().pointSizeF() : 10);
        // The current face is marked by weight, as the gallery's selection moves with the
        // mouse.
        f.setBold(face == m_face);
        item->setFont(f);
        item->setToolTip(face);
        m_model->appendRow(item);
        widest = std::max(widest, nameWidth(face, f));
        return item;
    };
    const auto addCaption = [&](int id) {
        QStandardItem *item = captionItem(tessera::ResourceString(id), font());
        m_model->appendRow(item);
        widest = std::max(widest, nameWidth(item->text(), item->font()));
    };
    if (!m_recent.isEmpty()) {
        addCaption(Ids::CaptionRecentFonts);
        for (const QString &face : std::as_const(m_recent))
            addFace(face);
    }
    addCaption(Ids::CaptionAllFonts);
    int currentRow = -1;
    for (const QString &face : std::as_const(m_families)) {
        QStandardItem *item = addFace(face);
        if (face == m_face)
            currentRow = item->row();
    }
    setCurrentIndex(currentRow);
    lineEdit()->setText(hasFocus() ? shown : m_face);
    // The gallery is as wide as its longest name, so that no name is cut; the box on the
    // ribbon keeps its own width.
    const int textMargin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view()) + 1;
    view()->setMinimumWidth(widest + 2 * textMargin + 2 * view()->frameWidth()
        + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view()) + kGalleryPadding);
}

int FontFaceBox::nameWidth(const QString &text, const QFont &font)
{
    // Measuring loads the face; each name is measured once per font it is shown in.
    const QString key = text + u'\n' + font.key();
    auto it = m_nameWidths.constFind(key);
    if (it == m_nameWidths.cend())
        it = m_nameWidths.insert(key, QFontMetrics(font).horizontalAdvance(text));
    return *it;
}

void FontFaceBox::setCurrentFace(const QString &face)
{
    if (face == m_face && !lineEdit()->text().isEmpty())
        return;
    m_face = face;
    rebuild();
}

void FontFaceBox::setRecentFaces(const QStringList &faces)
{
    m_recent = faces;
    rebuild();
}

void FontFaceBox::commit(const QString &text)
{
    const QString face = text.trimmed();
    if (face.isEmpty() || face == m_face) {
        lineEdit()->setText(m_face);
        return;
    }
    m_recent = AddRecentFace(m_recent, face);
    m_face = face;
    rebuild();
    Q_EMIT faceCommitted(face);
}

void FontFaceBox::focusOutEvent(QFocusEvent *event)
{
    QComboBox::focusOutEvent(event);
    // A face typed but not committed gives way to the list's face again.
    if (!view()->isVisible())
        lineEdit()->setText(m_face);
}

FontSizeBox::FontSizeBox(QWidget *parent)
    : QComboBox(parent)
{
    setObjectName(QStringLiteral("FontSize4036"));
    SetControlId(this, 4036);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    addItems(GallerySizes());
    setMaxVisibleItems(static_cast<int>(GallerySizes().size()));
    connect(lineEdit(), &QLineEdit::returnPressed, this, [this] {
        const QString text = lineEdit()->text();
        lineEdit()->setText(FontSizeText(m_height));
        Q_EMIT sizeCommitted(text);
    });
    connect(this, &QComboBox::activated, this, [this](int row) { Q_EMIT sizeCommitted(itemText(row)); });
}

const QStringList &FontSizeBox::GallerySizes()
{
    static const QStringList sizes
        = { QStringLiteral("8"), QStringLiteral("9"), QStringLiteral("10"), QStringLiteral("11"),
              QStringLiteral("12"), QStringLiteral("14"), QStringLiteral("16"), QStringLiteral("18"),
              QStringLiteral("20"), QStringLiteral("22"), QStringLiteral("24"), QStringLiteral("26"),
              QStringLiteral("28"), QStringLiteral("36"), QStringLiteral("48"), QStringLiteral("72") };
    return sizes;
}

void FontSizeBox::setCurrentHeight(int height)
{
    m_height = height;
    const QString text = FontSizeText(height);
    const int row = findText(text);
    setCurrentIndex(row);
    if (!lineEdit()->hasFocus() || lineEdit()->text().isEmpty())
        lineEdit()->setText(text);
}

void FontSizeBox::focusOutEvent(QFocusEvent *event)
{
    QComboBox::focusOutEvent(event);
    if (!view()->isVisible())
        lineEdit()->setText(FontSizeText(m_height));
}
