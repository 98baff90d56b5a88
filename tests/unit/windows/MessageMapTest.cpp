// Message maps send each message to the right handler, most derived class first (Windows build).
#include "app/framework/windows/MessageMap.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

namespace {

constexpr UINT WM_BOTH_BIND = WM_APP + 1;
constexpr UINT WM_BASE_ONLY = WM_APP + 2;
constexpr UINT WM_NOBODY = WM_APP + 3;
constexpr UINT ID_GO = 1014;

class Base : public CMessageTarget {
public:
    std::string calls;

protected:
    const MessageMap* GetMessageMap() const override {
        static const MessageMapEntry entries[] = {
            OnMessage<&Base::OnBoth>(WM_BOTH_BIND),
            OnMessage<&Base::OnBaseOnly>(WM_BASE_ONLY),
        };
        static const MessageMap map{nullptr, entries, std::size(entries)};
        return &map;
    }

private:
    void OnBoth() { calls += "Base::OnBoth "; }
    LRESULT OnBaseOnly(WPARAM wParam, LPARAM lParam) {
        calls += "Base::OnBaseOnly ";
        return static_cast<LRESULT>(wParam * 10 + lParam);
    }
};

class Derived : public Base {
public:
    int sysCommand = 0;
    LPARAM sysCommandPosition = 0;

protected:
    const MessageMap* GetMessageMap() const override {
        static const MessageMapEntry entries[] = {
            OnMessage<&Derived::OnBoth>(WM_BOTH_BIND),
            OnMessage<&Derived::OnSysCommand>(WM_SYSCOMMAND),
            OnMessage<&Derived::OnQueryDragIcon>(WM_QUERYDRAGICON),
            OnCommand<&Derived::OnGo>(ID_GO),
        };
        static const MessageMap map{Base::GetMessageMap(), entries, std::size(entries)};
        return &map;
    }

private:
    void OnBoth() { calls += "Derived::OnBoth "; }
    void OnSysCommand(UINT nID, LPARAM lParam) {
        sysCommand = static_cast<int>(nID);
        sysCommandPosition = lParam;
    }
    HICON OnQueryDragIcon() { return reinterpret_cast<HICON>(0x1234); }
    void OnGo() { calls += "Derived::OnGo "; }
};

LRESULT Dispatched(CMessageTarget& target, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    LRESULT result = -1;
    EXPECT_TRUE(target.DispatchToHandler(message, wParam, lParam, result));
    return result;
}

TEST(MessageMap, DerivedClassBindingWinsOverTheBaseClass) {
    Derived target;
    EXPECT_EQ(Dispatched(target, WM_BOTH_BIND), 0);
    EXPECT_EQ(target.calls, "Derived::OnBoth ");
}

TEST(MessageMap, BaseClassBindingsStillServeTheDerivedClass) {
    Derived target;
    EXPECT_EQ(Dispatched(target, WM_BASE_ONLY, 4, 2), 42);
    EXPECT_EQ(target.calls, "Base::OnBaseOnly ");
}

TEST(MessageMap, HandlersReceiveTheParametersAndGiveTheirResult) {
    Derived target;
    Dispatched(target, WM_SYSCOMMAND, 0x0010, MAKELPARAM(30, 40));
    EXPECT_EQ(target.sysCommand, 0x0010);
    EXPECT_EQ(target.sysCommandPosition, MAKELPARAM(30, 40));
    EXPECT_EQ(Dispatched(target, WM_QUERYDRAGICON), 0x1234);
}

TEST(MessageMap, CommandBindingMatchesItsIdentifierAndTheClickOnly) {
    Derived target;
    Dispatched(target, WM_COMMAND, MAKEWPARAM(ID_GO, BN_CLICKED));
    EXPECT_EQ(target.calls, "Derived::OnGo ");

    LRESULT result = 0;
    EXPECT_FALSE(target.DispatchToHandler(WM_COMMAND, MAKEWPARAM(ID_GO, BN_SETFOCUS), 0, result));
    EXPECT_FALSE(target.DispatchToHandler(WM_COMMAND, MAKEWPARAM(ID_GO + 1, BN_CLICKED), 0, result));
    EXPECT_EQ(target.calls, "Derived::OnGo ");
}

TEST(MessageMap, UnboundMessagesAreLeftToTheCaller) {
    Derived target;
    LRESULT result = 0;
    EXPECT_FALSE(target.DispatchToHandler(WM_NOBODY, 0, 0, result));
    EXPECT_TRUE(target.calls.empty());
}

}  // namespace
