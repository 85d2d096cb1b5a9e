#pragma once
// A modeless TestDialog made before each test and destroyed after it.
#include <gtest/gtest.h>

#include "TestDialog.h"
#include "framework/CWinApp.h"

class DialogFixture : public ::testing::Test {
protected:
    void SetUp() override {
        AfxInitCommonControls();
        ASSERT_TRUE(dlg.Create());
    }
    void TearDown() override { dlg.DestroyWindow(); }

    HWND Item(int id) { return dlg.GetDlgItem(id); }

    TestDialog dlg;
};
