#pragma once

#include "app/VeltraneAppDelegate.h"
#include "support/ScopedPreferences.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <QMessageBox>
#include <QUrl>

namespace veltrane::test {

// A fresh program on an empty preferences store, with its main window shown offscreen.
class AppFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    // Waits (without sleeping) for the preview asked for last to be on screen.
    bool waitForPreview();
    // Adds a text stamp through its editor's Add button; returns the stamp.
    IStampItem* addTextStamp(const QString& format);
    // The alert on show now, if any.
    static QMessageBox* visibleAlert();
    // Answers the next alert with the button of `code` as soon as it shows (also from inside a
    // modal loop); its text lands in `text`.
    static void answerNextAlert(int code, QString* text);
    // Drops `urls` on the file table as the file manager would, and waits for the gathering.
    bool dropOnFileTable(const QList<QUrl>& urls);
    // The row of the listed file named `name`, or -1.
    int rowOf(const QString& name);

    std::unique_ptr<ScopedPreferences> m_preferences;
    std::unique_ptr<VeltraneAppDelegate> m_app;
};

} // namespace veltrane::test
