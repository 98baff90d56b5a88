// Finds and runs the handler that a message map binds to a message.
#include "app/framework/windows/MessageMap.h"

namespace {

bool Binds(const MessageMapEntry& entry, UINT message, WPARAM wParam) {
    if (entry.message != message) return false;
    return message != WM_COMMAND || (entry.commandId == LOWORD(wParam) && entry.notifyCode == HIWORD(wParam));
}

}  // namespace

bool CMessageTarget::DispatchToHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    for (const MessageMap* map = GetMessageMap(); map; map = map->base) {
        for (std::size_t i = 0; i < map->count; ++i) {
            if (Binds(map->entries[i], message, wParam)) {
                result = map->entries[i].call(*this, wParam, lParam);
                return true;
            }
        }
    }
    return false;
}
