// Centres the icon of a minimised window in its client area.
#include "app/MinimizedIcon.h"

IconOrigin CenteredIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight) {
    return {(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}
