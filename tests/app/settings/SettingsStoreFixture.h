#pragma once

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// A settings store in a temporary INI file, the same format the program's store uses on
// Linux, reopened on demand to prove that values survive the file.
class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString path() const { return m_dir.filePath(QStringLiteral("Quotra.conf")); }
    QSettings &store()
    {
        if (!m_store)
            m_store = std::make_unique<QSettings>(path(), QSettings::IniFormat);
        return *m_store;
    }
    // Flushes and drops the open store, so the next store() reads the file again.
    void reopen()
    {
        if (m_store)
            m_store->sync();
        m_store.reset();
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<QSettings> m_store;
};
