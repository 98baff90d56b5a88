// A dialog in a process without an application object, as this test program is (Windows build).
#include "app/framework/windows/Dialog.h"

#include <gtest/gtest.h>

#include "app/framework/windows/WinApp.h"

namespace {

TEST(DialogWithoutApplicationObject, DoModalMakesNoWindowAndAnswersMinusOne) {
    ASSERT_EQ(AfxGetApp(), nullptr);
    CDialog dialog(1);

    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

}  // namespace
