// Worker threads start at once or wait, suspended, for ResumeThread (Windows build).
#include "app/framework/windows/WinThread.h"

#include <gtest/gtest.h>

namespace {

// Each thread signals its event, so that a test can wait for it to have run.
UINT SignalEvent(LPVOID event) {
    SetEvent(static_cast<HANDLE>(event));
    return 0;
}

class WinThreadTest : public ::testing::Test {
protected:
    void SetUp() override { ran = CreateEventW(nullptr, TRUE, FALSE, nullptr); }
    void TearDown() override { CloseHandle(ran); }

    bool RunsWithin(DWORD milliseconds) { return WaitForSingleObject(ran, milliseconds) == WAIT_OBJECT_0; }

    HANDLE ran = nullptr;
};

TEST_F(WinThreadTest, SuspendedThreadWaitsForResumeThread) {
    CWinThread* thread = AfxBeginThread(SignalEvent, ran, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED, nullptr);
    ASSERT_NE(thread, nullptr);

    EXPECT_EQ(thread->ResumeThread(), 1u) << "the thread was not suspended";
    EXPECT_TRUE(RunsWithin(10000));
    WaitForSingleObject(thread->m_hThread, 10000);
}

TEST_F(WinThreadTest, ThreadWithoutCreateSuspendedRunsAtOnceAtItsPriority) {
    CWinThread* thread = AfxBeginThread(SignalEvent, ran, THREAD_PRIORITY_BELOW_NORMAL);
    ASSERT_NE(thread, nullptr);

    EXPECT_EQ(GetThreadPriority(thread->m_hThread), THREAD_PRIORITY_BELOW_NORMAL);
    EXPECT_TRUE(RunsWithin(10000));
    WaitForSingleObject(thread->m_hThread, 10000);
    EXPECT_EQ(thread->ResumeThread(), 0u) << "a running thread has no suspend count to lower";
}

}  // namespace
