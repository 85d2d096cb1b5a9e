#pragma once
// A modeless dialog of type `Dialog` (made from its own template) created before
// each test and destroyed after it.
#include <gtest/gtest.h>

#include "framework/CWinApp.h"
#include "framework/FrameworkWin.h"

template <class Dialog>
class DialogFixture : public ::testing::Test {
protected:
    void SetUp() override {
        AfxInitCommonControls();
        ASSERT_TRUE(dlg.Create());
    }
    void TearDown() override { dlg.DestroyWindow(); }

    HWND Item(int id) { return dlg.GetDlgItem(id); }

    Dialog dlg;
};
