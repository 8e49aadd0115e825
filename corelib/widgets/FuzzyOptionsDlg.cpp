#include "corelib/widgets/FuzzyOptionsDlg.h"

#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "corelib/engines/JreInterface.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QVBoxLayout>

namespace tessera {

int FuzzyOptionsDlg(quint32 &fold, QWidget *parent)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("FuzzyOptionsDlg"));
    dialog.setWindowTitle(ResourceString(Ids::CaptionFuzzyOptionsDialog));
    auto *layout = new QVBoxLayout(&dialog);
    struct Box {
        int captionId;
        quint32 bit;
        const char *name;
    };
    static constexpr Box kBoxes[] = {
        { Ids::CaptionFoldWidth, JRE_FOLD_WIDTH, "FoldWidth" },
        { Ids::CaptionFoldKana, JRE_FOLD_KANA, "FoldKana" },
        { Ids::CaptionFoldCase, JRE_FOLD_CASE, "FoldCase" },
    };
    QList<QCheckBox *> boxes;
    for (const Box &b : kBoxes) {
        auto *check = new QCheckBox(ResourceString(b.captionId), &dialog);
        check->setObjectName(QLatin1String(b.name));
        check->setChecked(fold & b.bit);
        layout->addWidget(check);
        boxes << check;
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return 0;
    quint32 chosen = 0;
    for (qsizetype i = 0; i < boxes.size(); ++i) {
        if (boxes[i]->isChecked())
            chosen |= kBoxes[i].bit;
    }
    fold = chosen;
    return 1;
}

int AskFuzzyOptions(void *context, uint32_t *fold)
{
    if (!fold)
        return 0;
    quint32 value = *fold;
    const int confirmed = FuzzyOptionsDlg(value, static_cast<QWidget *>(context));
    if (confirmed)
        *fold = value;
    return confirmed;
}

} // namespace tessera
