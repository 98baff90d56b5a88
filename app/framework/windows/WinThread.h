// Worker threads that run a procedure, started at once or created suspended and resumed later.
#pragma once

#include <windows.h>

using AFX_THREADPROC = UINT (*)(LPVOID);

// A worker thread. The framework keeps the object for the life of the process: its procedure
// may run until the process ends.
class CWinThread {
public:
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    // Lowers the suspend count by one; at zero the thread runs. Answers the count before, or -1.
    DWORD ResumeThread();

    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;

private:
    friend CWinThread* AfxBeginThread(AFX_THREADPROC, LPVOID, int, UINT, DWORD, LPSECURITY_ATTRIBUTES);
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam) : m_pfnThreadProc(pfnThreadProc), m_pParam(pParam) {}
    static DWORD WINAPI Run(LPVOID thread);

    AFX_THREADPROC m_pfnThreadProc;
    LPVOID m_pParam;
};

// Creates a thread that runs `pfnThreadProc(pParam)` at the given priority; with CREATE_SUSPENDED
// in `dwCreateFlags` it runs nothing until ResumeThread. A stack size of 0 is the default size.
// Answers null when the thread cannot be created.
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority = THREAD_PRIORITY_NORMAL,
                           UINT nStackSize = 0, DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
