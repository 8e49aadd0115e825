#pragma once

#include "corelib/LanguageModule.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>

// One application object for a whole test program (queued signals and event loops need it),
// and the language module when the tests check message texts.
class QtTestEnvironment : public ::testing::Environment {
public:
    enum Language { WithoutLanguage, WithLanguage };
    explicit QtTestEnvironment(Language language = WithLanguage)
        : m_language(language)
    { }

    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "quotra-test";
        static char *argv[] = { name, nullptr };
        m_app = std::make_unique<QCoreApplication>(argc, argv);
        if (m_language == WithLanguage) {
            ASSERT_TRUE(tessera::LanguageModule::instance().load());
        }
    }
    void TearDown() override { m_app.reset(); }

private:
    Language m_language;
    std::unique_ptr<QCoreApplication> m_app;
};
