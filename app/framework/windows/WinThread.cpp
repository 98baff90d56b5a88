// Worker threads: creation at a priority, suspended or running, and the later resume.
#include "app/framework/windows/WinThread.h"

DWORD CWinThread::ResumeThread() { return ::ResumeThread(m_hThread); }

DWORD WINAPI CWinThread::Run(LPVOID thread) {
    const auto* self = static_cast<const CWinThread*>(thread);
    return self->m_pfnThreadProc(self->m_pParam);
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority, UINT nStackSize,
                           DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
    auto* thread = new CWinThread(pfnThreadProc, pParam);
    // Always created suspended, so that the priority applies before the procedure runs.
    thread->m_hThread =
        CreateThread(lpSecurityAttrs, nStackSize, &CWinThread::Run, thread, CREATE_SUSPENDED, &thread->m_nThreadID);
    if (!thread->m_hThread) {
        delete thread;
        return nullptr;
    }
    SetThreadPriority(thread->m_hThread, nPriority);
    if (!(dwCreateFlags & CREATE_SUSPENDED)) thread->ResumeThread();
    return thread;
}
