#include "app/ui/MessageBoxHook.h"
#include "corelib/Messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using namespace tessera;

class MessageBoxHookTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "test";
        static char *argv[] = { name, nullptr };
        if (!QApplication::instance())
            static QApplication app(argc, argv);
    }

    // Shows the box and answers it like a user: Enter (the default button), or a click on
    // the button with the given text.
    int answer(unsigned style, QMessageBox::StandardButton press = QMessageBox::NoButton)
    {
        QTimer::singleShot(0, [this, press] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            m_title = box->windowTitle();
            m_text = box->text();
            m_icon = box->icon();
            m_buttons = box->buttons().size();
            QAbstractButton *b = press == QMessageBox::NoButton ? box->defaultButton() : box->button(press);
            if (b)
                b->click();
        });
        return ShowMessageBox(QStringLiteral("本文"), style);
    }

    QString m_title;
    QString m_text;
    QMessageBox::Icon m_icon = QMessageBox::NoIcon;
    qsizetype m_buttons = 0;
};

TEST_F(MessageBoxHookTest, BoxIsTitledQuotraAndCarriesTheText)
{
    EXPECT_EQ(answer(MbOk | MbIconInformation), IdOk);
    EXPECT_EQ(m_title, QStringLiteral("Quotra"));
    EXPECT_EQ(m_text, QStringLiteral("本文"));
    EXPECT_EQ(m_icon, QMessageBox::Information);
    EXPECT_EQ(m_buttons, 1);
}

TEST_F(MessageBoxHookTest, DefaultButtonFollowsTheStyle)
{
    EXPECT_EQ(answer(MbYesNo | MbIconQuestion), IdYes);
    EXPECT_EQ(m_icon, QMessageBox::Question);
    EXPECT_EQ(answer(MbYesNo | MbIconQuestion | MbDefButton2), IdNo);
    EXPECT_EQ(answer(MbOkCancel | MbDefButton2), IdCancel);
    EXPECT_EQ(answer(MbYesNoCancel), IdYes);
    EXPECT_EQ(m_buttons, 3);
}

TEST_F(MessageBoxHookTest, EachButtonGivesItsResult)
{
    EXPECT_EQ(answer(MbYesNo, QMessageBox::No), IdNo);
    EXPECT_EQ(answer(MbYesNoCancel | MbIconWarning, QMessageBox::Cancel), IdCancel);
    EXPECT_EQ(m_icon, QMessageBox::Warning);
    EXPECT_EQ(answer(MbOkCancel | MbIconError, QMessageBox::Ok), IdOk);
    EXPECT_EQ(m_icon, QMessageBox::Critical);
}

TEST_F(MessageBoxHookTest, HeadlessAndUnattendedRunsKeepStandardError)
{
    EXPECT_FALSE(InstallMessageBoxHook(true));
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        EXPECT_FALSE(InstallMessageBoxHook(false));
    }
    // Nothing was installed: a question is answered at once with its default.
    EXPECT_EQ(ShowMessage(QStringLiteral("stderr"), MbYesNo | MbDefButton2), IdNo);
}

} // namespace
