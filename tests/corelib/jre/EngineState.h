#pragma once

#include "corelib/CJre.h"
#include "corelib/Messages.h"

#include <QStringList>

#include <gtest/gtest.h>

// Binds the engine from one folder for a test and collects the messages shown meanwhile.
class EngineState : public ::testing::Test {
protected:
    void bindFrom(const char *folder)
    {
        tessera::CJre::Release();
        qputenv("QUOTRA_ENGINE_DIR", folder);
        tessera::CJre::SetFuzzyFold(JRE_FOLD_ALL);
        m_bound = tessera::CJre::Init(1);
    }
    void SetUp() override
    {
        tessera::SetMessageHandler([this](const QString &text, unsigned) {
            messages << text;
            return int(tessera::IdOk);
        });
    }
    void TearDown() override
    {
        tessera::SetMessageHandler(nullptr);
        tessera::CJre::Release();
        qunsetenv("QUOTRA_ENGINE_DIR");
    }

    int m_bound = 0;
    QStringList messages;
};
