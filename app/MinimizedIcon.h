// Where a minimised window draws its icon: centred in its client area.
#pragma once

struct IconOrigin {
    int x;
    int y;
};

// (client - icon + 1) / 2 on each axis. The division truncates toward zero: a client up to two
// pixels smaller than the icon still gives 0; only a smaller one gives a negative origin.
IconOrigin CenteredIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight);
