#include "app/ui/MessageBoxHook.h"
#include "corelib/Messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace tessera;

// The application lives from the first test to the end of the run and is destroyed while
// the program still runs: a QApplication left to the static destructors would outlive Qt's
// per-thread font cache, and the faces in it would be reported as leaks.
class ApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        if (!QApplication::instance())
            m_app = std::make_unique<QApplication>(m_argc, m_argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[5] = "test";
    char *m_argv[2] = { m_name, nullptr };
    std::unique_ptr<QApplication> m_app;
};

[[maybe_unused]] ::testing::Environment *const g_application
    = ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

class MessageBoxHookTest : public ::testing::Test {
protected:
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
